#pragma once

#include "vb/RuntimeError.h"

#include <QString>

namespace quibo {

// Run-time errors worded as the data providers the program was written for
// word them, so that error reports read the same whatever backend answered.
namespace provider {
inline const QString Jet = QStringLiteral("Microsoft JET Database Engine");
inline const QString Odbc = QStringLiteral("Microsoft OLE DB Provider for ODBC Drivers");

inline constexpr int32_t ObjectNotFound = -2147217865;   // 80040E37
inline constexpr int32_t MissingParameter = -2147217904; // 80040E10
} // namespace provider

[[noreturn]] void RaiseProviderError(const QString& source, const QString& description,
                                     int32_t number = vb::err::DatabaseError);
// The table is not in the source.
[[noreturn]] void RaiseTableNotFound(const QString& source, const QString& table);
// An "Order By" names a column the table lacks.
[[noreturn]] void RaiseColumnNotFound(const QString& source, const QString& column);

} // namespace quibo
