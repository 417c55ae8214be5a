#include "app/commands/MainCommands.h"

#include "app/commands/AppInfo.h"
#include "app/commands/CommandsFixture.h"
#include "base/Trap.h"

#include <QFile>
#include <QRegularExpression>

namespace quibo {
namespace {

const QString Placeholder = QStringLiteral(">>Select Import Type<<");

// A workbook or database that lists the given tables and nothing else.
class ListingSource final : public Source {
public:
    explicit ListingSource(QStringList tables) : m_tables(std::move(tables)) {}
    QStringList tables() override { return m_tables; }
    SourceTable read(const QString&, const QString&) override { return SourceTable(); }
    QString describe() const override { return QStringLiteral("listing"); }

private:
    QStringList m_tables;
};

// A source opener that lists `tables` whatever it is asked to open.
ConnectionOpener Listing(const QStringList& tables) {
    return [tables](const QString&, const QString&, const QString&) {
        return std::unique_ptr<Source>(std::make_unique<ListingSource>(tables));
    };
}

// An empty file that passes the directory lookup of the listing.
QString Touch(const test::TempFolder& folder, const QString& name) {
    const QString path = folder.file(name);
    QFile(path).open(QIODevice::WriteOnly);
    return path;
}

struct Opened {
    QString connection;
    QString user;
    QString password;
};

// The start-up with a stub table loader that records every selection of an
// import type, and a stub poster for LEDGERS.
class FormLoadTest : public test::CommandsTest {
protected:
    void SetUp() override { Install(commands.get()); }

    void Install(MainCommands* c) {
        c->tableLoader = [this] {
            loads.append(form.TabSourceCaption() + QLatin1Char('|') + form.cmbTableName.Text());
        };
        c->posters.Register(QStringLiteral("PostLedgers"), [this] {
            posted.append(form.cmbCurrentCompanyList.Text());
            if (posterCompany) form.CurrentCompany = *posterCompany;
        });
    }

    // The commands again, now with a source opener that lists `tables`.
    void ListTables(const QStringList& tables) {
        commands = std::make_unique<MainCommands>(
            form, transport, dialogs, [this, tables](const QString& c, const QString& u, const QString& p) {
                opened.push_back({c, u, p});
                return Listing(tables)(c, u, p);
            });
        Install(commands.get());
    }

    QString Workbook() { return Touch(folder, QStringLiteral("book.xls")); }

    FormLoadResult Load(const QStringList& args) { return commands->Form_Load(CommandArgs(args)); }

    QStringList loads;
    QStringList posted;
    std::optional<QString> posterCompany;
    std::vector<Opened> opened;
};

TEST_F(FormLoadTest, WithoutArgumentsAllThreeSourcesAreOfferedAndNothingIsPosted) {
    StartServer();
    const FormLoadResult result = Load({});

    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Quibo \\d+\\.\\d+\\.\\d+$"))
                    .match(commands->state.caption)
                    .hasMatch())
        << commands->state.caption.toStdString();
    EXPECT_EQ(form.tabSourceCaptions,
              QStringList({QStringLiteral("Excel"), QStringLiteral("Access"), QStringLiteral("ODBC")}));
    EXPECT_EQ(commands->state.tabSourceIcons, QList<int>({5, 6, 7}));
    EXPECT_EQ(form.TabSourceCaption(), QStringLiteral("Excel"));
    EXPECT_EQ(commands->state.frSourceVisible, (std::array<bool, 3>{true, false, false}));
    EXPECT_EQ(commands->state.layout.TabSource.Height, commands->state.layout.frSource[0].Height + 500);
    EXPECT_TRUE(commands->state.lstLedgerTreeVisible);
    EXPECT_FALSE(commands->state.lstItemTreeVisible);
    EXPECT_FALSE(commands->state.lstTransactionsVisible);

    EXPECT_EQ(form.cmbTableName.items(), QStringList({Placeholder}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    EXPECT_EQ(loads,
              QStringList({QStringLiteral("Excel|") + Placeholder})); // selected from code: the Click runs

    EXPECT_EQ(Requests(), 4u); // the refresh ran
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    EXPECT_EQ(form.cmbCurrentCompanyList.Text(), QStringLiteral("Acme Traders"));
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(result.closed);
    EXPECT_FALSE(commands->state.unloaded);
    EXPECT_EQ(result.reason, QStringLiteral("argument 8 is not POST or POSTSILENT, so nothing was posted"));
    EXPECT_FALSE(form.SilentMode);
    EXPECT_FALSE(form.IsBusy());
}

TEST_F(FormLoadTest, AnXlsRunListsLoadsRefreshesAndStopsAtTheGate) {
    StartServer({"Acme Traders", "Beta Ltd"});
    const QString workbook = QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls");
    const QString report = folder.file(QStringLiteral("report.txt"));
    const FormLoadResult result = Load({"xls", workbook, "ledgers", "Nobody Ltd", report, "", "", "POST"});

    EXPECT_EQ(form.tabSourceCaptions, QStringList({QStringLiteral("Excel")}));
    EXPECT_EQ(commands->state.tabSourceIcons, QList<int>({5}));
    EXPECT_EQ(form.txtFilePath, workbook);
    ASSERT_GE(form.cmbTableName.ListCount(), 3);
    EXPECT_EQ(form.cmbTableName.List(0), Placeholder);
    EXPECT_TRUE(form.cmbTableName.items().contains(QStringLiteral("LEDGERS")));
    EXPECT_TRUE(form.cmbTableName.items().contains(QStringLiteral("TRANSACTIONS")));
    EXPECT_EQ(form.cmbTableName.items().last(), Placeholder); // added after the listing
    EXPECT_EQ(form.cmbTableName.Text(), QStringLiteral("LEDGERS"));
    ASSERT_FALSE(loads.isEmpty());
    EXPECT_EQ(loads.last(), QStringLiteral("Excel|LEDGERS"));

    EXPECT_EQ(form.cmbCurrentCompanyList.items(),
              QStringList({QStringLiteral("Acme Traders"), QStringLiteral("Beta Ltd")}));
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(QFile::exists(report));
    EXPECT_FALSE(result.closed);
    EXPECT_TRUE(
        result.reason.startsWith(QStringLiteral("argument 4 \"Nobody Ltd\" is not the current company")))
        << result.reason.toStdString();
}

TEST_F(FormLoadTest, ArgumentThreeMatchesAnEntryWithoutBlanksInAnyCase) {
    const std::pair<const char*, QString> cases[] = {
        {"stockitems", QStringLiteral("STOCK ITEMS")},     {"Stock Items", QStringLiteral("STOCK ITEMS")},
        {" stock  items ", QStringLiteral("STOCK ITEMS")}, {"'STOCK ITEMS'", QStringLiteral("STOCK ITEMS")},
        {"stock groups", QStringLiteral("STOCK GROUPS")},  {"STOCK ITEM", Placeholder},
    };
    for (const auto& [argument, selected] : cases) {
        test::CommandsHarness h;
        QStringList hLoads;
        h.commands =
            std::make_unique<MainCommands>(h.form, h.transport, h.dialogs,
                                           Listing({QStringLiteral("Ledgers$"), QStringLiteral("StockItems$"),
                                                    QStringLiteral("Stock Groups$")}));
        h.commands->tableLoader = [&] { hLoads.append(h.form.cmbTableName.Text()); };
        h.commands->Form_Load(
            CommandArgs({"XLS", Touch(h.folder, "book.xls"), QString::fromLatin1(argument)}));
        EXPECT_EQ(h.form.cmbTableName.Text(), selected) << argument;
        EXPECT_EQ(hLoads.last(), selected) << argument;
        EXPECT_EQ(h.form.cmbTableName.items(),
                  QStringList({Placeholder, QStringLiteral("LEDGERS"), QStringLiteral("STOCK ITEMS"),
                               QStringLiteral("STOCK GROUPS"), Placeholder}))
            << argument;
        EXPECT_EQ(h.dialogs.optionsShown, 1) << argument; // nothing stored: the refresh opens the dialog
    }
}

TEST_F(FormLoadTest, ArgumentFourInAnotherCaseSelectsTheEntryButDoesNotPost) {
    StartServer({"Acme Traders", "Beta Ltd"});
    ListTables({QStringLiteral("Ledgers$")});
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "beta LTD", "", "", "", "POST"});
    EXPECT_EQ(form.cmbCurrentCompanyList.Text(), QStringLiteral("Beta Ltd"));
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Beta Ltd"));
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(
        result.reason,
        QStringLiteral("argument 4 \"beta LTD\" is not the current company \"Beta Ltd\" (compared exactly)"));
}

TEST_F(FormLoadTest, ArgumentFourAsListedPostsToThatCompanyAndCloses) {
    StartServer({"Acme Traders", "Beta Ltd"});
    ListTables({QStringLiteral("Ledgers$")});
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString()}});
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "Beta Ltd", "", "", "", "POSTSILENT"});
    EXPECT_EQ(posted, QStringList({QStringLiteral("Beta Ltd")}));
    EXPECT_TRUE(result.closed);
    EXPECT_FALSE(result.failed);
    EXPECT_TRUE(commands->state.unloaded);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormLoadTest, ThePostActionInAnyCase) {
    struct Case {
        const char* action;
        bool posts;
        bool silent;
        size_t boxes; // the confirmation and the completion box unless silent
    };
    const Case cases[] = {
        {"POST", true, false, 2},      {"Post", true, false, 2},   {"postsilent", true, true, 0},
        {"PostSilent", true, true, 0}, {"POST ", false, false, 0}, {"", false, false, 0},
        {"POSTED", false, false, 0},
    };
    for (const Case& c : cases) {
        test::CommandsHarness h;
        h.StartServer();
        QStringList hPosted;
        h.commands = std::make_unique<MainCommands>(h.form, h.transport, h.dialogs,
                                                    Listing({QStringLiteral("Ledgers$")}));
        h.commands->posters.Register(QStringLiteral("PostLedgers"),
                                     [&] { hPosted.append(QStringLiteral("x")); });
        const FormLoadResult result = h.commands->Form_Load(CommandArgs(
            {"XLS", Touch(h.folder, "book.xls"), "LEDGERS", "", "", "", "", QString::fromLatin1(c.action)}));
        EXPECT_EQ(hPosted.size(), c.posts ? 1 : 0) << c.action;
        EXPECT_EQ(result.closed, c.posts) << c.action;
        EXPECT_EQ(h.form.SilentMode, c.silent) << c.action;
        EXPECT_EQ(h.boxes.shown.size(), c.boxes) << c.action;
        EXPECT_EQ(h.form.menus.mnuSaveR, c.posts) << c.action;
    }
}

TEST_F(FormLoadTest, ArgumentFiveWithoutAPostWritesNoReport) {
    StartServer();
    const QString report = folder.file(QStringLiteral("report.txt"));
    Load({"", "", "", "", report});
    EXPECT_FALSE(QFile::exists(report));
}

TEST_F(FormLoadTest, ArgumentsSixAndSevenAreStoredBeforeTheRefreshUsesThem) {
    StartServer();
    settings.set(QStringLiteral("ServerAddress"), QString());
    settings.set(QStringLiteral("PortNo"), QString());
    Load({"", "", "", "", "", "127.0.0.1", QString::number(port)});
    EXPECT_EQ(settings.get(QStringLiteral("ServerAddress")), QStringLiteral("127.0.0.1"));
    EXPECT_EQ(settings.get(QStringLiteral("PortNo")), QString::number(port));
    EXPECT_EQ(dialogs.optionsShown, 0);
    EXPECT_EQ(form.CurrentCompany, QStringLiteral("Acme Traders"));
    EXPECT_EQ(Requests(), 4u);
}

TEST_F(FormLoadTest, EmptyArgumentsSixAndSevenLeaveTheSettings) {
    StartServer();
    Load({"", "", "", "", "", "", ""});
    EXPECT_EQ(settings.get(QStringLiteral("PortNo")), QString::number(port));
}

TEST_F(FormLoadTest, AfterThePostTheCompanyIsComparedAgainBeforeClosing) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")});
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QStringLiteral("CREATED ")}});
    posterCompany = QStringLiteral("Other Co"); // the rows named another company in COMPANYNAME
    const QString report = folder.file(QStringLiteral("report.txt"));
    const FormLoadResult result =
        Load({"XLS", Workbook(), "LEDGERS", "Acme Traders", report, "", "", "POSTSILENT"});
    EXPECT_EQ(posted.size(), 1);
    EXPECT_TRUE(QFile::exists(report)); // the report is written before the comparison
    EXPECT_FALSE(result.closed);
    EXPECT_FALSE(commands->state.unloaded);
    EXPECT_EQ(result.reason,
              QStringLiteral(
                  "the company of the last row posted, \"Other Co\", is not argument 4 \"Acme Traders\""));
    EXPECT_TRUE(form.SilentMode); // stays for the rest of the program's life
}

TEST_F(FormLoadTest, WithoutArgumentFourTheRunClosesWhateverCompanyTheRowsNamed) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")});
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QStringLiteral("CREATED ")}, {QString(), QString()}});
    posterCompany = QStringLiteral("Other Co");
    const QString report = folder.file(QStringLiteral("report.txt"));
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "", report, "", "", "POST"});
    EXPECT_TRUE(result.closed);
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(result.reason, QString());
    EXPECT_TRUE(commands->state.unloaded);
    QFile file(report);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              QByteArray("Cash") + QByteArray(71, ' ') + "CREATED \r\n" + QByteArray(75, ' ') + "\r\n");
}

TEST_F(FormLoadTest, AClosedRunWhosePostStoppedAtACheckIsAFailure) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")});
    const FormLoadResult result = Load({"XLS", Workbook(), "UNITS", "", "", "", "", "POSTSILENT"});
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
    ASSERT_EQ(boxes.shown.size(), 1u); // shown in silent mode too
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Select a Import Type."));
    EXPECT_TRUE(result.closed);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason, QStringLiteral("the post stopped: no import type is selected"));
}

TEST_F(FormLoadTest, AnErrorReportedOnTheWayFailsTheClosedRunWithTheFirstError) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")});
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString()}});
    commands->posters.Register(QStringLiteral("PostLedgers"), [this] {
        // A record's own failures (its exchange, its staging) are its outcome, not the run's.
        Trap(errors, "C02-0001", [] { vb::Raise(5, QStringLiteral("no reply")); });
        Trap(errors, "C01--0011", [] { vb::Raise(5, QStringLiteral("not staged")); });
        Trap(errors, "F01-0016", [] { vb::Raise(5, QStringLiteral("Invalid column key:\r\nNAME")); });
        Trap(errors, "F01-0017", [] { vb::Raise(5, QStringLiteral("a later error")); });
    });
    const QString report = folder.file(QStringLiteral("report.txt"));
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "", report, "", "", "POSTSILENT"});
    EXPECT_TRUE(QFile::exists(report)); // the rows' outcomes are still reported
    EXPECT_TRUE(result.closed);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason,
              QStringLiteral("the run stopped at an error (F01-0016): Invalid column key: NAME"));
}

TEST_F(FormLoadTest, AClosedRunThatLoadedNoTableIsAFailure) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")}); // listed, but the stub loader loads nothing
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "", "", "", "", "POSTSILENT"});
    EXPECT_EQ(posted.size(), 1);
    EXPECT_TRUE(result.closed);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason,
              QStringLiteral("no table of import type \"LEDGERS\" was loaded from the source"));
}

TEST_F(FormLoadTest, AReportThatCannotBeWrittenFailsTheClosedRun) {
    StartServer();
    ListTables({QStringLiteral("Ledgers$")});
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString()}});
    const QString report = folder.file(QStringLiteral("missing folder/report.txt"));
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "", report, "", "", "POSTSILENT"});
    EXPECT_TRUE(result.closed);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.reason, QStringLiteral("the report file \"%1\" could not be written").arg(report));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0045()")));
}

TEST_F(FormLoadTest, NoCurrentCompanyStopsAtTheGate) {
    // No server settings: the refresh opens the dialog and no company becomes current.
    ListTables({QStringLiteral("Ledgers$")});
    const FormLoadResult result = Load({"XLS", Workbook(), "LEDGERS", "", "", "", "", "POST"});
    EXPECT_EQ(dialogs.optionsShown, 1);
    EXPECT_TRUE(posted.isEmpty());
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(result.reason, QStringLiteral("no company is current after the refresh"));
}

TEST_F(FormLoadTest, AnOdbcSourceTakesUserAndPasswordWhenNotBlank) {
    ListTables({QStringLiteral("LEDGERS")});
    form.txtPass = QStringLiteral("kept");
    Load({"Odbc", "Books DSN", "ledgers", "", "", "", "", "", "clerk", "  "});
    EXPECT_EQ(form.tabSourceCaptions, QStringList({QStringLiteral("ODBC")}));
    EXPECT_EQ(commands->state.tabSourceIcons, QList<int>({7}));
    EXPECT_EQ(commands->state.frSourceVisible, (std::array<bool, 3>{false, false, true}));
    EXPECT_EQ(form.txtODBCPath, QStringLiteral("Books DSN"));
    EXPECT_EQ(form.txtODBCUser, QStringLiteral("clerk"));
    EXPECT_EQ(form.txtPass, QStringLiteral("kept"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].connection, QStringLiteral("DSN=Books DSN"));
    EXPECT_EQ(opened[0].user, QStringLiteral("clerk"));
    EXPECT_EQ(opened[0].password, QStringLiteral("kept"));
    EXPECT_EQ(form.cmbTableName.Text(), QStringLiteral("LEDGERS"));
    EXPECT_EQ(loads.last(), QStringLiteral("ODBC|LEDGERS"));
}

TEST_F(FormLoadTest, AnAccessSourceUsesTheBoxesAsTheyStand) {
    ListTables({QStringLiteral("LEDGERS")});
    const QString database = Touch(folder, QStringLiteral("books.mdb"));
    form.txtMDBPass = QStringLiteral("secret");
    Load({"MDB", database, "LEDGERS", "", "", "", "", "", "ignored user", "ignored password"});
    EXPECT_EQ(form.tabSourceCaptions, QStringList({QStringLiteral("Access")}));
    EXPECT_EQ(commands->state.tabSourceIcons, QList<int>({6}));
    EXPECT_EQ(form.txtMdbPath, database);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].connection.endsWith(QStringLiteral(";Jet OLEDB:Database Password=secret")))
        << opened[0].connection.toStdString();
    EXPECT_EQ(loads.last(), QStringLiteral("Access|LEDGERS"));
}

TEST_F(FormLoadTest, AnEmptyPathKeepsTheNumberingAndListsNothing) {
    ListTables({QStringLiteral("Ledgers$")});
    Load({"XLS", "", "LEDGERS"});
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(form.cmbTableName.items(), QStringList({Placeholder}));
    EXPECT_EQ(form.cmbTableName.Text(), Placeholder);
}

TEST_F(FormLoadTest, AnErrorInTheStartUpIsReportedAndTheRestIsSkipped) {
    StartServer();
    commands->tableLoader = [] {
        vb::Raise(91, QStringLiteral("Object variable or With block variable not set"));
    };
    const FormLoadResult result = Load({});
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("=> LOCATION CODE: F01-0029() ")));
    EXPECT_EQ(Requests(), 0u); // no refresh
    EXPECT_FALSE(result.closed);
    EXPECT_EQ(result.reason, QStringLiteral("the start-up stopped at a run-time error (F01-0029)"));
    EXPECT_FALSE(form.IsBusy());
}

} // namespace
} // namespace quibo
