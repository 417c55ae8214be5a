#pragma once

#include "sources/backends/SourceTable.h"

#include <QString>
#include <QStringList>

namespace quibo {

// An open data source: a workbook, a folder of text files, an Access database
// or an ODBC data source. It lives for one procedure call, like the connection
// it stands for. Every failure raises vb::RuntimeError worded as the data
// provider would word it.
class Source {
public:
    virtual ~Source() = default;

    // The TABLE_NAME column of the tables schema, spelled as the source spells
    // it: a workbook's sheets as "Name$", a text folder's files as "name.csv",
    // an ODBC data source's tables and then its views.
    virtual QStringList tables() = 0;
    // The views schema; only ODBC data sources have views.
    virtual QStringList views() { return {}; }

    // "select * from [table]", with " Order By orderBy" when orderBy is not
    // empty. The table name is matched as the engine matches it (without
    // regard to case); a missing table or order column raises.
    virtual SourceTable read(const QString& table, const QString& orderBy = {}) = 0;

    // What this source is, for error reports: "Excel workbook '/data/a.xls'".
    virtual QString describe() const = 0;

protected:
    // The engines hand out their schema rowsets sorted by name, without regard to case.
    static QStringList SortedByName(QStringList names);
    // Where `table` stands in `names`: the name spelled exactly, else the
    // first one that differs only in case; -1 when none.
    static qsizetype FindTable(const QStringList& names, const QString& table);
};

} // namespace quibo
