#pragma once

#include <QString>

#include <optional>
#include <span>

namespace quibo {

class FormModel;

// The first entry of the import-type box: no import type chosen.
inline const QString SelectImportTypeEntry = QStringLiteral(">>Select Import Type<<");

// The import-type table: every import-type name once, compared exactly, with
// where it appears. The import-type box, the loaders' lists and the Post
// routing all read it; rows keep the vocabulary's listing order.
struct ImportType {
    const char* name;
    const char* entry; // the entry the name adds to the import-type box: NoEntry, Itself or another name
    bool text;         // Text: a text file of that base name offers the entry too
    unsigned lists;    // the importtype::List flags of the loader lists that hold the name
    const char* post;  // its posting procedure: NotRouted, NoPoster or the procedure's name
};

namespace importtype {

inline constexpr const char* NoEntry = nullptr;
inline constexpr const char* Itself = "";
inline constexpr bool Text = true;
inline constexpr bool NoText = false;
// NotRouted leaves the Post to the custom formats; NoPoster posts nothing.
inline constexpr const char* NotRouted = nullptr;
inline constexpr const char* NoPoster = "";

// The loader lists, as bit flags. The table, register and voucher lists are
// searched with the combo text upper-cased (blanks kept), the repaired one
// with the table name upper-cased and without blanks.
enum List : unsigned {
    NoList = 0,
    ExcelTable = 1u << 0, // read as a table by that loader
    AccessTable = 1u << 1,
    OdbcTable = 1u << 2,
    Register = 1u << 3,     // a voucher register: read with its map, by every loader
    ExcelVoucher = 1u << 4, // a voucher table, read in SrNo order by that loader
    AccessVoucher = 1u << 5,
    OdbcVoucher = 1u << 6,
    Repaired = 1u << 7, // rows repaired before GR1 is built
    Tables = ExcelTable | AccessTable | OdbcTable,
    Vouchers = ExcelVoucher | AccessVoucher | OdbcVoucher,
};

} // namespace importtype

// The whole table, in its order.
std::span<const ImportType> ImportTypes();
// The row of `name` (compared exactly), or nullptr.
const ImportType* FindImportType(const QString& name);
// Whether the row of `name` holds any of the `lists` flags.
bool InImportList(const QString& name, unsigned lists);
// The posting procedure `name` routes to ("" for none), or nothing when it is not routed.
std::optional<QString> ImportTypePost(const QString& name);

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
