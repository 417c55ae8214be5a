#pragma once

#include "app/commands/CommandArgs.h"
#include "app/commands/MainWindowState.h"
#include "app/commands/PostRouting.h"
#include "base/SourceGrid.h"
#include "sources/backends/Connection.h"
#include "sources/SourceOpening.h"
#include "tally/TallyLink.h"

#include <QString>

#include <array>
#include <functional>
#include <iosfwd>

namespace quibo {

class FormDialogs;
class FormModel;
class HttpTransport;

// How the start-up ended.
struct FormLoadResult {
    // The unattended run closed the form: the program ends without showing it.
    bool closed = false;
    // It closed, but an error was reported on the way (from opening the source to
    // the post's end), its post stopped before the posting procedure, or its report
    // could not be written.
    bool failed = false;
    // Why the window stays open, or why a closed run failed; "" otherwise.
    QString reason;
    // The command line asked for an unattended post (argument 8 "POST" or "POSTSILENT").
    bool postRequested = false;
};

// The program's exit status once the start-up closed it, or once the user has closed the window it
// left open: 2 for a run that failed or a command-line post that did not finish on its own, with
// the reason as the last line on `err`; else 0.
int ExitStatus(const FormLoadResult& result, std::ostream& err);

// How the last Post command ended.
enum class PostOutcome {
    NotRun,
    Completed,    // the closing steps ran
    NoCompany,    // stopped at the company check
    NoImportType, // stopped at the import-type check
    Declined,     // the confirmation was answered No
    Failed,       // a run-time error ended it
};

// The procedures of the main form `frmExcel` that are commands: start-up,
// Refresh, Post, the report, the menus, the source frames and lists, the
// double-click handlers and the layout. The window forwards its events here
// and shows the form model and `state` afterwards; nothing here touches a widget.
//
// The handlers the window calls (`cmdPost_Click`, `cmdRefresh_Click`, the
// browse buttons, `cmbTableName_Click`, ...) are refused while another command
// runs (the form model's run guard); commands called from inside a command
// (Form_Load's refresh and post, a listing's reselection) run within it.
//
// Plug-in points for later work, both filled by InstallProcedureHooks:
//  - `tableLoader`: the body of `cmbTableName_Click` (the table loader), run
//    whenever an import type is selected, by the user or from code;
//  - `posters`: the posting procedures by name, as the routing table names them.
// Both run inside the guard of the command that called them: they must not
// take the run guard themselves.
class MainCommands {
public:
    MainCommands(FormModel& form, HttpTransport& transport, FormDialogs& dialogs,
                 ConnectionOpener open = OpenConnection);
    MainCommands(const MainCommands&) = delete;
    MainCommands& operator=(const MainCommands&) = delete;

    FormModel& form() { return m_form; }
    HttpTransport& transport() { return m_transport; }
    TallyLink& tally() { return m_tally; }
    SourceOpening& sources() { return m_sources; }
    // How sources are opened: the listings and the table loader use the same way.
    const ConnectionOpener& connectionOpener() const { return m_open; }

    MainWindowState state;
    PosterRegistry posters;
    std::function<void()> tableLoader;
    // The two further lists of the data area; nothing fills them.
    SourceGrid lstItemTree;
    SourceGrid lstTransactions;

    // --- start-up: the ten positional arguments (F01-0029)
    FormLoadResult Form_Load(const CommandArgs& args);

    // --- commands
    void cmdRefresh_Click();
    void cmdPost_Click();
    void cmdClose_Click();
    void mnuExit_Click();
    void mnuOptions_Click();
    void mnuAbout_Click();
    void mnuSaveR_Click();
    // Shown and doing nothing: there is no format updater or help file to open.
    void mnuUpdateFormats_Click() {}
    void mnuContent_Click() {}

    // --- the source frames: the window has already written the boxes into the form model
    void cmbTableName_Click();
    void cmdFilePath_Click();
    void cmdMDBPath_Click();
    void cmdODBCPath_Click();
    void txtFilePath_Validate();
    void txtMdbPath_Validate();

    // --- the window
    // `TabSource` moved to the tab at `index`.
    void SwitchSourceFrame(int index);
    void TabData_Click();
    void ShowSourceFrame();
    // Lays the window out for its outer size in twips; the layout may grow it to the minimum.
    void Form_Resize(int width, int height, bool minimized);
    // Row: the list's current row, counted as the list counts it (row 0 the field names).
    void lstLedgerTree_DblClick(int row);
    void lstItemTree_DblClick(int row);
    void lstTransactions_DblClick(int row);
    // Whether the window may close now: not while a command runs.
    bool QueryUnload() const;
    // The window's close box: QueryUnload, and a refused close says so.
    bool Form_QueryUnload();

    PostOutcome lastPostOutcome() const { return m_lastPost; }

    // The Refresh and Post commands themselves, without the run guard: for a
    // caller that already holds it.
    void Refresh();
    void Post();

private:
    template <class Body> void Guarded(const QString& name, Body&& body);
    // The run guard refused `command`: the status line tells what runs.
    void Refuse(const QString& command);
    // `firstError`: what the first error reported so far said, "" while there is none.
    void FormLoadSteps(const CommandArgs& args, const QString& firstError, FormLoadResult& result);
    // The ten positional arguments at their numbers (element 0 unused), apostrophes removed,
    // the import type upper-cased.
    using FormLoadArgs = std::array<QString, 11>;
    // The steps of the start-up: the source tabs and the listing of argument 1's kind; the import
    // type of argument 3; the company of argument 4; the post and how the run ended.
    void OpenCommandLineSource(const FormLoadArgs& arg);
    void SelectCommandLineImportType(const QString& importType);
    void SelectCommandLineCompany(const QString& company);
    void PostFromCommandLine(const FormLoadArgs& arg, const QString& firstError, FormLoadResult& result);
    void RunTableLoader();
    void CheckSourceFile(const QString& path, const char* location);
    void SelectTableFromCode(int index);
    void AddSourceTab(const QString& caption, int icon);
    void ShowOptionsDialog();
    // Hides every source frame but the selected tab's; returns that frame, or -1.
    int ShowSelectedFrame();
    void ListDblClick(SourceGrid& grid, int row, const char* location);
    // Closes the form unless a command runs; `command` names it in a refusal.
    void Unload(const char* location, const QString& command);
    QString PostStopReason() const;

    FormModel& m_form;
    HttpTransport& m_transport;
    FormDialogs& m_dialogs;
    TallyLink m_tally;
    ConnectionOpener m_open;
    SourceOpening m_sources;
    PostOutcome m_lastPost = PostOutcome::NotRun;
};

} // namespace quibo
