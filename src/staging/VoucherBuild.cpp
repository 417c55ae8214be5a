#include "staging/VoucherBuild.h"

#include "localdb/LocalDatabase.h"
#include "localdb/RecordSet.h"
#include "localdb/StagingSchema.h"
#include "tally/XmlBuilders.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"

#include <QHash>

#include <cmath>
#include <vector>

namespace quibo {

struct StagedRowCache {
    // For each of ChildTables(), whether it holds rows of the voucher; empty until asked.
    std::vector<bool> present;
    // By table, order and parent key column: the rows of each parent value (folded as the
    // database compares it).
    QHash<QString, QHash<QString, RecordSet>> children;
};

namespace {

// Texts compare without regard to case in the staging tables, ASCII letters only.
QString FoldAscii(QString text) {
    for (QChar& c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return text;
}

// The tables that may hold rows of a voucher, and one statement telling which of them do: a row of
// flags, one per table.
const QStringList& ChildTables() {
    static const QStringList tables = [] {
        QStringList names;
        for (const staging::TableSchema& table : staging::StagingTables())
            if (table.hasColumn(u"FK_VchID")) names << table.name;
        return names;
    }();
    return tables;
}

const QString& PresenceQuery() {
    static const QString sql = [] {
        QStringList probes;
        for (const QString& table : ChildTables())
            probes << QStringLiteral("Exists (Select 1 from %1 where CompanyName = ?1 and FK_VchID = ?2)")
                          .arg(table);
        return QStringLiteral("Select ") + probes.join(QStringLiteral(", "));
    }();
    return sql;
}

bool HasRows(const VoucherBuild& build, const QString& table) {
    StagedRowCache& cache = *build.staged;
    const QStringList& tables = ChildTables();
    if (cache.present.empty()) {
        const RecordSet flags = build.db.query(PresenceQuery(), {build.company, build.voucherId});
        cache.present.resize(size_t(tables.size()));
        for (int column = 0; column < tables.size(); ++column)
            cache.present[size_t(column)] = flags.value(0, column).toInt() != 0;
    }
    // The sections name the tables as the schema spells them, mostly: that match needs no folding.
    for (qsizetype i = 0; i < tables.size(); ++i)
        if (table == tables[i]) return cache.present[size_t(i)];
    for (qsizetype i = 0; i < tables.size(); ++i)
        if (table.compare(tables[i], Qt::CaseInsensitive) == 0) return cache.present[size_t(i)];
    return false;
}

// Every row of the table for the voucher, split by parent value; rows with a Null parent belong to
// no parent.
QHash<QString, RecordSet> RowsByParent(const VoucherBuild& build, const QString& table,
                                       const QString& orderBy, const QString& parentKey) {
    const RecordSet all =
        build.db.query(QStringLiteral("Select * from %1 where CompanyName = ? and FK_VchID = ? Order By %2")
                           .arg(table, orderBy),
                       {build.company, build.voucherId});
    const int parentColumn = all.columnIndex(parentKey);
    QHash<QString, std::vector<QVariant>> values;
    for (int row = 0; row < all.rowCount(); ++row) {
        const QVariant& parent = all.value(row, parentColumn);
        if (parent.isNull()) continue;
        std::vector<QVariant>& into = values[FoldAscii(parent.toString())];
        for (int column = 0; column < all.columnCount(); ++column)
            into.push_back(all.value(row, column));
    }
    QHash<QString, RecordSet> byParent;
    for (auto it = values.begin(); it != values.end(); ++it)
        byParent.insert(it.key(), RecordSet(all.columnNames(), std::move(it.value())));
    return byParent;
}

} // namespace

RecordSet StagedRows(const VoucherBuild& build, const QString& table, const QString& orderBy,
                     const QString& parentKey, const QVariant& parentValue) {
    if (!build.staged) build.staged = std::make_shared<StagedRowCache>();
    if (!HasRows(build, table)) return RecordSet();
    if (parentKey.isEmpty())
        return build.db.query(
            QStringLiteral("Select * from %1 where CompanyName = ? and FK_VchID = ? Order By %2")
                .arg(table, orderBy),
            {build.company, build.voucherId});
    // A parent row without a key owns no rows: Null matches nothing, where "" would pick up rows
    // staged under an empty key.
    if (parentValue.isNull()) return RecordSet();
    const QString cacheKey = table + QLatin1Char('|') + orderBy + QLatin1Char('|') + parentKey;
    auto cached = build.staged->children.find(cacheKey);
    if (cached == build.staged->children.end())
        cached = build.staged->children.insert(cacheKey, RowsByParent(build, table, orderBy, parentKey));
    return cached->value(FoldAscii(parentValue.toString()));
}

QString FieldText(const RecordSet& rows, int row, QStringView column) {
    const QVariant& value = rows.value(row, column);
    return value.isNull() ? QString() : value.toString();
}

XmlNode AppendField(VoucherBuild& build, XmlNode parent, const QString& tag, const RecordSet& rows, int row,
                    QStringView column) {
    return AppendXmlElementIfValue(build.errors, build.doc, parent, tag, FieldText(rows, row, column));
}

void AppendFields(VoucherBuild& build, XmlNode parent, const RecordSet& rows, int row,
                  std::initializer_list<FieldSpec> fields) {
    for (const auto& [tag, column] : fields) {
        // Most staged columns are empty: the tag is spelt out only for a value that goes out.
        const QString value = FieldText(rows, row, column);
        if (!value.isEmpty()) AppendXmlElementIfValue(build.errors, build.doc, parent, tag.toString(), value);
    }
}

double LeadingNumber(const QString& text) {
    try {
        return vb::Val(text);
    } catch (const vb::RuntimeError& error) {
        if (error.number() != vb::err::Overflow) throw;
        return text.trimmed().startsWith(QLatin1Char('-')) ? -HUGE_VAL : HUGE_VAL;
    }
}

QVariant RowKey(const RecordSet& rows, int row, QStringView column) {
    constexpr int32_t InvalidUseOfNull = 94;
    const QVariant& id = rows.value(row, column);
    if (id.isNull()) vb::Raise(InvalidUseOfNull, QStringLiteral("Invalid use of Null"));
    return id.toString();
}

XmlNode AppendElement(VoucherBuild& build, XmlNode parent, const QString& tag, const QString& value) {
    return AppendXmlElement(build.errors, build.doc, parent, tag, value);
}

} // namespace quibo
