// End to end: how an unattended run ends over good and broken sources. Each row runs the program once
// against a fresh simulated server and pins its exit status, the last line on standard error, the
// report file (or its absence) and the masters the server stored.

#include "localdb/LocalDatabase.h"
#include "support/UnattendedRun.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <optional>
#include <string>
#include <string_view>

#include <pugixml.hpp>
#include <sqlite3.h>
#include <zip.h>

namespace quibo {
namespace {

// A source made in the run's folder; returns the path given to the program.
using MakeSource = QString (*)(const test::TempFolder& folder);

QString Write(const test::TempFolder& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.file(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// A report line of a row with neither name nor status.
const std::string Blank = std::string(75, ' ') + "\r\n";
// A settings file that is not one: a NUL, a byte that is no UTF-8, an unclosed section and quote.
const char CorruptSettings[] = "\0\xff[Config\nServerAddress=\"";

QString Broken(const char* name) {
    return QStringLiteral(QUIBO_TEST_DATA "/sources/broken/") + QString::fromLatin1(name);
}

QByteArray Utf16(const char* text, bool byteOrderMark) {
    QByteArray bytes = byteOrderMark ? QByteArray("\xFF\xFE") : QByteArray();
    for (const char* c = text; *c; ++c)
        bytes.append(*c).append('\0');
    return bytes;
}

struct Case {
    const char* name;
    MakeSource source;
    const char* importType;
    int exitCode;
    // The last line on standard error, "" for none; "{}" stands for the run's folder, "{data}" for
    // the broken fixtures' folder.
    const char* lastError;
    std::optional<std::string> report; // none: no report file
    const char* stored;                // the names of the masters stored, one per line
    // Puts the program's home (data folder, settings) in the state the row needs; may be null.
    void (*prepare)(const QString& home) = nullptr;
    // The local database's mode, which prepare made read-only, must bind the program, root or not.
    bool readOnlyDatabase = false;
};

QString GoodUnits(const test::TempFolder& f) {
    return Write(f, QStringLiteral("UNITS.txt"),
                 "NAME,ISSIMPLEUNIT,ORIGINALNAME,DECIMALPLACES\r\nNos,Yes,Numbers,0\r\n");
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
}

// A local database as a run leaves it, then read-only.
void ReadOnlyDatabase(const QString& home) {
    { LocalDatabase made(home); }
    QFile::setPermissions(home + QLatin1Char('/') + LocalDatabase::FileName,
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
}

// How to start the program so that it cannot write `path`, whose mode is read-only: directly when
// the mode binds this process already; as root, through setpriv without the capabilities that pass
// over modes. None when neither holds here.
std::optional<QStringList> LauncherBoundByModes(const QString& path) {
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append)) return QStringList();
    probe.close();
    const QStringList setpriv{QStringLiteral("setpriv"), QStringLiteral("--bounding-set"),
                              QStringLiteral("-dac_override,-dac_read_search")};
    QProcess shell;
    // 4 only when setpriv ran the shell and the shell could not open the file for writing.
    shell.start(setpriv.first(),
                setpriv.mid(1) + QStringList{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                             QStringLiteral("true 2>/dev/null >>\"$1\" || exit 4"),
                                             QStringLiteral("sh"), path});
    if (!shell.waitForFinished(10000) || shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 4)
        return std::nullopt;
    return setpriv;
}

const Case Cases[] = {
    {"GoodText",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"),
                      "NAME,ISSIMPLEUNIT,ORIGINALNAME,DECIMALPLACES\r\n"
                      "Nos,Yes,Numbers,0\r\n");
     },
     "UNITS", 0, "",
     "Nos                                                                        CREATED \r\n" + Blank +
         Blank,
     "Nos\n"},
    {"TextWithoutARequiredColumn",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"), "SYMBOL,ISSIMPLEUNIT\r\nNos,Yes\r\n");
     },
     // The report, which needs the NAME column too, stays empty.
     "UNITS", 2, "quibo: the run stopped at an error (F01-0018): Invalid column key: NAME", "", ""},
    {"SourceNotFound", [](const test::TempFolder& f) { return f.file(QStringLiteral("gone.xlsx")); }, "UNITS",
     2, "quibo: the run stopped at an error (F01-0003): The source \"{}/gone.xlsx\" does not exist.", "", ""},
    {"SourceIsAFolder",
     [](const test::TempFolder& f) {
         QDir(f.path()).mkpath(QStringLiteral("Books.xlsx"));
         return f.file(QStringLiteral("Books.xlsx"));
     },
     "UNITS", 2,
     "quibo: the run stopped at an error (F01-0003): The source \"{}/Books.xlsx\" is a folder, not a file.",
     "", ""},
    {"SheetPartMissing", [](const test::TempFolder&) { return Broken("missing-sheet.xlsx"); }, "UNITS", 2,
     "quibo: the run stopped at an error (F01-0002): The source \"{data}/missing-sheet.xlsx\" lacks its part "
     "\"xl/worksheets/sheet1.xml\".",
     "", ""},
    {"SheetPartBroken", [](const test::TempFolder&) { return Broken("broken-sheet.xlsx"); }, "UNITS", 2,
     "quibo: the run stopped at an error (F01-0002): The source \"{data}/broken-sheet.xlsx\" has a broken "
     "part "
     "\"xl/worksheets/sheet1.xml\": it ends before its rows do.",
     "", ""},
    {"UnclosedQuote",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"),
                      "NAME,ISSIMPLEUNIT\r\nNos,Yes\r\n\"Box,Yes\r\nkg,Yes\r\n");
     },
     "UNITS", 2,
     "quibo: the run stopped at an error (F01-0002): The source \"{}/UNITS.txt\" has a quote opened at line "
     "3 that "
     "is never closed; nothing of it is loaded.",
     "", ""},
    {"Utf16WithAByteOrderMark",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"),
                      Utf16("NAME,ISSIMPLEUNIT,ORIGINALNAME,DECIMALPLACES\r\nNos,Yes,Numbers,0\r\n", true));
     },
     "UNITS", 0, "",
     "Nos                                                                        CREATED \r\n" + Blank +
         Blank,
     "Nos\n"},
    {"Utf16WithoutAByteOrderMark",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"), Utf16("NAME,ISSIMPLEUNIT\r\nNos,Yes\r\n", false));
     },
     "UNITS", 2,
     "quibo: the run stopped at an error (F01-0002): The source \"{}/UNITS.txt\" is text in UTF-16 without a "
     "byte-order mark; save it as UTF-8, or as UTF-16 with a byte-order mark.",
     "", ""},
    // The staging tables cannot be emptied: nothing is posted; the rows are reported without a status.
    {"CorruptLocalDatabase", GoodUnits, "UNITS", 2,
     "quibo: the run stopped at an error (F01-0015): file is not a database",
     "Nos" + std::string(72, ' ') + "\r\n" + Blank + Blank, "",
     [](const QString& home) { WriteBytes(home + QStringLiteral("/Quibo20.DAT"), QByteArray(4096, 'x')); }},
    {"ErrorLogNotWritable", [](const test::TempFolder& f) { return f.file(QStringLiteral("gone.xlsx")); },
     "UNITS", 2,
     "quibo: the run stopped at an error (F01-0003): The source \"{}/gone.xlsx\" does not exist. (the error "
     "log "
     "\"{}/home/Quibo20Errors.txt\" could not be written)",
     "", "", [](const QString& home) { QDir(home).mkpath(QStringLiteral("Quibo20Errors.txt")); }},
    // The command line gives the server: the settings are not needed.
    {"CorruptSettings", GoodUnits, "UNITS", 0, "",
     "Nos                                                                        CREATED \r\n" + Blank +
         Blank,
     "Nos\n",
     [](const QString& home) {
         QDir(home).mkpath(QStringLiteral("config/Quibo20"));
         WriteBytes(home + QStringLiteral("/config/Quibo20/Quibo20.conf"),
                    QByteArray::fromRawData(CorruptSettings, sizeof CorruptSettings - 1));
     }},
    // As with a corrupt one: the staging tables cannot be emptied, so nothing is posted.
    {"ReadOnlyLocalDatabase", GoodUnits, "UNITS", 2,
     "quibo: the run stopped at an error (F01-0015): attempt to write a readonly database",
     "Nos" + std::string(72, ' ') + "\r\n" + Blank + Blank, "", ReadOnlyDatabase, true},
};

class UnattendedExit : public test::UnattendedRun, public ::testing::WithParamInterface<Case> {};

// The masters the run stored, without those every new company holds (they carry RESERVEDNAME).
QString StoredNames(const QByteArray& dump) {
    pugi::xml_document doc;
    doc.load_buffer(dump.constData(), size_t(dump.size()));
    QString names;
    for (pugi::xml_node company : doc.document_element().children("COMPANY"))
        for (pugi::xml_node master : company.children())
            if (!master.attribute("RESERVEDNAME"))
                names += QString::fromUtf8(master.attribute("NAME").value()) + QLatin1Char('\n');
    return names;
}

TEST_P(UnattendedExit, EndsAsPinned) {
    const Case& c = GetParam();
    if (c.prepare) c.prepare(folder.file(QStringLiteral("home")));
    if (c.readOnlyDatabase) {
        const auto through = LauncherBoundByModes(folder.file(QStringLiteral("home/Quibo20.DAT")));
        if (!through)
            GTEST_SKIP()
                << "this process writes past a read-only mode and setpriv cannot drop that power here";
        launcher = *through;
    }
    const Ended ended = Run(QStringLiteral("XLS"), c.source(folder), QString::fromLatin1(c.importType),
                            QStringLiteral("report.txt"));
    EXPECT_EQ(ended.exitCode, c.exitCode) << ended.errors.toStdString();
    const QStringList lines = ended.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const QString expected = QString::fromUtf8(c.lastError)
                                 .replace(QStringLiteral("{}"), folder.path())
                                 .replace(QStringLiteral("{data}"), Broken("").chopped(1));
    EXPECT_EQ((lines.isEmpty() ? QString() : lines.last()).toStdString(), expected.toStdString())
        << ended.errors.toStdString();
    EXPECT_EQ(ended.reportWritten, c.report.has_value());
    if (c.report) {
        EXPECT_EQ(ended.report.toStdString(), *c.report);
    }
    EXPECT_EQ(StoredNames(StopServer()), QString::fromUtf8(c.stored));
}

INSTANTIATE_TEST_SUITE_P(Sources, UnattendedExit, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

// A row of inline-string cells, from column A on.
std::string SheetRow(int row, std::initializer_list<const char*> cells) {
    std::string xml = "<row r=\"" + std::to_string(row) + "\">";
    char column = 'A';
    for (const char* text : cells) {
        if (*text)
            xml += std::string("<c r=\"") + column + std::to_string(row) + "\" t=\"inlineStr\"><is><t>" +
                   text + "</t></is></c>";
        ++column;
    }
    return xml + "</row>";
}

// An .xlsx workbook of the sheets, each given as its rows; "_x0000_" in a cell is U+0000.
QString WriteWorkbook(const QString& path, const std::vector<std::pair<std::string, std::string>>& sheets) {
    std::string names, rels;
    std::vector<std::pair<std::string, std::string>> parts = {
        {"[Content_Types].xml",
         "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>"},
        {"_rels/.rels", "<Relationships><Relationship Id=\"rId1\" "
                        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
                        "relationships/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"}};
    for (size_t i = 0; i < sheets.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        names += "<sheet name=\"" + sheets[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
                "Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parts.emplace_back("xl/worksheets/sheet" + n + ".xml",
                           "<worksheet><sheetData>" + sheets[i].second + "</sheetData></worksheet>");
    }
    parts.emplace_back(
        "xl/workbook.xml",
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheets>" +
            names + "</sheets></workbook>");
    parts.emplace_back("xl/_rels/workbook.xml.rels", "<Relationships>" + rels + "</Relationships>");
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : parts)
        zip_file_add(zip, name.c_str(), zip_source_buffer(zip, data.data(), data.size(), 0),
                     ZIP_FL_OVERWRITE);
    zip_close(zip);
    return path;
}

// What the runs stored, a line each: a master's kind and name, a voucher's number and narration.
QString StoredRecords(const QByteArray& dump) {
    pugi::xml_document doc;
    doc.load_buffer(dump.constData(), size_t(dump.size()));
    QString records;
    for (pugi::xml_node company : doc.document_element().children("COMPANY"))
        for (pugi::xml_node record : company.children()) {
            if (record.attribute("RESERVEDNAME")) continue;
            const bool voucher = std::string_view(record.name()) == "VOUCHER";
            records += QString::fromUtf8(record.name()) + QLatin1Char(' ') +
                       QString::fromUtf8(voucher ? record.child_value("VOUCHERNUMBER")
                                                 : record.attribute("NAME").value()) +
                       (voucher ? QStringLiteral(": ") + QString::fromUtf8(record.child_value("NARRATION"))
                                : QString()) +
                       QLatin1Char('\n');
        }
    return records;
}

class PostOfAWorkbook : public test::UnattendedRun {};

TEST_F(PostOfAWorkbook, ARecordWithANulIsRefusedAndVouchersKeyedByIdKeepTheirReport) {
    const QString book = WriteWorkbook(
        folder.file(QStringLiteral("book.xlsx")),
        {{"LEDGERS", SheetRow(1, {"NAME", "PARENT"}) + SheetRow(2, {"Office Rent", "Indirect Expenses"}) +
                         SheetRow(3, {"Bad_x0000_Name", "Indirect Expenses"})},
         // Keyed by a column headed "Id", as an unquoted PostgreSQL column would be.
         {"TRANSACTIONS",
          SheetRow(1, {"SrNo", "Id", "VchType", "VchNo", "VchDate", "RefNo", "Ledger", "Debit", "Credit",
                       "Narration"}) +
              SheetRow(2, {"1", "P-7", "Payment", "7", "01-04-2024", "", "Office Rent", "900", "",
                           "Keyed by its Id"}) +
              SheetRow(3, {"2", "P-7", "Payment", "7", "01-04-2024", "", "Cash", "", "900", ""}) +
              SheetRow(4, {"3", "P-8", "Payment", "8", "01-04-2024", "", "Office Rent", "500", "",
                           "Bad_x0000_Text"}) +
              SheetRow(5, {"4", "P-8", "Payment", "8", "01-04-2024", "", "Cash", "", "500", ""})}});
    const std::string nulName("Bad\0Name", 8);

    const Ended ledgers =
        Run(QStringLiteral("XLS"), book, QStringLiteral("LEDGERS"), QStringLiteral("l.txt"));
    EXPECT_EQ(ledgers.exitCode, 0) << ledgers.errors.toStdString();
    EXPECT_EQ(ledgers.report.toStdString(),
              "Office Rent" + std::string(64, ' ') + "CREATED \r\n" + nulName + std::string(67, ' ') +
                  "ERROR: column NAME holds a NUL character\r\n" + Blank + Blank);

    const Ended vouchers =
        Run(QStringLiteral("XLS"), book, QStringLiteral("TRANSACTIONS"), QStringLiteral("t.txt"));
    EXPECT_EQ(vouchers.exitCode, 0) << vouchers.errors.toStdString();
    EXPECT_EQ(vouchers.errors.toStdString(), "");
    const std::string pad(72, ' ');
    EXPECT_EQ(vouchers.report.toStdString(),
              "P-7" + pad + "\r\nP-7" + pad + "LASTVCHID CREATED \r\nP-8" + pad + "\r\nP-8" + pad +
                  "ERROR: column NARRATION holds a NUL character\r\n" + Blank + Blank);

    EXPECT_EQ(StoredRecords(StopServer()),
              QStringLiteral("LEDGER Office Rent\nVOUCHER 7: Keyed by its Id\n"));
}

// The program's local state held by another process.
class LocalState : public test::UnattendedRun {
protected:
    QString home() const { return folder.file(QStringLiteral("home")); }
};

TEST_F(LocalState, ASecondProgramOnTheSameDataFolderEndsAtOnce) {
    QLockFile held(home() + QStringLiteral("/Quibo20.lock"));
    ASSERT_TRUE(held.tryLock(0));
    const Ended ended =
        Run(QStringLiteral("XLS"), GoodUnits(folder), QStringLiteral("UNITS"), QStringLiteral("r.txt"));
    EXPECT_EQ(ended.exitCode, 2);
    EXPECT_EQ(ended.errors.toStdString(), "quibo: another Quibo is running on the data folder \"" +
                                              home().toStdString() + "\", so this one ends.\n");
    EXPECT_FALSE(ended.reportWritten);
    EXPECT_EQ(StoredNames(StopServer()), QString());
}

TEST_F(LocalState, ALocalDatabaseLockedByAnotherProcessStopsTheRunBeforeItPosts) {
    sqlite3* held = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(home() + QStringLiteral("/Quibo20.DAT")).constData(), &held),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(held, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const Ended ended =
        Run(QStringLiteral("XLS"), GoodUnits(folder), QStringLiteral("UNITS"), QStringLiteral("r.txt"));
    sqlite3_close(held);
    EXPECT_EQ(ended.exitCode, 2);
    const QStringList lines = ended.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // Past the busy timeout the post stops before it empties the staging tables.
    EXPECT_EQ(lines.value(lines.size() - 1).toStdString(),
              "quibo: the run stopped at an error (F01-0015): database is locked");
    EXPECT_EQ(StoredNames(StopServer()), QString());
}

} // namespace
} // namespace quibo
