#pragma once

// The posting fixture for vouchers of many optional columns: rows written as "COLUMN=value" cells,
// and a sender that keeps the VOUCHER message of every voucher sent.

#include "vouchers/PostingFixture.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quibo::test {

// Rows and the staging query whose rows they must give, each row's values joined by "|".
struct StagedRows {
    QString query;
    QStringList rows;
};

class ItemVoucherFixture : public PostingFixture {
protected:
    // Each row a text "COLUMN=value|COLUMN=value", `every` joined before it (a later cell replaces
    // one of the same column). The grid holds the `required` columns, then every other column named,
    // in the order named; a cell not named is blank. VCHTYPE, VCHNO and VCHDATE read "Sales", "1"
    // and "d" unless named.
    void LoadCells(const QStringList& required, const QString& every, const QStringList& rows);

    // Answers CREATED and keeps the message of each voucher as the builder makes it.
    VoucherSender Messages();
    QList<QByteArray> messages;

    void ExpectStaged(const QList<StagedRows>& expected) const;
};

} // namespace quibo::test
