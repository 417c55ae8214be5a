#include "vouchers/PostingFixture.h"

#include "base/FormFixture.h"

namespace quibo::test {

PostingFixture::PostingFixture() {
    form.cmbCurrentCompanyList.AddItem(Sharma);
    form.cmbCurrentCompanyList.AddItem(Mehta);
    form.cmbCurrentCompanyList.SetListIndex(0);
    form.DecimalPlaces = QStringLiteral("#################0.000");
}

void PostingFixture::Load(const QStringList& fields, const QList<QStringList>& records, bool closingRow) {
    form.lstLedgerTree.Bind(fields, QList<int>(fields.size(), 0));
    WorkGrid& grid = form.GR1;
    grid.Clear(true);
    for (const QString& field : fields)
        grid.AddColumn(field.toUpper(), field);
    grid.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    for (const QStringList& record : records) {
        form.lstLedgerTree.AppendRecord(record);
        grid.AddRow();
        for (int c = 0; c < record.size(); ++c)
            grid.SetCellText(grid.RowCount(), c + 1, record[c]);
    }
    if (closingRow) grid.AddRow();
}

VoucherSender PostingFixture::Recorder() {
    return [this](const QString& company, const QString& voucherId) {
        LocalDatabase other(folder.path());
        const RecordSet lines = other.query(
            QStringLiteral(
                "Select LedgerName_ from LedgerEntry where CompanyName=? and FK_VchID=? order by LdEID"),
            {company, voucherId});
        QStringList names;
        for (int r = 0; r < lines.rowCount(); ++r)
            names << lines.value(r, 0).toString();
        sent << company + QLatin1Char('/') + voucherId + QStringLiteral(": ") +
                    names.join(QStringLiteral(", "));
        TallyOutcome outcome{QStringLiteral("CREATED"), true};
        if (!answers.empty()) {
            outcome = answers.front();
            answers.pop_front();
        }
        return outcome;
    };
}

QStringList PostingFixture::Staged(const QString& sql) const {
    QStringList out;
    LocalDatabase reader(folder.path());
    const RecordSet rows = reader.query(sql);
    for (int r = 0; r < rows.rowCount(); ++r) {
        QStringList values;
        for (int c = 0; c < rows.columnCount(); ++c)
            values << (rows.value(r, c).isNull() ? QStringLiteral("<null>") : rows.value(r, c).toString());
        out << values.join(QLatin1Char('|'));
    }
    return out;
}

QString PostingFixture::Status(int row) const {
    return StatusOf(form, row);
}

int PostingFixture::Icon(int row) const {
    return IconOf(form, row);
}

bool PostingFixture::Red(int row) const {
    for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
        if (form.GR1.CellColor(row, c) != 255) return false;
    return true;
}

bool PostingFixture::Bold(int row) const {
    return StatusIsBold(form, row);
}

bool PostingFixture::Unmarked(int row) const {
    for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
        if (form.GR1.CellColor(row, c) != 0) return false;
    return !Bold(row);
}

QStringList PostingFixture::Progress() const {
    return ProgressTexts(statusLine);
}

QStringList PostingFixture::Locations() const {
    return ReportedLocations(boxes);
}

} // namespace quibo::test
