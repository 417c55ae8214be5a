// The format-driven vouchers: GST transactions and the users' own voucher formats, built row by row
// from a format definition of "Quibo20.DAT" instead of the staging tables.

#include "base/ColumnLookup.h"
#include "base/FormModel.h"
#include "base/OutcomeMarks.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "tally/ImportEnvelope.h"
#include "tally/TallyLink.h"
#include "tally/TallyOutcome.h"
#include "tally/template/TemplateEngine.h"
#include "tally/XmlBuilders.h"
#include "vb/Number.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"
#include "vouchers/VoucherPosters.h"
#include "vouchers/VoucherRun.h"

#include <cmath>
#include <optional>

namespace quibo {

namespace {

const QString MessagePanel = QStringLiteral("msg");
const QString IdColumn = QStringLiteral("ID");
const QString CompanyColumn = QStringLiteral("COMPANYNAME");
const QString VoucherGroup = QStringLiteral("VOUCHER");

// The voucher key of a row when the source has no "ID" column.
using KeyParts = QString (*)(const WorkGrid& grid, LocalDatabase& db, int32_t formatNumber, int row);

QString TransactionKeyParts(const WorkGrid& grid, LocalDatabase&, int32_t, int row) {
    return grid.CellText(row, QStringLiteral("VCHTYPE")) + QLatin1Char('-') +
           grid.CellText(row, QStringLiteral("VCHNO")) + QLatin1Char('-') +
           grid.CellText(row, QStringLiteral("VCHDATE"));
}

QString FormatKeyParts(const WorkGrid& grid, LocalDatabase& db, int32_t formatNumber, int row) {
    const auto tag = [&](const char* name) {
        return GetFieldValue(db, grid, VoucherGroup, QString::fromLatin1(name), formatNumber, row);
    };
    return tag("VOUCHERTYPENAME") + QLatin1Char('-') + tag("VOUCHERNUMBER") + QLatin1Char('-') + tag("DATE");
}

// The leading number of a text as a column number (CLng of Val: halves go to the even number).
int ColumnNumber(const QString& text) {
    const double number = std::nearbyint(vb::Val(text));
    if (!(number >= -2147483648.0 && number <= 2147483647.0))
        vb::Raise(vb::err::Overflow, QStringLiteral("Overflow"));
    return static_cast<int>(number);
}

// The voucher being assembled: its request grows by one call of the template per row.
struct OpenVoucher {
    int recordNumber = 1;
    std::optional<XmlDocument> request;
    XmlNode element; // null when the request could not be built (reported): nothing is then sent
    QString refusal; // why nothing of it is read into the request or sent, or ""
};

void PostFormatVouchers(FormModel& form, TallyLink& link, KeyParts keyParts) {
    Trap(form.errors(), "F01-0023", [&] {
        // One format for the whole run: the box may change while the run yields to the window.
        const QString formatName = form.cmbTableName.Text();
        LocalDatabase db(form.services().dataFolder);
        WorkGrid& grid = form.GR1;
        TemplateEngine engine(form.errors(), db, grid, form.lstLedgerTree);
        const std::optional<TemplateFormat> format = engine.FindTemplateFormat(formatName);
        // Without its format no voucher has an element to send.
        if (!format)
            vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Format not found: ") + formatName);

        form.tabDataIndex = 1;
        form.stat(QString(), MessagePanel);
        const bool keyedById = GetColumnIndex(form.errors(), form.lstLedgerTree, IdColumn) >= 0;
        const bool hasCompany = GetColumnIndex(form.errors(), form.lstLedgerTree, CompanyColumn) >= 0;

        int processed = 0;
        std::optional<OpenVoucher> open;
        const auto start = [&](int row) {
            open.emplace(OpenVoucher{1, NewImportDataEnvelope(form.errors(), form.CurrentCompany), {}, {}});
            if (!open->request) return; // reported by the envelope
            XmlDocument& request = *open->request;
            const XmlNode message =
                AppendXmlElement(form.errors(), request, request.firstElement(QStringLiteral("REQUESTDATA")),
                                 QStringLiteral("TALLYMESSAGE"), {});
            if (!message) return;
            SetXmlAttribute(form.errors(), request, message, QStringLiteral("xmlns:UDF"),
                            QStringLiteral("TallyUDF"));
            open->element = AppendXmlElement(form.errors(), request, message, format->type, {});
            if (open->element)
                engine.ApplyTemplateAttributes(request, open->element, format->number, format->type, row);
        };
        VoucherRows walk;
        walk.key = [&](int row, const QString*) {
            const QString parts = keyParts(grid, db, format->number, row);
            return keyedById ? grid.CellText(row, IdColumn) : parts;
        };
        walk.add = [&](int row, bool firstRow, const QString&, const QString& refusal) {
            if (!refusal.isEmpty()) {
                if (firstRow) open.emplace();
                open->refusal = refusal;
                open->element = XmlNode();
                return;
            }
            if (firstRow) start(row);
            if (open->element)
                engine.BuildTemplateElements(*open->request, open->element, format->number, format->type, row,
                                             open->recordNumber, 1);
            ++open->recordNumber;
        };
        walk.finish = [&](int firstRow, int lastRow, const QString& key) {
            TallyOutcome outcome;
            if (open->element) {
                QString xml = open->request->xml();
                outcome = PostRecord(link, [&] { return link.PostToTally(xml); });
            }
            MarkVoucherOutcome(form, firstRow, lastRow, key, outcome, open->refusal);
            grid.SetSelectedRow(lastRow);
            form.stat(progress::Processed + QString::number(++processed), MessagePanel);
            open.reset();
        };
        WalkVoucherRows(form, keyedById, hasCompany, walk);
        form.stat(progress::Finished, MessagePanel);
    });
}

} // namespace

QString GetFieldValue(LocalDatabase& db, const WorkGrid& grid, const QString& groupName,
                      const QString& tagName, int32_t formatNumber, int row) {
    const RecordSet tags = db.query(QStringLiteral("SELECT * FROM QuiboDet_ WHERE TNo = ? AND GroupName = ? "
                                                   "AND TagName = ? ORDER BY rowid"),
                                    {formatNumber, groupName, tagName});
    if (tags.isEmpty()) return {};
    const QVariant defValue = tags.value(0, u"DefValue");
    if (!defValue.isNull()) return defValue.toString();
    const QVariant fieldName = tags.value(0, u"fieldName");
    if (fieldName.isNull()) return {};
    QString field = vb::UCase(fieldName.toString());
    if (!field.contains(QLatin1String("{#"))) return grid.CellText(row, field);
    field.remove(QLatin1String("{#")).remove(QLatin1Char('}'));
    return grid.CellText(row, ColumnNumber(field));
}

void PostTransactionGST(FormModel& form, TallyLink& link) {
    PostFormatVouchers(form, link, &TransactionKeyParts);
}

void PostCustomFormat(FormModel& form, TallyLink& link) {
    PostFormatVouchers(form, link, &FormatKeyParts);
}

} // namespace quibo
