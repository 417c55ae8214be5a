#include "tally/template/TemplateFixture.h"

#include "tally/XmlDocument.h"
#include "vb/RuntimeError.h"

namespace quibo::test {

QVariant Nullable(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

TemplateFixture::TemplateFixture() : database(folder.path()), engine(errors, database, grid, source) {}

void TemplateFixture::Load(const QStringList& fields, const QList<QStringList>& records) {
    source.Bind(fields, QList<int>(fields.size(), 0));
    grid.Clear(true);
    for (const QString& field : fields)
        grid.AddColumn(field.trimmed().toUpper(), field);
    grid.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    for (const QStringList& record : records) {
        source.AppendRecord(record);
        grid.AddRow();
        for (int c = 0; c < record.size(); ++c)
            grid.SetCellText(grid.RowCount(), c + 1, record[c]);
    }
    grid.AddRow(); // the loaders' closing empty row
}

void TemplateFixture::LoadLedgers() {
    Load({QStringLiteral("NAME"), QStringLiteral("PARENT"), QStringLiteral("OPENINGBALANCE"),
          QStringLiteral("GSTIN")},
         {{QStringLiteral("Cash Sales"), QStringLiteral("Sales Accounts"), QStringLiteral("0"), QString()},
          {QStringLiteral("Bank Charges"), QStringLiteral("Indirect Expenses"), QString(), QString()},
          {QStringLiteral("Rent"), QStringLiteral("Indirect Expenses"), QStringLiteral("12000"), QString()},
          {QStringLiteral("Smith & Sons"), QStringLiteral("Sundry Creditors"), QStringLiteral("-250.5"),
           QStringLiteral("27AAAAA0000A1Z5")},
          {QStringLiteral("Acme Traders"), QStringLiteral("Sundry Debtors"), QStringLiteral("1500"),
           QString()}});
}

void TemplateFixture::Mst(const QString& name, const QString& type, int number,
                          const std::optional<QString>& src) {
    database.insert(
        QStringLiteral("QuiboMst_"),
        {QStringLiteral("TName"), QStringLiteral("TType"), QStringLiteral("TNo"), QStringLiteral("TSource")},
        {name, type, number, Nullable(src)});
}

void TemplateFixture::Det(int number, const DetRow& row) {
    database.insert(QStringLiteral("QuiboDet_"),
                    {QStringLiteral("TNo"), QStringLiteral("SetNo"), QStringLiteral("SrNo"),
                     QStringLiteral("GroupName"), QStringLiteral("TagName"), QStringLiteral("TagType"),
                     QStringLiteral("ValFormat"), QStringLiteral("DefValue"), QStringLiteral("fieldName")},
                    {number, row.setNo, row.srNo, row.groupName, row.tagName, row.tagType,
                     Nullable(row.valFormat), Nullable(row.defValue), Nullable(row.fieldName)});
}

void TemplateFixture::Grp(int number, const QString& parent, int setNo, const QString& group,
                          const std::optional<QString>& setOn) {
    database.insert(QStringLiteral("QuiboGrp_"),
                    {QStringLiteral("TNo"), QStringLiteral("ParentName"), QStringLiteral("SetNo"),
                     QStringLiteral("GroupName"), QStringLiteral("SetOn")},
                    {number, parent, setNo, group, Nullable(setOn)});
}

void TemplateFixture::StageAcmeLedgerFormat() {
    const QString ledger = QStringLiteral("LEDGER");
    Mst("LEDGERSGST", ledger, 7);
    // Stored out of order: the tags come out by SrNo, the groups by SetNo.
    Det(7, {3, 1, "NAME.LIST", "NAME", "N", {}, {}, "NAME"});
    Det(7, {1, 4, ledger, "ISBILLWISEON", "C", {}, {}, "IF {OPENINGBALANCE} > 0 THEN Yes ELSE No"});
    Det(7, {1, 2, ledger, "PARENT", "N", {}, {}, "PARENT"});
    Det(7, {1, 1, ledger, "NAME", "A", {}, {}, "NAME"});
    Det(7, {1,
            5,
            ledger,
            "<MAILINGNAME.LIST><MAILINGNAME>{V1}</MAILINGNAME></MAILINGNAME.LIST>",
            "G",
            {},
            {},
            "{NAME};"});
    Det(7, {1, 3, ledger, "OPENINGBALANCE", "N", "NUMBER", {}, "{#3}"});
    Grp(7, ledger, 3, "NAME.LIST");
    Grp(7, ledger, 2, "GSTDETAILS.LIST", "{#3} > 5000");
}

QString TemplateFixture::Expand(int number, const QString& type, int row, int recordNumber) {
    XmlDocument doc;
    EXPECT_TRUE(doc.loadXml(QLatin1Char('<') + type + QStringLiteral("/>")));
    const XmlNode element = doc.documentElement();
    engine.ApplyTemplateAttributes(doc, element, number, type, row);
    engine.BuildTemplateElements(doc, element, number, type, row, recordNumber, 1);
    return doc.xml();
}

int32_t TemplateFixture::ExpandError(int number, const QString& type, int row) {
    try {
        Expand(number, type, row);
    } catch (const vb::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace quibo::test
