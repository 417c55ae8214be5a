// The .xls reader on every committed workbook against its committed expectation, its reading of
// number formats, and its refusal of damaged files.

#include "sources/backends/xls/BiffBook.h"
#include "sources/backends/Connection.h"
#include "sources/backends/ConnectionString.h"
#include "sources/backends/DateText.h"
#include "sources/backends/ProviderError.h"
#include "sources/backends/xls/BiffBytes.h"
#include "sources/backends/xls/SheetBuilder.h"
#include "sources/backends/xls/XlsSource.h"
#include "support/ChildPeak.h"
#include "support/GoldenFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include <ostream>
#include <tuple>

namespace quibo {
namespace {

// Every committed .xls file but the damaged ones, which are there to be refused (SourceErrorsTest), and
// those of other writers, which have their own expectations (ReadsWhatOtherProgramsWrote).
QStringList CommittedWorkbooks() {
    QStringList paths;
    for (const QString& root :
         {QStringLiteral(QUIBO_TEST_DATA "/.."), QStringLiteral(QUIBO_TEST_DATA "/../../demo")}) {
        QDirIterator it(QDir::cleanPath(root), {QStringLiteral("*.xls")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains(QLatin1String("/broken/")) && !path.contains(QLatin1String("/writers/")))
                paths.append(path);
        }
    }
    paths.sort();
    return paths;
}

QString Describe(const SourceCell& cell) {
    return QStringLiteral("%1:%2").arg(cell.index()).arg(CellText(cell));
}

// A workbook as its tables read: per sheet its name, its columns with their kinds, then each row's
// cells as kind:text.
QByteArray Expectation(const QString& path) {
    XlsSource source(path);
    QStringList lines;
    for (const QString& table : source.tables()) {
        const SourceTable t = source.read(table);
        lines.append(QStringLiteral("== ") + table);
        QStringList columns;
        for (const SourceColumn& c : t.columns())
            columns.append(QStringLiteral("%1:%2").arg(c.name).arg(static_cast<int>(c.kind)));
        lines.append(columns.join(QLatin1Char('|')));
        for (int r = 0; r < t.recordCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < t.fieldCount(); ++c)
                cells.append(Describe(t.cell(r, c)));
            lines.append(cells.join(QLatin1Char('|')));
        }
    }
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

// Every committed workbook read against its expectation in sources/expected (QUIBO_UPDATE_GOLDEN=1
// writes them): first written when the reader agreed cell by cell with FreeXL, another reader.
TEST(BiffBookTest, ReadsEveryCommittedWorkbookAsItsExpectationSays) {
    const QStringList paths = CommittedWorkbooks();
    ASSERT_GE(paths.size(), 16);
    const QString root = QDir::cleanPath(QStringLiteral(QUIBO_TEST_DATA "/../.."));
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        QString name = QDir(root).relativeFilePath(path);
        if (name.startsWith(QLatin1String("tests/"))) name.remove(0, 6);
        name.replace(QLatin1Char('/'), QLatin1Char('_'));
        test::ExpectGoldenFile(Expectation(path), QStringLiteral(QUIBO_TEST_DATA "/sources/expected"),
                               name + QStringLiteral(".txt"));
    }
}

// Every cell of a sheet of a workbook in tests/data/sources, by row and column, header row included.
std::map<std::pair<int, int>, SourceCell> SheetCells(const char* workbook, const QString& sheet) {
    QFile file(QStringLiteral(QUIBO_TEST_DATA "/sources/") + QString::fromLatin1(workbook));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    BiffBook book;
    EXPECT_EQ(book.open(file.readAll(), true), BiffBook::Status::Ok);
    std::map<std::pair<int, int>, SourceCell> cells;
    EXPECT_TRUE(book.readSheet(static_cast<int>(book.sheetNames().indexOf(sheet)),
                               [&](int row, int column, SourceCell cell) {
                                   cells[{row, column}] = cell;
                               }));
    return cells;
}

// A number in a date or time format reads as the whole date of its serial, whatever the format
// shows; a serial no date fits stays a number. The Times sheet holds each of its serials under a
// stamp, a time and a date format, and plain.
TEST(BiffBookTest, ReadsANumberInADateFormatAsTheWholeDateOfItsSerial) {
    auto times = SheetCells("cells.xls", QStringLiteral("Times"));
    ASSERT_EQ(times.size(), 600u * 6);
    for (int r = 0; r < 600; ++r) {
        const double* serial = std::get_if<double>(&times[{r, 3}]);
        ASSERT_TRUE(serial) << r;
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(Describe(times[{r, c}]), Describe(DateOfSerial(*serial, false)))
                << "row " << r << " column " << c;
    }

    // The Formats sheet: one format per column, named in its first row, over the serials of the
    // plain column 0, a number 7 and 12.34, then True and a text.
    const QStringList dateFormats = {"DD-MM-YYYY",
                                     "dd/mm/yy",
                                     "mm-dd-yy",
                                     "d-mmm-yy",
                                     "d-mmm",
                                     "mmm-yy",
                                     "h:mm AM/PM",
                                     "h:mm:ss AM/PM",
                                     "h:mm",
                                     "h:mm:ss",
                                     "m/d/yy h:mm",
                                     "mm:ss",
                                     "[h]:mm:ss",
                                     "mm:ss.0",
                                     "yyyy-mm-dd hh:mm:ss",
                                     "hh:mm:ss",
                                     "[$-409]d-mmm-yyyy",
                                     "dd-mm-yyyy;@",
                                     "yyyy-mm-dd\"T\"hh:mm",
                                     "DD-MM-YYYY hh:mm:ss",
                                     "YYYY",
                                     "MMMM",
                                     "ss",
                                     "HH",
                                     "d",
                                     "mm",
                                     "AM/PM",
                                     "[m]",
                                     "yy"};
    auto formats = SheetCells("cells.xls", QStringLiteral("Formats"));
    int dated = 0;
    for (int c = 0; formats.count({0, c}); ++c) {
        const QString format = CellText(formats[{0, c}]);
        SCOPED_TRACE(format.toStdString());
        const bool date = dateFormats.contains(format);
        dated += date;
        for (int r = 1; r <= 16; ++r) {
            const double serial = std::get<double>(formats[{r, 0}]);
            const QDateTime whole = DateOfSerial(serial, false);
            ASSERT_EQ(Describe(formats[{r, c}]),
                      Describe(date && whole.isValid() ? SourceCell(whole) : serial))
                << "row " << r;
        }
        EXPECT_EQ(Describe(formats[{17, c}]), Describe(true));
    }
    EXPECT_EQ(dated, dateFormats.size());
}

TEST(BiffBookTest, ReadsDatesOnThe1904System) {
    // Serials 1, 0, 45000.5, -1 and 1461.25 under a date format (column 0) and a stamp format.
    auto cells = SheetCells("cells1904.xls", QStringLiteral("Dates"));
    const QStringList expected = {"02-Jan-1904", "01-Jan-1904", "16-Mar-2027 12:00:00", "31-Dec-1903",
                                  "01-Jan-1908 06:00:00"};
    for (int c = 0; c < 2; ++c) {
        QStringList texts;
        for (int r = 0; r < 5; ++r)
            texts.append(CellText(cells[{r, c}]));
        EXPECT_EQ(texts, expected) << "column " << c;
    }
}

TEST(BiffBookTest, ReadsASheetIntoATableAsTheSheetBuilderDoes) {
    for (const QString& path : CommittedWorkbooks()) {
        SCOPED_TRACE(path.toStdString());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        BiffBook book;
        ASSERT_EQ(book.open(file.readAll(), true), BiffBook::Status::Ok);
        for (int sheet = 0; sheet < book.sheetNames().size(); ++sheet) {
            SheetBuilder builder;
            ASSERT_TRUE(book.readSheet(sheet, [&](int row, int column, SourceCell cell) {
                builder.set(row, column, std::move(cell));
            }));
            const SourceTable want = builder.finish();
            const std::optional<SourceTable> got = book.readTable(sheet);
            ASSERT_TRUE(got);
            ASSERT_EQ(got->columnNames(), want.columnNames());
            ASSERT_EQ(got->recordCount(), want.recordCount());
            for (size_t c = 0; c < want.columns().size(); ++c)
                EXPECT_EQ(got->columns()[c].kind, want.columns()[c].kind);
            for (int r = 0; r < want.recordCount(); ++r)
                for (int c = 0; c < want.fieldCount(); ++c)
                    ASSERT_EQ(Describe(got->cell(r, c)), Describe(want.cell(r, c)))
                        << "row " << r << " column " << c;
        }
    }
}

TEST(BiffBookTest, ReadsTheCachedResultsOfFormulas) {
    XlsSource source(QStringLiteral(QUIBO_TEST_DATA "/sources/formulas.xls"));
    const SourceTable table = source.read(QStringLiteral("Formulas$"));
    const std::vector<QStringList> expected = {
        {QStringLiteral("45383.75"), QStringLiteral("01-Apr-2024 18:00:00"),
         QStringLiteral("01-Apr-2024 18:00:00")},
        {QStringLiteral("True"), QStringLiteral("True"), QStringLiteral("True")}, // booleans
        {QString(), QString(), QString()},                                        // errors
        {QString(), QString(), QString()},                                        // empty texts
        {QStringLiteral("-3.25"), QStringLiteral("27-Dec-1899 06:00:00"),
         QStringLiteral("27-Dec-1899 06:00:00")},
        {QStringLiteral("cached text of twenty-six!"), QString(), QStringLiteral("False")}};
    ASSERT_EQ(table.recordCount(), static_cast<int>(expected.size()));
    for (int r = 0; r < table.recordCount(); ++r)
        EXPECT_EQ(table.rowTexts(r), expected[static_cast<size_t>(r)]) << "row " << r;
}

QByteArray Fixture() {
    QFile file(QStringLiteral(QUIBO_TEST_DATA "/sources/sample.xls"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void Put32(QByteArray& bytes, qsizetype at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

quint32 Get32(const QByteArray& bytes, qsizetype at) {
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<quint8>(bytes[at + i]);
    return value;
}

TEST(BiffBookTest, RefusesDamagedCompoundFiles) {
    const QByteArray good = Fixture();
    ASSERT_GT(good.size(), 2048);
    const qsizetype fatAt = (Get32(good, 0x4C) + 1) * 512;
    using Status = BiffBook::Status;
    struct Case {
        const char* name;
        QByteArray (*damage)(QByteArray);
        Status status;
    };
    const std::vector<Case> cases = {
        {"CutAfterTheHeader", [](QByteArray b) { return b.left(600); }, Status::Cut},
        {"CutInTheMiddle", [](QByteArray b) { return b.left(b.size() / 2); }, Status::Cut},
        {"CutInTheHeader", [](QByteArray b) { return b.left(100); }, Status::Cut},
        {"SectorShiftUnknown",
         [](QByteArray b) {
             b[0x1E] = 10;
             return b;
         },
         Status::BrokenSectors},
        {"FatSectorBeyondTheFile",
         [](QByteArray b) {
             Put32(b, 0x4C, 0x00FFFFFF);
             return b;
         },
         Status::BrokenSectors},
        {"TooManyFatSectors",
         [](QByteArray b) {
             Put32(b, 0x2C, 0x7FFFFFFF);
             return b;
         },
         Status::BrokenSectors},
        {"DirectoryBeyondTheFile",
         [](QByteArray b) {
             Put32(b, 0x30, 0x00FFFFFF);
             return b;
         },
         Status::BrokenDirectory},
        {"NoStreams", [](QByteArray b) { return b.left(512); }, Status::Cut},
        // Two streams of one name under the root: the workbook stream copied into a free entry and
        // made its sibling.
        {"TwoWorkbookStreams",
         [](QByteArray b) {
             const qsizetype workbook = (Get32(b, 0x30) + 1) * 512 + 128;
             b.replace(workbook + 128, 128, b.mid(workbook, 128));
             Put32(b, workbook + 0x48, 2);
             return b;
         },
         Status::BrokenDirectory},
        {"ASiblingLinkBackToTheRoot",
         [](QByteArray b) {
             Put32(b, (Get32(b, 0x30) + 1) * 512 + 128 + 0x44, 0);
             return b;
         },
         Status::BrokenDirectory},
        // Found by fuzzing: a name longer than the 64 bytes of its field.
        {"RootNameLongerThanItsField",
         [](QByteArray b) {
             const qsizetype root = (Get32(b, 0x30) + 1) * 512;
             b[root + 0x40] = '\xFF';
             b[root + 0x41] = '\xFF';
             return b;
         },
         Status::BrokenDirectory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BiffBook book;
        EXPECT_EQ(book.open(c.damage(good), true), c.status);
    }
    // A chain that comes back to one of its sectors, in the directory or the workbook stream.
    auto fat = [&](quint32 s) { return fatAt + 4 * static_cast<qsizetype>(s); };
    const quint32 dirStart = Get32(good, 0x30);
    const QByteArray name = QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16);
    const qsizetype entry = good.indexOf(name, (dirStart + 1) * 512);
    ASSERT_GT(entry, 0);
    const quint32 start = Get32(good, entry + 0x74), second = Get32(good, fat(start));
    ASSERT_LT(second, 0xFFFFFFFAu); // the stream spans two sectors at least
    for (const auto& [from, to, status] :
         std::vector<std::tuple<quint32, quint32, Status>>{{dirStart, dirStart, Status::BrokenDirectory},
                                                           {start, start, Status::BrokenSectors},
                                                           {second, start, Status::BrokenSectors}}) {
        QByteArray looped = good;
        Put32(looped, fat(from), to);
        BiffBook book;
        EXPECT_EQ(book.open(looped, true), status) << from << " to " << to;
    }
}

TEST(BiffBookTest, RefusesASheetWithACellPastItsLastColumn) {
    // Found by fuzzing: a cell at column 28162 stretched the sheet over 65536 rows of that width.
    const QByteArray good = Fixture();
    const qsizetype cell = good.indexOf(QByteArray("\xFD\x00\x0A\x00", 4)); // the first shared-string cell
    ASSERT_GT(cell, 0);
    for (const auto& [column, reads] : std::vector<std::pair<quint16, bool>>{{255, true}, {256, false}}) {
        QByteArray damaged = good;
        damaged[cell + 6] = static_cast<char>(column & 0xFF);
        damaged[cell + 7] = static_cast<char>(column >> 8);
        BiffBook book;
        ASSERT_EQ(book.open(damaged, true), BiffBook::Status::Ok);
        int refused = 0;
        for (int sheet = 0; sheet < book.sheetNames().size(); ++sheet)
            if (!book.readSheet(sheet, [](int, int, SourceCell) {})) ++refused;
        EXPECT_EQ(refused, reads ? 0 : 1) << column;
    }
}

// Each Excel version before 97 (make_old_xls.py): its sheets, and one table whose cells read as a
// BIFF8 workbook's do, its formulas as their stored results.
TEST(BiffBookTest, ReadsEveryExcelVersionBefore97) {
    struct Case {
        const char* file;
        QStringList tables;
        QString name; // of the first ledger, in the code page of the file
    };
    const std::vector<Case> cases = {
        {"excel2.xls", {"excel2$"}, QStringLiteral("Café Noir")},
        {"excel3.xls", {"excel3$"}, QStringLiteral("Café Noir")},
        {"excel4.xls", {"excel4$"}, QStringLiteral("Кафе")},
        {"excel5.xls", {QStringLiteral("Año$"), "Ledgers$"}, QStringLiteral("Café Noir")}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        XlsSource source(QStringLiteral(QUIBO_TEST_DATA "/sources/biff/") + QString::fromLatin1(c.file));
        ASSERT_EQ(source.tables(), c.tables);
        const SourceTable table = source.read(c.tables.last());
        QStringList texts = {table.columnNames().join(QLatin1Char('|'))};
        for (int r = 0; r < table.recordCount(); ++r)
            texts.append(table.rowTexts(r).join(QLatin1Char('|')));
        EXPECT_EQ(texts, QStringList({QStringLiteral("Name|Amount|Opened|Active|Total|Note"),
                                      c.name + QStringLiteral("|1500|01-Apr-2024|True|1500.5|posted"),
                                      QStringLiteral("Cash|-12.5|01-Apr-2024 18:00:00|False|True|")}));
    }
}

// Each sheet of a workbook as the texts of its table: column names, then its rows.
QStringList SheetTexts(const QByteArray& file) {
    BiffBook book;
    EXPECT_EQ(book.open(file, true), BiffBook::Status::Ok);
    QStringList texts;
    for (int sheet = 0; sheet < book.sheetNames().size(); ++sheet) {
        const std::optional<SourceTable> table = book.readTable(sheet);
        if (!table) return {QStringLiteral("refused")};
        texts.append(table->columnNames().join(QLatin1Char('|')));
        for (int r = 0; r < table->recordCount(); ++r)
            texts.append(table->rowTexts(r).join(QLatin1Char('|')));
    }
    return texts;
}

TEST(BiffBookTest, ReadsEveryCellWhateverTheDimensionsRecordSays) {
    // Writers other than Excel often under-state a sheet's range in its DIMENSIONS record.
    const QByteArray good = Fixture();
    const QStringList want = SheetTexts(good);
    ASSERT_EQ(want.size(), 14);
    const QByteArray dimensions("\x00\x02\x0E\x00", 4); // the record's id and size
    const std::vector<std::pair<const char*, void (*)(QByteArray&, qsizetype)>> cases = {
        {"NoColumns", [](QByteArray& b, qsizetype at) { b[at + 14] = b[at + 15] = 0; }},
        {"LastRowOneShort", [](QByteArray& b, qsizetype at) { Put32(b, at + 8, Get32(b, at + 8) - 1); }},
        {"NoRows", [](QByteArray& b, qsizetype at) { Put32(b, at + 8, 0); }},
    };
    for (const auto& [name, damage] : cases) {
        SCOPED_TRACE(name);
        QByteArray file = good;
        int sheets = 0;
        for (qsizetype at = file.indexOf(dimensions); at >= 0;
             at = file.indexOf(dimensions, at + 1), ++sheets)
            damage(file, at);
        ASSERT_EQ(sheets, 4);
        EXPECT_EQ(SheetTexts(file), want);
    }
}

TEST(BiffBookTest, ReadsABiff8WorkbookWhateverItsStreamIsNamed) {
    QFile file(QStringLiteral(QUIBO_TEST_DATA "/sources/biff/book-biff8.xls")); // sample.xls in "Book"
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(SheetTexts(file.readAll()), SheetTexts(Fixture()));
}

TEST(BiffBookTest, ADamagedFormatSpoilsThatFormatAlone) {
    const QByteArray good = Fixture();
    QByteArray file = good;
    // The FORMAT record of "DD-MM-YYYY": its string's length, 10, made to run past the record.
    const qsizetype length = file.indexOf(QByteArray("\x0A\x00\x00"
                                                     "DD-MM-YYYY",
                                                     13));
    ASSERT_GT(length, 0);
    file[length] = file[length + 1] = '\xFF';
    const QStringList want = SheetTexts(good), texts = SheetTexts(file);
    ASSERT_EQ(texts.size(), want.size());
    // Ledgers: the date in that format reads as its serial; the stamp below keeps its own format.
    EXPECT_EQ(want[1], QStringLiteral("Cash|Cash-in-hand|1234.5|01-Apr-2024|True|Petty cash"));
    EXPECT_EQ(texts[1], QStringLiteral("Cash|Cash-in-hand|1234.5|45383|True|Petty cash"));
    EXPECT_EQ(texts[2], want[2]);
}

// What opening `bytes` as the workbook `name` says, through the connection the program opens it by
// (an .xlsx through the Excel driver's, which hands a compound file to the .xls reader); "opened"
// when it opens.
QString Refusal(const QByteArray& bytes, QString& path,
                const QString& name = QStringLiteral("workbook.xls")) {
    static QTemporaryDir dir;
    path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    try {
        OpenConnection(name.endsWith(QLatin1String(".xlsx")) ? XlsxConnectionString(path)
                                                             : ExcelConnectionString(path),
                       QString(), QString());
        return QStringLiteral("opened");
    } catch (const vb::RuntimeError& e) {
        return e.description();
    }
}

// A copy cut short (an interrupted copy or download) says so, wherever it ends; one that lacks only
// unused directory entries at the end of its last sector has lost nothing and reads.
TEST(BiffBookTest, ADamagedWorkbookIsRefusedInTheProgramsOwnWords) {
    const QByteArray good = Fixture();
    QString opened;
    EXPECT_EQ(Refusal(good.chopped(100), opened), QStringLiteral("opened"));
    for (const qsizetype length : {qsizetype(300), qsizetype(1024), good.size() / 4, good.size() / 2,
                                   good.size() * 3 / 4, good.size() * 9 / 10}) {
        QString path;
        const QString refusal = Refusal(good.left(length), path);
        EXPECT_EQ(refusal.toStdString(),
                  QStringLiteral("The source \"%1\" is damaged: it is cut short at %2 bytes.")
                      .arg(path)
                      .arg(length)
                      .toStdString());
    }
}

// sample.xls encrypted by `method` (0 XOR obfuscation, 1 RC4) as a reader without the password sees
// it: a FILEPASS record in the place of WRITEACCESS, and the data of every record after it scrambled
// but for what encryption leaves plain (BOF records, the stream offsets of BOUNDSHEET).
QByteArray Encrypted(quint8 method) {
    QByteArray file = Fixture();
    const auto u16 = [&](qsizetype at) { return quint16(quint8(file[at]) | quint8(file[at + 1]) << 8); };
    const qsizetype entry = file.indexOf(QByteArray("W\0o\0r\0k\0b\0o\0o\0k\0", 16));
    const qsizetype end = 512 + Get32(file, entry + 0x78); // the stream is the file's first sectors
    qsizetype at = file.indexOf(QByteArray("\x5C\x00\x70\x00", 4));
    EXPECT_GT(entry, 0);
    EXPECT_GT(at, 0);
    file[at] = 0x2F;
    file[at + 4] = static_cast<char>(method);
    file[at + 5] = 0;
    quint32 noise = 2463534242u;
    for (at += 4 + u16(at + 2); at + 4 <= end && u16(at + 2) <= end - at - 4; at += 4 + u16(at + 2)) {
        const quint16 type = u16(at);
        for (qsizetype i = type == 0x0085 ? 4 : 0; type != 0x0809 && i < u16(at + 2); ++i) {
            noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
            file[at + 4 + i] = static_cast<char>(file[at + 4 + i] ^ static_cast<char>(noise));
        }
    }
    return file;
}

TEST(BiffBookTest, AnEncryptedWorkbookIsRefusedWithItsOwnMessage) {
    for (const quint8 method : {0, 1}) {
        QString path;
        const QString refusal = Refusal(Encrypted(method), path);
        EXPECT_EQ(refusal.toStdString(),
                  QStringLiteral("The source \"%1\" is protected by a password; it cannot be read.")
                      .arg(path)
                      .toStdString())
            << int(method);
    }
}

// An .xlsx workbook saved with a password is a compound file whose root holds the encrypted package
// and its encryption info, and no workbook stream: sample.xls with its stream renamed so.
TEST(BiffBookTest, AnEncryptedXlsxWorkbookIsRefusedWithThePasswordMessage) {
    for (const QString& stream : {QStringLiteral("EncryptedPackage"), QStringLiteral("EncryptionInfo")}) {
        QByteArray file = Fixture();
        const qsizetype entry = (Get32(file, 0x30) + 1) * 512 + 128; // the workbook stream's
        file.replace(entry, 64,
                     QByteArray(reinterpret_cast<const char*>(stream.utf16()), 2 * stream.size())
                         .leftJustified(64, '\0'));
        file[entry + 0x40] = static_cast<char>(2 * stream.size() + 2);
        QString path;
        const QString refusal = Refusal(file, path, QStringLiteral("book.xlsx"));
        EXPECT_EQ(refusal.toStdString(),
                  QStringLiteral("The source \"%1\" is protected by a password; it cannot be read.")
                      .arg(path)
                      .toStdString());
    }
}

using namespace test::biff;

// What loading every sheet of `bytes`, written as the file `name`, gives: per sheet its name, its
// column names and its rows, or what the source raised.
std::string S(const QString& text) {
    return text.toStdString();
}

std::string Load(const QByteArray& bytes, const QString& name = QStringLiteral("book.xls")) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();
    QStringList texts;
    try {
        XlsSource source(path);
        for (const QString& table : source.tables()) {
            const SourceTable t = source.read(table);
            texts.append(table + QLatin1Char(' ') + t.columnNames().join(QLatin1Char('|')));
            for (int r = 0; r < t.recordCount(); ++r)
                texts.append(t.rowTexts(r).join(QLatin1Char('|')));
        }
    } catch (const vb::RuntimeError& e) {
        return S(QString(e.description()).replace(path, QStringLiteral("PATH")));
    }
    return S(texts.join(QStringLiteral(" / ")));
}

const std::vector<int> EveryVersion = {2, 3, 4, 5, 8};

// One sheet "Ledgers" (a worksheet file's goes by the file's name, "book"): a header, then `rows`.
QByteArray Sheet(const Biff& b, const QByteArray& rows, const QByteArray& globals = {}) {
    return b.File(
        {{"Ledgers", b.Label(0, 0, "Name") + b.Label(0, 1, "Amount") + b.Label(1, 0, "Cash") + rows}},
        globals);
}
QString SheetName(const Biff& b) {
    return b.version() < 5 ? QStringLiteral("book") : QStringLiteral("Ledgers");
}

TEST(BiffBookTest, ADamagedRecordRefusesItsSheetInEveryVersion) {
    struct Case {
        const char* name;
        std::vector<int> versions;
        QByteArray (*rows)(const Biff&);
        QByteArray (*globals)(const Biff&);
    };
    const auto none = [](const Biff&) { return QByteArray(); };
    const std::vector<Case> cases = {
        {"NumberShorterThanItsLayout", EveryVersion, [](const Biff& b) { return Cut(b.Number(1, 1, 5), 1); },
         none},
        {"TextPastItsRecord", EveryVersion, [](const Biff& b) { return Cut(b.Label(1, 1, "five"), 1); },
         none},
        {"FormulaShorterThanItsLayout", EveryVersion,
         [](const Biff& b) { return Cut(b.Formula(1, 1, 5), 1); }, none},
        {"BooleanShorterThanItsLayout", EveryVersion,
         [](const Biff& b) { return Cut(b.BoolErr(1, 1, true), 1); }, none},
        {"RkShorterThanItsLayout", {3, 4, 5, 8}, [](const Biff& b) { return Cut(b.Rk(1, 1, 5), 1); }, none},
        {"IntegerShorterThanItsLayout", {2}, [](const Biff& b) { return Cut(b.Integer(1, 1, 5), 1); }, none},
        {"CellPastTheLastColumn", EveryVersion, [](const Biff& b) { return b.Number(1, 256, 5); }, none},
        {"RecordPastTheStreamEnd", EveryVersion,
         [](const Biff&) { return U16(0x0203) + U16(0xFFFF) + U32(0); }, none},
        {"SharedStringPastTheTable",
         {5, 8},
         [](const Biff& b) { return b.LabelSst(1, 1, 1); },
         [](const Biff& b) { return b.version() == 8 ? Biff::Sst({"five"}) : QByteArray(); }},
        // The table's second string runs past its record: the third is lost with it.
        {"SharedStringAfterABrokenOne",
         {8},
         [](const Biff& b) { return b.LabelSst(1, 1, 2); },
         [](const Biff&) {
             return Cut(Biff::Sst({"one", "two", "three"}), 10);
         }},
    };
    for (const int version : EveryVersion) {
        const Biff b(version);
        SCOPED_TRACE(version);
        EXPECT_EQ(Load(Sheet(b, b.Number(1, 1, 5))),
                  S(SheetName(b) + QStringLiteral("$ Name|Amount / Cash|5")));
        for (const Case& c : cases) {
            if (std::find(c.versions.begin(), c.versions.end(), version) == c.versions.end()) continue;
            SCOPED_TRACE(c.name);
            EXPECT_EQ(Load(Sheet(b, c.rows(b), c.globals(b))),
                      S(QStringLiteral("The source \"PATH\" is damaged: its sheet \"%1\" could not be read.")
                            .arg(SheetName(b))));
        }
    }
    // A string before the broken one reads.
    EXPECT_EQ(Load(Sheet(Biff(8), Biff(8).LabelSst(1, 1, 0), Cut(Biff::Sst({"one", "two", "three"}), 10))),
              S(QStringLiteral("Ledgers$ Name|Amount / Cash|one")));
}

// Damaged sectors inside a workbook's stream (as the corpus sweep of POI's 47847.xls and bug55505.xls
// made them): bytes the format never holds refuse the sheet, where the walk would read records out of
// the middle of others and lose rows. A single empty record of id 0 is padding some writers leave
// (POI's BOOK_in_capitals.xls).
TEST(BiffBookTest, ADamagedStreamRefusesItsSheetRatherThanReadItShort) {
    const std::vector<std::pair<const char*, QByteArray (*)(const Biff&)>> damaged = {
        {"ZeroedBytes", [](const Biff&) { return QByteArray(16, '\0'); }},
        // A sector of the INDEX record's offsets in the place of cells (POI's 51535.xls).
        {"OffsetsReadAsRecords", [](const Biff&) { return U32(0x6D7B) + U32(0x6D83); }},
        {"RecordLongerThanAnyRecord", [](const Biff&) { return Record(0x00EF, QByteArray(8225, 'x')); }},
        {"EofBeforeTheSheetEnds", [](const Biff& b) { return b.Eof(); }},
    };
    for (const int version : {5, 8}) {
        const Biff b(version);
        SCOPED_TRACE(version);
        EXPECT_EQ(Load(Sheet(b, b.Number(1, 1, 5) + Record(0x0000, {}) + b.Number(2, 1, 6))),
                  S(QStringLiteral("Ledgers$ Name|Amount / Cash|5 / |6")));
        for (const auto& [name, bytes] : damaged) {
            SCOPED_TRACE(name);
            EXPECT_EQ(Load(Sheet(b, b.Number(1, 1, 5) + bytes(b) + b.Number(2, 1, 6))),
                      S(QStringLiteral("The source \"PATH\" is damaged: its sheet \"Ledgers\" could not be "
                                       "read.")));
        }
        // An EOF inside the globals, before their sheet list.
        EXPECT_EQ(Load(Sheet(b, {}, b.Eof())),
                  S(QStringLiteral("The source \"PATH\" is damaged: its sheets could not be read.")));
    }
    // A stream that ends between two records of its last sheet: the sheet's EOF is missing.
    const Biff b(8);
    const QByteArray stream = b.Stream({{"Ledgers", b.Label(0, 0, "Name") + b.Number(1, 0, 5)}});
    EXPECT_EQ(Load(UnpaddedMiniFile(stream.chopped(4))),
              S(QStringLiteral("The source \"PATH\" is damaged: its sheet \"Ledgers\" could not be read.")));
}

// A BOUNDSHEET offset just past the sheet's own BOF, as ExcelDataReader's Test_git_issue624.xls
// holds one (its BOF at 11830, the offset 11850), reads the sheet; an offset a byte further on, which
// names no record's start, is still refused.
TEST(BiffBookTest, ASheetOffsetJustPastItsBofReadsTheSheet) {
    for (const int version : {5, 8}) {
        const Biff b(version);
        SCOPED_TRACE(version);
        const auto moved = [&](int by) {
            QByteArray stream = b.Stream({{"Ledgers", b.Label(0, 0, "Name") + b.Number(1, 0, 5)}});
            const qsizetype bound = stream.indexOf(QByteArray::fromHex("8500"));
            const quint32 offset = quint32(quint8(stream[bound + 4])) | quint32(quint8(stream[bound + 5]))
                                                                            << 8;
            stream.replace(bound + 4, 4, U32(offset + quint32(by)));
            return Compound({Entry{QStringLiteral("Root Entry"), 5, 1},
                             Entry{version == 8 ? QStringLiteral("Workbook") : QStringLiteral("Book"), 2,
                                   NoEntry, NoEntry, NoEntry, stream}});
        };
        const int bof = int(b.Bof(0x0010).size());
        EXPECT_EQ(Load(moved(bof)), S(QStringLiteral("Ledgers$ Name / 5")));
        EXPECT_EQ(
            Load(moved(bof + 1)),
            S(QStringLiteral("The source \"PATH\" is damaged: its sheet \"Ledgers\" could not be read.")));
    }
}

TEST(BiffBookTest, ReadsTheWorkbookStreamOfTheRootNotOfAnEmbeddedObject) {
    // An embedded object (a storage) holds a workbook of its own, listed before the root's.
    const Biff b(8);
    const QByteArray embedded = b.Stream({{"Embedded", b.Label(0, 0, "Inner")}});
    const QByteArray own = b.Stream({{"Ledgers", b.Label(0, 0, "Name")}});
    const QByteArray file =
        Compound({Entry{QStringLiteral("Root Entry"), 5, 2},
                  Entry{QStringLiteral("Workbook"), 2, NoEntry, NoEntry, NoEntry, embedded},
                  Entry{QStringLiteral("Workbook"), 2, NoEntry, 3, NoEntry, own},
                  Entry{QStringLiteral("MBD0001A2B3"), 1, 1}});
    EXPECT_EQ(Load(file), S(QStringLiteral("Ledgers$ Name")));
    // A sibling link back into the tree marks a damaged directory.
    const QByteArray looped = Compound({Entry{QStringLiteral("Root Entry"), 5, 1},
                                        Entry{QStringLiteral("Workbook"), 2, NoEntry, 1, NoEntry, own}});
    EXPECT_EQ(Load(looped),
              S(QStringLiteral("The source \"PATH\" is damaged: its directory could not be read.")));
}

TEST(BiffBookTest, SaysWhatIsWrongWithAFileItCannotRead) {
    const Biff b4(4), b8(8);
    const std::vector<std::pair<const char*, std::pair<QByteArray, QString>>> cases = {
        {"NoWorkbook", {"Name,Amount\nCash,5\n", "is not an Excel workbook (.xls)."}},
        {"Excel4Workbook",
         {b4.Bof(0x0100) + b4.Eof(),
          "is an Excel 4 workbook, which the program does not read; save its sheets as a later Excel "
          "workbook."}},
        {"BrokenSheetList",
         {Compound({Entry{QStringLiteral("Root Entry"), 5, 1},
                    Entry{QStringLiteral("Workbook"), 2, NoEntry, NoEntry, NoEntry,
                          b8.Bof(0x0005) + Record(0x0085, U32(0)) + b8.Eof()}}),
          "is damaged: its sheets could not be read."}},
    };
    for (const auto& [name, c] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Load(c.first), S(QStringLiteral("The source \"PATH\" ") + c.second));
    }
}

TEST(BiffBookTest, ReadsAFormulaUnderTheExcel3And4IdsInLaterVersions) {
    for (const int version : {5, 8})
        for (const quint16 id : {0x0206, 0x0406}) {
            const Biff b(version);
            EXPECT_EQ(Load(Sheet(b, b.Formula(1, 1, 42, id))),
                      S(QStringLiteral("Ledgers$ Name|Amount / Cash|42")))
                << version << " " << id;
        }
}

TEST(BiffBookTest, TakesTheVersionTheBofGivesOrRefusesIt) {
    // A workbook's BOF: the high byte of its version number names the version; none, or another, is refused.
    const Biff b8(8);
    const QByteArray cells = b8.Label(0, 0, "Name") + b8.Number(1, 0, 5);
    const auto workbook = [&](quint16 number) {
        QByteArray stream = b8.Stream({{"Ledgers", cells}});
        stream.replace(4, 2, U16(number)); // the globals' BOF
        return Compound({Entry{QStringLiteral("Root Entry"), 5, 1},
                         Entry{QStringLiteral("Workbook"), 2, NoEntry, NoEntry, NoEntry, stream}});
    };
    EXPECT_EQ(Load(workbook(0x0600)), S(QStringLiteral("Ledgers$ Name / 5")));
    for (const quint16 number : {0x0000, 0x0007, 0x0700, 0x0800})
        EXPECT_EQ(Load(workbook(number)),
                  S(QStringLiteral("The source \"PATH\" is not an Excel workbook (.xls).")))
            << number;
    // A worksheet file of Excel 2 to 4 under the later BOF id.
    for (const int version : {2, 3, 4}) {
        const Biff b(version);
        const QByteArray file = Record(0x0809, U16(quint16(version << 8)) + U16(0x0010) + U32(0)) +
                                b.Label(0, 0, "Name") + b.Number(1, 0, 5) + b.Eof();
        EXPECT_EQ(Load(file), S(QStringLiteral("book$ Name / 5"))) << version;
    }
}

TEST(BiffBookTest, BeforeExcel5AFormatNoRecordDefinesIsNoBuiltInDate) {
    // Format 14 is Excel 5's built-in date; an Excel 2 to 4 file that defines no format 14 has none.
    for (const int version : {2, 3, 4}) {
        const Biff b(version);
        const QByteArray style = version == 2 ? QByteArray() : b.Xf(14);
        EXPECT_EQ(Load(b.File({{"", style + b.Label(0, 0, "Opened") +
                                        b.Number(1, 0, 45383, version == 2 ? 14 : 0)}})),
                  S(QStringLiteral("book$ Opened / 45383")))
            << version;
    }
}

TEST(BiffBookTest, ReadsAFormatUnderTheOlderIdInExcel4) {
    const Biff b(4);
    for (const quint16 id : {0x041E, 0x001E}) {
        const QByteArray formats = Biff::Format(id, "General") + Biff::Format(id, "DD-MM-YYYY") + b.Xf(1);
        EXPECT_EQ(Load(b.File({{"", formats + b.Label(0, 0, "Opened") + b.Number(1, 0, 45383)}})),
                  S(QStringLiteral("book$ Opened / 01-Apr-2024")))
            << id;
    }
}

TEST(BiffBookTest, AnIntegerRecordIsACellInExcel2Alone) {
    for (const int version : EveryVersion) {
        const Biff b(version);
        const QString want = version == 2 ? QStringLiteral("Cash|7") : QStringLiteral("Cash|");
        EXPECT_EQ(Load(Sheet(b, b.Label(1, 1, "") + Record(0x0002, b.Head(1, 1) + U16(7) + U16(0)))),
                  S(SheetName(b) + QStringLiteral("$ Name|Amount / ") + want))
            << version;
    }
}

// What Excel and other writers leave in sound files, read as Excel reads it: a shared string whose
// characters resume after a CONTINUE that holds their width alone (Excel 2003 writes such), and an
// empty text without the width byte that needs no width.
TEST(BiffBookTest, ReadsTheRecordsOfSoundFilesThatExcelMayNotWrite) {
    const Biff b(8);
    const QByteArray sst = Record(0x00FC, U32(1) + U32(1) + U16(4) +
                                              QByteArray("\x01"
                                                         "A\0B\0",
                                                         5)) +
                           Record(0x003C, QByteArray(1, '\x01')) +
                           Record(0x003C, QByteArray("\x01"
                                                     "C\0D\0",
                                                     5));
    EXPECT_EQ(Load(Sheet(b, b.LabelSst(1, 1, 0), sst)),
              S(QStringLiteral("Ledgers$ Name|Amount / Cash|ABCD")));
    EXPECT_EQ(Load(Sheet(b, Record(0x0204, b.Head(1, 1) + U16(0)) + b.Number(1, 2, 5))),
              S(QStringLiteral("Ledgers$ Name|Amount|F3 / Cash||5")));
    // Every byte of the stream is there: the last sector's padding alone is missing.
    const QByteArray stream = b.Stream({{"Ledgers", b.Label(0, 0, "Name") + b.Number(1, 0, 5)}});
    EXPECT_EQ(Load(UnpaddedMiniFile(stream)), S(QStringLiteral("Ledgers$ Name / 5")));
    EXPECT_EQ(Load(UnpaddedMiniFile(stream).chopped(1)),
              S(QStringLiteral("The source \"PATH\" is damaged: it is cut short at %1 bytes.")
                    .arg(UnpaddedMiniFile(stream).size() - 1)));
}

// An Excel 2 worksheet may hold cell records of later versions (ExcelDataReader's
// Test_git_issue_368_label_xf.xls holds Excel 3's LABEL): each reads in its own layout, its XF index
// naming an Excel 2 XF record's format; one that cannot be read refuses the sheet.
TEST(BiffBookTest, AnExcel2WorksheetReadsTheCellRecordsOfLaterVersions) {
    const Biff b2(2), b3(3);
    const QByteArray styles = Biff::Format(0x001E, "General") + Biff::Format(0x001E, "DD-MM-YYYY") +
                              Record(0x0043, QByteArray(4, '\0')) +
                              Record(0x0043, QByteArray("\0\0\x01\0", 4));
    const QByteArray cells = b2.Label(0, 0, "Name") + b3.Label(0, 1, "Amount") + b3.Label(0, 2, "Opened") +
                             b3.Label(1, 0, "Cash") + b3.Number(1, 1, 1.5) + b3.Number(1, 2, 45383, 1) +
                             b3.Rk(2, 1, 7) + b3.Formula(2, 2, 42) + b3.BoolErr(2, 0, true);
    EXPECT_EQ(Load(b2.File({{"", styles + cells}})),
              S(QStringLiteral("book$ Name|Amount|Opened / Cash|1.5|01-Apr-2024 / True|7|42")));
    EXPECT_EQ(Load(b2.File({{"", cells + Biff(8).LabelSst(3, 0, 0)}})),
              S(QStringLiteral("The source \"PATH\" is damaged: its sheet \"book\" could not be read.")));
}

// Column A to row 65,536 and one number at IV1: a table of 65,536 rows by 256 columns, five bytes a
// cell (80 MiB). Read in a child process, whose peak is its own.
TEST(BiffBookTest, ASheetCostsNoMoreThanTwiceItsTable) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory is counted with the reader's";
#endif
    const Biff b(8);
    QByteArray cells = b.Number(0, 255, 1);
    for (quint16 row = 0; row < 65535; ++row)
        cells += b.Number(row, 0, row);
    cells += b.Number(65535, 0, 65535);
    const QByteArray file = b.File({{"Ledgers", cells}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.xls"));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file);
    out.close();
    EXPECT_EQ(test::ReadInChild(
                  2 * 80 * 1024, [&] { return XlsSource(path); },
                  [](XlsSource& source) {
                      const SourceTable table = source.read(QStringLiteral("Ledgers$"));
                      return table.recordCount() == 65535 && table.fieldCount() == 256;
                  }),
              0)
        << "1: the table is not whole; 2: the peak passed twice the table";
}

// Workbooks LibreOffice and Gnumeric wrote from one source (writers/make_writers.py), each against what
// it holds, committed beside it: per sheet a line of its name and columns, then its rows, " / " between.
TEST(BiffBookTest, ReadsWhatOtherProgramsWrote) {
    const QDir writers(QStringLiteral(QUIBO_TEST_DATA "/sources/writers"));
    const QStringList files = writers.entryList({QStringLiteral("*.xls")}, QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 3);
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        QFile file(writers.filePath(name)), expected(writers.filePath(name + QStringLiteral(".expected")));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        ASSERT_TRUE(expected.open(QIODevice::ReadOnly));
        EXPECT_EQ(Load(file.readAll()), QString::fromUtf8(expected.readAll())
                                            .trimmed()
                                            .replace(QLatin1Char('\n'), QStringLiteral(" / "))
                                            .toStdString());
    }
}

} // namespace
} // namespace quibo
