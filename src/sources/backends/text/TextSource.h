#pragma once

#include "sources/backends/Source.h"

namespace quibo {

// A folder of text files, standing in for the text ODBC driver: each .csv or
// .txt file is a table named as the file system names it ("ledgers.csv").
// Files are comma-separated and their first row names the columns. A byte
// order mark tells UTF-8 or UTF-16, and a file whose bytes break it is refused;
// without one a file that is UTF-8 as a whole reads as UTF-8, any other as
// Windows-1252. A file that is not text (a zip, gzip or compound file, or NUL
// bytes that UTF-16 text would not hold) is refused. Cells are text as they
// stand; an empty unquoted cell is Null, a quoted empty one ("") is "".
class TextSource final : public Source {
public:
    // Raises when the folder does not exist.
    explicit TextSource(QString folder);

    QStringList tables() override;
    SourceTable read(const QString& table, const QString& orderBy = {}) override;
    QString describe() const override;

private:
    QString m_folder;
};

} // namespace quibo
