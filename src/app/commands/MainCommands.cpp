#include "app/commands/MainCommands.h"

#include "app/commands/AppInfo.h"
#include "app/commands/FormDialogs.h"
#include "app/commands/ProcedureHooks.h"
#include "app/commands/Report.h"
#include "base/ErrorReporter.h"
#include "base/FormModel.h"
#include "base/Services.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "localdb/LocalTransaction.h"
#include "sources/backends/SourceFile.h"
#include "sources/ImportTypes.h"
#include "tally/ServerQueries.h"
#include "vb/Text.h"

#include <ostream>

namespace quibo {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QString MsgPanel = QStringLiteral("msg");
const QString StatPanel = QStringLiteral("stat");
const QString ExcelTab = QStringLiteral("Excel");
const QString AccessTab = QStringLiteral("Access");
const QString OdbcTab = QStringLiteral("ODBC");
const QString CurrentlySelectedCompany = QStringLiteral("CURRENTLY SELECTED COMPANY IN TALLY");

MsgAnswer Box(FormModel& form, const QString& text, const QString& title, MsgIcon icon,
              MsgButtons buttons = MsgButtons::OkOnly) {
    MessageBoxRequest box;
    box.text = text;
    box.title = title;
    box.icon = icon;
    box.buttons = buttons;
    return form.services().messages.show(box);
}

bool IsBlank(const QString& text) {
    return vb::Trim(text).isEmpty();
}

bool IsPostAction(const QString& action) {
    return action == QLatin1String("POST") || action == QLatin1String("POSTSILENT");
}

QString WithoutBlanks(QString text) {
    return text.remove(QLatin1Char(' '));
}

// What the run guard's running command is doing, as the status line tells it.
QString Doing(const QString& command) {
    if (command == QLatin1String("Post")) return QStringLiteral("a post is running");
    if (command == QLatin1String("Refresh")) return QStringLiteral("the company list is being refreshed");
    if (command == QLatin1String("Load")) return QStringLiteral("a source is being loaded");
    if (command == QLatin1String("Save Report")) return QStringLiteral("the report is being saved");
    if (command == QLatin1String("Options")) return QStringLiteral("the options are being set");
    return QStringLiteral("\"%1\" is running").arg(command);
}

} // namespace

MainCommands::MainCommands(FormModel& form, HttpTransport& transport, FormDialogs& dialogs,
                           ConnectionOpener open)
    : m_form(form), m_transport(transport), m_dialogs(dialogs),
      m_tally(form.services().settings, form.errors(), transport), m_open(open),
      m_sources(form, std::move(open)) {
    m_sources.cmbTableName_Click = [this] { RunTableLoader(); };
    InstallProcedureHooks(*this);
}

template <class Body> void MainCommands::Guarded(const QString& name, Body&& body) {
    const FormModel::Command command = m_form.BeginCommand(name);
    if (!command) {
        Refuse(name);
        return;
    }
    std::forward<Body>(body)();
}

void MainCommands::Refuse(const QString& command) {
    m_form.SayRefused(
        QStringLiteral("%1 is not possible while %2.").arg(command, Doing(m_form.RunningCommand())));
}

int ExitStatus(const FormLoadResult& result, std::ostream& err) {
    const bool unfinished = result.closed ? result.failed : result.postRequested;
    if (!unfinished) return 0;
    err << "quibo: " << result.reason.toStdString() << '\n';
    return 2;
}

// ---------------------------------------------------------------- start-up

void MainCommands::AddSourceTab(const QString& caption, int icon) {
    m_form.tabSourceCaptions.append(caption);
    state.tabSourceIcons.append(icon);
    // The first tab of a tab strip is the selected one.
    if (m_form.tabSourceIndex < 0) m_form.tabSourceIndex = 0;
}

void MainCommands::SelectTableFromCode(int index) {
    // A drop-down list runs its Click when code changes the selection, as when the user does.
    const int before = m_form.cmbTableName.ListIndex();
    m_form.cmbTableName.SetListIndex(index);
    if (m_form.cmbTableName.ListIndex() != before) RunTableLoader();
}

void MainCommands::RunTableLoader() {
    if (tableLoader) tableLoader();
}

void MainCommands::CheckSourceFile(const QString& path, const char* location) {
    // The listing passes over a path that names no file, as when one is being typed; a path given
    // on the command line must name one, so what is wrong with it is reported under the listing's code.
    Trap(m_form.errors(), location, [&] { sourcefile::RequireReadableFile(path); });
}

FormLoadResult MainCommands::Form_Load(const CommandArgs& args) {
    FormLoadResult result;
    result.postRequested = IsPostAction(vb::UCase(args.GetCommandArg(8).remove(QLatin1Char('\''))));
    const FormModel::Command command = m_form.BeginCommand(QStringLiteral("Load"));
    bool trapped = true;
    // The first error reported during the run that was not one record's own is what stopped it,
    // whatever the run did after it.
    QString firstError;
    ErrorReporter& errors = m_form.errors();
    errors.setListener([&](const QString& location, const QString& description, bool logged) {
        // A record that got no reply or could not be staged or built (the link's and the staging
        // layer's codes) ends with that outcome in its row; the run goes on and did its job.
        if (location.startsWith(QLatin1String("C01-")) || location.startsWith(QLatin1String("C02-"))) return;
        if (!firstError.isEmpty()) return;
        firstError =
            QStringLiteral("the run stopped at an error (%1): %2").arg(location, description.simplified());
        if (!logged)
            firstError +=
                QStringLiteral(" (the error log \"%1\" could not be written)").arg(errors.logPath());
    });
    Trap(errors, "F01-0029", [&] {
        FormLoadSteps(args, firstError, result);
        trapped = false;
    });
    errors.setListener({});
    if (trapped) result.reason = QStringLiteral("the start-up stopped at a run-time error (F01-0029)");
    return result;
}

void MainCommands::FormLoadSteps(const CommandArgs& args, const QString& firstError, FormLoadResult& result) {
    state.caption = AppInfo::Program().MainCaption();

    (void)args.GetCommandArgCount();
    FormLoadArgs arg;
    for (int i = 1; i <= 10; ++i)
        arg[i] = args.GetCommandArg(i).remove(QLatin1Char('\''));
    arg[3] = vb::UCase(arg[3]);

    OpenCommandLineSource(arg);
    TabData_Click();
    ShowSourceFrame();
    SelectCommandLineImportType(arg[3]);

    SettingsStore& settings = m_form.services().settings;
    if (!arg[6].isEmpty()) settings.set(settings::ServerAddress, arg[6]);
    if (!arg[7].isEmpty()) settings.set(settings::PortNo, arg[7]);

    Refresh();
    if (!IsBlank(arg[4])) SelectCommandLineCompany(arg[4]);

    if (m_form.CurrentCompany.isEmpty()) {
        result.reason = QStringLiteral("no company is current after the refresh");
        return;
    }
    if (!(arg[4].isEmpty() || arg[4] == m_form.CurrentCompany)) {
        result.reason =
            QStringLiteral("argument 4 \"%1\" is not the current company \"%2\" (compared exactly)")
                .arg(arg[4], m_form.CurrentCompany);
        return;
    }

    m_form.SilentMode = false;
    const QString action = vb::UCase(arg[8]);
    if (!IsPostAction(action)) {
        result.reason = QStringLiteral("argument 8 is not POST or POSTSILENT, so nothing was posted");
        return;
    }
    if (action == QLatin1String("POSTSILENT")) m_form.SilentMode = true;
    PostFromCommandLine(arg, firstError, result);
}

void MainCommands::OpenCommandLineSource(const FormLoadArgs& arg) {
    m_form.tabSourceCaptions.clear();
    state.tabSourceIcons.clear();
    m_form.tabSourceIndex = -1;
    const QString kind = vb::UCase(arg[1]);
    if (kind == QLatin1String("XLS")) {
        AddSourceTab(ExcelTab, 5);
        m_form.txtFilePath = arg[2];
        if (!IsBlank(m_form.txtFilePath)) {
            CheckSourceFile(m_form.txtFilePath, "F01-0003");
            m_sources.LoadExcelSheets(m_form.txtFilePath);
        }
    } else if (kind == QLatin1String("MDB")) {
        AddSourceTab(AccessTab, 6);
        m_form.txtMdbPath = arg[2];
        if (!IsBlank(m_form.txtMdbPath)) {
            CheckSourceFile(m_form.txtMdbPath, "F01-0005");
            m_sources.LoadAccessTables(m_form.txtMdbPath, m_form.txtMDBUser, m_form.txtMDBPass);
        }
    } else if (kind == QLatin1String("ODBC")) {
        AddSourceTab(OdbcTab, 7);
        if (!IsBlank(arg[9])) m_form.txtODBCUser = arg[9];
        if (!IsBlank(arg[10])) m_form.txtPass = arg[10];
        m_form.txtODBCPath = arg[2];
        if (!IsBlank(m_form.txtODBCPath))
            m_sources.LoadODBCTables(m_form.txtODBCPath, m_form.txtODBCUser, m_form.txtPass);
    } else {
        AddSourceTab(ExcelTab, 5);
        AddSourceTab(AccessTab, 6);
        AddSourceTab(OdbcTab, 7);
    }
}

void MainCommands::SelectCommandLineImportType(const QString& importType) {
    m_form.cmbTableName.AddItem(SelectImportTypeEntry);
    SelectTableFromCode(int(m_form.cmbTableName.items().indexOf(SelectImportTypeEntry)));
    if (importType.isEmpty()) return;
    const QString wanted = WithoutBlanks(importType);
    const QStringList entries = m_form.cmbTableName.items();
    for (int i = 0; i < entries.size(); ++i) {
        if (WithoutBlanks(entries[i]) == wanted) {
            SelectTableFromCode(i);
            break;
        }
    }
}

void MainCommands::SelectCommandLineCompany(const QString& company) {
    // Selecting by the argument's text finds the first entry equal to it in any letter case, so
    // every further match selects that same entry again: the first match decides.
    ComboBox& companies = m_form.cmbCurrentCompanyList;
    const QString wanted = vb::UCase(company);
    for (int i = 0; i < companies.ListCount(); ++i) {
        if (vb::UCase(companies.List(i)) == wanted) {
            companies.SetListIndex(i);
            m_form.CurrentCompany = companies.Text();
            break;
        }
    }
}

void MainCommands::PostFromCommandLine(const FormLoadArgs& arg, const QString& firstError,
                                       FormLoadResult& result) {
    // A load that found no table leaves the grid without columns.
    const bool tableLoaded = m_form.GR1.ColumnCount() > 0;
    Post();
    // An error of the report itself is told as such below.
    const QString stoppedAt = firstError;
    bool reportWritten = true;
    if (!arg[5].isEmpty()) reportWritten = SaveReport(m_form, arg[5]);

    // The action was checked before the post; the company is compared again after it.
    if (!(arg[4].isEmpty() || arg[4] == m_form.CurrentCompany)) {
        result.reason = QStringLiteral("the company of the last row posted, \"%1\", is not argument 4 \"%2\"")
                            .arg(m_form.CurrentCompany, arg[4]);
        return;
    }
    state.unloaded = true;
    result.closed = true;
    if (!stoppedAt.isEmpty()) {
        result.failed = true;
        result.reason = stoppedAt;
    } else if (m_lastPost != PostOutcome::Completed) {
        result.failed = true;
        result.reason = PostStopReason();
    } else if (!tableLoaded) {
        result.failed = true;
        result.reason =
            QStringLiteral("no table of import type \"%1\" was loaded from the source").arg(arg[3]);
    } else if (!reportWritten) {
        result.failed = true;
        result.reason = QStringLiteral("the report file \"%1\" could not be written").arg(arg[5]);
    }
}

QString MainCommands::PostStopReason() const {
    switch (m_lastPost) {
    case PostOutcome::NoCompany:
        return QStringLiteral("the post stopped: no company is selected");
    case PostOutcome::NoImportType:
        return QStringLiteral("the post stopped: no import type is selected");
    case PostOutcome::Declined:
        return QStringLiteral("the post was not confirmed");
    case PostOutcome::Failed:
        return QStringLiteral("the post ended at a run-time error (F01-0015)");
    case PostOutcome::NotRun:
    case PostOutcome::Completed:
        break;
    }
    return {};
}

// ---------------------------------------------------------------- Refresh

void MainCommands::cmdRefresh_Click() {
    Guarded(QStringLiteral("Refresh"), [&] { Refresh(); });
}

void MainCommands::Refresh() {
    Trap(m_form.errors(), "F01-0014", [&] {
        SettingsStore& settings = m_form.services().settings;
        const QString server = settings.get(settings::ServerAddress);
        const QString port = settings.get(settings::PortNo);
        m_form.DateFormat = settings.get(settings::DateFormat);
        m_form.DecimalPlaces = settings.get(settings::DecimalPlaces);

        if (server.isEmpty() || port.isEmpty()) {
            m_dialogs.ShowOptionsDialog();
            return;
        }

        m_form.stat(QStringLiteral("Initializing Tally Engine"), MsgPanel);
        m_form.stat(QStringLiteral("Wait..."), StatPanel);
        const QString url = QStringLiteral("http://") + server + QLatin1Char(':') + port;

        if (!IsTallyRunning(m_transport, url)) {
            m_form.stat(QStringLiteral("Tally is not running."), StatPanel);
            Box(m_form, QStringLiteral("Tally is not running."), QStringLiteral("Tally Search."),
                MsgIcon::Critical);
            return;
        }

        m_form.stat(QStringLiteral("Checking Tally Version"), MsgPanel);
        const QString banner = GetTallyServerBanner(m_transport, url);
        m_form.stat(banner, StatPanel);
        if (banner.isEmpty()) return;

        m_form.stat(QStringLiteral("Getting Current Company List"), MsgPanel);
        const QStringList list = settings.get(settings::UseOldTally) == QLatin1String("Yes")
                                     ? GetCompanyListOld(m_transport, url)
                                     : GetCompanyList(m_transport, url);

        m_form.stat(QStringLiteral("Reading Current Company List"), MsgPanel);
        ComboBox& companies = m_form.cmbCurrentCompanyList;
        companies.Clear();
        // The last element is the list's terminator and never an entry.
        for (int i = 0; i < list.size() - 1; ++i)
            if (!list[i].contains(QLatin1String("ERROR"), Qt::CaseSensitive)) companies.AddItem(list[i]);

        m_form.stat(QStringLiteral("Getting Current Company"), MsgPanel);
        m_form.CurrentCompany = GetCurrentCompany(m_transport, url, m_form.CurrentCompany);

        if (list.value(1).contains(QLatin1String("ERROR"), Qt::CaseSensitive)) {
            m_form.stat(QStringLiteral("Could not find company."), MsgPanel);
            const QString text =
                QStringLiteral("Tally is running.") + CrLf + QStringLiteral("But, could not find company.") +
                CrLf + CrLf + QStringLiteral("Please Check the following settings.") + CrLf +
                QStringLiteral("1. Company is Selected in Tally.") + CrLf +
                QStringLiteral("2. Tally is showing some text as \"ODBC\" in the Calculator Window.") + CrLf +
                QStringLiteral(
                    "3. You have specified correct Server Address and Port Number in Varnel menu Main > "
                    "Options. ") +
                CrLf;
            Box(m_form, text, QStringLiteral("Quibo 1.0"), MsgIcon::Critical);
            return;
        }

        // A company the list does not hold leaves the box unselected: a drop-down list shows entries only.
        if (!m_form.CurrentCompany.isEmpty()) companies.SelectText(m_form.CurrentCompany);
        m_form.stat(QString(), MsgPanel);
    });
}

// ---------------------------------------------------------------- Post

void MainCommands::cmdPost_Click() {
    Guarded(QStringLiteral("Post"), [&] { Post(); });
}

void MainCommands::Post() {
    m_lastPost = PostOutcome::Failed;
    Trap(m_form.errors(), "F01-0015", [&] {
        {
            LocalDatabase database(m_form.services().dataFolder);
            // One transaction: one write to the disk instead of one per table, and never half emptied.
            LocalTransaction emptying(database);
            for (const QString& table : StagingTablesToEmpty())
                database.execute(QStringLiteral("Delete from ") + table);
            emptying.commit();
        }

        if (m_form.cmbCurrentCompanyList.Text().isEmpty()) {
            Box(m_form, QStringLiteral("Please select a company."), QStringLiteral("Select Company."),
                MsgIcon::None);
            state.focusRequest = QStringLiteral("cmbCurrentCompanyList");
            m_form.menus.mnuSaveR = false;
            m_lastPost = PostOutcome::NoCompany;
            return;
        }

        const QString chosen = m_form.cmbTableName.Text();
        if (chosen == SelectImportTypeEntry || chosen.isEmpty()) {
            Box(m_form, QStringLiteral("Select a Import Type."), QStringLiteral("Import Type"),
                MsgIcon::Critical);
            state.focusRequest = QStringLiteral("cmbTableName");
            m_form.menus.mnuSaveR = false;
            m_lastPost = PostOutcome::NoImportType;
            return;
        }

        if (!m_form.SilentMode && m_form.cmbCurrentCompanyList.Text() == CurrentlySelectedCompany)
            Box(m_form, QStringLiteral("This will post the data to the Currently Selected Company in Tally."),
                QStringLiteral("Selected Company."), MsgIcon::Information);

        MsgAnswer answer = MsgAnswer::Yes;
        if (!m_form.SilentMode)
            answer = Box(m_form,
                         QStringLiteral("You have selected  >") + chosen +
                             QStringLiteral("<.  This will pass the data in Tally.") + CrLf +
                             QStringLiteral(" Do you want to continue?"),
                         QStringLiteral("Quibo 1.0. Continue?"), MsgIcon::Information, MsgButtons::YesNo);
        if (answer != MsgAnswer::Yes) {
            m_lastPost = PostOutcome::Declined;
            return;
        }

        const QString importType = vb::UCase(chosen);
        const QString procedure = RoutePost(importType, [&] { return IsCustomFormat(m_form, importType); });
        if (!procedure.isEmpty()) posters.Run(procedure);

        WorkGrid& grid = m_form.GR1;
        grid.FitColumn(QStringLiteral("PROCESSSTATUS"));
        // A grid without columns (a load that found no table) has no column 1 to fit: nothing to report.
        if (grid.ColumnCount() >= 1) grid.FitColumn(1);
        if (!m_form.SilentMode)
            Box(m_form,
                QStringLiteral("Processing of data Completed.") + CrLf +
                    QStringLiteral("Please check the Errors if any."),
                QStringLiteral("Excel to Tally"), MsgIcon::None);
        m_form.menus.mnuSaveR = true;
        m_lastPost = PostOutcome::Completed;
    });
}

// ---------------------------------------------------------------- report and menus

void MainCommands::mnuSaveR_Click() {
    Guarded(QStringLiteral("Save Report"), [&] {
        Trap(m_form.errors(), "F01-0037", [&] {
            const QString fileName = ReportFileName(m_form.services().dataFolder, m_form.CurrentCompany,
                                                    m_form.services().clock.now());
            // A report that could not be written has already been reported; it is not announced as saved.
            if (!SaveReport(m_form, fileName)) return;
            Box(m_form, QStringLiteral("Report has been saved at following location.") + CrLf + fileName,
                AppInfo::Title(), MsgIcon::None);
        });
    });
}

void MainCommands::ShowOptionsDialog() {
    Trap(m_form.errors(), "F01-0012", [&] { m_dialogs.ShowOptionsDialog(); });
}

void MainCommands::mnuOptions_Click() {
    Guarded(QStringLiteral("Options"), [&] {
        Trap(m_form.errors(), "F01-0036", [&] {
            ShowOptionsDialog();
            Refresh();
        });
    });
}

void MainCommands::mnuAbout_Click() {
    Trap(m_form.errors(), "F01-0034", [&] { m_dialogs.ShowAboutBox(); });
}

bool MainCommands::QueryUnload() const {
    return !m_form.IsBusy();
}

bool MainCommands::Form_QueryUnload() {
    if (QueryUnload()) return true;
    Refuse(QStringLiteral("Close"));
    return false;
}

void MainCommands::Unload(const char* location, const QString& command) {
    Trap(m_form.errors(), location, [&] {
        if (QueryUnload())
            state.unloaded = true;
        else
            Refuse(command);
    });
}

void MainCommands::mnuExit_Click() {
    Unload("F01-0035", QStringLiteral("Exit"));
}

void MainCommands::cmdClose_Click() {
    Unload("F01-0010", QStringLiteral("Close"));
}

// ---------------------------------------------------------------- source frames

void MainCommands::cmbTableName_Click() {
    Guarded(QStringLiteral("Load"), [&] { RunTableLoader(); });
}

void MainCommands::cmdFilePath_Click() {
    Guarded(QStringLiteral("Load"), [&] { m_sources.cmdFilePath_Click(); });
}

void MainCommands::cmdMDBPath_Click() {
    Guarded(QStringLiteral("Load"), [&] { m_sources.cmdMDBPath_Click(); });
}

void MainCommands::cmdODBCPath_Click() {
    Guarded(QStringLiteral("Load"), [&] { m_sources.cmdODBCPath_Click(); });
}

void MainCommands::txtFilePath_Validate() {
    Guarded(QStringLiteral("Load"), [&] {
        bool cancel = false;
        m_sources.txtFilePath_Validate(cancel);
    });
}

void MainCommands::txtMdbPath_Validate() {
    Guarded(QStringLiteral("Load"), [&] {
        bool cancel = false;
        m_sources.txtMdbPath_Validate(cancel);
    });
}

// ---------------------------------------------------------------- window

void MainCommands::TabData_Click() {
    Trap(m_form.errors(), "F01-0038", [&] {
        state.lstLedgerTreeVisible = false;
        state.lstItemTreeVisible = false;
        state.lstTransactionsVisible = false;
        if (m_form.tabDataIndex == 1)
            state.lstLedgerTreeVisible = true;
        else if (m_form.tabDataIndex == 2)
            state.lstTransactionsVisible = true;
    });
}

int MainCommands::ShowSelectedFrame() {
    state.frSourceVisible.fill(false);
    const int frame = SourceFrameOf(m_form.TabSourceCaption());
    if (frame >= 0) state.frSourceVisible[size_t(frame)] = true;
    return frame;
}

void MainCommands::ShowSourceFrame() {
    Trap(m_form.errors(), "F01-0039", [&] {
        const int frame = ShowSelectedFrame();
        if (frame >= 0) state.layout.TabSource.Height = state.layout.frSource[size_t(frame)].Height + 500;
    });
}

void MainCommands::SwitchSourceFrame(int index) {
    Trap(m_form.errors(), "F01-0041", [&] {
        m_form.tabSourceIndex = index;
        ShowSelectedFrame();
        Form_Resize(state.layout.Width, state.layout.Height, false);
    });
}

void MainCommands::Form_Resize(int width, int height, bool minimized) {
    Trap(m_form.errors(), "F01-0030", [&] {
        if (minimized) return;
        FormLayout layout = state.layout;
        layout.Width = width;
        layout.Height = height;
        state.layout = quibo::Form_Resize(layout, m_form.TabSourceCaption(), false);
    });
}

void MainCommands::ListDblClick(SourceGrid& grid, int row, const char* location) {
    Trap(m_form.errors(), location, [&] {
        const QString text = grid.TextMatrix(row, grid.Cols() - 1);
        if (!text.isEmpty()) Box(m_form, text, AppInfo::Title(), MsgIcon::None);
    });
}

void MainCommands::lstItemTree_DblClick(int row) {
    ListDblClick(lstItemTree, row, "F01-0031");
}

void MainCommands::lstLedgerTree_DblClick(int row) {
    ListDblClick(m_form.lstLedgerTree, row, "F01-0032");
}

void MainCommands::lstTransactions_DblClick(int row) {
    ListDblClick(lstTransactions, row, "F01-0033");
}

} // namespace quibo
