#pragma once

#include <QString>

namespace quibo::posting {

// The flag texts the staging rows hold.
inline const QString Yes = QStringLiteral("Yes");
inline const QString No = QStringLiteral("No");

// A column key of the working grid, written as a literal.
inline QString C(const char* column) {
    return QString::fromLatin1(column);
}

} // namespace quibo::posting
