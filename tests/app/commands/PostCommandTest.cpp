#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"
#include "base/RecordingObserver.h"
#include "localdb/LocalDatabase.h"
#include "localdb/StagingSchema.h"

#include <QDir>
#include <QFile>

#include <set>

namespace quibo {
namespace {

const QString Placeholder = QStringLiteral(">>Select Import Type<<");
const QString Completed = QStringLiteral("Processing of data Completed.\r\nPlease check the Errors if any.");

// Every procedure name of the routing table, each recording that it ran.
class PostCommandTest : public test::CommandsTest {
protected:
    void SetUp() override {
        for (const PostRoute& route : PostRoutes())
            Record(route.procedure);
        for (const QString& procedure : CustomFormatRoutes())
            Record(procedure);
    }

    void Record(const QString& procedure) {
        if (!procedure.isEmpty())
            commands->posters.Register(procedure, [this, procedure] { ran.append(procedure); });
    }

    void Choose(const QString& company, const QString& importType) {
        form.cmbCurrentCompanyList.Clear();
        form.cmbCurrentCompanyList.AddItem(company);
        form.cmbCurrentCompanyList.SetListIndex(company.isEmpty() ? -1 : 0);
        form.cmbTableName.Clear();
        form.cmbTableName.AddItem(Placeholder);
        form.cmbTableName.AddItem(importType);
        form.cmbTableName.SetListIndex(importType == Placeholder ? 0 : 1);
    }

    void StageSomething() {
        LocalDatabase db(folder.path());
        for (const auto& table : staging::StagingTables())
            db.insert(table.name, {QStringLiteral("CompanyName")}, {QStringLiteral("Old Co")});
    }

    int StagedRows() {
        LocalDatabase db(folder.path());
        int rows = 0;
        for (const auto& table : staging::StagingTables())
            rows += db.query(QStringLiteral("select count(*) from ") + table.name).value(0, 0).toInt();
        return rows;
    }

    void AddFormat(const QString& name, const QVariant& kind) {
        LocalDatabase db(folder.path());
        db.insert(QStringLiteral("QuiboMst_"), {QStringLiteral("TName"), QStringLiteral("TType")},
                  {name, kind});
    }

    QStringList ran;
};

TEST(PostRoutingTest, TheTablesEmptiedAreExactlyTheStagingTables) {
    std::set<QString> emptied, staged;
    for (const QString& t : StagingTablesToEmpty())
        emptied.insert(t.toUpper());
    for (const auto& t : staging::StagingTables())
        staged.insert(t.name.toUpper());
    EXPECT_EQ(emptied, staged);
    EXPECT_EQ(StagingTablesToEmpty().size(), 22);
    // The twenty voucher tables first, in their order and spelling.
    EXPECT_EQ(StagingTablesToEmpty().mid(0, 4),
              QStringList({QStringLiteral("AccountingAllocation"), QStringLiteral("Address"),
                           QStringLiteral("AllInventoryEntry"), QStringLiteral("ALLLedgerEntry")}));
    EXPECT_EQ(StagingTablesToEmpty().at(13), QStringLiteral("InventoryEntryIn"));
    EXPECT_EQ(StagingTablesToEmpty().at(19), QStringLiteral("Voucher"));
}

TEST_F(PostCommandTest, AFailedCheckEmptiesTheTablesTellsTheUserEvenWhenSilentAndHidesSaveReport) {
    struct Case {
        QString company;
        QString importType; // "" leaves the box unselected
        QString text;
        QString title;
        MsgIcon icon;
        QString focus;
        PostOutcome outcome;
    };
    const Case cases[] = {
        {QString(), QStringLiteral("LEDGERS"), QStringLiteral("Please select a company."),
         QStringLiteral("Select Company."), MsgIcon::None, QStringLiteral("cmbCurrentCompanyList"),
         PostOutcome::NoCompany},
        {QStringLiteral("Acme"), Placeholder, QStringLiteral("Select a Import Type."),
         QStringLiteral("Import Type"), MsgIcon::Critical, QStringLiteral("cmbTableName"),
         PostOutcome::NoImportType},
        {QStringLiteral("Acme"), QString(), QStringLiteral("Select a Import Type."),
         QStringLiteral("Import Type"), MsgIcon::Critical, QStringLiteral("cmbTableName"),
         PostOutcome::NoImportType},
    };
    for (const Case& c : cases) {
        for (bool silent : {false, true}) {
            const std::string name = c.text.toStdString() + (silent ? " silent" : "");
            StageSomething();
            form.SilentMode = silent;
            form.menus.mnuSaveR = true;
            Choose(c.company, c.importType.isEmpty() ? QStringLiteral("LEDGERS") : c.importType);
            if (c.importType.isEmpty()) form.cmbTableName.SetListIndex(-1);
            boxes.shown.clear();
            commands->cmdPost_Click();

            EXPECT_EQ(StagedRows(), 0) << name;
            ASSERT_EQ(boxes.shown.size(), 1u) << name;
            EXPECT_EQ(boxes.shown[0].text, c.text) << name;
            EXPECT_EQ(boxes.shown[0].title, c.title) << name;
            EXPECT_EQ(boxes.shown[0].icon, c.icon) << name;
            EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly) << name;
            EXPECT_FALSE(form.menus.mnuSaveR) << name;
            EXPECT_EQ(commands->state.focusRequest, c.focus) << name;
            EXPECT_EQ(commands->lastPostOutcome(), c.outcome) << name;
            EXPECT_TRUE(ran.isEmpty()) << name;
        }
    }
}

TEST_F(PostCommandTest, TheConfirmationAsksWithTheTypeAsShown) {
    Choose(QStringLiteral("Acme"), QStringLiteral("Stock Items"));
    boxes.answerNext(MsgAnswer::Yes);
    commands->cmdPost_Click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("You have selected  >Stock Items<.  This will pass the data in "
                             "Tally.\r\n Do you want to continue?"));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo 1.0. Continue?"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ran, QStringList({QStringLiteral("PostStockItems")})); // upper-cased before routing
    EXPECT_EQ(boxes.shown[1].text, Completed);
    EXPECT_EQ(boxes.shown[1].title, QStringLiteral("Excel to Tally"));
    EXPECT_EQ(boxes.shown[1].icon, MsgIcon::None);
    EXPECT_TRUE(form.menus.mnuSaveR);
    EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Completed);
}

TEST_F(PostCommandTest, AnsweringNoPostsNothingAndChangesNothingElse) {
    for (bool menuBefore : {false, true}) {
        StageSomething();
        Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
        form.menus.mnuSaveR = menuBefore;
        boxes.shown.clear();
        boxes.answerNext(MsgAnswer::No);
        commands->cmdPost_Click();
        EXPECT_EQ(boxes.shown.size(), 1u); // no completion box
        EXPECT_TRUE(ran.isEmpty());
        EXPECT_EQ(form.menus.mnuSaveR, menuBefore);
        EXPECT_EQ(StagedRows(), 0);
        EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Declined);
    }
}

TEST_F(PostCommandTest, TheCurrentlySelectedCompanyEntryGetsANoticeFirst) {
    Choose(QStringLiteral("CURRENTLY SELECTED COMPANY IN TALLY"), QStringLiteral("UNITS"));
    commands->cmdPost_Click();
    ASSERT_EQ(boxes.shown.size(), 3u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("This will post the data to the Currently Selected Company in Tally."));
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Selected Company."));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Information);
    EXPECT_EQ(boxes.shown[1].title, QStringLiteral("Quibo 1.0. Continue?"));
    EXPECT_EQ(ran, QStringList({QStringLiteral("PostUnits")}));
}

TEST_F(PostCommandTest, SilentModeShowsNoBoxAtAll) {
    form.SilentMode = true;
    Choose(QStringLiteral("CURRENTLY SELECTED COMPANY IN TALLY"), QStringLiteral("GODOWNS"));
    commands->cmdPost_Click();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(ran, QStringList({QStringLiteral("PostGodowns")}));
    EXPECT_TRUE(form.menus.mnuSaveR);
}

TEST_F(PostCommandTest, EveryRowOfTheRoutingTable) {
    // A procedure and the import types that run it; "" runs none. The last three are in no row and
    // name no format.
    const std::pair<const char*, const char*> rows[] = {
        {"PostAttendance", "ATTENDANCE"},
        {"PostLedgers", "LEDGERS"},
        {"PostLedgersGST", "LEDGERSGST"},
        {"PostTransaction", "TRANSACTIONS|H_TRANSACTIONS"},
        {"PostTransactionGST", "TRANSACTIONSGST|H_TRANSACTIONSGST"},
        {"PostQuickTransaction", "QUICKTRANSACTIONS"},
        {"PostBankStmt", "BANKSTMT"},
        {"PostTDSTransaction", "TDSTRANSACTIONS"},
        {"PostSTTDSTransaction", "STTDSTRANSACTIONS"},
        {"PostVATTransaction", "VATTRANSACTIONS"},
        {"PostVATTransactionMC", "VATTRANSACTIONSMC"},
        {"PostOrders", "ORDERS"},
        {"PostNotes", "NOTES"},
        {"PostPhysicalStock", "PHYSICALSTOCK"},
        {"PostStockJV", "STOCKJV"},
        {"PostCrDrNotes", "CRDRNOTES"},
        {"PostServTaxTransaction", "SERVICETAXTRANSACTIONS"},
        {"PostItemizedTransaction", "ITEM TRANSACTIONS|I_TRANSACTIONS"},
        {"PostCostTransaction", "COST TRANSACTIONS|C_TRANSACTIONS"},
        {"PostLedgerGroups", "LEDGER GROUPS"},
        {"PostLedgerGroupsGST", "LEDGER GROUPSGST"},
        {"PostUnits", "UNITS"},
        {"PostUnitsGST", "UNITSGST"},
        {"PostGodowns", "GODOWNS"},
        {"PostGodownsGST", "GODOWNSGST"},
        {"PostStockGroups", "STOCK GROUPS"},
        {"PostStockGroupsGST", "STOCK GROUPSGST"},
        {"PostStockCategories", "STOCK CATEGORIES"},
        {"PostStockCategoriesGST", "STOCK CATEGORIESGST"},
        {"PostStockItems", "STOCK ITEMS"},
        {"PostStockItemsGST", "STOCK ITEMSGST"},
        {"PostCostCategories", "COST CATEGORIES"},
        {"PostCostCentres", "COST CENTRES"},
        {"PostVoucherRegister", "SALE REGISTER|SALEREGISTER|V_TRANSACTIONS|VOUCHERREGISTER|VOUCHER REGISTER"},
        {"PostCostCategoriesGST", "EMPLOYEECATEGORIES"},
        {"PostCostCentresGST", "EMPLOYEEGROUPS|EMPLOYEES"},
        {"", "ATTENDANCEGST|QUICKTRANSACTIONSGST|BANKSTMTGST|TDSTRANSACTIONSGST|STTDSTRANSACTIONSGST|"
             "VATTRANSACTIONSGST|VATTRANSACTIONSMCGST|ORDERSGST|NOTESGST|PHYSICALSTOCKGST|STOCKJVGST|"
             "CRDRNOTESGST|SERVICETAXTRANSACTIONSGST|ITEM TRANSACTIONSGST|I_TRANSACTIONSGST|"
             "COST TRANSACTIONSGST|C_TRANSACTIONSGST|COST CATEGORIESGST|COST CENTRESGST|SALE REGISTERGST|"
             "SALEREGISTERGST|V_TRANSACTIONSGST|VOUCHERREGISTERGST|VOUCHER REGISTERGST|"
             "STOCKITEMS|PURCHASE REGISTER|UPDATEPARTYGSTIN"},
    };
    form.SilentMode = true;
    for (const auto& [procedure, types] : rows) {
        const QStringList expected =
            *procedure ? QStringList({QString::fromLatin1(procedure)}) : QStringList();
        for (const QString& type : QString::fromLatin1(types).split(QLatin1Char('|'))) {
            ran.clear();
            form.menus.mnuSaveR = false;
            Choose(QStringLiteral("Acme"), type);
            commands->cmdPost_Click();
            EXPECT_EQ(ran, expected) << type.toStdString();
            EXPECT_TRUE(form.menus.mnuSaveR) << type.toStdString(); // the closing steps ran either way
            EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Completed) << type.toStdString();
        }
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PostCommandTest, UserDefinedFormatsRouteByTheirKindComparedExactly) {
    struct Case {
        const char* format; // "" for none stored
        QVariant kind;      // its TType
        const char* chosen; // the box's text
        const char* procedure;
    };
    const Case cases[] = {
        {"MyVouchers", QStringLiteral("VOUCHER"), "MYVOUCHERS", "PostCustomFormat"},
        {"", {}, "myvouchers", "PostCustomFormat"}, // the box's text is upper-cased first
        {"LowerVouchers", QStringLiteral("voucher"), "LOWERVOUCHERS", ""},
        {"MyGroups", QStringLiteral("GROUP"), "MYGROUPS", "PostLedgerGroupsGST"},
        {"MyLedgers", QStringLiteral("LEDGER"), "MYLEDGERS", "PostLedgersGST"},
        {"MyUnits", QStringLiteral("UNIT"), "MYUNITS", "PostUnitsGST"},
        {"MyGodowns", QStringLiteral("GODOWN"), "MYGODOWNS", "PostGodownsGST"},
        {"MyStockGroups", QStringLiteral("STOCKGROUP"), "MYSTOCKGROUPS", "PostStockGroupsGST"},
        {"MyCategories", QStringLiteral("STOCKCATEGORY"), "MYCATEGORIES", "PostStockCategoriesGST"},
        {"MyItems", QStringLiteral("STOCKITEM"), "MYITEMS", "PostStockItemsGST"},
        {"MyCostCategories", QStringLiteral("COSTCATEGORY"), "MYCOSTCATEGORIES", "PostCostCategoriesGST"},
        {"MyCentres", QStringLiteral("COSTCENTRE"), "MYCENTRES", "PostCostCentresGST"},
        {"NullKind", QVariant(), "NULLKIND", ""},
        {"Purchase Register", QStringLiteral("VOUCHER"), "PURCHASE REGISTER", "PostCustomFormat"},
        {"", {}, "NOSUCHFORMAT", ""},
    };
    for (const Case& c : cases)
        if (*c.format) AddFormat(QString::fromLatin1(c.format), c.kind);
    form.SilentMode = true;
    for (const Case& c : cases) {
        ran.clear();
        Choose(QStringLiteral("Acme"), QString::fromLatin1(c.chosen));
        commands->cmdPost_Click();
        EXPECT_EQ(ran, *c.procedure ? QStringList({QString::fromLatin1(c.procedure)}) : QStringList())
            << c.chosen;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PostCommandTest, AnUnregisteredPosterPostsNothingAndTheClosingStepsStillRun) {
    commands->posters = PosterRegistry();
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, Completed);
    EXPECT_TRUE(form.menus.mnuSaveR);
}

TEST_F(PostCommandTest, TheClosingStepsFitTheStatusColumnThenColumnOne) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PARENT"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString(), QString()}});
    test::RecordingObserver recorder;
    form.GR1.SetObserver(&recorder);
    form.SilentMode = true;
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    form.GR1.SetObserver(nullptr);
    EXPECT_EQ(recorder.calls.filter(QStringLiteral("fit")),
              QStringList({QStringLiteral("fit 3"), QStringLiteral("fit 1")}));
}

TEST_F(PostCommandTest, AGridWithoutColumnsEndsThePostWithoutAnError) {
    form.GR1.Clear(true);
    form.GR1.AddRow();
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].text, Completed);
    EXPECT_EQ(errors.reportCount(), 0);
}

TEST_F(PostCommandTest, AnErrorInAPosterIsReportedAndThePostEndsThere) {
    commands->posters.Register(QStringLiteral("PostLedgers"),
                               [] { vb::Raise(13, QStringLiteral("Type mismatch")); });
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0015()")));
    EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Failed);
    EXPECT_FALSE(form.menus.mnuSaveR);
}

TEST_F(PostCommandTest, ALocalDatabaseThatCannotBeOpenedEndsThePostBeforeItsChecks) {
    ASSERT_TRUE(
        QDir(folder.path()).mkdir(QStringLiteral("Quibo20.DAT"))); // a folder where the file should be
    Choose(QString(), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    ASSERT_EQ(boxes.shown.size(), 1u); // the error box only: no check box
    EXPECT_TRUE(boxes.shown[0].title.startsWith(QStringLiteral("Quibo 1.0 Error = ")));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0015()")));
    EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Failed);
}

TEST_F(PostCommandTest, ASecondPostIsRefusedWhileOneRuns) {
    int posts = 0;
    commands->posters.Register(QStringLiteral("PostLedgers"), [&] {
        ++posts;
        commands->cmdPost_Click(); // as a click that reaches the window while the first post yields
        commands->cmdRefresh_Click();
        commands->cmdClose_Click();
    });
    form.SilentMode = true;
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    EXPECT_EQ(posts, 1);
    EXPECT_FALSE(commands->state.unloaded);
    EXPECT_EQ(dialogs.optionsShown, 0);
    EXPECT_FALSE(form.IsBusy());
}

} // namespace
} // namespace quibo
