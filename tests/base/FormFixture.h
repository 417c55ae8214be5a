#pragma once

// A headless main form with scripted services, for tests of everything that
// works on the form model.

#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/MemorySettingsStore.h"
#include "support/TestServices.h"

#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace quibo::test {

// What a run left for the user to see: a row's status, icon and bold status cell, the texts the "msg"
// panel showed (without the nine full stops), the location codes of the error reports made.
inline QString StatusOf(const FormModel& form, int row) {
    return form.GR1.CellText(row, QStringLiteral("PROCESSSTATUS"));
}
inline int IconOf(const FormModel& form, int row) {
    return form.GR1.CellIcon(row, 1);
}
inline bool StatusIsBold(const FormModel& form, int row) {
    return form.GR1.CellFont(row, form.GR1.ColumnIndex(QStringLiteral("PROCESSSTATUS"))).bold;
}
inline QStringList ProgressTexts(const RecordingStatusLine& statusLine) {
    QStringList out;
    for (const QString& change : statusLine.changes)
        if (change.startsWith(QLatin1String("msg=")))
            out << change.mid(4).remove(QRegularExpression(QStringLiteral("^\\.{9}")));
    return out;
}
inline QStringList ReportedLocations(const ScriptedMessageBox& boxes) {
    static const QRegularExpression code(QStringLiteral("=> LOCATION CODE: (\\S+)\\(\\)"));
    QStringList found;
    for (const QString& text : boxes.texts()) {
        const auto match = code.match(text);
        found << (match.hasMatch() ? match.captured(1) : QStringLiteral("?"));
    }
    return found;
}

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
    void loadWork(const QStringList& keys, const QList<QStringList>& rows) {
        form.GR1.Clear(true);
        for (const auto& k : keys)
            form.GR1.AddColumn(k, k);
        for (const auto& r : rows) {
            form.GR1.AddRow();
            for (int c = 0; c < r.size(); ++c)
                form.GR1.SetCellText(form.GR1.RowCount(), c + 1, r[c]);
        }
    }
};

class FormTest : public ::testing::Test, public FormHarness {};

} // namespace quibo::test
