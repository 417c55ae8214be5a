#pragma once

#include <QDateTime>
#include <QStringView>

namespace quibo {

// Reads the date texts drivers and libraries hand out: "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss" (a "T"
// instead of the blank, and a fraction of a second, allowed) or "hh:mm:ss" alone, which falls on
// 1899-12-30 as in VB. The result is zone-less (UTC); an invalid QDateTime when the text is none of these.
// Read by hand: Qt's parser consults the local time zone on every call.
QDateTime ParseDateText(QStringView text);

} // namespace quibo
