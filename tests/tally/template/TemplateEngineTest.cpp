#include "tally/template/TemplateEngine.h"

#include "tally/template/TemplateFixture.h"

#include "vb/CaseName.h"
#include "vb/RuntimeError.h"

#include <QString>

#include <gtest/gtest.h>

namespace quibo::test {
namespace {

const QString Ledger = QStringLiteral("LEDGER");
constexpr int AcmeRow = 5;

const QString AcmeLedgerRecord1 = QStringLiteral(
    "<LEDGER NAME=\"Acme Traders\"><PARENT>Sundry Debtors</PARENT><OPENINGBALANCE>1500.00</OPENINGBALANCE>"
    "<ISBILLWISEON>YES</ISBILLWISEON><MAILINGNAME.LIST><MAILINGNAME>Acme "
    "Traders</MAILINGNAME></MAILINGNAME.LIST>"
    "<NAME.LIST><NAME>Acme Traders</NAME></NAME.LIST></LEDGER>");

// ---- a ledger format with every kind of tag --------------------------------------------------

class AcmeLedgerFormat : public TemplateFixture {
protected:
    void SetUp() override {
        LoadLedgers();
        StageAcmeLedgerFormat();
    }
};

TEST_F(AcmeLedgerFormat, RecordOneMakesTheWholeLedger) {
    EXPECT_EQ(Expand(7, Ledger, AcmeRow), AcmeLedgerRecord1);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(AcmeLedgerFormat, RecordTwoMakesOnlyTheGroups) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<LEDGER/>")));
    engine.BuildTemplateElements(doc, doc.documentElement(), 7, Ledger, AcmeRow, 2, 1);
    EXPECT_EQ(doc.xml(), QStringLiteral("<LEDGER><NAME.LIST><NAME>Acme Traders</NAME></NAME.LIST></LEDGER>"));
}

TEST_F(AcmeLedgerFormat, GroupConditionFollowsTheCell) {
    // Rent: 12000 > 5000 makes GSTDETAILS.LIST, which has no tags of its own.
    EXPECT_EQ(Expand(7, Ledger, 3),
              QStringLiteral("<LEDGER NAME=\"Rent\"><PARENT>Indirect Expenses</PARENT>"
                             "<OPENINGBALANCE>12000.00</OPENINGBALANCE><ISBILLWISEON>YES</ISBILLWISEON>"
                             "<MAILINGNAME.LIST><MAILINGNAME>Rent</MAILINGNAME></MAILINGNAME.LIST>"
                             "<GSTDETAILS.LIST/><NAME.LIST><NAME>Rent</NAME></NAME.LIST></LEDGER>"));
}

TEST_F(AcmeLedgerFormat, BlankCellInAConditionIsASyntaxError) {
    // Bank Charges: the blank balance leaves "IF  > 0", which the evaluator refuses.
    EXPECT_EQ(ExpandError(7, Ledger, 2), vb::err::SyntaxError);
}

TEST_F(AcmeLedgerFormat, ValuesInFragmentsAreEscaped) {
    // Pasted raw, "Smith & Sons" would make the fragment unparsable and MAILINGNAME.LIST vanish.
    EXPECT_EQ(
        Expand(7, Ledger, 4),
        QStringLiteral("<LEDGER NAME=\"Smith &amp; Sons\"><PARENT>Sundry Creditors</PARENT>"
                       "<OPENINGBALANCE>-250.50</OPENINGBALANCE><ISBILLWISEON>NO</ISBILLWISEON>"
                       "<MAILINGNAME.LIST><MAILINGNAME>Smith &amp; Sons</MAILINGNAME></MAILINGNAME.LIST>"
                       "<NAME.LIST><NAME>Smith &amp; Sons</NAME></NAME.LIST></LEDGER>"));
}

TEST_F(AcmeLedgerFormat, FindsTheFormatWithoutRegardToCase) {
    const auto format = engine.FindTemplateFormat(QStringLiteral("ledgersGST"));
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->type, Ledger);
    EXPECT_EQ(format->number, 7);
    EXPECT_EQ(format->source, QString());
    EXPECT_FALSE(engine.FindTemplateFormat(QStringLiteral("LEDGERS GST")).has_value());
}

TEST_F(AcmeLedgerFormat, QuoteInANameIsJustData) {
    EXPECT_FALSE(engine.FindTemplateFormat(QStringLiteral("X' OR '1'='1")).has_value());
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<LEDGER/>")));
    engine.BuildTemplateElements(doc, doc.documentElement(), 7, QStringLiteral("LEDGER' OR 'A'='A"), AcmeRow,
                                 1, 1);
    EXPECT_EQ(doc.xml(), QStringLiteral("<LEDGER/>"));
}

// ---- attributes ---------------------------------------------------------------------------------------

class Attributes : public TemplateFixture {
protected:
    void SetUp() override { LoadLedgers(); }
    void Attribute(int srNo, const QString& name, std::optional<QString> defValue,
                   std::optional<QString> field, const QString& letter = "A") {
        Det(1, {1, srNo, Ledger, name, letter, {}, defValue, field});
    }
};

TEST_F(Attributes, RowsThatSetNothing) {
    Attribute(1, "BLANKDEFAULT", "   ", "NAME"); // no fall-back to the column
    Attribute(2, "EMPTYDEFAULT", QString(), "NAME");
    Attribute(3, "ALIAS", {}, "ALIAS"); // absent column
    Attribute(4, "GSTIN", {}, "GSTIN"); // blank cell
    Attribute(5, "OTHER", {}, {});      // neither default nor column
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER/>"));
}

TEST_F(Attributes, DefValueIsWrittenUntrimmed) {
    Attribute(1, "ACTION", " Create ", "NAME");
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER ACTION=\" Create \"/>"));
}

TEST_F(Attributes, LaterRowWins) {
    Attribute(2, "NAME", {}, "PARENT");
    Attribute(1, "NAME", {}, "name");
    // Storage order, not SrNo: the row stored last is applied last.
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER NAME=\"Acme Traders\"/>"));
}

TEST_F(Attributes, CellKeepsItsBlanksAndGetsNoNumberFormat) {
    grid.SetCellText(AcmeRow, 1, QStringLiteral(" Acme "));
    Det(1, {1, 1, Ledger, "NAME", "A", "NUMBER", {}, "NAME"});
    Det(1, {1, 2, Ledger, "BALANCE", "A", "NUMBER", {}, "OPENINGBALANCE"});
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER NAME=\" Acme \" BALANCE=\"1500\"/>"));
}

TEST_F(Attributes, FirstSourceColumnIsPresent) {
    Attribute(1, "NAME", {}, "Name");
    EXPECT_EQ(Expand(1, Ledger, 1), QStringLiteral("<LEDGER NAME=\"Cash Sales\"/>"));
}

TEST_F(Attributes, SmallLetterIsStillAnAttribute) {
    Attribute(1, "NAME", {}, "NAME", "a");
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER NAME=\"Acme Traders\"/>"));
}

TEST_F(Attributes, OnlyTheElementsOwnRowsOfItsFormat) {
    Det(1, {1, 1, "NAME.LIST", "X", "A", {}, "1", {}});
    Det(2, {1, 1, Ledger, "Y", "A", {}, "2", {}});
    Det(1, {1, 1, "ledger", "Z", "A", {}, "3", {}});
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER Z=\"3\"/>"));
}

// ---- value elements and fragments -------------------------------------------------------------------

class Tags : public TemplateFixture {
protected:
    void SetUp() override { LoadLedgers(); }
    // One tag of the LEDGER element, expanded for the row.
    QString One(const DetRow& row, int gridRow = AcmeRow) {
        Det(1, row);
        return Expand(1, Ledger, gridRow);
    }
    static DetRow Tag(const QString& letter, std::optional<QString> field, std::optional<QString> format = {},
                      std::optional<QString> defValue = {}, const QString& name = QStringLiteral("X")) {
        return {1, 1, Ledger, name, letter, format, defValue, field};
    }
};

struct TagCase {
    const char* name;
    DetRow row;
    const char16_t* expected;
};

class TagTable : public TemplateFixture, public ::testing::WithParamInterface<TagCase> {
protected:
    void SetUp() override { LoadLedgers(); }
};

TEST_P(TagTable, ExpandsForTheSampleMasterRow) {
    Det(1, GetParam().row);
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QString::fromUtf16(GetParam().expected));
}

DetRow T(const char16_t* letter, std::optional<QString> field, std::optional<QString> format = {},
         std::optional<QString> defValue = {}) {
    return {1, 1, Ledger, QStringLiteral("X"), QString::fromUtf16(letter), format, defValue, field};
}
std::optional<QString> S(const char16_t* text) {
    return QString::fromUtf16(text);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, TagTable,
    ::testing::Values(
        TagCase{"ColumnByName", T(u"N", S(u"parent")), u"<LEDGER><X>Sundry Debtors</X></LEDGER>"},
        TagCase{"AbsentColumn", T(u"N", S(u"ALIAS")), u"<LEDGER/>"},
        TagCase{"BlankCell", T(u"N", S(u"GSTIN")), u"<LEDGER/>"},
        TagCase{"NullFieldName", T(u"N", {}), u"<LEDGER/>"},
        TagCase{"CellNumbersRaw", T(u"N", S(u"{#1} owes {#3}")),
                u"<LEDGER><X>Acme Traders owes 1500</X></LEDGER>"},
        TagCase{"CellNumberAsNumber", T(u"N", S(u"{#3}"), S(u"Number")), u"<LEDGER><X>1500.00</X></LEDGER>"},
        TagCase{"KeysAreNotReplacedInValueTexts", T(u"N", S(u"{#3}{NAME}")),
                u"<LEDGER><X>1500{NAME}</X></LEDGER>"},
        TagCase{"NumberFormatLeavesText", T(u"N", S(u"NAME"), S(u"NUMBER")),
                u"<LEDGER><X>Acme Traders</X></LEDGER>"},
        TagCase{"OtherFormatIgnored", T(u"N", S(u"{#3}"), S(u"0.0")), u"<LEDGER><X>1500</X></LEDGER>"},
        TagCase{"DefValueWins", T(u"N", S(u"NAME"), S(u"NUMBER"), S(u" 12 ")),
                u"<LEDGER><X> 12 </X></LEDGER>"},
        TagCase{"BlankDefValueMakesNothing", T(u"N", S(u"NAME"), {}, S(u"  ")), u"<LEDGER/>"},
        TagCase{"SmallLetterWithoutDefValue", T(u"n", S(u"NAME")), u"<LEDGER/>"},
        TagCase{"SmallLetterWithDefValue", T(u"c", S(u"NAME"), {}, S(u"Yes")),
                u"<LEDGER><X>Yes</X></LEDGER>"},
        TagCase{"SmallConditional", T(u"c", S(u"1 = 1")), u"<LEDGER/>"},
        TagCase{"SmallFragment", T(u"g", S(u"{NAME};")), u"<LEDGER/>"},
        TagCase{"ExpressionWithKeyAndNumber", T(u"C", S(u"{OPENINGBALANCE} + {#3}")),
                u"<LEDGER><X>3000</X></LEDGER>"},
        TagCase{"ExpressionTwice", T(u"C", S(u"{#3} * 2")), u"<LEDGER><X>3000</X></LEDGER>"},
        TagCase{"ExpressionAsNumber", T(u"C", S(u"{#3} / 8"), S(u"NUMBER")),
                u"<LEDGER><X>187.50</X></LEDGER>"},
        TagCase{"ExpressionNotReadingDollar", T(u"C", S(u"\"{$3}\"")), u"<LEDGER><X>{$3}</X></LEDGER>"},
        TagCase{"ConditionalUpperCased", T(u"C", S(u"IF {#3} > 0 THEN Yes ELSE No")),
                u"<LEDGER><X>YES</X></LEDGER>"},
        TagCase{"ConditionWithoutComparison", T(u"C", S(u"IF {#3} THEN Yes ELSE No")), u"<LEDGER/>"},
        TagCase{"EmptyResult", T(u"C", S(u"UNDEFINED")), u"<LEDGER/>"},
        TagCase{"ThenPartFilledFromTheCell", T(u"C", S(u"IF \"{NAME}\" <> \"\" THEN {PARENT} ELSE NONE")),
                u"<LEDGER><X>SUNDRY DEBTORS</X></LEDGER>"}),
    vb::test::CaseName{});

TEST_F(Tags, FragmentPiecesUpToTheLastSemicolon) {
    const QString fragment = QStringLiteral("<A><B>{V1}</B><C>{V2}</C></A>");
    EXPECT_EQ(One({1, 1, Ledger, fragment, "G", {}, {}, "{NAME};{PARENT}"}),
              QStringLiteral("<LEDGER><A><B>Acme Traders</B><C>{V2}</C></A></LEDGER>"));
}

TEST_F(Tags, FragmentWithClosingSemicolonUsesEveryPiece) {
    const QString fragment = QStringLiteral("<A><B>{V1}</B><C>{V2}</C></A>");
    EXPECT_EQ(One({1, 1, Ledger, fragment, "G", {}, {}, "{NAME};{PARENT};"}),
              QStringLiteral("<LEDGER><A><B>Acme Traders</B><C>Sundry Debtors</C></A></LEDGER>"));
}

TEST_F(Tags, FragmentPiecesAreUpperCasedBeforeTheValuesGoIn) {
    const QString fragment = QStringLiteral("<A><B>{V1}</B></A>");
    EXPECT_EQ(One({1, 1, Ledger, fragment, "G", {}, {}, "to {name}: {#3} {NAME};"}),
              QStringLiteral("<LEDGER><A><B>TO Acme Traders: {#3} Acme Traders</B></A></LEDGER>"));
}

TEST_F(Tags, FragmentWithMarkupCharactersInTheCell) {
    grid.SetCellText(AcmeRow, 1, QStringLiteral("<A & B>"));
    const QString fragment = QStringLiteral("<A><B>{V1}</B></A>");
    EXPECT_EQ(One({1, 1, Ledger, fragment, "G", {}, {}, "{NAME};"}),
              QStringLiteral("<LEDGER><A><B>&lt;A &amp; B&gt;</B></A></LEDGER>"));
}

TEST_F(Tags, BlankFragmentAppendsNothing) {
    EXPECT_EQ(One({1, 1, Ledger, "  ", "G", {}, {}, "{NAME};"}), QStringLiteral("<LEDGER/>"));
}

TEST_F(Tags, ValueCellKeepsItsBlanks) {
    grid.SetCellText(AcmeRow, 2, QStringLiteral("  Sundry Debtors "));
    EXPECT_EQ(One(Tag("N", "PARENT")), QStringLiteral("<LEDGER><X>  Sundry Debtors </X></LEDGER>"));
}

TEST_F(Tags, OrderBySrNoWithinTheSet) {
    Det(1, {1, 2, Ledger, "B", "N", {}, "2", {}});
    Det(1, {2, 1, Ledger, "OTHERSET", "N", {}, "9", {}});
    Det(1, {1, 1, Ledger, "A", "N", {}, "1", {}});
    Det(1, {1, 3, Ledger, "ATTR", "A", {}, "3", {}});
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER ATTR=\"3\"><A>1</A><B>2</B></LEDGER>"));
}

TEST_F(Tags, NullTagNameEndsTheExpansion) {
    database.execute(QStringLiteral("INSERT INTO QuiboDet_ (TNo, SetNo, SrNo, GroupName, TagType, DefValue) "
                                    "VALUES (1, 1, 1, 'LEDGER', 'N', 'x')"));
    EXPECT_EQ(ExpandError(1, Ledger, AcmeRow), 94);
}

TEST_F(Tags, InvalidElementNameIsReportedAndSkipped) {
    Det(1, {1, 1, Ledger, "BAD NAME", "N", {}, "1", {}});
    Det(1, {1, 2, Ledger, "GOOD", "N", {}, "2", {}});
    EXPECT_EQ(Expand(1, Ledger, AcmeRow), QStringLiteral("<LEDGER><GOOD>2</GOOD></LEDGER>"));
    EXPECT_EQ(locations(), QStringList{QStringLiteral("C02-0013")});
}

// ---- groups ---------------------------------------------------------------------------------------------

class Groups : public TemplateFixture {
protected:
    void SetUp() override { LoadLedgers(); }
    // Whether a group with the condition is made for the row at the top level.
    bool Made(const std::optional<QString>& condition, int row = AcmeRow, int recordNumber = 1) {
        database.execute(QStringLiteral("DELETE FROM QuiboGrp_"));
        Grp(1, Ledger, 2, "G.LIST", condition);
        XmlDocument doc;
        EXPECT_TRUE(doc.loadXml(QStringLiteral("<LEDGER/>")));
        engine.BuildTemplateElements(doc, doc.documentElement(), 1, Ledger, row, recordNumber, 1);
        return doc.xml().contains(QStringLiteral("G.LIST"));
    }
};

struct GroupCase {
    const char* name;
    const char16_t* condition; // nullptr: Null
    int row;
    bool made;
};

class GroupTable : public Groups, public ::testing::WithParamInterface<GroupCase> {
protected:
    void SetUp() override { Groups::SetUp(); }
};

TEST_P(GroupTable, MadeUnlessNoOrFalse) {
    const char16_t* condition = GetParam().condition;
    EXPECT_EQ(Made(condition ? std::optional(QString::fromUtf16(condition)) : std::nullopt, GetParam().row),
              GetParam().made);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, GroupTable,
    ::testing::Values(GroupCase{"Null", nullptr, AcmeRow, true}, GroupCase{"Empty", u"", AcmeRow, true},
                      GroupCase{"NumberAbove", u"{#3} > 1000", AcmeRow, true},
                      GroupCase{"NumberBelow", u"{#3} > 5000", AcmeRow, false},
                      GroupCase{"BlankCellCountsAsZero", u"{#3} > -1", 2, true},
                      GroupCase{"BlankCellNotAbove", u"{#3} > 1000", 2, false},
                      GroupCase{"LeadingNumberOfTheCell", u"{#4} = 27", 4, true},
                      GroupCase{"NumberIsNotText", u"\"{#3}\" = \"1500\"", AcmeRow, true},
                      GroupCase{"DollarIsTheCell", u"\"{$4}\" = \"27AAAAA0000A1Z5\"", 4, true},
                      GroupCase{"KeyIsTheCell", u"\"{NAME}\" = \"Acme Traders\"", AcmeRow, true},
                      GroupCase{"TextCompareKeepsCase", u"\"{NAME}\" = \"ACME TRADERS\"", AcmeRow, false},
                      GroupCase{"FalseSuppresses", u"False", AcmeRow, false},
                      GroupCase{"NoTextSuppresses", u"\"no\"", AcmeRow, false},
                      GroupCase{"FalseTextSuppresses", u"\"FALSE\"", AcmeRow, false},
                      GroupCase{"ZeroMakes", u"0", AcmeRow, true},
                      GroupCase{"UndefinedNameMakes", u"UNDEFINED", AcmeRow, true},
                      GroupCase{"TextMakes", u"\"Yes\"", AcmeRow, true},
                      GroupCase{"TopLevelSetNumberIsTheCallers", u"{#SET} = 1", AcmeRow, true}),
    vb::test::CaseName{});

TEST_F(Groups, RecordNumberAtTheTopLevel) {
    EXPECT_TRUE(Made(QStringLiteral("{#REC} = 1"), AcmeRow, 1));
    EXPECT_FALSE(Made(QStringLiteral("{#REC} = 1"), AcmeRow, 2));
    EXPECT_TRUE(Made(QStringLiteral("{#REC} = 3"), AcmeRow, 3));
}

TEST_F(Groups, NestedLevelsGetRecordOneAndTheirParentsSet) {
    Grp(1, Ledger, 4, "OUTER");
    Grp(1, "OUTER", 6, "INNER", "{#REC} = 1 And {#SET} = 4");
    Det(1, {6, 1, "INNER", "V", "N", {}, {}, "NAME"});
    Det(1, {1, 1, Ledger, "OWN", "N", {}, "1", {}});
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<LEDGER/>")));
    engine.BuildTemplateElements(doc, doc.documentElement(), 1, Ledger, AcmeRow, 2, 1);
    EXPECT_EQ(doc.xml(),
              QStringLiteral("<LEDGER><OUTER><INNER><V>Acme Traders</V></INNER></OUTER></LEDGER>"));
}

TEST_F(Groups, OrderBySetNoAndDepthFirst) {
    Grp(1, Ledger, 9, "LAST");
    Grp(1, Ledger, 3, "FIRST");
    Grp(1, "FIRST", 4, "CHILD");
    Det(1, {4, 1, "CHILD", "V", "N", {}, "c", {}});
    Det(1, {9, 1, "LAST", "V", "N", {}, "l", {}});
    Det(1, {3, 1, "FIRST", "V", "N", {}, "f", {}});
    EXPECT_EQ(Expand(1, Ledger, AcmeRow),
              QStringLiteral(
                  "<LEDGER><FIRST><V>f</V><CHILD><V>c</V></CHILD></FIRST><LAST><V>l</V></LAST></LEDGER>"));
}

TEST_F(Groups, ConditionErrorEndsTheExpansion) {
    Grp(1, Ledger, 2, "G.LIST", "{#3} / 0");
    EXPECT_EQ(ExpandError(1, Ledger, AcmeRow), vb::err::DivisionByZero);
}

TEST_F(Groups, CycleInTheFormatIsAnErrorNotACrash) {
    Grp(1, Ledger, 2, "LOOP");
    Grp(1, "LOOP", 2, "LOOP");
    EXPECT_EQ(ExpandError(1, Ledger, AcmeRow), 28);
}

TEST_F(Groups, ExponentialFormatIsBounded) {
    // Each level holds two groups of the next name: 2^15 elements from fifteen levels.
    Grp(1, Ledger, 2, "L1");
    for (int level = 1; level < 15; ++level) {
        const QString parent = QStringLiteral("L%1").arg(level);
        const QString child = QStringLiteral("L%1").arg(level + 1);
        Grp(1, parent, 2, child);
        Grp(1, parent, 3, child);
    }
    EXPECT_EQ(ExpandError(1, Ledger, AcmeRow), vb::err::OutOfMemory);
}

} // namespace
} // namespace quibo::test
