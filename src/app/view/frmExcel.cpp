#include "app/view/frmExcel.h"

#include "app/view/ButtonSites.h"
#include "app/view/CheckValue.h"
#include "app/view/dlgIPAddress.h"
#include "app/view/frmAbout.h"
#include "app/view/ImageList.h"
#include "app/view/ModalDialog.h"
#include "app/view/SourceGridModel.h"
#include "app/view/WorkGridModel.h"
#include "base/ErrorReporter.h"
#include "controls/button/QuiboButton.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>

#include <ostream>
#include <utility>
#include <vector>

namespace quibo {

namespace {

// The tab strips draw their tabs in the top 350 twips; the frames start below them.
constexpr int TabBarPixels = 350 / TwipsPerPixel;
// How often a command that yields once per row lets the window repaint.
constexpr int YieldIntervalMs = 40;

int Px(int twips) {
    return qRound(double(twips) / TwipsPerPixel);
}
QRect Px(const TwipsRect& r) {
    return QRect(Px(r.Left), Px(r.Top), Px(r.Width), Px(r.Height));
}

void Place(QWidget* widget, const TwipsRect& rect) {
    widget->setGeometry(Px(rect));
}

QLabel* NewLabel(const char* name, const QString& caption, QWidget* parent, const TwipsRect& rect) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    Place(label, rect);
    return label;
}

QLineEdit* NewBox(const char* name, QWidget* parent, const TwipsRect& rect) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    Place(box, rect);
    return box;
}

QTableView* NewGrid(const char* name, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setWordWrap(false);
    // Tab leaves the grid for the next control; the arrow keys move between the cells.
    view->setTabKeyNavigation(false);
    view->verticalHeader()->setDefaultSectionSize(20);
    view->horizontalHeader()->setHighlightSections(false);
    return view;
}

void SetText(QLineEdit* box, const QString& text) {
    if (box->text() != text) box->setText(text);
}

void SetCombo(QComboBox* box, const ComboBox& model) {
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown.append(box->itemText(i));
    if (shown != model.items()) {
        box->clear();
        box->addItems(model.items());
    }
    if (box->currentIndex() != model.ListIndex()) box->setCurrentIndex(model.ListIndex());
}

void SetCheck(QCheckBox* box, const CheckBox& model) {
    if (box->checkState() != CheckStateOf(model.value)) box->setCheckState(CheckStateOf(model.value));
    box->setVisible(model.visible);
}

// Design places of the controls inside the three source frames, in twips.
namespace frame {
constexpr TwipsRect PathLabel{150, 300, 1500, 255};
constexpr TwipsRect PathBox{1700, 255, 6000, 345};
constexpr TwipsRect PathButton{7850, 210, 1335, 435};
constexpr TwipsRect UserLabel{150, 780, 1500, 255};
constexpr TwipsRect UserBox{1700, 735, 2400, 345};
constexpr TwipsRect PasswordLabel{4300, 780, 1000, 255};
constexpr TwipsRect PasswordBox{5300, 735, 2400, 345};
} // namespace frame

} // namespace

frmExcel::frmExcel(ViewServices services, QWidget* parent)
    : QMainWindow(parent), m_services(std::move(services)),
      m_buttonSites(std::make_unique<ButtonSites>(*this)),
      m_form(FormServices{m_services.messages, m_services.files, static_cast<StatusLineService&>(*this),
                          static_cast<RowYieldService&>(*this), m_services.clock, m_services.settings,
                          m_services.errors, m_services.dataFolder}),
      m_commands(m_form, m_services.transport,
                 m_services.dialogs ? *m_services.dialogs : static_cast<FormDialogs&>(*this),
                 m_services.open) {
    setObjectName(QStringLiteral("frmExcel"));
    BuildMenus();
    BuildStatusBar();
    BuildControls();
    FitLabels();
    SetTabOrder();
    Connect();
    resize(Px(12000), Px(9000));
    SyncFromModel();
}

frmExcel::~frmExcel() {
    // Nothing may reach this window's handlers once its members start to go: the
    // widgets are destroyed later, by the base class, and the focus moves as they go.
    qApp->disconnect(this);
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    // The models observe the form's grids: they go before the grids do.
    delete m_gr1Model;
    delete m_ledgerModel;
    delete m_itemModel;
    delete m_transactionsModel;
    // The buttons go before their sites do.
    for (QuiboButton* button : {cmdRefresh, cmdFilePath, cmdMDBPath, cmdODBCPath, cmdPost, cmdClose})
        delete button;
}

// ---------------------------------------------------------------- building

void frmExcel::BuildMenus() {
    QMenu* mnuMain = menuBar()->addMenu(QStringLiteral("Main"));
    mnuMain->setObjectName(QStringLiteral("mnuMain"));
    auto add = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    mnuSaveR = add(mnuMain, "mnuSaveR", QStringLiteral("Save Report"));
    mnuOptions = add(mnuMain, "mnuOptions", QStringLiteral("Options"));
    mnuMain->addSeparator()->setObjectName(QStringLiteral("mnuMainSep1"));
    mnuUpdateFormats = add(mnuMain, "mnuUpdateFormats", QStringLiteral("Update Formats"));
    mnuMain->addSeparator()->setObjectName(QStringLiteral("mnuMainSep2"));
    mnuExit = add(mnuMain, "mnuExit", QStringLiteral("Exit"));

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuContent = add(mnuHelp, "mnuContent", QStringLiteral("Content"));
    mnuIndex = add(mnuHelp, "mnuIndex", QStringLiteral("Index"));
    mnuSearch = add(mnuHelp, "mnuSearch", QStringLiteral("Search"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpSep1"));
    mnuSupport = add(mnuHelp, "mnuSupport", QStringLiteral("Technical Support"));
    mnuHelp->addSeparator()->setObjectName(QStringLiteral("mnuHelpSep2"));
    mnuAbout = add(mnuHelp, "mnuAbout", QStringLiteral("About Quibo 1.0"));
}

void frmExcel::BuildStatusBar() {
    QStatusBar* SB = statusBar();
    SB->setObjectName(QStringLiteral("SB"));
    auto panel = [SB](const char* key, bool permanent) {
        auto* label = new QLabel(SB);
        label->setObjectName(QStringLiteral("SB.") + QString::fromLatin1(key));
        label->setFrameShape(QFrame::StyledPanel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        if (permanent)
            SB->addPermanentWidget(label);
        else
            SB->addWidget(label);
        return label;
    };
    panelMsg = panel("msg", false);
    panelStat = panel("stat", false);
    panelDate = panel("Date", true);
    panelTime = panel("Time", true);
    auto* clock = new QTimer(this);
    connect(clock, &QTimer::timeout, this, &frmExcel::ShowClock);
    clock->start(1000);
    ShowClock();
}

void frmExcel::BuildControls() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);

    // Panels first: the frames and lists drawn over them come later.
    TabSourcePanel = new QFrame(central);
    TabSourcePanel->setObjectName(QStringLiteral("TabSourcePanel"));
    TabSourcePanel->setFrameShape(QFrame::StyledPanel);
    TabDataPanel = new QFrame(central);
    TabDataPanel->setObjectName(QStringLiteral("TabDataPanel"));
    TabDataPanel->setFrameShape(QFrame::StyledPanel);

    // Top to bottom, as the window reads; the order of making is the order of stacking.
    Label17 = NewLabel("Label17", QStringLiteral("Open Companies List"), central, {});
    cmbCurrentCompanyList = new QComboBox(central);
    cmbCurrentCompanyList->setObjectName(QStringLiteral("cmbCurrentCompanyList"));
    cmdRefresh = m_buttonSites->NewButton(QStringLiteral("cmdRefresh"), QStringLiteral("&Refresh"), central);
    BuildSourceFrames(central);
    BuildDataArea(central);
    BuildCommandRow(central);

    TabSource->raise();
    TabData->raise();
}

void frmExcel::BuildSourceFrames(QWidget* central) {
    TabSource = new QTabBar(central);
    TabSource->setObjectName(QStringLiteral("TabSource"));
    TabSource->setIconSize(QSize(16, 16));
    TabSource->setDrawBase(false);
    TabSource->setExpanding(false);

    static const char* frameNames[] = {"frSource(0)", "frSource(1)", "frSource(2)"};
    for (size_t i = 0; i < frSource.size(); ++i) {
        frSource[i] = new QGroupBox(central);
        frSource[i]->setObjectName(QString::fromLatin1(frameNames[i]));
    }
    NewLabel("Label1", QStringLiteral("Excel File Path"), frSource[0], frame::PathLabel);
    txtFilePath = NewBox("txtFilePath", frSource[0], frame::PathBox);
    cmdFilePath =
        m_buttonSites->NewButton(QStringLiteral("cmdFilePath"), QStringLiteral("File Path"), frSource[0]);
    Place(cmdFilePath, frame::PathButton);

    NewLabel("Label4", QStringLiteral("Access File Path"), frSource[1], frame::PathLabel);
    txtMdbPath = NewBox("txtMdbPath", frSource[1], frame::PathBox);
    cmdMDBPath =
        m_buttonSites->NewButton(QStringLiteral("cmdMDBPath"), QStringLiteral("File Path"), frSource[1]);
    Place(cmdMDBPath, frame::PathButton);
    NewLabel("Label5", QStringLiteral("User Name"), frSource[1], frame::UserLabel);
    txtMDBUser = NewBox("txtMDBUser", frSource[1], frame::UserBox);
    NewLabel("Label6", QStringLiteral("Password"), frSource[1], frame::PasswordLabel);
    txtMDBPass = NewBox("txtMDBPass", frSource[1], frame::PasswordBox);

    NewLabel("Label2", QStringLiteral("ODBC DSN Name"), frSource[2], frame::PathLabel);
    txtODBCPath = NewBox("txtODBCPath", frSource[2], frame::PathBox);
    cmdODBCPath =
        m_buttonSites->NewButton(QStringLiteral("cmdODBCPath"), QStringLiteral("Import"), frSource[2]);
    Place(cmdODBCPath, frame::PathButton);
    NewLabel("Label7", QStringLiteral("User Name"), frSource[2], frame::UserLabel);
    txtODBCUser = NewBox("txtODBCUser", frSource[2], frame::UserBox);
    NewLabel("Label8", QStringLiteral("Password"), frSource[2], frame::PasswordLabel);
    txtPass = NewBox("txtPass", frSource[2], frame::PasswordBox);
    txtPass->setEchoMode(QLineEdit::Password);
    // The password shows as "*", whatever the style's own mask character.
    txtPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

void frmExcel::BuildDataArea(QWidget* central) {
    TabData = new QTabBar(central);
    TabData->setObjectName(QStringLiteral("TabData"));
    TabData->setDrawBase(false);
    TabData->setExpanding(false);
    TabData->addTab(QStringLiteral("Imported Data"));
    // One tab: nothing to choose with the keyboard, so Tab passes on to the grid.
    TabData->setFocusPolicy(Qt::NoFocus);

    // GR1 and lstLedgerTree share one rectangle; the user works with GR1, so the
    // source table as read sits below it, collapsed until the user drags it open.
    DataSplitter = new QSplitter(Qt::Vertical, central);
    DataSplitter->setObjectName(QStringLiteral("DataSplitter"));
    GR1 = NewGrid("GR1", DataSplitter);
    lstLedgerTree = NewGrid("lstLedgerTree", DataSplitter);
    DataSplitter->addWidget(GR1);
    DataSplitter->addWidget(lstLedgerTree);
    DataSplitter->setCollapsible(0, false);
    DataSplitter->setSizes({1, 0});
    // A list collapsed out of sight takes no focus: Tab goes on past it.
    lstLedgerTree->setFocusPolicy(Qt::NoFocus);
    connect(DataSplitter, &QSplitter::splitterMoved, this, [this] {
        lstLedgerTree->setFocusPolicy(DataSplitter->sizes().value(1) > 0 ? Qt::StrongFocus : Qt::NoFocus);
    });
    lstItemTree = NewGrid("lstItemTree", central);
    lstTransactions = NewGrid("lstTransactions", central);

    m_gr1Model = new WorkGridModel(m_form.GR1);
    m_gr1Model->setIconProvider([](int index) -> QVariant {
        const QIcon icon = ImageList::Icon(index);
        return icon.isNull() ? QVariant() : QVariant(icon);
    });
    GR1->setModel(m_gr1Model);
    m_ledgerModel = new SourceGridModel(m_form.lstLedgerTree);
    lstLedgerTree->setModel(m_ledgerModel);
    m_itemModel = new SourceGridModel(m_commands.lstItemTree);
    lstItemTree->setModel(m_itemModel);
    m_transactionsModel = new SourceGridModel(m_commands.lstTransactions);
    lstTransactions->setModel(m_transactionsModel);
}

void frmExcel::BuildCommandRow(QWidget* central) {
    cmdPost = m_buttonSites->NewButton(QStringLiteral("cmdPost"), QStringLiteral("&Post"), central);
    cmbTableName = new QComboBox(central);
    cmbTableName->setObjectName(QStringLiteral("cmbTableName"));
    cmbTableName->view()->setMinimumWidth(Px(3600));
    chkChkMst = new QCheckBox(QStringLiteral("Check Masters before posting Vouchers"), central);
    chkChkMst->setObjectName(QStringLiteral("chkChkMst"));
    chkSkipMst = new QCheckBox(QStringLiteral("Ignore if already exists."), central);
    chkSkipMst->setObjectName(QStringLiteral("chkSkipMst"));
    cmdClose = m_buttonSites->NewButton(QStringLiteral("cmdClose"), QStringLiteral("&Close"), central);
}

void frmExcel::Connect() {
    auto run = [this](void (MainCommands::*handler)()) {
        return [this, handler] { Run([this, handler] { (m_commands.*handler)(); }); };
    };
    connect(cmdRefresh, &QuiboButton::Click, this, run(&MainCommands::cmdRefresh_Click));
    connect(cmdPost, &QuiboButton::Click, this, run(&MainCommands::cmdPost_Click));
    connect(cmdClose, &QuiboButton::Click, this, run(&MainCommands::cmdClose_Click));
    connect(cmdFilePath, &QuiboButton::Click, this, run(&MainCommands::cmdFilePath_Click));
    connect(cmdMDBPath, &QuiboButton::Click, this, run(&MainCommands::cmdMDBPath_Click));
    connect(cmdODBCPath, &QuiboButton::Click, this, run(&MainCommands::cmdODBCPath_Click));
    connect(mnuSaveR, &QAction::triggered, this, run(&MainCommands::mnuSaveR_Click));
    connect(mnuOptions, &QAction::triggered, this, run(&MainCommands::mnuOptions_Click));
    connect(mnuUpdateFormats, &QAction::triggered, this, run(&MainCommands::mnuUpdateFormats_Click));
    connect(mnuExit, &QAction::triggered, this, run(&MainCommands::mnuExit_Click));
    connect(mnuContent, &QAction::triggered, this, run(&MainCommands::mnuContent_Click));
    connect(mnuAbout, &QAction::triggered, this, run(&MainCommands::mnuAbout_Click));

    connect(cmbCurrentCompanyList, &QComboBox::activated, this, [this](int index) {
        if (!m_syncing) m_form.cmbCurrentCompanyList.SetListIndex(index);
    });
    connect(cmbTableName, &QComboBox::activated, this, [this](int index) {
        if (m_syncing || m_form.IsBusy()) return;
        m_form.cmbTableName.SetListIndex(index);
        Run([this] { m_commands.cmbTableName_Click(); });
    });
    connect(TabSource, &QTabBar::currentChanged, this, [this](int index) {
        if (!m_syncing) Run([this, index] { m_commands.SwitchSourceFrame(index); });
    });
    connect(TabData, &QTabBar::tabBarClicked, this, [this](int index) {
        if (m_syncing || index < 0) return;
        m_form.tabDataIndex = index + 1;
        Run([this] { m_commands.TabData_Click(); });
    });

    auto edits = [this](QLineEdit* box, QString FormModel::*field) {
        connect(box, &QLineEdit::textEdited, this,
                [this, field](const QString& text) { m_form.*field = text; });
    };
    edits(txtFilePath, &FormModel::txtFilePath);
    edits(txtMdbPath, &FormModel::txtMdbPath);
    edits(txtMDBUser, &FormModel::txtMDBUser);
    edits(txtMDBPass, &FormModel::txtMDBPass);
    edits(txtODBCPath, &FormModel::txtODBCPath);
    edits(txtODBCUser, &FormModel::txtODBCUser);
    edits(txtPass, &FormModel::txtPass);
    connect(qApp, &QApplication::focusChanged, this, &frmExcel::OnFocusChanged);

    auto checks = [this](QCheckBox* box, CheckBox FormModel::*field) {
        connect(box, &QCheckBox::stateChanged, this, [this, field](int state) {
            if (!m_syncing) (m_form.*field).value = CheckValueOf(static_cast<Qt::CheckState>(state));
        });
    };
    checks(chkChkMst, &FormModel::chkChkMst);
    checks(chkSkipMst, &FormModel::chkSkipMst);

    // The lists count their rows as the flex grids do: row 0 holds the field names.
    auto doubleClicks = [this](QTableView* list, void (MainCommands::*handler)(int)) {
        connect(list, &QTableView::doubleClicked, this, [this, handler](const QModelIndex& index) {
            Run([this, handler, index] { (m_commands.*handler)(index.row() + 1); });
        });
    };
    doubleClicks(lstLedgerTree, &MainCommands::lstLedgerTree_DblClick);
    doubleClicks(lstItemTree, &MainCommands::lstItemTree_DblClick);
    doubleClicks(lstTransactions, &MainCommands::lstTransactions_DblClick);

    connect(m_gr1Model, &GridModelBase::fitColumnRequested, GR1, &QTableView::resizeColumnToContents);
    connect(m_gr1Model, &GridModelBase::selectedRowChanged, GR1, [this](int row) {
        GR1->selectRow(row);
        GR1->scrollTo(m_gr1Model->index(row, 0));
    });
    connect(m_ledgerModel, &GridModelBase::fitColumnRequested, lstLedgerTree,
            &QTableView::resizeColumnToContents);
}

// ---------------------------------------------------------------- commands

FormLoadResult frmExcel::Form_Load(const CommandArgs& args) {
    FormLoadResult result;
    Run([&] { result = m_commands.Form_Load(args); });
    return result;
}

void frmExcel::Run(const std::function<void()>& command) {
    command();
    SyncFromModel();
    if (m_commands.state.unloaded) close();
}

void frmExcel::OnFocusChanged(QWidget* old, QWidget* now) {
    m_buttonSites->FollowFocus();
    // The path boxes are checked when the focus moves on to another control of this window.
    if (!now || now->window() != this || m_syncing) return;
    if (old == txtFilePath)
        Run([this] { m_commands.txtFilePath_Validate(); });
    else if (old == txtMdbPath)
        Run([this] { m_commands.txtMdbPath_Validate(); });
}

void frmExcel::ShowOptionsDialog() {
    dlgIPAddress dialog(m_services.settings, this);
    ExecModal(dialog);
}

void frmExcel::ShowAboutBox() {
    frmAbout about(m_services.messages, this);
    ExecModal(about);
}

void frmExcel::closeEvent(QCloseEvent* event) {
    if (!m_commands.Form_QueryUnload()) {
        event->ignore();
        return;
    }
    m_commands.state.unloaded = true;
    event->accept();
    emit Closed();
}

int frmExcel::WaitUntilClosed(const FormLoadResult& result, std::ostream& err) {
    if (!m_commands.state.unloaded) {
        QEventLoop untilClosed;
        connect(this, &frmExcel::Closed, &untilClosed, &QEventLoop::quit);
        show();
        untilClosed.exec();
    }
    return ExitStatus(result, err);
}

// ---------------------------------------------------------------- showing the model

void frmExcel::panelChanged(const QString& key, const QString& text) {
    if (key == QLatin1String("msg"))
        panelMsg->setText(text);
    else if (key == QLatin1String("stat"))
        panelStat->setText(text);
}

void frmExcel::yield() {
    if (m_sinceSync.isValid() && m_sinceSync.elapsed() < YieldIntervalMs) return;
    SyncFromModel();
    QCoreApplication::processEvents();
    m_sinceSync.restart();
}

void frmExcel::ShowClock() {
    const QDateTime now = m_services.clock.now();
    const QLocale locale;
    panelDate->setText(locale.toString(now.date(), QLocale::ShortFormat));
    panelTime->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmExcel::SyncFromModel() {
    m_syncing = true;
    const MainWindowState& state = m_commands.state;
    setWindowTitle(state.caption);

    {
        const QSignalBlocker block(TabSource);
        QStringList shown;
        for (int i = 0; i < TabSource->count(); ++i)
            shown.append(TabSource->tabText(i));
        if (shown != m_form.tabSourceCaptions) {
            while (TabSource->count() > 0)
                TabSource->removeTab(0);
            for (int i = 0; i < m_form.tabSourceCaptions.size(); ++i)
                TabSource->addTab(ImageList::Icon(state.tabSourceIcons.value(i, -1)),
                                  m_form.tabSourceCaptions[i]);
        }
        if (TabSource->currentIndex() != m_form.tabSourceIndex)
            TabSource->setCurrentIndex(m_form.tabSourceIndex);
    }
    for (size_t i = 0; i < frSource.size(); ++i)
        frSource[i]->setVisible(state.frSourceVisible[i]);

    SetText(txtFilePath, m_form.txtFilePath);
    SetText(txtMdbPath, m_form.txtMdbPath);
    SetText(txtMDBUser, m_form.txtMDBUser);
    SetText(txtMDBPass, m_form.txtMDBPass);
    SetText(txtODBCPath, m_form.txtODBCPath);
    SetText(txtODBCUser, m_form.txtODBCUser);
    SetText(txtPass, m_form.txtPass);
    {
        const QSignalBlocker a(cmbCurrentCompanyList), b(cmbTableName), c(chkChkMst), d(chkSkipMst);
        SetCombo(cmbCurrentCompanyList, m_form.cmbCurrentCompanyList);
        SetCombo(cmbTableName, m_form.cmbTableName);
        SetCheck(chkChkMst, m_form.chkChkMst);
        SetCheck(chkSkipMst, m_form.chkSkipMst);
    }
    panelMsg->setText(m_form.SB.panel(QStringLiteral("msg")));
    panelStat->setText(m_form.SB.panel(QStringLiteral("stat")));

    mnuSaveR->setVisible(m_form.menus.mnuSaveR);
    mnuIndex->setVisible(m_form.menus.mnuIndex);
    mnuSearch->setVisible(m_form.menus.mnuSearch);
    mnuSupport->setVisible(m_form.menus.mnuSupport);

    GR1->setVisible(true);
    lstLedgerTree->setVisible(state.lstLedgerTreeVisible);
    lstItemTree->setVisible(state.lstItemTreeVisible);
    lstTransactions->setVisible(state.lstTransactionsVisible);

    EnableForRunState();

    if (!state.focusRequest.isEmpty()) {
        if (auto* target = findChild<QWidget*>(state.focusRequest)) target->setFocus();
        m_commands.state.focusRequest.clear();
    }
    ApplyLayout();
    m_syncing = false;
}

void frmExcel::EnableForRunState() {
    // Disabling the control that holds the focus pushes the focus on; it comes back when the
    // command ends, unless the user has put it somewhere else meanwhile.
    QWidget* const focused = focusWidget();
    // What changes the model without a command waits while one runs; commands are refused by the
    // run guard, which says so.
    const bool idle = !m_form.IsBusy();
    for (QWidget* w :
         std::initializer_list<QWidget*>{cmbCurrentCompanyList, cmbTableName, TabSource, TabData, frSource[0],
                                         frSource[1], frSource[2], chkChkMst, chkSkipMst})
        w->setEnabled(idle);
    if (!idle) {
        if (focused && focusWidget() != focused && !m_focusToRestore) {
            m_focusToRestore = focused;
            m_focusParkedOn = focusWidget();
        }
        return;
    }
    if (m_focusToRestore && focusWidget() == m_focusParkedOn && m_focusToRestore->isVisible() &&
        m_focusToRestore->isEnabled())
        m_focusToRestore->setFocus();
    m_focusToRestore = nullptr;
    m_focusParkedOn = nullptr;
}

void frmExcel::FitLabels() {
    // The frames' captions are placed in twips for the design's font; the platform's may set them
    // wider or taller. A caption then takes what it needs, and the boxes of its column start that much
    // later, all of them, so that they keep one left edge across the frames.
    using Row = std::pair<const char*, const char*>; // caption, box
    static const std::vector<std::vector<Row>> columns = {{{"Label1", "txtFilePath"},
                                                           {"Label4", "txtMdbPath"},
                                                           {"Label5", "txtMDBUser"},
                                                           {"Label2", "txtODBCPath"},
                                                           {"Label7", "txtODBCUser"}},
                                                          {{"Label6", "txtMDBPass"}, {"Label8", "txtPass"}}};
    const int gap = Px(50);
    for (const std::vector<Row>& column : columns) {
        int widest = 0;
        for (const Row& row : column)
            widest = qMax(widest, findChild<QLabel*>(QString::fromLatin1(row.first))->sizeHint().width());
        for (const auto& [labelName, boxName] : column) {
            auto* label = findChild<QLabel*>(QString::fromLatin1(labelName));
            auto* box = findChild<QLineEdit*>(QString::fromLatin1(boxName));
            const int height = label->sizeHint().height();
            if (height > label->height())
                label->setGeometry(label->x(), label->y() - (height - label->height()) / 2, label->width(),
                                   height);
            // Up to the box a caption may use all the design gives it; past it the box moves on.
            const int room = box->x() - label->x();
            label->resize(qMax(widest, qMin(label->width(), room)), label->height());
            if (label->width() > room) {
                const int shift = label->width() - room + gap;
                box->setGeometry(box->x() + shift, box->y(), box->width() - shift, box->height());
            }
        }
    }
}

void frmExcel::SetTabOrder() {
    // Reading order: the company row, the source tabs and the shown frame's controls, the grids, the
    // command row. Hidden frames and lists drop out of the chain by themselves.
    QWidget* const order[] = {cmbCurrentCompanyList,
                              cmdRefresh,
                              TabSource,
                              txtFilePath,
                              cmdFilePath,
                              txtMdbPath,
                              cmdMDBPath,
                              txtMDBUser,
                              txtMDBPass,
                              txtODBCPath,
                              cmdODBCPath,
                              txtODBCUser,
                              txtPass,
                              GR1,
                              lstLedgerTree,
                              lstItemTree,
                              lstTransactions,
                              cmdPost,
                              cmbTableName,
                              chkChkMst,
                              chkSkipMst,
                              cmdClose};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);
}

// ---------------------------------------------------------------- layout

void frmExcel::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LayOut();
}

void frmExcel::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) LayOut();
}

void frmExcel::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Shown with no control holding the focus, the first stop of the tab order takes it, as on any
    // form: the platform may activate the window without giving it to anyone.
    if (!focusWidget()) focusNextPrevChild(true);
    // Shown by the program rather than restored by the window system, the window asks for the
    // keyboard: without a window manager that hands it to new windows, it would stay inactive and
    // no control would show the focus.
    if (!event->spontaneous()) activateWindow();
}

void frmExcel::LayOut() {
    // The rules work on the window's outer size, frame included, and read the sizes they do not
    // set from the controls: the label and the check boxes are as wide as their captions here.
    const QSize outer = frameGeometry().size();
    FormLayout& sizes = m_commands.state.layout;
    sizes.SBHeight = statusBar()->sizeHint().height() * TwipsPerPixel;
    sizes.Label17.Width = Label17->sizeHint().width() * TwipsPerPixel;
    sizes.chkChkMst.Width = chkChkMst->sizeHint().width() * TwipsPerPixel;
    sizes.chkSkipMst.Width = chkSkipMst->sizeHint().width() * TwipsPerPixel;
    m_commands.Form_Resize(outer.width() * TwipsPerPixel, outer.height() * TwipsPerPixel, isMinimized());
    ApplyLayout();

    // A window below the minimum grows to it; the growth lays it out again.
    const FormLayout& f = m_commands.state.layout;
    const int growW = Px(f.Width) - outer.width();
    const int growH = Px(f.Height) - outer.height();
    if (!isMinimized() && (growW > 0 || growH > 0))
        resize(width() + qMax(0, growW), height() + qMax(0, growH));
}

void frmExcel::ApplyLayout() {
    const FormLayout& f = m_commands.state.layout;
    Place(Label17, f.Label17);
    Place(cmbCurrentCompanyList, f.cmbCurrentCompanyList);
    Place(cmdRefresh, f.cmdRefresh);
    Place(cmdPost, f.cmdPost);
    Place(cmdClose, f.cmdClose);
    Place(cmbTableName, f.cmbTableName);
    Place(chkChkMst, f.chkChkMst);
    Place(chkSkipMst, f.chkSkipMst);

    const QRect source = Px(f.TabSource);
    TabSource->setGeometry(source.left(), source.top(), source.width(), TabBarPixels);
    TabSourcePanel->setGeometry(source.adjusted(0, TabBarPixels - 1, 0, 0));
    for (size_t i = 0; i < frSource.size(); ++i)
        Place(frSource[i], f.frSource[i]);

    const QRect data = Px(f.TabData);
    TabData->setGeometry(data.left(), data.top(), data.width(), TabBarPixels);
    TabDataPanel->setGeometry(data.adjusted(0, TabBarPixels - 1, 0, 0));
    Place(DataSplitter, f.GR1);
    Place(lstItemTree, f.lstItemTree);
    Place(lstTransactions, f.lstTransactions);
}

} // namespace quibo
