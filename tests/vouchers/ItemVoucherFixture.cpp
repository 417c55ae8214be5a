#include "vouchers/ItemVoucherFixture.h"

#include "staging/VoucherMessage.h"

#include <QHash>

namespace quibo::test {

void ItemVoucherFixture::LoadCells(const QStringList& required, const QString& every,
                                   const QStringList& rows) {
    QStringList fields = required;
    QList<QHash<QString, QString>> records;
    for (const QString& row : rows) {
        QHash<QString, QString> record{{"VCHTYPE", "Sales"}, {"VCHNO", "1"}, {"VCHDATE", "d"}};
        const QString cells = every.isEmpty() ? row : every + QLatin1Char('|') + row;
        for (const QString& cell : cells.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
            const QString column = cell.section(QLatin1Char('='), 0, 0);
            record.insert(column, cell.section(QLatin1Char('='), 1));
            if (!fields.contains(column)) fields << column;
        }
        records << record;
    }
    QList<QStringList> grid;
    for (const auto& record : records) {
        QStringList values;
        for (const QString& field : fields)
            values << record.value(field);
        grid << values;
    }
    Load(fields, grid);
}

VoucherSender ItemVoucherFixture::Messages() {
    return [this](const QString& company, const QString& voucherId) {
        const auto message = BuildVoucherMessage(errors, db, company, voucherId, QStringLiteral("Create"));
        messages << (message ? message->xml().toUtf8() : QByteArray());
        return TallyOutcome{QStringLiteral("CREATED"), true};
    };
}

void ItemVoucherFixture::ExpectStaged(const QList<StagedRows>& expected) const {
    for (const StagedRows& staged : expected)
        EXPECT_EQ(Staged(staged.query), staged.rows) << staged.query.toStdString();
}

} // namespace quibo::test
