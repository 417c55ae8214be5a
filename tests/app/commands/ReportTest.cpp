#include "app/commands/Report.h"

#include "app/commands/CommandsFixture.h"

#include <QDir>
#include <QFile>

namespace quibo {
namespace {

using test::CommandsTest;
using test::FormTest;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(PadStringTest, Rules) {
    struct Case {
        const char* name;
        QString text;
        QString fill;
        int side;
        int width;
        bool enabled;
        QString expected;
    };
    const QString abc = QStringLiteral("abc");
    const Case cases[] = {
        {"right", abc, QStringLiteral("."), 0, 6, true, QStringLiteral("abc...")},
        {"left", abc, QStringLiteral("."), 1, 6, true, QStringLiteral("...abc")},
        {"other side gives nothing", abc, QStringLiteral("."), 2, 6, true, QString()},
        {"exact width", abc, QStringLiteral("."), 0, 3, true, abc},
        {"cut to the width", QStringLiteral("abcdef"), QStringLiteral("."), 0, 4, true,
         QStringLiteral("abcd")},
        {"cut on either side", QStringLiteral("abcdef"), QStringLiteral("."), 1, 4, true,
         QStringLiteral("abcd")},
        {"disabled keeps a long text", QStringLiteral("abcdef"), QStringLiteral("."), 0, 2, false,
         QStringLiteral("abcdef")},
        {"disabled with side 2", abc, QStringLiteral("."), 2, 9, false, abc},
        {"a long fill is added whole", abc, QStringLiteral("-="), 0, 5, true, QStringLiteral("abc-=-=")},
        {"an empty fill adds nothing", abc, QString(), 0, 9, true, abc},
        {"empty text", QString(), QStringLiteral(" "), 0, 3, true, QStringLiteral("   ")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PadString(c.text, c.fill, c.side, c.width, c.enabled), c.expected) << c.name;
}

TEST(PadStringTest, ANegativeWidthThatMustCutRaisesError5) {
    try {
        PadString(QStringLiteral("abc"), QStringLiteral(" "), 0, -1, true);
        FAIL() << "no error";
    } catch (const vb::RuntimeError& e) {
        EXPECT_EQ(e.number(), 5);
    }
}

TEST_F(FormTest, TheReportPadsTheNameColumnTo75AndEndsEveryLineWithCrLf) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PARENT"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QStringLiteral("Cash-in-hand"), QStringLiteral("CREATED ")},
              {QString(80, QLatin1Char('N')), QString(), QStringLiteral("ERRORS Ledger exists - ")},
              {QString(), QString(), QString()}});
    const QString path = folder.file(QStringLiteral("report.txt"));
    ASSERT_TRUE(SaveReport(form, path));

    const QByteArray expected = QByteArray("Cash") + QByteArray(71, ' ') + "CREATED \r\n" +
                                QByteArray(75, 'N') + "ERRORS Ledger exists - \r\n" + QByteArray(75, ' ') +
                                "\r\n";
    EXPECT_EQ(ReadFile(path), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormTest, ARowWithLineBreaksTakesOneLineAndTheGridKeepsThem) {
    const QString page = QStringLiteral("<html>\r\n<body>\rBusy\n\n</body></html>\r\n");
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), page},
              {QStringLiteral("Petty\r\nCash"), QStringLiteral("CREATED ")},
              {QString(), QString()}});
    const QString path = folder.file(QStringLiteral("lines.txt"));
    ASSERT_TRUE(SaveReport(form, path));

    const QByteArray report = ReadFile(path);
    EXPECT_EQ(report, QByteArray("Cash") + QByteArray(71, ' ') + "<html> <body> Busy  </body></html> \r\n" +
                          "Petty Cash" + QByteArray(65, ' ') + "CREATED \r\n" + QByteArray(75, ' ') + "\r\n");
    EXPECT_EQ(report.count('\n'), form.GR1.RowCount());
    EXPECT_EQ(report.count('\r'), form.GR1.RowCount());
    EXPECT_EQ(form.GR1.CellText(1, 2), page);
}

TEST_F(FormTest, AColumnHeadedIdMakesTheIdTheKeyButAHeaderIdInOtherCaseDoesNot) {
    // The header decides, the key is then looked up: "ID" exactly.
    form.GR1.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    form.GR1.AddColumn(QStringLiteral("ID"), QStringLiteral("ID"));
    form.GR1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    form.GR1.AddRow();
    form.GR1.SetCellText(1, 1, QStringLiteral("Cash"));
    form.GR1.SetCellText(1, 2, QStringLiteral("Payment-1-01-Apr-2024"));
    form.GR1.SetCellText(1, 3, QStringLiteral("CREATED "));
    const QString path = folder.file(QStringLiteral("id.txt"));
    ASSERT_TRUE(SaveReport(form, path));
    EXPECT_EQ(ReadFile(path),
              QByteArray("Payment-1-01-Apr-2024") + QByteArray(75 - 21, ' ') + "CREATED \r\n");

    form.GR1.Clear(true);
    form.GR1.AddColumn(QStringLiteral("NAME"), QStringLiteral("Name"));
    form.GR1.AddColumn(QStringLiteral("ID"), QStringLiteral("Id"));
    form.GR1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    form.GR1.AddRow();
    form.GR1.SetCellText(1, 1, QStringLiteral("Cash"));
    form.GR1.SetCellText(1, 2, QStringLiteral("7"));
    form.GR1.SetCellText(1, 3, QStringLiteral("ALTERED "));
    ASSERT_TRUE(SaveReport(form, path));
    EXPECT_EQ(ReadFile(path), QByteArray("Cash") + QByteArray(71, ' ') + "ALTERED \r\n");
}

TEST_F(FormTest, AVoucherGridWithoutNameIsReportedByItsColumnKeyedId) {
    // A voucher table whose key column is headed "Id" (as an unquoted PostgreSQL "id" would be too).
    form.GR1.AddColumn(QStringLiteral("ID"), QStringLiteral("Id"));
    form.GR1.AddColumn(QStringLiteral("LEDGER"), QStringLiteral("Ledger"));
    form.GR1.AddColumn(QStringLiteral("PROCESSSTATUS"), QStringLiteral("Process Status"));
    form.GR1.AddRow();
    form.GR1.AddRow();
    form.GR1.SetCellText(1, 1, QStringLiteral("P-7"));
    form.GR1.SetCellText(1, 3, QStringLiteral("CREATED "));
    const QString path = folder.file(QStringLiteral("by-id.txt"));
    ASSERT_TRUE(SaveReport(form, path));
    EXPECT_EQ(ReadFile(path),
              QByteArray("P-7") + QByteArray(72, ' ') + "CREATED \r\n" + QByteArray(75, ' ') + "\r\n");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(FormTest, ASecondSaveReplacesTheFile) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("A"), QStringLiteral("x")}});
    const QString path = folder.file(QStringLiteral("again.txt"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(500, 'z'));
    }
    ASSERT_TRUE(SaveReport(form, path));
    EXPECT_EQ(ReadFile(path), QByteArray("A") + QByteArray(74, ' ') + "x\r\n");
}

TEST_F(FormTest, AGridWithoutIdOrNameReportsAnErrorAndTheProgramGoesOn) {
    loadWork({QStringLiteral("LEDGER"), QStringLiteral("PROCESSSTATUS")}, {{QStringLiteral("A"), QString()}});
    EXPECT_FALSE(SaveReport(form, folder.file(QStringLiteral("none.txt"))));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("=> LOCATION CODE: F01-0045() ")));
}

TEST_F(FormTest, AFileThatCannotBeCreatedIsReported) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")}, {{QStringLiteral("A"), QString()}});
    EXPECT_FALSE(SaveReport(form, folder.file(QStringLiteral("no such folder/r.txt"))));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0045()")));
}

TEST(ReportFileNameTest, GeneralDateWithSlashesAndColonsReplaced) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(ReportFileName(QStringLiteral("/opt/quibo"), QStringLiteral("Acme"),
                             QDateTime(QDate(2026, 12, 8), QTime(6, 30, 15)), us),
              QStringLiteral("/opt/quibo/Acme 12-8-2026 6.30.15 AM.txt"));
    EXPECT_EQ(ReportFileName(QStringLiteral("/q"), QStringLiteral("Acme"),
                             QDateTime(QDate(2026, 12, 8), QTime(18, 5, 0)), us),
              QStringLiteral("/q/Acme 12-8-2026 6.05.00 PM.txt"));
    // At midnight the general format shows the date alone.
    EXPECT_EQ(ReportFileName(QStringLiteral("/q"), QStringLiteral("Acme"),
                             QDateTime(QDate(2026, 1, 2), QTime(0, 0)), us),
              QStringLiteral("/q/Acme 1-2-2026.txt"));
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(ReportFileName(QStringLiteral("/q"), QStringLiteral("Acme"),
                             QDateTime(QDate(2026, 12, 8), QTime(6, 30, 15)), uk),
              QStringLiteral("/q/Acme 08-12-2026 06.30.15.txt"));
}

class SaveReportMenuTest : public CommandsTest {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_F(SaveReportMenuTest, SavesUnderTheCompanyAndTheClockAndSaysWhere) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QStringLiteral("CREATED ")}});
    form.CurrentCompany = QStringLiteral("Acme Traders");
    clock.set(QDateTime(QDate(2026, 12, 8), QTime(6, 30, 15)));
    commands->mnuSaveR_Click();

    const QString expectedPath = folder.path() + QStringLiteral("/Acme Traders 12-8-2026 6.30.15 AM.txt");
    EXPECT_EQ(ReadFile(expectedPath), QByteArray("Cash") + QByteArray(71, ' ') + "CREATED \r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              QStringLiteral("Report has been saved at following location.\r\n") + expectedPath);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("Quibo"));
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::OkOnly);
}

TEST_F(SaveReportMenuTest, AReportThatCouldNotBeWrittenIsNotAnnouncedAsSaved) {
    loadWork({QStringLiteral("NAME"), QStringLiteral("PROCESSSTATUS")},
             {{QStringLiteral("Cash"), QString()}});
    form.CurrentCompany = QStringLiteral("Acme/Traders"); // a character a file name cannot hold
    commands->mnuSaveR_Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_TRUE(boxes.shown[0].title.startsWith(QStringLiteral("Quibo 1.0 Error = ")));
    EXPECT_TRUE(errors.lastReport().contains(QStringLiteral("F01-0045()")));
}

} // namespace
} // namespace quibo
