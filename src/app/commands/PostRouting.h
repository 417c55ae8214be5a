#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace quibo {

// One routed import type and the posting procedure it runs ("" for none).
struct PostRoute {
    QString importType;
    QString procedure;
};

// Every routed import type of the import-type table, in the table's order. An
// import type in none of them is a user-defined format, routed by its object kind.
const std::vector<PostRoute>& PostRoutes();
// Object kind (`TType`, compared exactly) to posting procedure, for user-defined formats.
const QHash<QString, QString>& CustomFormatRoutes();

// Which posting procedure an import type runs: its routed procedure in the
// import-type table (exact comparison), else the procedure of
// `customFormatKind()` (called only then), else "". `customFormatKind` may
// raise; the Post command traps it.
QString RoutePost(const QString& importType, const std::function<QString()>& customFormatKind);

// The staging tables the Post command empties, in order: the twenty voucher
// tables, then `BankAllocation` and `BASICUSERDESCRIPTION`, so that an earlier
// run's bank details and item descriptions never attach themselves to later
// vouchers.
const QStringList& StagingTablesToEmpty();

// The posting procedures by name. Every poster takes no arguments: it works on
// the form it was registered with. A procedure nobody registered posts nothing.
class PosterRegistry {
public:
    using Poster = std::function<void()>;

    // Registers (or replaces) the procedure of that name.
    void Register(const QString& procedure, Poster poster);
    bool Has(const QString& procedure) const { return m_posters.contains(procedure); }
    // Runs the procedure; false when none is registered under that name.
    bool Run(const QString& procedure) const;

private:
    QHash<QString, Poster> m_posters;
};

} // namespace quibo
