// How the .xlsx reader reads the XML of a worksheet: the markup Excel and other writers use reads
// the same whether the reader's own scanner or the XML parser takes it, and broken markup in a row
// is named by its part.

#include "sources/backends/xlsx/XlsxSource.h"
#include "support/ChildPeak.h"
#include "support/TestServices.h"
#include "vb/RuntimeError.h"

#include <QFile>

#include <gtest/gtest.h>

#include <zip.h>

namespace quibo {
namespace {

// What reading the sheet "S$" of the workbook at `path` raises; empty when it reads.
QString SheetRefusal(const QString& path) {
    try {
        XlsxSource(path).read(QStringLiteral("S$"));
        return {};
    } catch (const vb::RuntimeError& e) {
        return e.description();
    }
}

const char* const Types = "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char* const PackageRels =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
    "Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char* const Workbook =
    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
    "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char* const WorkbookRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/></Relationships>";

const char* const SharedStringsRels =
    "<Relationships><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/"
    "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"sharedStrings.xml\"/></Relationships>";

using Parts = std::vector<std::pair<const char*, std::string>>;

// A package of `parts`.
QString WritePackage(const test::TempFolder& folder, const Parts& parts) {
    const QString path = folder.file(QStringLiteral("book.xlsx"));
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    for (const auto& [name, data] : parts)
        zip_file_add(zip, name, zip_source_buffer(zip, data.data(), data.size(), 0), ZIP_FL_OVERWRITE);
    zip_close(zip);
    return path;
}

// A workbook of one sheet "S" whose <sheetData> holds `rows`, and with `sharedStrings` as that
// part when given.
QString WriteSheet(const test::TempFolder& folder, const std::string& rows,
                   const std::string& sharedStrings = {}) {
    Parts parts = {
        {"[Content_Types].xml", Types},
        {"_rels/.rels", PackageRels},
        {"xl/workbook.xml", Workbook},
        {"xl/_rels/workbook.xml.rels", sharedStrings.empty() ? WorkbookRels : SharedStringsRels},
        {"xl/worksheets/sheet1.xml", "<worksheet><sheetData>" + rows + "</sheetData></worksheet>"}};
    if (!sharedStrings.empty()) parts.emplace_back("xl/sharedStrings.xml", sharedStrings);
    return WritePackage(folder, parts);
}

// The same, with a header row "A" before `rows`.
QString WriteWorkbook(const test::TempFolder& folder, const std::string& rows) {
    return WriteSheet(folder, "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>A</t></is></c></row>" + rows);
}

struct SheetCase {
    const char* name;
    std::string rows;
    QStringList texts; // column A of the records
};

class XlsxSheet : public ::testing::TestWithParam<SheetCase> {};

TEST_P(XlsxSheet, ReadsColumnA) {
    test::TempFolder folder;
    const SourceTable table = XlsxSource(WriteWorkbook(folder, GetParam().rows)).read(QStringLiteral("S$"));
    QStringList texts;
    for (int r = 0; r < table.recordCount(); ++r)
        texts.append(table.text(r, 0));
    EXPECT_EQ(texts, GetParam().texts);
}

std::string Inline(const char* text) {
    return std::string("<row><c t=\"inlineStr\"><is><t>") + text + "</t></is></c></row>";
}

INSTANTIATE_TEST_SUITE_P(
    Markup, XlsxSheet,
    ::testing::Values(
        SheetCase{
            "References", Inline("a&amp;b&lt;c&gt;&quot;&apos;&#65;&#x42;&#233;"), {"a&b<c>\"'AB\u00e9"}},
        SheetCase{"UnknownReferencesStand", Inline("&foo; &am; &#; &#12a; &"), {"&foo; &am; &#; &#12a; &"}},
        // A U+FEFF is a byte-order mark only as a part's first character.
        SheetCase{"AnFeffBeginningAText",
                  Inline("\xEF\xBB\xBF"
                         "a"),
                  {QChar(0xFEFF) + QStringLiteral("a")}},
        // The same in a value that is no number and in a t="d" value that is no date.
        SheetCase{"AnFeffBeginningAValueText",
                  "<row><c><v>\xEF\xBB\xBF"
                  "1</v></c></row><row><c t=\"d\"><v>\xEF\xBB\xBF"
                  "soon</v></c></row>",
                  {QChar(0xFEFF) + QStringLiteral("1"), QChar(0xFEFF) + QStringLiteral("soon")}},
        SheetCase{"LineEnds", Inline("1\r\n2\r3\n&#13;"), {"1\n2\n3\n\r"}},
        SheetCase{"Runs",
                  "<row><c t='inlineStr'><is><r><rPr><b/></rPr><t>Ca</t></r><r><t>sh</t></r></is></c></row>",
                  {"Cash"}},
        SheetCase{"RunsAfterADecodedRun",
                  "<row><c t='inlineStr'><is><r><t>Patil &amp; Sons </t></r><r><rPr><b/></rPr><t>Traders</t>"
                  "</r></is></c></row>",
                  {"Patil & Sons Traders"}},
        SheetCase{"Prefixes", "<x:row r=\"2\"><x:c r=\"A2\"><x:v>7</x:v></x:c></x:row>", {"7"}},
        SheetCase{"BlanksAndQuotes", "<row  r = '2' ><c r='A2'\n t=\"str\" ><v >x</v ></c></row>", {"x"}},
        SheetCase{"Numbers",
                  "<row><c><v>1.5</v></c></row><row><c><v>-0.25</v></c></row><row><c><v>1e3</v></c></row>"
                  "<row><c><v> 12abc</v></c></row><row><c><v>abc</v></c></row>",
                  {"1.5", "-0.25", "1000", "12", "abc"}},
        SheetCase{"RowsAndCellsWithoutReferences",
                  "<row r=\"3\"><c r=\"A3\"><v>1</v></c></row><row><c><v>2</v></c></row>",
                  {"", "1", "2"}},
        SheetCase{"LaterCellOfAColumnWins",
                  "<row r=\"2\"><c r=\"A2\"><v>1</v></c><c r=\"A2\"><v>2</v></c></row>",
                  {"2"}},
        SheetCase{"CommentsAndCData",
                  "<!-- note --><row><c t=\"inlineStr\"><is><t><![CDATA[<raw>]]></t></is></c></row>",
                  {"<raw>"}},
        SheetCase{
            "EntitiesInAttributes", "<row r=\"2\"><c r=\"A2\" t=\"&#115;tr\"><v>s</v></c></row>", {"s"}},
        SheetCase{
            "PreservedSpace",
            "<row><c r=\"A2\" s=\"0\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> a </t></is></c></row>",
            {" a "}},
        // A fraction of a second rounds as a serial's does (PhpSpreadsheet's explicitdate.xlsx, as
        // Google Sheets writes such cells).
        SheetCase{"IsoDatesRoundToTheSecond",
                  "<row><c t=\"d\"><v>2021-12-31T23:44:51.894</v></c></row><row><c t=\"d\"><v>2021-12-31T"
                  "23:59:59.5</v></c></row><row><c t=\"d\"><v>2021-12-31 10:00:00.49</v></c></row><row><c "
                  "t=\"d\"><v>23:44:51.894</v></c></row>",
                  {"31-Dec-2021 23:44:52", "01-Jan-2022", "31-Dec-2021 10:00:00", "23:44:52"}},
        SheetCase{"CellsWithoutValues",
                  "<row r=\"2\"><c r=\"A2\" t=\"n\"/></row><row r=\"3\"><c r=\"A3\"><v></v></c></row>"
                  "<row r=\"4\"><c r=\"A4\" t=\"str\"></c></row><row r=\"5\"><c r=\"A5\" "
                  "cm=\"1\"><v>5</v></c></row>",
                  {"", "", "", "5"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A value element without digits is an empty cell, whatever the cell's type: never the first shared
// string, False or an empty text; so is a cell without one (POI's bug66675.xlsx holds <c t="str"></c>),
// as an empty formula text reads in an .xls. The scanner reads the rows, or after a comment the XML
// parser.
TEST(XlsxSheet, AValueWithoutDigitsIsAnEmptyCell) {
    for (const std::string parser : {"", "<!-- c -->"}) {
        std::string rows = parser + "<row><c t=\"s\"><v>0</v></c></row><row><c t=\"s\"><v> </v></c></row>";
        for (const char* type : {"s", "n", "b", "d", "str", "e"})
            for (const char* v : {"<v/>", "<v></v>", ""})
                rows += std::string("<row><c t=\"") + type + "\">" + v + "</c></row>";
        rows += "<row><c><v> </v></c></row><row><c><v>1</v></c></row>";
        test::TempFolder folder;
        const SourceTable table = XlsxSource(WriteSheet(folder, rows, "<sst><si><t>Header</t></si></sst>"))
                                      .read(QStringLiteral("S$"));
        ASSERT_EQ(table.recordCount(), 21) << parser;
        for (int r = 0; r < 20; ++r)
            EXPECT_TRUE(IsNull(table.cell(r, 0)))
                << parser << " row " << r << ": " << table.text(r, 0).toStdString();
        EXPECT_EQ(table.columns()[0].kind, ColumnKind::Number) << parser;
    }
}

TEST(XlsxSheet, BrokenMarkupInARowIsNamedByItsPart) {
    // The byte is where the wrong end tag's name starts, counted from the start of the part.
    test::TempFolder folder;
    const QString path = WriteWorkbook(folder, "<row r=\"2\"><c r=\"A2\"><v>1</w></c></row>");
    EXPECT_EQ(SheetRefusal(path),
              QStringLiteral("The source \"%1\" has a broken part \"xl/worksheets/sheet1.xml\": "
                             "Start-end tags mismatch at byte 111.")
                  .arg(path));
}

struct SharedStringsCase {
    const char* name;
    std::string part;
    QStringList texts; // column A: strings 0, 1 and 2, as many as the part holds
};

class XlsxSharedStrings : public ::testing::TestWithParam<SharedStringsCase> {};

// The part reads the same whether the scanner takes it or, past what it reads, the XML parser.
TEST_P(XlsxSharedStrings, ReadsTheItems) {
    std::string rows = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>A</t></is></c></row>";
    for (int i = 0; i < GetParam().texts.size(); ++i)
        rows += "<row><c t=\"s\"><v>" + std::to_string(i) + "</v></c></row>";
    test::TempFolder folder;
    const SourceTable table =
        XlsxSource(WriteSheet(folder, rows, GetParam().part)).read(QStringLiteral("S$"));
    QStringList texts;
    for (int r = 0; r < table.recordCount(); ++r)
        texts.append(table.text(r, 0));
    EXPECT_EQ(texts, GetParam().texts);
}

const char* const Items =
    "<si><t>a&amp;b</t></si><si><r><t>C</t></r><r><rPr/><t xml:space=\"preserve\">d </t></r>"
    "<rPh><t>x</t></rPh></si><si><t>caf\u00e9_x0041_</t></si>";

INSTANTIATE_TEST_SUITE_P(
    Parts, XlsxSharedStrings,
    ::testing::Values(
        SharedStringsCase{"Plain", std::string("<sst>") + Items + "</sst>", {"a&b", "Cd ", "caf\u00e9A"}},
        SharedStringsCase{"Declared",
                          std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<x:sst xmlns:x=\"u\">") +
                              Items + "</x:sst>\n",
                          {"a&b", "Cd ", "caf\u00e9A"}},
        SharedStringsCase{"CommentedForTheParser",
                          std::string("<!-- c --><sst>") + Items + "</sst><!-- e -->",
                          {"a&b", "Cd ", "caf\u00e9A"}},
        SharedStringsCase{"Latin1ForTheParser",
                          "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><sst><si><t>\xe9</t></si></sst>",
                          {"\u00e9"}},
        SharedStringsCase{"RunsAfterADecodedRun",
                          "<sst><si><r><t>&#80;atil &amp; Sons </t></r><r><t>Traders</t></r></si></sst>",
                          {"Patil & Sons Traders"}},
        // The Excel 2007 beta's items (POI's sample-beta.xlsx), for the scanner and for the parser.
        SharedStringsCase{
            "BetaItems",
            "<sst xmlns=\"http://schemas.microsoft.com/office/excel/2006/2\"><sstItem><t>Lorem</t>"
            "</sstItem><sstItem><t>ipsum</t></sstItem></sst>",
            {"Lorem", "ipsum"}},
        SharedStringsCase{
            "BetaItemsForTheParser",
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><sst><sstItem><t>dolor</t></sstItem></sst>",
            {"dolor"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A shared string the table lacks would leave its cell silently empty: an index past the table, or
// one that is no number, refuses the sheet, by the scanner and by the XML parser alike. An index of
// blanks alone is an empty value.
TEST(XlsxSharedStringsTest, AStringPastTheTableRefusesTheSheet) {
    for (const std::string parser : {"", "<!-- for the parser -->"})
        for (const std::string index : {"1", "-1", "abc", "0.0", "0x0"}) {
            SCOPED_TRACE(parser + index);
            test::TempFolder folder;
            const QString path = WriteSheet(
                folder, parser + "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v>" + index + "</v></c></row>",
                "<sst><si><t>a</t></si></sst>");
            EXPECT_EQ(
                SheetRefusal(path),
                QStringLiteral("The source \"%1\" is damaged: its sheet \"S\" could not be read.").arg(path));
        }
    for (const std::string parser : {"", "<!-- for the parser -->"}) {
        SCOPED_TRACE(parser);
        test::TempFolder folder;
        const std::string strings = "<sst><si><t>a</t></si></sst>";
        const SourceTable table =
            XlsxSource(WriteSheet(folder, parser + "<row><c t=\"s\"><v>0</v></c><c t=\"s\"><v></v></c></row>",
                                  strings))
                .read(QStringLiteral("S$"));
        EXPECT_EQ(table.columnNames(), QStringList{QStringLiteral("a")});
    }
}

// `xml` in UTF-16, little- or big-endian, with or without a byte-order mark.
std::string Utf16(const std::string& xml, bool little, bool marked) {
    std::string out = marked ? (little ? "\xFF\xFE" : "\xFE\xFF") : "";
    for (const QChar c : QString::fromUtf8(xml)) {
        const char16_t u = c.unicode();
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        out += little ? std::string{lo, hi} : std::string{hi, lo};
    }
    return out;
}

// Every part in UTF-16, as Excel Mobile writes a package (checked against roo's
// Pfand_from_windows_phone.xlsx: UTF-16LE with a byte-order mark and a declaration naming UTF-16), or
// big-endian with the declaration alone; the sheet's rows read by the scanner and, after a comment,
// by the XML parser.
TEST(XlsxWorkbook, PartsInUtf16Read) {
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-16\" standalone=\"yes\"?>";
    for (const bool little : {true, false})
        for (const std::string parser : {"", "<!-- c -->"}) {
            SCOPED_TRACE(std::string(little ? "LE" : "BE") + parser);
            const auto part = [&](const std::string& xml) {
                return Utf16(declaration + xml, little, little);
            };
            const Parts parts = {
                {"[Content_Types].xml", part(Types)},
                {"_rels/.rels", part(PackageRels)},
                {"xl/workbook.xml", part(Workbook)},
                {"xl/_rels/workbook.xml.rels", part(SharedStringsRels)},
                {"xl/sharedStrings.xml",
                 part("<sst><si><t>Name</t></si><si><t>Caf\u00e9 \U0001F600</t></si></sst>")},
                {"xl/worksheets/sheet1.xml",
                 part("<worksheet><sheetData>" + parser +
                      "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row><row r=\"2\"><c r=\"A2\" "
                      "t=\"s\"><v>1</v></c><c r=\"B2\"><v>2.5</v></c></row></sheetData></worksheet>")}};
            test::TempFolder folder;
            const SourceTable table = XlsxSource(WritePackage(folder, parts)).read(QStringLiteral("S$"));
            EXPECT_EQ(table.columnNames(), QStringList({"Name", "F2"}));
            ASSERT_EQ(table.recordCount(), 1);
            EXPECT_EQ(table.rowTexts(0), QStringList({"Caf\u00e9 \U0001F600", "2.5"}));
        }
}

// A sheet part whose declaration names ISO-8859-1 reads as Latin-1, as the parser reads every part
// so, by the scanner too (no corpus file declares it; the rule is the shared strings' own).
TEST(XlsxWorkbook, ASheetDeclaredLatin1ReadsAsLatin1) {
    for (const std::string parser : {"", "<!-- c -->"}) {
        SCOPED_TRACE(parser);
        test::TempFolder folder;
        const QString path = WritePackage(
            folder, {{"[Content_Types].xml", Types},
                     {"_rels/.rels", PackageRels},
                     {"xl/workbook.xml", Workbook},
                     {"xl/_rels/workbook.xml.rels", WorkbookRels},
                     {"xl/worksheets/sheet1.xml",
                      "<?xml version='1.0' encoding='iso-8859-1'?><worksheet><sheetData>" + parser +
                          "<row><c t=\"inlineStr\"><is><t>Caf\xe9</t></is></c></row><row><c t=\"str\"><v>\xa3"
                          "5</v></c></row></sheetData></worksheet>"}});
        const SourceTable table = XlsxSource(path).read(QStringLiteral("S$"));
        EXPECT_EQ(table.columnNames(), QStringList{QStringLiteral("Caf\u00e9")});
        ASSERT_EQ(table.recordCount(), 1);
        EXPECT_EQ(table.text(0, 0), QStringLiteral("\u00a35"));
    }
}

// Part names with backslashes for slashes, as some writers on Windows zip a package (checked against
// ExcelDataReader's Test_git_issue_385_backslash.xlsx and PhpSpreadsheet's issue.3730.xlsx), read as
// the names with slashes; a relationship's target written so too.
TEST(XlsxWorkbook, PartNamesWithBackslashesRead) {
    std::string rels = WorkbookRels;
    rels.replace(rels.find("worksheets/"), 11, "worksheets\\");
    const Parts parts = {
        {"[Content_Types].xml", Types},
        {"_rels\\.rels", PackageRels},
        {"xl\\workbook.xml", Workbook},
        {"xl\\_rels\\workbook.xml.rels", rels},
        {"xl\\worksheets\\sheet1.xml",
         "<worksheet><sheetData><row><c t=\"inlineStr\"><is><t>A</t></is></c></row><row><c><v>7</v></c>"
         "</row></sheetData></worksheet>"}};
    test::TempFolder folder;
    const SourceTable table = XlsxSource(WritePackage(folder, parts)).read(QStringLiteral("S$"));
    EXPECT_EQ(table.columnNames(), QStringList{QStringLiteral("A")});
    ASSERT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.text(0, 0), QStringLiteral("7"));
}

// The workbook with its sheet's packed bytes damaged: its CRC, in both headers, or a stretch of
// the bytes themselves.
enum class Damage { Crc, Bytes };

QString Damaged(const test::TempFolder& folder, Damage damage) {
    std::string rows;
    for (int r = 2; r < 400; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r * 7) + "</v></c></row>";
    const QString path = WriteWorkbook(folder, rows);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    QByteArray zip = file.readAll();
    file.close();
    const QByteArray name("xl/worksheets/sheet1.xml");
    const auto u16 = [&](qsizetype at) {
        return qsizetype(uchar(zip[at])) | qsizetype(uchar(zip[at + 1])) << 8;
    };
    // The sheet's header of a kind: its signature, then its name `nameAt` bytes on, `lengthAt` its length.
    const auto header = [&](const char* signature, qsizetype nameAt, qsizetype lengthAt) {
        qsizetype at = zip.indexOf(signature);
        while (zip.mid(at + nameAt, u16(at + lengthAt)) != name)
            at = zip.indexOf(signature, at + 4);
        return at;
    };
    const qsizetype at = header("PK\x03\x04", 30, 26);
    const qsizetype central = header("PK\x01\x02", 46, 28);
    if (damage == Damage::Crc) {
        zip[at + 14] = char(zip[at + 14] ^ 1);
        zip[central + 16] = char(zip[central + 16] ^ 1);
    } else {
        const qsizetype data = at + 30 + u16(at + 26) + u16(at + 28);
        for (qsizetype i = 40; i < 60; ++i)
            zip[data + i] = char(0xff);
    }
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(zip);
    return path;
}

TEST(XlsxSheet, ADamagedSheetIsRefused) {
    for (const Damage damage : {Damage::Crc, Damage::Bytes}) {
        test::TempFolder folder;
        const QString path = Damaged(folder, damage);
        EXPECT_EQ(SheetRefusal(path),
                  QStringLiteral("The source \"%1\" has a damaged part \"xl/worksheets/sheet1.xml\": it "
                                 "cannot be unpacked.")
                      .arg(path));
    }
}

// A package holding its sheet twice: a second entry named as the first, or as the first in other
// case. libzip writes neither, so a same-length name is written and then made the first's.
TEST(XlsxSheet, APackageWithTwoEntriesOfOnePartIsRefused) {
    for (const bool sameCase : {true, false}) {
        test::TempFolder folder;
        const QString path = WriteWorkbook(folder, "<row r=\"2\"><c r=\"A2\"><v>1</v></c></row>");
        const std::string other = "<worksheet><sheetData><row r=\"1\"><c r=\"A1\"><v>2</v></c></row>"
                                  "</sheetData></worksheet>";
        const char* const stand = sameCase ? "xl/worksheets/sheet1.xmx" : "XL/Worksheets/Sheet1.XML";
        int error = 0;
        zip_t* zip = zip_open(QFile::encodeName(path).constData(), 0, &error);
        zip_file_add(zip, stand, zip_source_buffer(zip, other.data(), other.size(), 0), 0);
        zip_close(zip);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray bytes = file.readAll();
        file.close();
        if (sameCase) bytes.replace("xl/worksheets/sheet1.xmx", "xl/worksheets/sheet1.xml");
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
        file.close();
        try {
            XlsxSource source(path);
            ADD_FAILURE() << "opened a package with two entries of one part";
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.description(),
                      QStringLiteral("The source \"%1\" has two entries of its part \"%2\"; it cannot be "
                                     "told which to read.")
                          .arg(path, sameCase ? QStringLiteral("xl/worksheets/sheet1.xml")
                                              : QStringLiteral("XL/Worksheets/Sheet1.XML")));
        }
    }
}

// A cell by its reference: a number, or an inline text when `value` does not start with a digit.
std::string C(const char* ref, const char* value) {
    if (value[0] >= '0' && value[0] <= '9')
        return std::string("<c r=\"") + ref + "\"><v>" + value + "</v></c>";
    return std::string("<c r=\"") + ref + "\" t=\"inlineStr\"><is><t>" + value + "</t></is></c>";
}

std::string Row(int r, const std::string& cells) {
    return "<row r=\"" + std::to_string(r) + "\">" + cells + "</row>";
}

struct RangeCase {
    const char* name;
    std::string rows;
    QStringList columns;
    QString kinds; // a letter a column: Text, Number, Date, Boolean
    std::vector<QStringList> records;
};

class XlsxRange : public ::testing::TestWithParam<RangeCase> {};

// The table spans the first to the last row and column with a value, whatever order the rows come in.
TEST_P(XlsxRange, ReadsTheSheetsRange) {
    test::TempFolder folder;
    const SourceTable table = XlsxSource(WriteSheet(folder, GetParam().rows)).read(QStringLiteral("S$"));
    EXPECT_EQ(table.columnNames(), GetParam().columns);
    QString kinds;
    for (const SourceColumn& column : table.columns())
        kinds += QStringLiteral("TNDB")[static_cast<int>(column.kind)];
    EXPECT_EQ(kinds, GetParam().kinds);
    std::vector<QStringList> records;
    for (int r = 0; r < table.recordCount(); ++r)
        records.push_back(table.rowTexts(r));
    EXPECT_EQ(records, GetParam().records);
}

// Rows enough that a cell right of the columns so far no longer widens the table in place.
std::string ManyRows() {
    std::string rows = Row(1, C("A1", "a"));
    for (int r = 2; r <= 70000; ++r)
        rows += Row(r, C(("A" + std::to_string(r)).c_str(), "1"));
    return rows + Row(70001, C("B70001", "2"));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XlsxRange,
    ::testing::Values(
        RangeCase{"GapsAndRowsWithoutValue",
                  Row(1, C("A1", "a") + C("B1", "b")) + Row(2, C("A2", "1")) + Row(4, C("B4", "2")) +
                      Row(5, "<c r=\"A5\" t=\"e\"><v>#N/A</v></c>"),
                  {"a", "b"},
                  "NN",
                  {{"1", ""}, {"", ""}, {"", "2"}}},
        RangeCase{"LeadingRowsAndColumnsWithoutValue",
                  Row(1, "<c r=\"A1\" t=\"e\"><v>#REF!</v></c>") + Row(2, C("B2", "x")) +
                      Row(3, C("B3", "t")),
                  {"x"},
                  "T",
                  {{"t"}}},
        RangeCase{"HeaderOnly", Row(3, C("C3", "h")), {"h"}, "T", {}},
        RangeCase{"NoValue", Row(1, "<c r=\"A1\" t=\"e\"><v>#N/A</v></c>"), {"F1"}, "T", {}},
        RangeCase{"RowsOutOfOrder",
                  Row(1, C("A1", "a")) + Row(3, C("A3", "3")) + Row(2, C("A2", "2")),
                  {"a"},
                  "N",
                  {{"2"}, {"3"}}},
        RangeCase{"ARowTwice",
                  Row(1, C("A1", "a")) + Row(2, C("A2", "1")) + Row(2, C("B2", "x")),
                  {"a", "F2"},
                  "NT",
                  {{"1", "x"}}},
        RangeCase{"ACellLeftOfTheHeader",
                  Row(1, C("B1", "b")) + Row(2, C("B2", "2")) + Row(3, C("A3", "1")),
                  {"F1", "b"},
                  "NN",
                  {{"", "2"}, {"1", ""}}},
        RangeCase{"ACellRightOfTheHeader",
                  Row(1, C("A1", "a")) + Row(2, C("A2", "1")) + Row(3, C("C3", "x")),
                  {"a", "F2", "F3"},
                  "NTT",
                  {{"1", "", ""}, {"", "", "x"}}},
        RangeCase{"TheHeaderRowAfterTheRecords",
                  Row(3, C("B3", "3")) + Row(2, C("A2", "2")) + Row(1, C("A1", "a") + C("B1", "b")),
                  {"a", "b"},
                  "NN",
                  {{"2", ""}, {"", "3"}}},
        RangeCase{"ACellWrittenTwiceKeepsTheLater",
                  Row(1, C("A1", "a")) + Row(2, C("A2", "1")) + Row(2, C("A2", "x")),
                  {"a"},
                  "T",
                  {{"x"}}},
        RangeCase{"TheParserAfterRowsTheScannerRead",
                  Row(1, C("A1", "a")) + Row(2, C("A2", "1")) + "<!-- note -->" + Row(3, C("A3", "2")),
                  {"a"},
                  "N",
                  {{"1"}, {"2"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XlsxRange, ACellRightOfManyRowsWidensTheTable) {
    test::TempFolder folder;
    const SourceTable table = XlsxSource(WriteSheet(folder, ManyRows())).read(QStringLiteral("S$"));
    EXPECT_EQ(table.columnNames(), QStringList({"a", "F2"}));
    ASSERT_EQ(table.recordCount(), 70000);
    EXPECT_EQ(table.rowTexts(0), QStringList({"1", ""}));
    EXPECT_EQ(table.rowTexts(69999), QStringList({"", "2"}));
}

TEST(XlsxRange, ACellFarRightOfSomeRowsWidensTheTableOnce) {
    std::string rows = Row(1, C("A1", "a"));
    for (int r = 2; r <= 31; ++r)
        rows += Row(r, C(("A" + std::to_string(r)).c_str(), "1"));
    rows += Row(32, C("WAA32", "2"));
    test::TempFolder folder;
    const SourceTable table = XlsxSource(WriteSheet(folder, rows)).read(QStringLiteral("S$"));
    ASSERT_EQ(table.fieldCount(), 15575);
    ASSERT_EQ(table.recordCount(), 31);
    EXPECT_EQ(table.columnNames().last(), QStringLiteral("F15575"));
    EXPECT_EQ(table.text(30, 15574), QStringLiteral("2"));
}

// A row or a cell past Excel's bounds (row 0, past row 1,048,576 or column XFD) is damage that would
// lose a record: the sheet is refused, whether the scanner or, after a comment, the XML parser reads it.
TEST(XlsxRange, ARowOrCellPastTheSheetsBoundsRefusesTheSheet) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"RowZero", Row(0, "<c><v>1</v></c>")},
        {"RowPastTheLast", Row(1048577, C("A1048577", "1"))},
        {"RowPastTheLastByCount", Row(1048576, C("A1048576", "1")) + "<row><c><v>2</v></c></row>"},
        {"CellPastXFD", Row(2, C("XFE2", "1"))},
        {"CellPastXFDByCount", Row(2, C("XFD2", "1") + "<c><v>2</v></c>")},
    };
    for (const std::string parser : {"", "<!-- c -->"}) {
        for (const auto& [name, rows] : cases) {
            test::TempFolder folder;
            const QString path = WriteSheet(folder, Row(1, C("A1", "a")) + parser + rows);
            EXPECT_EQ(
                SheetRefusal(path),
                QStringLiteral("The source \"%1\" is damaged: its sheet \"S\" could not be read.").arg(path))
                << name << parser;
        }
    }
}

// The workbook's sheets are found through its relationships: without them, or without one sheet's,
// the workbook is refused naming the part, never listed short of a sheet.
TEST(XlsxWorkbook, AMissingRelationshipRefusesTheWorkbookNamingItsPart) {
    const std::string sheet = "<worksheet><sheetData>" + Row(1, C("A1", "a")) + "</sheetData></worksheet>";
    const std::string twoSheets =
        "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><sheets>"
        "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/><sheet name=\"T\" sheetId=\"2\" r:id=\"rId2\"/>"
        "</sheets></workbook>";
    const std::vector<std::pair<Parts, QString>> cases = {
        {{{"_rels/.rels", PackageRels}, {"xl/workbook.xml", Workbook}, {"xl/worksheets/sheet1.xml", sheet}},
         QStringLiteral("lacks its part \"xl/_rels/workbook.xml.rels\".")},
        {{{"_rels/.rels", PackageRels},
          {"xl/workbook.xml", twoSheets},
          {"xl/_rels/workbook.xml.rels", WorkbookRels},
          {"xl/worksheets/sheet1.xml", sheet},
          {"xl/worksheets/sheet2.xml", sheet}},
         QStringLiteral("has a broken part \"xl/_rels/workbook.xml.rels\": it holds no relationship \"rId2\" "
                        "for the sheet \"T\".")},
    };
    for (const auto& [parts, refusal] : cases) {
        test::TempFolder folder;
        const QString path = WritePackage(folder, parts);
        try {
            const QStringList sheets = XlsxSource(path).tables();
            ADD_FAILURE() << "listed " << sheets.join(QLatin1Char(',')).toStdString();
        } catch (const vb::RuntimeError& e) {
            EXPECT_EQ(e.description(), QStringLiteral("The source \"%1\" ").arg(path) + refusal);
        }
    }
}

// Excel lists a sheet it does not keep in the package (a macro, module or dialog sheet) with an empty
// relationship id; other writers leave the id out. Such a sheet holds no table; the others read.
TEST(XlsxWorkbook, ASheetWithoutARelationshipIdIsLeftOut) {
    const std::string sheet = "<worksheet><sheetData>" + Row(1, C("A1", "a")) + "</sheetData></worksheet>";
    for (const char* other : {"<sheet name=\"Module\" sheetId=\"2\" r:id=\"\"/>", "<sheet name=\"M\"/>"}) {
        const std::string workbook =
            "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
            "<sheets>" +
            std::string(other) + "<sheet name=\"S\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
        test::TempFolder folder;
        const QString path = WritePackage(folder, {{"_rels/.rels", PackageRels},
                                                   {"xl/workbook.xml", workbook},
                                                   {"xl/_rels/workbook.xml.rels", WorkbookRels},
                                                   {"xl/worksheets/sheet1.xml", sheet}});
        XlsxSource source(path);
        EXPECT_EQ(source.tables(), QStringList{QStringLiteral("S$")}) << other;
        EXPECT_EQ(source.read(QStringLiteral("S$")).columnNames(), QStringList{QStringLiteral("a")}) << other;
    }
}

// A package cut short (an interrupted copy or download), or whose directory is garbled, is damaged,
// not some other kind of file.
TEST(XlsxWorkbook, ACutCopyIsDamaged) {
    test::TempFolder folder;
    QFile whole(WriteWorkbook(folder, Row(2, C("A2", "1"))));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString path = folder.file(QStringLiteral("cut.xlsx"));
    const auto refusal = [&](const QByteArray& copy) {
        QFile cut(path);
        EXPECT_TRUE(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cut.write(copy);
        cut.close();
        try {
            XlsxSource source(path);
            return QStringLiteral("opened");
        } catch (const vb::RuntimeError& e) {
            return e.description();
        }
    };
    // Cut in a part, at a part's end, in the directory.
    for (const qsizetype length : {bytes.size() / 4, bytes.size() / 2, bytes.size() * 98 / 100})
        EXPECT_EQ(refusal(bytes.left(length)),
                  QStringLiteral("The source \"%1\" is damaged: it is cut short at %2 bytes.")
                      .arg(path)
                      .arg(length));
    // Whole, but the record that ends its directory garbled.
    QByteArray garbled = bytes;
    garbled.replace(garbled.lastIndexOf("PK\x05\x06"), 4, "PKxx");
    EXPECT_EQ(refusal(garbled),
              QStringLiteral("The source \"%1\" is damaged: its zip directory could not be read.").arg(path));
}

// A row of blanks costs no memory: the reader holds the cells, not a long row's bytes. 3.5 million
// styled blanks (60 MiB of XML) before one number, read in a child process, whose peak is its own.
TEST(XlsxSheet, ARowOfBlanksCostsNoMemory) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer's own memory is counted with the reader's";
#endif
    test::TempFolder folder;
    QString path;
    {
        std::string row = "<row r=\"2\">";
        for (int i = 0; i < 3500000; ++i)
            row += "<c r=\"B2\" s=\"1\"/>\n";
        path = WriteWorkbook(folder, row + "<c r=\"C2\"><v>5</v></c></row>");
    }
    EXPECT_EQ(test::ReadInChild(
                  16 * 1024, [&] { return XlsxSource(path); },
                  [](XlsxSource& source) {
                      const SourceTable table = source.read(QStringLiteral("S$"));
                      return table.recordCount() == 1 && table.rowTexts(0) == QStringList({"", "", "5"});
                  }),
              0)
        << "1: the row read wrong; 2: the peak passed 16 MiB";
}

struct TooLargeCase {
    const char* name;
    std::string rows;
    const char* range; // as the refusal names it: the range, its rows and its columns
};

class XlsxTooLarge : public ::testing::TestWithParam<TooLargeCase> {};

// A range the grid cannot hold is refused before its table is built, however few cells it holds.
TEST_P(XlsxTooLarge, RefusesTheSheetNamingItsRange) {
    test::TempFolder folder;
    const QString path = WriteSheet(folder, GetParam().rows);
    EXPECT_EQ(SheetRefusal(path),
              QStringLiteral("The source \"%1\" cannot be loaded: its sheet \"S$\" spans %2; a sheet may "
                             "span at most 16383 columns, as the grid adds one of its own, and 67108864 "
                             "cells.")
                  .arg(path, QString::fromLatin1(GetParam().range)));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, XlsxTooLarge,
    ::testing::Values(TooLargeCase{"ANumberAtTheLastCellUnderAHeader",
                                   Row(1, C("A1", "h")) + Row(1048576, C("XFD1048576", "1")),
                                   "A1:XFD1048576, 1048576 rows by 16384 columns"},
                      TooLargeCase{"AHeaderAsWideAsTheSheet", Row(1, C("A1", "a") + C("XFD1", "b")),
                                   "A1:XFD1, 1 row by 16384 columns"},
                      TooLargeCase{"TwoCellsSpanningTooManyCells",
                                   Row(1, C("A1", "h")) + Row(1048576, C("XFC1048576", "1")),
                                   "A1:XFC1048576, 1048576 rows by 16383 columns"},
                      TooLargeCase{"RowsOutOfOrder",
                                   Row(5, C("C5", "1")) + Row(2, C("B2", "h")) +
                                       Row(1048576, C("AAA1048576", "2")),
                                   "B2:AAA1048576, 1048575 rows by 702 columns"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
