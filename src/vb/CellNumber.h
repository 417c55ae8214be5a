#pragma once

#include "vb/Number.h"

#include <QString>
#include <QStringView>

namespace quibo {

// The number a cell's text begins with, as VB's Val reads it (blanks, tabs and line feeds ignored,
// reading stops at the first character that cannot continue the number, none gives 0), except that a
// comma between two digits of the whole part groups thousands: "1,500" is 1500 and "1,50,000" is
// 150000, where Val would stop at the comma. Amount cells are typed that way; reading them as 1 lost
// the amount. Raises Overflow (6) past the range of a double.
inline double CellNumber(QStringView text) {
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; };
    QString plain;
    plain.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        plain += text[i++];
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) plain += text[i++];
    // The whole part: digits and blanks, and commas with a digit right before and after them.
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u',' && i > 0 && isDigit(text[i - 1]) && i + 1 < text.size() && isDigit(text[i + 1]))
            continue;
        if (!isDigit(c) && !isBlank(c)) break;
        plain += c;
    }
    plain += text.mid(i);
    return vb::Val(plain);
}

} // namespace quibo
