#include "staging/VoucherBuild.h"

#include "localdb/LocalDatabase.h"
#include "localdb/RecordSet.h"
#include "tally/XmlBuilders.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"

#include <cmath>

namespace quibo {

RecordSet StagedRows(const VoucherBuild& build, const QString& table, const QString& orderBy,
                     const QString& parentKey, const QVariant& parentValue) {
    QString sql = QStringLiteral("Select * from %1 where CompanyName = ? and FK_VchID = ?").arg(table);
    QVariantList params{build.company, build.voucherId};
    if (!parentKey.isEmpty()) {
        sql += QStringLiteral(" and %1 = ?").arg(parentKey);
        // A parent row without a key owns no rows: Null matches nothing, where "" would pick up
        // rows staged under an empty key.
        params.append(parentValue.isNull() ? QVariant() : QVariant(parentValue.toString()));
    }
    sql += QStringLiteral(" Order By ") + orderBy;
    return build.db.query(sql, params);
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
    for (const auto& [tag, column] : fields)
        AppendField(build, parent, tag.toString(), rows, row, column);
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
