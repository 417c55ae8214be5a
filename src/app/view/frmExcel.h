#pragma once

#include "app/commands/FormDialogs.h"
#include "app/commands/MainCommands.h"
#include "base/FormModel.h"
#include "base/Services.h"
#include "sources/backends/Connection.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <iosfwd>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSplitter;
class QTabBar;
class QTableView;

namespace quibo {

class ButtonSites;
class ErrorReporter;
class QuiboButton;
class HttpTransport;
class SourceGridModel;
class WorkGridModel;

// What the main window is built on. The references must outlive the window.
struct ViewServices {
    MessageBoxService& messages;
    FileDialogService& files;
    ClockService& clock;
    SettingsStore& settings;
    ErrorReporter& errors;
    HttpTransport& transport;
    QString dataFolder;
    // The options dialog and the about box; nullptr: the window's own Qt dialogs.
    FormDialogs* dialogs = nullptr;
    ConnectionOpener open = OpenConnection;
};

// The main window `frmExcel`: Qt widgets over the form model and its commands.
// Every event goes to a command; afterwards, and while a command yields once
// per row, the widgets are set from the model. While a command runs, the
// widgets that change the model without a command are disabled; the command
// buttons and menu entries stay usable, and the run guard refuses them (and
// closing the window) with a word in the status line. A focus that the
// disabling pushed away comes back when the command ends, unless the user
// moved it meanwhile. Widgets carry the control names of the form as object names.
class frmExcel final : public QMainWindow,
                       private StatusLineService,
                       private RowYieldService,
                       private FormDialogs {
    Q_OBJECT
public:
    explicit frmExcel(ViewServices services, QWidget* parent = nullptr);
    ~frmExcel() override;

    FormModel& form() { return m_form; }
    MainCommands& commands() { return m_commands; }

    // The start-up with the process's positional arguments; the window is
    // shown afterwards by the caller, unless the run closed it.
    FormLoadResult Form_Load(const CommandArgs& args);

    // Sets every widget from the form model and the window state.
    void SyncFromModel();

    // Shows the window after a start-up that left it open and returns when it has been closed (at
    // once when the start-up closed it), with the program's exit status: 2, the reason as the last
    // line on `err`, for a run that failed or a command-line post that did not finish on its own; else 0.
    int WaitUntilClosed(const FormLoadResult& result, std::ostream& err);

signals:
    // The window was closed (the program ends).
    void Closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void panelChanged(const QString& key, const QString& text) override;
    void yield() override;
    void ShowOptionsDialog() override;
    void ShowAboutBox() override;

    void BuildControls();
    // The parts of BuildControls, in the order it makes them: the source tab strip and its three
    // frames, the data area with the grids and their models, the command row.
    void BuildSourceFrames(QWidget* central);
    void BuildDataArea(QWidget* central);
    void BuildCommandRow(QWidget* central);
    void BuildMenus();
    void BuildStatusBar();
    void Connect();
    // Runs one event's command, then shows its outcome.
    void Run(const std::function<void()>& command);
    void LayOut();
    void ApplyLayout();
    void ShowClock();
    void OnFocusChanged(QWidget* old, QWidget* now);
    void SetTabOrder();
    // Labels as wide as their captions, and the boxes beside them moved clear of them.
    void FitLabels();
    void EnableForRunState();

    ViewServices m_services;
    // What the window is to its command buttons; it outlives them.
    std::unique_ptr<ButtonSites> m_buttonSites;
    FormModel m_form;
    MainCommands m_commands;

    QLabel* Label17 = nullptr;
    QComboBox* cmbCurrentCompanyList = nullptr;
    QuiboButton* cmdRefresh = nullptr;
    QTabBar* TabSource = nullptr;
    QFrame* TabSourcePanel = nullptr;
    std::array<QGroupBox*, 3> frSource{};
    QLineEdit* txtFilePath = nullptr;
    QuiboButton* cmdFilePath = nullptr;
    QLineEdit* txtMdbPath = nullptr;
    QuiboButton* cmdMDBPath = nullptr;
    QLineEdit* txtMDBUser = nullptr;
    QLineEdit* txtMDBPass = nullptr;
    QLineEdit* txtODBCPath = nullptr;
    QuiboButton* cmdODBCPath = nullptr;
    QLineEdit* txtODBCUser = nullptr;
    QLineEdit* txtPass = nullptr;
    QTabBar* TabData = nullptr;
    QFrame* TabDataPanel = nullptr;
    QSplitter* DataSplitter = nullptr; // GR1 above, lstLedgerTree below (collapsed at first)
    QTableView* GR1 = nullptr;
    QTableView* lstLedgerTree = nullptr;
    QTableView* lstItemTree = nullptr;
    QTableView* lstTransactions = nullptr;
    QuiboButton* cmdPost = nullptr;
    QComboBox* cmbTableName = nullptr;
    QCheckBox* chkChkMst = nullptr;
    QCheckBox* chkSkipMst = nullptr;
    QuiboButton* cmdClose = nullptr;
    QLabel* panelMsg = nullptr;
    QLabel* panelStat = nullptr;
    QLabel* panelDate = nullptr;
    QLabel* panelTime = nullptr;
    QAction* mnuSaveR = nullptr;
    QAction* mnuOptions = nullptr;
    QAction* mnuUpdateFormats = nullptr;
    QAction* mnuExit = nullptr;
    QAction* mnuContent = nullptr;
    QAction* mnuIndex = nullptr;
    QAction* mnuSearch = nullptr;
    QAction* mnuSupport = nullptr;
    QAction* mnuAbout = nullptr;

    WorkGridModel* m_gr1Model = nullptr;
    SourceGridModel* m_ledgerModel = nullptr;
    SourceGridModel* m_itemModel = nullptr;
    SourceGridModel* m_transactionsModel = nullptr;

    QElapsedTimer m_sinceSync;
    bool m_syncing = false;
    // The focus that disabling the widgets for a command pushed away, and where Qt put it.
    QPointer<QWidget> m_focusToRestore;
    QPointer<QWidget> m_focusParkedOn;
};

} // namespace quibo
