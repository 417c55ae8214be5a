#pragma once

#include <QString>

#include <optional>

namespace quibo {

class FormModel;

// The first entry of the import-type box: no import type chosen.
inline const QString SelectImportTypeEntry = QStringLiteral(">>Select Import Type<<");

// The import-type vocabulary. `name` is a table name already normalised
// (upper-cased; for a workbook or database table also every "$" removed); the
// result is the entry that name adds to the import-type box, or nothing.
// Alternative names fold onto one entry ("H_TRANSACTIONS" onto
// "TRANSACTIONS", "STOCKITEMS" onto "STOCK ITEMS"); the register names add
// themselves.
std::optional<QString> ImportTypeEntry(const QString& name);
// The same for a text file's base name: only the types a text file can hold
// (no GST twins, no employee or update types).
std::optional<QString> TextImportTypeEntry(const QString& name);

// The user-defined format named `name` in the format table of "Quibo20.DAT"
// (matched without regard to case): `IsCustomFormat` gives its object kind as
// stored (TType), `GetCustomFormatName` its name as stored (TName); both give
// "" when there is no such format or its kind is Null. Of two formats of one
// name the first the database returns counts. No error trap of their own: a
// database that cannot be read raises in the caller. The name reaches the
// database as a bound value, so any character in it is safe.
QString IsCustomFormat(FormModel& form, const QString& name);
QString GetCustomFormatName(FormModel& form, const QString& name);

} // namespace quibo
