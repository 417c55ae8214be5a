#pragma once

#include "tally/XmlDocument.h"

#include <QString>

#include <optional>

namespace quibo {

class ErrorReporter;
class LocalDatabase;
class TallyLink;

// The VOUCHER import message of one staged voucher: the import envelope for the company, one
// TALLYMESSAGE (xmlns:UDF="TallyUDF") holding one VOUCHER, and the sections of that voucher's staged
// rows in their fixed order. Only reads the staging tables. A run-time error (a database that cannot
// be read, a company the envelope cannot hold) is reported (C01--0020) and gives no document.
std::optional<XmlDocument> BuildVoucherMessage(ErrorReporter& errors, LocalDatabase& db,
                                               const QString& company, const QString& voucherId,
                                               const QString& action);

// Builds the voucher's message and posts it: the outcome PostToTally gives, or "" when the message
// could not be built (reported).
QString SendVoucher(TallyLink& link, LocalDatabase& db, const QString& company, const QString& voucherId,
                    const QString& action);

} // namespace quibo
