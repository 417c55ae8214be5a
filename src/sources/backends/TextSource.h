#pragma once

#include "sources/backends/Source.h"

namespace quibo {

// A folder of text files, standing in for the text ODBC driver: each .csv or
// .txt file is a table named as the file system names it ("ledgers.csv").
// Files are comma-separated, UTF-8 with or without a byte order mark, and
// their first row names the columns. Cells are text as they stand; an empty
// unquoted cell is Null, a quoted empty one ("") is "".
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
