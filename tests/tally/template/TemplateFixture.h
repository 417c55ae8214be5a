#pragma once

// A loaded source and a staged "Quibo20.DAT" for the template tests: the source grid, the working
// grid built from it and the format tables in the test's scratch folder.

#include "base/SourceGrid.h"
#include "base/WorkGrid.h"
#include "localdb/LocalDatabase.h"
#include "tally/ReportingTest.h"
#include "tally/template/TemplateEngine.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <optional>

namespace quibo::test {

// A `QuiboDet_` row; what is not given is Null.
struct DetRow {
    int setNo = 1;
    int srNo = 1;
    QString groupName;
    QString tagName;
    QString tagType;
    std::optional<QString> valFormat;
    std::optional<QString> defValue;
    std::optional<QString> fieldName;
};

class TemplateFixture : public ReportingTest {
protected:
    TemplateFixture();

    // Loads the source: field names, then one list of cells per record (GR1 rows from 1).
    void Load(const QStringList& fields, const QList<QStringList>& records);
    // A ledger sheet: row 5 is Acme Traders; rows 1 to 4 hold other ledgers.
    void LoadLedgers();

    void Mst(const QString& name, const QString& type, int number, const std::optional<QString>& source = {});
    void Det(int number, const DetRow& row);
    void Grp(int number, const QString& parent, int setNo, const QString& group,
             const std::optional<QString>& setOn = {});
    // A ledger format with every kind of tag: "LEDGERSGST", TNo 7, TType "LEDGER".
    void StageAcmeLedgerFormat();

    // A document holding only the element, filled by ApplyTemplateAttributes and BuildTemplateElements.
    QString Expand(int number, const QString& type, int row, int recordNumber = 1);
    // The number of the run-time error that Expand raises; 0 when it raises none.
    int32_t ExpandError(int number, const QString& type, int row);
    LocalDatabase database;
    SourceGrid source;
    WorkGrid grid;
    TemplateEngine engine;
};

QVariant Nullable(const std::optional<QString>& text);

} // namespace quibo::test
