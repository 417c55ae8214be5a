#pragma once

#include <QString>

#include <cstdint>

namespace quibo {

// How a posted record's row shows its outcome, for masters and vouchers alike: BGR colours as the
// grid takes them, indexes into the grid's image list, and the outcome texts the program writes
// itself when the server's words are not to be had.
namespace marks {
constexpr int32_t Red = 255;
constexpr int32_t Blue = 16711680;
constexpr int32_t Black = 0;
constexpr int ErrorIcon = 1;
constexpr int DoneIcon = 0;
inline const QString Skipped = QStringLiteral("SKIPED");
inline const QString NoReply = QStringLiteral("ERROR: no reply from the Tally server");
inline const QString NotSent = QStringLiteral("ERROR: not sent, see the error log");
inline const QString NoName = QStringLiteral("ERROR: no NAME");
inline const QString EmptyId = QStringLiteral("ERROR: empty ID");
// A record with a cell holding U+0000, refused before anything of it is sent.
inline QString HoldsNul(const QString& column) {
    return QStringLiteral("ERROR: column ") + column + QStringLiteral(" holds a NUL character");
}
// A voucher a writer failed to stage: nothing of it was sent. With the failing writer's location code.
inline QString NotStaged(const QString& location) {
    return QStringLiteral("ERROR: voucher not staged (") + location + QLatin1Char(')');
}
} // namespace marks

} // namespace quibo
