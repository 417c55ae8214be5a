#pragma once

#include "base/FormControls.h"
#include "base/SourceGrid.h"
#include "base/WorkGrid.h"
#include "core/LargeBlocks.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace quibo {

class ClockService;
class ErrorReporter;
class FileDialogService;
class MessageBoxService;
class RowYieldService;
class SettingsStore;
class StatusLineService;

// Everything the form's procedures reach the user and the machine through.
// The references must outlive the form model.
struct FormServices {
    MessageBoxService& messages;
    FileDialogService& files;
    StatusLineService& statusLine;
    RowYieldService& yield;
    ClockService& clock;
    SettingsStore& settings;
    ErrorReporter& errors;
    QString dataFolder; // where "Quibo20.DAT" and the error log live
};

// The main form `frmExcel` without a window: its grids, controls and run
// state, and the small procedures every command shares. Commands, loaders
// and posters work on it; the Qt window is a view over it.
class FormModel {
public:
    explicit FormModel(FormServices services);
    FormModel(const FormModel&) = delete;
    FormModel& operator=(const FormModel&) = delete;

    FormServices& services() { return m_services; }
    ErrorReporter& errors() { return m_services.errors; }

    // --- grids
    WorkGrid GR1;
    SourceGrid lstLedgerTree;
    // A second source-type grid, filled only by `LoadLedgerTransactionLists`; no window shows it.
    SourceGrid lstTransactions;

    // --- controls
    ComboBox cmbCurrentCompanyList;
    ComboBox cmbTableName;
    QString txtFilePath;
    QString txtMdbPath;
    QString txtMDBUser;
    QString txtMDBPass;
    QString txtODBCPath;
    QString txtODBCUser;
    QString txtPass;
    // The two share one place; a load shows the one its import type uses.
    CheckBox chkChkMst{0, false};
    CheckBox chkSkipMst{0, false};
    QStringList tabSourceCaptions; // "Excel", "Access", "ODBC" once the form has loaded
    int tabSourceIndex = -1;
    int tabDataIndex = 1; // "Imported Data"
    StatusBar SB;
    MenuState menus;

    QString TabSourceCaption() const { return tabSourceCaptions.value(tabSourceIndex); }

    // --- run state
    QString CurrentCompany;
    bool SilentMode = false;
    QString DateFormat; // number and date patterns the loaders apply, read by Refresh
    QString DecimalPlaces;

    // --- procedures shared by every command
    // Shows text in a status-bar panel, after nine full stops; "" clears it.
    void stat(const QString& text, const QString& key);
    // The same for a text that already starts with the nine full stops (or is ""): a per-row
    // progress text is written in one piece.
    void statShown(const QString& shown, const QString& key);
    bool IsEmptyRow(int row);
    bool IsEmptyRowEx(int row);
    // Lets IsEmptyRowEx's answers for the table now in lstLedgerTree go (one per text): a load about
    // to replace that table asks it, so that they do not outlive the table.
    void ForgetRowBlankness();
    // "" when no cell of the row of GR1 holds a NUL character; else the outcome that refuses the
    // row's record, naming the first column that holds one: no request could carry that text whole,
    // so nothing of the record is sent. Every poster asks it of every row of a record it sends.
    QString NulRefusal(int row) const;
    bool HeaderExists(const QString& name);
    bool ValidHeader(const QString& text);
    // The key that ties the rows of one voucher: the row's "ID" cell when the
    // source itself has an ID field, else VCHTYPE-VCHNO-VCHDATE. A built "ID"
    // column that only GR1 has is ignored. A missing column raises.
    QString VoucherKey(int row) const;

    // Lets the window breathe: once per row of every long loop.
    void DoEvents();

    // --- run guard: one command at a time. While Post, Refresh or a load runs
    // (each yields to the event loop per row), another of them, or Close, is refused.
    class Command {
    public:
        Command(Command&& other) noexcept : m_form(other.m_form) { other.m_form = nullptr; }
        Command& operator=(Command&&) = delete;
        ~Command();
        explicit operator bool() const { return m_form != nullptr; }

    private:
        friend class FormModel;
        explicit Command(FormModel* form) : m_form(form) {}
        FormModel* m_form;
    };
    // An empty Command (false) when another command is running.
    Command BeginCommand(const QString& name);
    bool IsBusy() const { return !m_runningCommand.isEmpty(); }
    const QString& RunningCommand() const { return m_runningCommand; }
    // Tells in the "stat" panel why a command was refused. The panel's earlier text comes back when
    // the running command ends, unless something else has written the panel meanwhile.
    void SayRefused(const QString& text);

private:
    void EndCommand();

    FormServices m_services;
    QString m_runningCommand;
    // The "stat" panel before the first refusal of the running command, and the refusal as shown.
    QString m_beforeRefusal;
    QString m_refusalShown;
    bool m_refused = false;
    // IsEmptyRowEx's answer per text of lstLedgerTree's pool: a pool only ever adds texts, so a
    // text's blankness is read once per load rather than once per row. Kept for one pool only.
    enum class Blankness : uint8_t { Unknown, Blank, Shown };
    std::weak_ptr<core::TextPool> m_blanknessOf;
    // By text number. It grows a few texts at a time as a load adds texts, so it grows in segments
    // rather than by copying.
    core::StableArray<Blankness> m_blankness;
    unsigned m_blanknessStart = 0;
};

} // namespace quibo
