#include "staging/VoucherMessage.h"

#include "base/Trap.h"
#include "localdb/LocalTransaction.h"
#include "staging/VoucherBuild.h"
#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/XmlBuilders.h"
#include "vb/RuntimeError.h"

namespace quibo {

std::optional<XmlDocument> BuildVoucherMessage(ErrorReporter& errors, LocalDatabase& db,
                                               const QString& company, const QString& voucherId,
                                               const QString& action) {
    std::optional<XmlDocument> message;
    Trap(errors, "C01--0020", [&] {
        const LocalSnapshot snapshot(db);
        std::optional<XmlDocument> doc = NewImportDataEnvelope(errors, company);
        const XmlNode requestData = doc ? doc->firstElement(QStringLiteral("REQUESTDATA")) : XmlNode();
        if (!requestData) vb::Raise(vb::err::ObjectRequired, QStringLiteral("Object required"));
        const XmlNode tallyMessage =
            AppendXmlElement(errors, *doc, requestData, QStringLiteral("TALLYMESSAGE"), QString());
        SetXmlAttribute(errors, *doc, tallyMessage, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
        VoucherBuild build{
            errors,  db,
            *doc,    AppendXmlElement(errors, *doc, tallyMessage, QStringLiteral("VOUCHER"), QString()),
            company, voucherId,
            action,  QString(),
            nullptr};
        AppendPartyLists(build);
        AppendVoucherHeader(build);
        AppendOrderLists(build);
        AppendLedgerEntries(build);
        AppendInventoryEntries(build);
        AppendAllLedgerEntries(build);
        AppendStockJournalEntries(build);
        message = std::move(doc);
    });
    return message;
}

QString SendVoucher(TallyLink& link, LocalDatabase& db, const QString& company, const QString& voucherId,
                    const QString& action) {
    std::optional<XmlDocument> message = BuildVoucherMessage(link.errors(), db, company, voucherId, action);
    if (!message) return QString();
    QString xml = message->xml();
    return link.PostToTally(xml);
}

} // namespace quibo
