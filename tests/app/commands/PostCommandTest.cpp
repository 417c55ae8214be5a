#include "app/commands/MainCommands.h"

#include "app/commands/CommandsFixture.h"
#include "app/grid/GridObserver.h"
#include "staging/db/LocalDatabase.h"
#include "staging/db/StagingSchema.h"

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
        for (const QString& name : AllProcedures())
            commands->posters.Register(name, [this, name] { ran.append(name); });
    }

    static QStringList AllProcedures() {
        return {QStringLiteral("PostAttendance"),
                QStringLiteral("PostLedgers"),
                QStringLiteral("PostLedgersGST"),
                QStringLiteral("PostTransaction"),
                QStringLiteral("PostTransactionGST"),
                QStringLiteral("PostQuickTransaction"),
                QStringLiteral("PostBankStmt"),
                QStringLiteral("PostTDSTransaction"),
                QStringLiteral("PostSTTDSTransaction"),
                QStringLiteral("PostVATTransaction"),
                QStringLiteral("PostVATTransactionMC"),
                QStringLiteral("PostOrders"),
                QStringLiteral("PostNotes"),
                QStringLiteral("PostPhysicalStock"),
                QStringLiteral("PostStockJV"),
                QStringLiteral("PostCrDrNotes"),
                QStringLiteral("PostServTaxTransaction"),
                QStringLiteral("PostItemizedTransaction"),
                QStringLiteral("PostCostTransaction"),
                QStringLiteral("PostLedgerGroups"),
                QStringLiteral("PostLedgerGroupsGST"),
                QStringLiteral("PostUnits"),
                QStringLiteral("PostUnitsGST"),
                QStringLiteral("PostGodowns"),
                QStringLiteral("PostGodownsGST"),
                QStringLiteral("PostStockGroups"),
                QStringLiteral("PostStockGroupsGST"),
                QStringLiteral("PostStockCategories"),
                QStringLiteral("PostStockCategoriesGST"),
                QStringLiteral("PostStockItems"),
                QStringLiteral("PostStockItemsGST"),
                QStringLiteral("PostCostCategories"),
                QStringLiteral("PostCostCategoriesGST"),
                QStringLiteral("PostCostCentres"),
                QStringLiteral("PostCostCentresGST"),
                QStringLiteral("PostVoucherRegister"),
                QStringLiteral("PostCustomFormat")};
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
    // The original twenty first, in their order and spelling.
    EXPECT_EQ(StagingTablesToEmpty().mid(0, 4),
              QStringList({QStringLiteral("AccountingAllocation"), QStringLiteral("Address"),
                           QStringLiteral("AllInventoryEntry"), QStringLiteral("ALLLedgerEntry")}));
    EXPECT_EQ(StagingTablesToEmpty().at(13), QStringLiteral("InventoryEntryIn"));
    EXPECT_EQ(StagingTablesToEmpty().at(19), QStringLiteral("Voucher"));
}

TEST_F(PostCommandTest, WithoutACompanyTheTablesAreEmptiedAndTheUserIsTold) {
    for (bool silent : {false, true}) {
        StageSomething();
        form.SilentMode = silent;
        form.menus.mnuSaveR = true;
        Choose(QString(), QStringLiteral("LEDGERS"));
        boxes.shown.clear();
        commands->cmdPost_Click();

        EXPECT_EQ(StagedRows(), 0);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Please select a company."));
        EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Select Company."));
        EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
        EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
        EXPECT_FALSE(form.menus.mnuSaveR);
        EXPECT_EQ(commands->state.focusRequest, QStringLiteral("cmbCurrentCompanyList"));
        EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::NoCompany);
        EXPECT_TRUE(ran.isEmpty());
    }
}

TEST_F(PostCommandTest, WithoutAnImportTypeTheUserIsToldEvenWhenSilent) {
    for (const QString& chosen : {Placeholder, QString()}) {
        for (bool silent : {false, true}) {
            StageSomething();
            form.SilentMode = silent;
            form.menus.mnuSaveR = true;
            Choose(QStringLiteral("Acme"), chosen);
            if (chosen.isEmpty()) form.cmbTableName.SetListIndex(-1);
            boxes.shown.clear();
            commands->cmdPost_Click();

            EXPECT_EQ(StagedRows(), 0);
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Select a Import Type."));
            EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Import Type"));
            EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Critical);
            EXPECT_FALSE(form.menus.mnuSaveR);
            EXPECT_EQ(commands->state.focusRequest, QStringLiteral("cmbTableName"));
            EXPECT_TRUE(ran.isEmpty());
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
    const QString none;
    const std::pair<const char*, QString> rows[] = {
        {"ATTENDANCE", QStringLiteral("PostAttendance")},
        {"ATTENDANCEGST", none},
        {"LEDGERS", QStringLiteral("PostLedgers")},
        {"LEDGERSGST", QStringLiteral("PostLedgersGST")},
        {"TRANSACTIONS", QStringLiteral("PostTransaction")},
        {"H_TRANSACTIONS", QStringLiteral("PostTransaction")},
        {"TRANSACTIONSGST", QStringLiteral("PostTransactionGST")},
        {"H_TRANSACTIONSGST", QStringLiteral("PostTransactionGST")},
        {"QUICKTRANSACTIONS", QStringLiteral("PostQuickTransaction")},
        {"QUICKTRANSACTIONSGST", none},
        {"BANKSTMT", QStringLiteral("PostBankStmt")},
        {"BANKSTMTGST", none},
        {"TDSTRANSACTIONS", QStringLiteral("PostTDSTransaction")},
        {"TDSTRANSACTIONSGST", none},
        {"STTDSTRANSACTIONS", QStringLiteral("PostSTTDSTransaction")},
        {"STTDSTRANSACTIONSGST", none},
        {"VATTRANSACTIONS", QStringLiteral("PostVATTransaction")},
        {"VATTRANSACTIONSGST", none},
        {"VATTRANSACTIONSMC", QStringLiteral("PostVATTransactionMC")},
        {"VATTRANSACTIONSMCGST", none},
        {"ORDERS", QStringLiteral("PostOrders")},
        {"ORDERSGST", none},
        {"NOTES", QStringLiteral("PostNotes")},
        {"NOTESGST", none},
        {"PHYSICALSTOCK", QStringLiteral("PostPhysicalStock")},
        {"PHYSICALSTOCKGST", none},
        {"STOCKJV", QStringLiteral("PostStockJV")},
        {"STOCKJVGST", none},
        {"CRDRNOTES", QStringLiteral("PostCrDrNotes")},
        {"CRDRNOTESGST", none},
        {"SERVICETAXTRANSACTIONS", QStringLiteral("PostServTaxTransaction")},
        {"SERVICETAXTRANSACTIONSGST", none},
        {"ITEM TRANSACTIONS", QStringLiteral("PostItemizedTransaction")},
        {"I_TRANSACTIONS", QStringLiteral("PostItemizedTransaction")},
        {"ITEM TRANSACTIONSGST", none},
        {"I_TRANSACTIONSGST", none},
        {"COST TRANSACTIONS", QStringLiteral("PostCostTransaction")},
        {"C_TRANSACTIONS", QStringLiteral("PostCostTransaction")},
        {"COST TRANSACTIONSGST", none},
        {"C_TRANSACTIONSGST", none},
        {"LEDGER GROUPS", QStringLiteral("PostLedgerGroups")},
        {"LEDGER GROUPSGST", QStringLiteral("PostLedgerGroupsGST")},
        {"UNITS", QStringLiteral("PostUnits")},
        {"UNITSGST", QStringLiteral("PostUnitsGST")},
        {"GODOWNS", QStringLiteral("PostGodowns")},
        {"GODOWNSGST", QStringLiteral("PostGodownsGST")},
        {"STOCK GROUPS", QStringLiteral("PostStockGroups")},
        {"STOCK GROUPSGST", QStringLiteral("PostStockGroupsGST")},
        {"STOCK CATEGORIES", QStringLiteral("PostStockCategories")},
        {"STOCK CATEGORIESGST", QStringLiteral("PostStockCategoriesGST")},
        {"STOCK ITEMS", QStringLiteral("PostStockItems")},
        {"STOCK ITEMSGST", QStringLiteral("PostStockItemsGST")},
        {"COST CATEGORIES", QStringLiteral("PostCostCategories")},
        {"COST CATEGORIESGST", none},
        {"COST CENTRES", QStringLiteral("PostCostCentres")},
        {"COST CENTRESGST", none},
        {"SALE REGISTER", QStringLiteral("PostVoucherRegister")},
        {"SALEREGISTER", QStringLiteral("PostVoucherRegister")},
        {"V_TRANSACTIONS", QStringLiteral("PostVoucherRegister")},
        {"VOUCHERREGISTER", QStringLiteral("PostVoucherRegister")},
        {"VOUCHER REGISTER", QStringLiteral("PostVoucherRegister")},
        {"SALE REGISTERGST", none},
        {"SALEREGISTERGST", none},
        {"V_TRANSACTIONSGST", none},
        {"VOUCHERREGISTERGST", none},
        {"VOUCHER REGISTERGST", none},
        {"EMPLOYEECATEGORIES", QStringLiteral("PostCostCategoriesGST")},
        {"EMPLOYEEGROUPS", QStringLiteral("PostCostCentresGST")},
        {"EMPLOYEES", QStringLiteral("PostCostCentresGST")},
        // Not in the table and no format of that name: nothing.
        {"STOCKITEMS", none},
        {"PURCHASE REGISTER", none},
        {"UPDATEPARTYGSTIN", none},
    };
    form.SilentMode = true;
    for (const auto& [type, procedure] : rows) {
        ran.clear();
        form.menus.mnuSaveR = false;
        Choose(QStringLiteral("Acme"), QString::fromLatin1(type));
        commands->cmdPost_Click();
        EXPECT_EQ(ran, procedure.isEmpty() ? QStringList() : QStringList({procedure})) << type;
        EXPECT_TRUE(form.menus.mnuSaveR) << type; // the closing steps ran either way
        EXPECT_EQ(commands->lastPostOutcome(), PostOutcome::Completed) << type;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PostCommandTest, UserDefinedFormatsRouteByTheirKindComparedExactly) {
    AddFormat(QStringLiteral("MyVouchers"), QStringLiteral("VOUCHER"));
    AddFormat(QStringLiteral("LowerVouchers"), QStringLiteral("voucher"));
    AddFormat(QStringLiteral("MyGroups"), QStringLiteral("GROUP"));
    AddFormat(QStringLiteral("MyLedgers"), QStringLiteral("LEDGER"));
    AddFormat(QStringLiteral("MyUnits"), QStringLiteral("UNIT"));
    AddFormat(QStringLiteral("MyGodowns"), QStringLiteral("GODOWN"));
    AddFormat(QStringLiteral("MyStockGroups"), QStringLiteral("STOCKGROUP"));
    AddFormat(QStringLiteral("MyCategories"), QStringLiteral("STOCKCATEGORY"));
    AddFormat(QStringLiteral("MyItems"), QStringLiteral("STOCKITEM"));
    AddFormat(QStringLiteral("MyCostCategories"), QStringLiteral("COSTCATEGORY"));
    AddFormat(QStringLiteral("MyCentres"), QStringLiteral("COSTCENTRE"));
    AddFormat(QStringLiteral("NullKind"), QVariant());
    AddFormat(QStringLiteral("Purchase Register"), QStringLiteral("VOUCHER"));
    const std::pair<const char*, const char*> cases[] = {
        {"MYVOUCHERS", "PostCustomFormat"},
        {"myvouchers", "PostCustomFormat"}, // the box's text is upper-cased first
        {"LOWERVOUCHERS", ""},
        {"MYGROUPS", "PostLedgerGroupsGST"},
        {"MYLEDGERS", "PostLedgersGST"},
        {"MYUNITS", "PostUnitsGST"},
        {"MYGODOWNS", "PostGodownsGST"},
        {"MYSTOCKGROUPS", "PostStockGroupsGST"},
        {"MYCATEGORIES", "PostStockCategoriesGST"},
        {"MYITEMS", "PostStockItemsGST"},
        {"MYCOSTCATEGORIES", "PostCostCategoriesGST"},
        {"MYCENTRES", "PostCostCentresGST"},
        {"NULLKIND", ""},
        {"PURCHASE REGISTER", "PostCustomFormat"},
        {"NOSUCHFORMAT", ""},
    };
    form.SilentMode = true;
    for (const auto& [type, procedure] : cases) {
        ran.clear();
        Choose(QStringLiteral("Acme"), QString::fromLatin1(type));
        commands->cmdPost_Click();
        const QString expected = QString::fromLatin1(procedure);
        EXPECT_EQ(ran, expected.isEmpty() ? QStringList() : QStringList({expected})) << type;
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

class FitRecorder final : public GridObserver {
public:
    void gridReset() override {}
    void columnsAppended(int, int) override {}
    void rowsAppended(int, int) override {}
    void cellChanged(int, int) override {}
    void columnChanged(int) override {}
    void redrawChanged(bool) override {}
    void columnFitRequested(int column) override { fits.push_back(column); }
    std::vector<int> fits;
};

TEST_F(PostCommandTest, TheClosingStepsFitTheStatusColumnThenColumnOne) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PARENT"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString(), QString()}});
    FitRecorder recorder;
    form.GR1.SetObserver(&recorder);
    form.SilentMode = true;
    Choose(QStringLiteral("Acme"), QStringLiteral("LEDGERS"));
    commands->cmdPost_Click();
    form.GR1.SetObserver(nullptr);
    EXPECT_EQ(recorder.fits, (std::vector<int>{3, 1}));
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
