#pragma once

#include "vb/Number.h"

#include <QString>
#include <QStringView>

namespace quibo {

// The number a cell's text begins with, as VB's Val reads it (blanks, tabs and line feeds ignored,
// reading stops at the first character that cannot continue the number, none gives 0), except that a
// whole part in well-formed thousands groups (vb::GroupedDigitsLength) right after the leading blanks
// and sign is read without its commas: "1,500" is 1500 and " -1,50,000.50 Cr" is -150000.5, where Val
// would stop at the comma. Amount cells are typed that way; reading them as 1 lost the amount. Other
// commas stop the number as in Val: "12,5" is 12. Raises Overflow (6) past the range of a double.
inline double CellNumber(QStringView text) {
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; };
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    skipBlanks();
    const qsizetype grouped = vb::GroupedDigitsLength(text, i);
    if (grouped == 0) return vb::Val(text);
    QString plain = text.first(i).toString();
    plain.reserve(text.size());
    for (const QChar c : text.mid(i, grouped))
        if (c != u',') plain += c;
    plain += text.mid(i + grouped);
    return vb::Val(plain);
}

} // namespace quibo
