#pragma once

// A headless main form with scripted services, for tests of everything that
// works on the form model.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "support/TestServices.h"

#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <ostream>

#include <gtest/gtest.h>

// Readable failure messages for the Qt values these tests compare.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << "[\n  " << list.join(QStringLiteral("\n  ")).toStdString() << "\n]";
}

namespace quibo::test {

struct FormHarness {
    TempFolder folder;
    ScriptedMessageBox boxes;
    ScriptedFileDialog files;
    RecordingStatusLine statusLine;
    CountingYield yield;
    FakeClock clock;
    MemorySettingsStore settings;
    ErrorReporter errors{boxes, clock, folder.path(), ErrorReporter::Platform{}};
    FormModel form{FormServices{boxes, files, statusLine, yield, clock, settings, errors, folder.path()}};

    // Loads a source table the way the loaders do: field names, then records.
    void loadSource(const QStringList& fields, const QList<QStringList>& records) {
        form.lstLedgerTree.Bind(fields, QList<int>(fields.size(), 0));
        for (const auto& r : records)
            form.lstLedgerTree.AppendRecord(r);
    }
    // Builds GR1 with one column per key (header = key unless given) and the rows.
    void loadWork(const QStringList& keys, const QList<QStringList>& rows, const QStringList& headers = {}) {
        form.GR1.Clear(true);
        for (int c = 0; c < keys.size(); ++c)
            form.GR1.AddColumn(keys[c], c < headers.size() ? headers[c] : keys[c]);
        for (const auto& r : rows) {
            form.GR1.AddRow();
            for (int c = 0; c < r.size(); ++c)
                form.GR1.SetCellText(form.GR1.RowCount(), c + 1, r[c]);
        }
    }
    // Loads a source as the table loader does: the source grid, GR1 with one column per field keyed
    // by its upper-cased name and "PROCESSSTATUS", one row per record, then the closing empty row
    // (unless asked not to).
    void Load(const QStringList& fields, const QList<QStringList>& records, bool closingRow = true) {
        loadSource(fields, records);
        QStringList keys;
        for (const QString& field : fields)
            keys << field.toUpper();
        QList<QStringList> rows = records;
        if (closingRow) rows << QStringList();
        loadWork(keys << QStringLiteral("PROCESSSTATUS"), rows,
                 fields + QStringList{QStringLiteral("Process Status")});
    }

    // What a run left for the user to see: a row's status, icon and bold status cell, the texts the
    // "msg" panel showed (without the nine full stops), the location codes of the error reports made.
    QString Status(int row) const { return form.GR1.CellText(row, QStringLiteral("PROCESSSTATUS")); }
    int Icon(int row) const { return form.GR1.CellIcon(row, 1); }
    bool Bold(int row) const {
        return form.GR1.CellFont(row, form.GR1.ColumnIndex(QStringLiteral("PROCESSSTATUS"))).bold;
    }
    QStringList Progress() const {
        QStringList out;
        for (const QString& change : statusLine.changes)
            if (change.startsWith(QLatin1String("msg=")))
                out << change.mid(4).remove(QRegularExpression(QStringLiteral("^\\.{9}")));
        return out;
    }
    QStringList Locations() const { return boxes.locations(); }
};

class FormTest : public ::testing::Test, public FormHarness {};

// The companies of the posting tests.
inline const QString Sharma = QStringLiteral("Sharma Traders");
inline const QString Mehta = QStringLiteral("Mehta Exports");

// The form a posting run starts from: both companies in the company box, the first chosen.
struct PostingHarness : FormHarness {
    PostingHarness() {
        form.cmbCurrentCompanyList.AddItem(Sharma);
        form.cmbCurrentCompanyList.AddItem(Mehta);
        form.cmbCurrentCompanyList.SetListIndex(0);
    }
};

} // namespace quibo::test
