#pragma once

// Readable failure messages for the Qt values these tests compare.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '[' << list.join(QStringLiteral(", ")).toStdString() << ']';
}

inline void PrintTo(const QVariant& value, std::ostream* os) {
    if (value.isNull() && !value.isValid())
        *os << "Null";
    else
        *os << value.typeName() << '(' << value.toString().toStdString() << ')';
}
