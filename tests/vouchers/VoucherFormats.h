#pragma once

// Voucher formats written into a local database as a user's "Quibo20.DAT" holds them, for the
// format-driven voucher tests in-process and end to end.

#include "localdb/LocalDatabase.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace quibo::test {

inline QVariant Nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

inline void StoreFormat(LocalDatabase& db, const QString& name, int number) {
    db.insert(QStringLiteral("QuiboMst_"), {"TName", "TType", "TNo"}, {name, "VOUCHER", number});
}

// A tag: "A" an attribute, "N" a value, "C" a conditional; from a field, or a fixed value.
inline void StoreTag(LocalDatabase& db, int number, int set, int order, const QString& group,
                     const QString& tag, const char* type, const std::optional<QString>& field,
                     const std::optional<QString>& fixed = {}, const QString& valueFormat = {}) {
    db.insert(
        QStringLiteral("QuiboDet_"),
        {"TNo", "SetNo", "SrNo", "GroupName", "TagName", "TagType", "ValFormat", "DefValue", "fieldName"},
        {number, set, order, group, tag, QString::fromLatin1(type), valueFormat, Nullable(fixed),
         Nullable(field)});
}

inline void StoreGroup(LocalDatabase& db, int number, const QString& parent, int set, const QString& group) {
    db.insert(QStringLiteral("QuiboGrp_"), {"TNo", "ParentName", "SetNo", "GroupName", "SetOn"},
              {number, parent, set, group, QVariant()});
}

// One ledger line per row: LEDGER, and AMOUNT negative for a debit.
inline void StoreLedgerLines(LocalDatabase& db, int number, const QString& ledgerField) {
    const QString list = QStringLiteral("LEDGERENTRIES.LIST");
    StoreGroup(db, number, QStringLiteral("VOUCHER"), 2, list);
    StoreTag(db, number, 2, 1, list, "LEDGERNAME", "N", ledgerField);
    StoreTag(db, number, 2, 2, list, "ISDEEMEDPOSITIVE", "C",
             QStringLiteral("IF {AMOUNT} < 0 THEN Yes ELSE No"));
    StoreTag(db, number, 2, 3, list, "AMOUNT", "N", QStringLiteral("AMOUNT"), {}, QStringLiteral("NUMBER"));
}

// "TRANSACTIONSGST": the voucher type, number and date of its first row, a ledger line per row.
inline void StoreGstFormat(LocalDatabase& db, int number = 1) {
    const QString voucher = QStringLiteral("VOUCHER");
    StoreFormat(db, QStringLiteral("TRANSACTIONSGST"), number);
    StoreTag(db, number, 1, 0, voucher, "VCHTYPE", "A", QStringLiteral("VCHTYPE"));
    StoreTag(db, number, 1, 0, voucher, "ACTION", "A", {}, QStringLiteral("Create"));
    StoreTag(db, number, 1, 1, voucher, "DATE", "N", QStringLiteral("VCHDATE"));
    StoreTag(db, number, 1, 2, voucher, "VOUCHERTYPENAME", "N", QStringLiteral("VCHTYPE"));
    StoreTag(db, number, 1, 3, voucher, "VOUCHERNUMBER", "N", QStringLiteral("VCHNO"));
    StoreTag(db, number, 1, 4, voucher, "NARRATION", "N", QStringLiteral("NARRATION"));
    StoreLedgerLines(db, number, QStringLiteral("LEDGER"));
}

// "PETTYCASH", a user's format: cash payments keyed by their number ("voucherno") and date (column
// 2), the ledger in NAME.
inline void StorePettyCashFormat(LocalDatabase& db, int number = 2) {
    const QString voucher = QStringLiteral("VOUCHER");
    StoreFormat(db, QStringLiteral("PETTYCASH"), number);
    StoreTag(db, number, 1, 0, voucher, "VCHTYPE", "A", {}, QStringLiteral("Payment"));
    StoreTag(db, number, 1, 1, voucher, "DATE", "N", QStringLiteral("{#2}"));
    StoreTag(db, number, 1, 2, voucher, "VOUCHERTYPENAME", "N", {}, QStringLiteral("Payment"));
    StoreTag(db, number, 1, 3, voucher, "VOUCHERNUMBER", "N", QStringLiteral("voucherno"));
    StoreTag(db, number, 1, 4, voucher, "NARRATION", "N", QStringLiteral("NOTE"));
    StoreLedgerLines(db, number, QStringLiteral("NAME"));
}

} // namespace quibo::test
