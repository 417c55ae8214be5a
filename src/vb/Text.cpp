#include "vb/Text.h"

#include <algorithm>

namespace quibo::vb {

namespace {

qsizetype FirstNonBlank(QStringView text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return i;
}

qsizetype EndOfNonBlank(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return end;
}

} // namespace

QString Trim(QStringView text) {
    const qsizetype begin = FirstNonBlank(text);
    const qsizetype end = std::max(begin, EndOfNonBlank(text));
    return text.mid(begin, end - begin).toString();
}

QString LTrim(QStringView text) {
    return text.mid(FirstNonBlank(text)).toString();
}

QString RTrim(QStringView text) {
    return text.left(EndOfNonBlank(text)).toString();
}

QString UCase(QStringView text) {
    return text.toString().toUpper();
}

} // namespace quibo::vb
