#include "vouchers/PostingFixture.h"

#include "support/GoldenFile.h"
#include "tally/TallyLink.h"

namespace quibo::test {

PostingFixture::PostingFixture() {
    form.DecimalPlaces = QStringLiteral("#################0.000");
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

bool PostingFixture::Red(int row) const {
    for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
        if (form.GR1.CellColor(row, c) != 255) return false;
    return true;
}

bool PostingFixture::Unmarked(int row) const {
    for (int c = 1; c <= form.GR1.ColumnCount(); ++c)
        if (form.GR1.CellColor(row, c) != 0) return false;
    return !Bold(row);
}

HttpReply RecordingTransport::post(const QString&, const QByteArray& body, const QStringList&) {
    bodies.push_back(body);
    return HttpReply{true, 200, "<RESPONSE><CREATED>1</CREATED></RESPONSE>", {}, {}, 0};
}

HttpReply RecordingTransport::getWithBody(const QString& url, const QByteArray& body) {
    return post(url, body, {});
}

void ExpectGolden(const QByteArray& bytes, const QString& name) {
    ExpectGoldenFile(bytes, QStringLiteral(QUIBO_VOUCHERS_GOLDEN), name);
}

void PostingFixture::ExpectGoldenRuns(std::initializer_list<GoldenRun> runs) {
    RecordingTransport transport;
    TallyLink link{settings, errors, transport};
    for (const GoldenRun& run : runs) {
        transport.bodies.clear();
        Load(run.fields, run.rows);
        run.post(form, link);
        ASSERT_EQ(transport.bodies.size(), 1u) << run.golden;
        // A sign goes only on a number: no value is a bare "-".
        EXPECT_FALSE(transport.bodies[0].contains(">-<")) << run.golden;
        ExpectGolden(transport.bodies[0], QString::fromLatin1(run.golden));
    }
}

} // namespace quibo::test
