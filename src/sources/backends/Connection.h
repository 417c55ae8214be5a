#pragma once

#include "sources/backends/Source.h"

#include <QString>

#include <functional>
#include <memory>

namespace quibo {

// Opens the source a connection string names, as ADO's Connection.Open(text,
// user, password) would: the Jet provider with "Excel" extended properties
// opens an .xls workbook, the Jet provider otherwise an Access database (its
// password piece is accepted and, libmdb being unable to check it, not
// checked); the Excel ODBC driver an .xlsx (or .xls) workbook; the text
// driver a folder of text files; "DSN=" and any other driver string go to the
// ODBC driver manager with user and password. Failures raise vb::RuntimeError
// with a provider's wording.
std::unique_ptr<Source> OpenConnection(const QString& connection, const QString& user,
                                       const QString& password);

// How the form opens connections; tests put a recording or failing double in.
using ConnectionOpener = std::function<std::unique_ptr<Source>(const QString& connection, const QString& user,
                                                               const QString& password)>;

} // namespace quibo
