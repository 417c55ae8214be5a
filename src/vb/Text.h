#pragma once

#include <QString>
#include <QStringView>

namespace quibo::vb {

// VB's trimming removes blanks (U+0020) only: tabs and line breaks are data.
QString Trim(QStringView text);
QString LTrim(QStringView text);
QString RTrim(QStringView text);

// Upper case by Unicode rules, the same whatever the user's locale.
QString UCase(QStringView text);

} // namespace quibo::vb
