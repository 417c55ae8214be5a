#pragma once

// What the staging tests share: a local database in a scratch folder, rows staged straight into its
// tables, and the bytes that sending a staged voucher puts on the wire (a transport that records
// them and answers CREATED), compared with golden files.

#include "base/MemorySettingsStore.h"
#include "localdb/LocalDatabase.h"
#include "tally/HttpTransport.h"
#include "tally/ReportingTest.h"
#include "tally/TallyLink.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <utility>
#include <vector>

namespace quibo::test {

// Answers every request with a CREATED reply and keeps the bodies.
class RecordingTransport final : public HttpTransport {
public:
    HttpReply post(const QString& url, const QByteArray& body, const QStringList& headers = {}) override;
    HttpReply getWithBody(const QString& url, const QByteArray& body) override;
    std::vector<QByteArray> bodies;
};

struct VoucherTest : ReportingTest {
    LocalDatabase db{folder.path()};
    MemorySettingsStore settings;
    RecordingTransport transport;
    TallyLink link{settings, errors, transport};

    // One row into a staging table: column name and value; a null QVariant stages Null. The company
    // column is not named: every row is staged under `company`.
    using Cells = std::initializer_list<std::pair<const char*, QVariant>>;
    void Stage(const char* table, Cells cells, const QString& company = QStringLiteral("Acme Traders"));

    // Sends the staged voucher and returns the one request body it posted ("" when nothing was
    // posted; the test then fails unless `expectPosted` is false).
    QByteArray Sent(const QString& voucherId, const QString& company = QStringLiteral("Acme Traders"),
                    bool expectPosted = true);
};

// Compares the bytes with the golden file tests/staging/golden/NAME. With QUIBO_UPDATE_GOLDEN=1 in
// the environment the file is written instead (and the test passes): review the diff before committing.
void ExpectGolden(const QByteArray& bytes, const QString& name);

} // namespace quibo::test
