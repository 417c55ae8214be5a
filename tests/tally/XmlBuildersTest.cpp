#include "tally/XmlBuilders.h"

#include "tally/TallyTestSupport.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::ReportingTest;

struct EscapeCase {
    const char* name;
    QString text;
    QString escaped;
};

class EscapeXmlTable : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeXmlTable, Escapes) {
    EXPECT_EQ(EscapeXml(GetParam().text), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(
    XmlBuilders, EscapeXmlTable,
    ::testing::Values(
        EscapeCase{"PlainText", QStringLiteral("Acme Traders"), QStringLiteral("Acme Traders")},
        EscapeCase{"CrLf", QStringLiteral("a\r\nb"), QStringLiteral("a\\nb")},
        EscapeCase{"LoneCr", QStringLiteral("a\rb"), QStringLiteral("a\\rb")},
        EscapeCase{"CrBeforeCrLf", QStringLiteral("a\r\r\nb"), QStringLiteral("a\\r\\nb")},
        EscapeCase{"LoneLfStays", QStringLiteral("a\nb"), QStringLiteral("a\nb")},
        EscapeCase{"Tab", QStringLiteral("a\tb"), QStringLiteral("a\\tb")},
        EscapeCase{"Ampersand", QStringLiteral("Tom & Jerry"), QStringLiteral("Tom &amp; Jerry")},
        EscapeCase{"Apostrophe", QStringLiteral("Men's"), QStringLiteral("Men&apos;s")},
        EscapeCase{"Quote", QStringLiteral("5\" pipe"), QStringLiteral("5&quot; pipe")},
        EscapeCase{"GreaterThan", QStringLiteral("a>b"), QStringLiteral("a&gt;b")},
        EscapeCase{"LessThan", QStringLiteral("a<b"), QStringLiteral("a&lt;b")},
        EscapeCase{"EntityEscapedAgain", QStringLiteral("&lt;"), QStringLiteral("&amp;lt;")},
        EscapeCase{"AllBreaksAndTab", QStringLiteral("1\r\n2\r3\n4\t5"), QStringLiteral("1\\n2\\r3\n4\\t5")},
        EscapeCase{"Empty", QString(), QString()}),
    [](const auto& info) { return info.param.name; });

struct Builders : ReportingTest {
    XmlDocument doc;
    XmlNode root;
    void SetUp() override {
        ASSERT_TRUE(doc.loadXml(QStringLiteral("<ROOT/>")));
        root = doc.documentElement();
    }
};

TEST_F(Builders, AppendXmlElementWithValueSetsTheTextAndReturnsTheElement) {
    XmlNode element = AppendXmlElement(errors, doc, root, QStringLiteral("PARENT"),
                                       QStringLiteral("Sundry <Debtors> & Co"));
    ASSERT_TRUE(element);
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT><PARENT>Sundry &lt;Debtors&gt; &amp; Co</PARENT></ROOT>"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(Builders, AppendXmlElementWithEmptyValueAppendsAnEmptyElementUsableAsParent) {
    XmlNode list = AppendXmlElement(errors, doc, root, QStringLiteral("NAME.LIST"), QString());
    ASSERT_TRUE(list);
    AppendXmlElement(errors, doc, list, QStringLiteral("NAME"), QStringLiteral("Cash"));
    AppendXmlElement(errors, doc, root, QStringLiteral("EMPTY"), QString());
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT><NAME.LIST><NAME>Cash</NAME></NAME.LIST><EMPTY/></ROOT>"));
}

TEST_F(Builders, AppendXmlElementIfValueLeavesOutAnEmptyValueButNotABlank) {
    EXPECT_FALSE(AppendXmlElementIfValue(errors, doc, root, QStringLiteral("PARENT"), QString()));
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT/>"));

    XmlNode blank = AppendXmlElementIfValue(errors, doc, root, QStringLiteral("PARENT"), QStringLiteral(" "));
    ASSERT_TRUE(blank);
    EXPECT_EQ(TextContent(blank), QStringLiteral(" "));
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT><PARENT> </PARENT></ROOT>"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(Builders, SetXmlAttributeReplacesInPlaceAndAllowsEmptyValues) {
    XmlNode ledger = AppendXmlElement(errors, doc, root, QStringLiteral("LEDGER"), QString());
    SetXmlAttribute(errors, doc, ledger, QStringLiteral("NAME"), QStringLiteral("first"));
    SetXmlAttribute(errors, doc, ledger, QStringLiteral("ACTION"), QString());
    SetXmlAttribute(errors, doc, ledger, QStringLiteral("NAME"), QStringLiteral("R&D \"Lab\" <1>"));
    EXPECT_EQ(doc.xml(),
              QStringLiteral("<ROOT><LEDGER NAME=\"R&amp;D &quot;Lab&quot; &lt;1>\" ACTION=\"\"/></ROOT>"));
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(Builders, InvalidNamesAreReportedUnderEachOperationsCode) {
    for (const QString& name :
         {QStringLiteral("BILL DATE"), QString(), QStringLiteral("1ST"), QStringLiteral("A<B")}) {
        EXPECT_FALSE(AppendXmlElement(errors, doc, root, name, QString()));
        EXPECT_FALSE(AppendXmlElementIfValue(errors, doc, root, name, QStringLiteral("x")));
        SetXmlAttribute(errors, doc, root, name, QStringLiteral("x"));
    }
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT/>"));
    EXPECT_EQ(locations(),
              QStringList({"C02-0012", "C02-0013", "C02-0011", "C02-0012", "C02-0013", "C02-0011", "C02-0012",
                           "C02-0013", "C02-0011", "C02-0012", "C02-0013", "C02-0011"}));
    EXPECT_TRUE(errors.lastReport().startsWith(QStringLiteral("'A<B' is not a valid XML name. \r\n")));
}

TEST_F(Builders, AValueHoldingANulIsRefusedWholeNeverCutThere) {
    // Short ASCII, and a text beyond ASCII, which take the two ways into UTF-8.
    for (const QString& value : {QStringLiteral("Bad") + QChar(u'\0') + QStringLiteral("Name"),
                                 QStringLiteral("Caf\u00e9") + QChar(u'\0')}) {
        EXPECT_FALSE(AppendXmlElement(errors, doc, root, QStringLiteral("NAME"), value));
        EXPECT_FALSE(AppendXmlElementIfValue(errors, doc, root, "NAME", value));
        SetXmlAttribute(errors, doc, root, QStringLiteral("NAME"), value);
    }
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT/>"));
    EXPECT_EQ(locations(),
              QStringList({"C02-0012", "C02-0013", "C02-0011", "C02-0012", "C02-0013", "C02-0011"}));
    EXPECT_TRUE(errors.lastReport().startsWith(
        QStringLiteral("A text holding a NUL character cannot go into an import request. \r\n")));
}

TEST_F(Builders, NoParentOrAParentOfAnotherDocumentIsReported) {
    XmlDocument other;
    ASSERT_TRUE(other.loadXml(QStringLiteral("<OTHER/>")));
    EXPECT_FALSE(AppendXmlElement(errors, doc, XmlNode(), QStringLiteral("A"), QString()));
    EXPECT_FALSE(AppendXmlElementIfValue(errors, doc, other.documentElement(), QStringLiteral("A"),
                                         QStringLiteral("x")));
    SetXmlAttribute(errors, doc, XmlNode(), QStringLiteral("A"), QStringLiteral("x"));
    EXPECT_EQ(other.xml(), QStringLiteral("<OTHER/>"));
    EXPECT_EQ(locations(), QStringList({"C02-0012", "C02-0013", "C02-0011"}));
}

TEST_F(Builders, ASecondTopLevelElementIsRefused) {
    EXPECT_FALSE(AppendXmlElement(errors, doc, doc.node(), QStringLiteral("SECOND"), QString()));
    EXPECT_EQ(doc.xml(), QStringLiteral("<ROOT/>"));
    EXPECT_EQ(locations(), QStringList({"C02-0012"}));
}

struct FragmentCase {
    const char* name;
    QString fragment;
    QString result; // the target after the call
};

struct AppendXmlFragmentTable : ReportingTest, ::testing::WithParamInterface<FragmentCase> {};

TEST_P(AppendXmlFragmentTable, AppendsTheCopy) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")));
    AppendXmlFragment(errors, doc, doc.documentElement(), GetParam().fragment);
    EXPECT_EQ(doc.xml(), GetParam().result);
    EXPECT_TRUE(locations().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    XmlBuilders, AppendXmlFragmentTable,
    ::testing::Values(
        FragmentCase{
            "ContainerWithTwoLeaves",
            QStringLiteral(
                "<ADDRESS.LIST><ADDRESS>12 Main Road</ADDRESS><ADDRESS>Pune</ADDRESS></ADDRESS.LIST>"),
            QStringLiteral("<LEDGER><PARENT>Debtors</PARENT><ADDRESS.LIST><ADDRESS>12 Main Road</ADDRESS>"
                           "<ADDRESS>Pune</ADDRESS></ADDRESS.LIST></LEDGER>")},
        FragmentCase{"LoneLeafLosesItsText", QStringLiteral("<NARRATION>text</NARRATION>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT><NARRATION/></LEDGER>")},
        FragmentCase{
            "SecondLevelTakesAllTextBeforeItsChildren",
            QStringLiteral("<L1>root text<L2>two<L3>three<L4><L5><L6>six</L6></L5></L4></L3></L2></L1>"),
            QStringLiteral(
                "<LEDGER><PARENT>Debtors</PARENT><L1><L2>twothreesix<L3><L4><L5/></L4></L3></L2></L1>"
                "</LEDGER>")},
        FragmentCase{"AttributesCommentsAndTextNodesNotCopied",
                     QStringLiteral("<A K=\"v\"><!-- note --><B K=\"1\">x<C>y</C></B>z</A>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT><A><B>xy<C/></B></A></LEDGER>")},
        FragmentCase{"DeclarationPassedOver", QStringLiteral("<?xml version=\"1.0\"?><A><B>&#4; Any</B></A>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT><A><B>&#4; Any</B></A></LEDGER>")},
        FragmentCase{"NotWellFormed", QStringLiteral("<A><B>x</A>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")},
        FragmentCase{"BareAmpersand", QStringLiteral("<A><B>Tom & Jerry</B></A>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")},
        FragmentCase{"BareLessThan", QStringLiteral("<A><B>1 < 2</B></A>"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")},
        FragmentCase{"PlainText", QStringLiteral("Sundry Debtors"),
                     QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")},
        FragmentCase{"Empty", QString(), QStringLiteral("<LEDGER><PARENT>Debtors</PARENT></LEDGER>")}),
    [](const auto& info) { return info.param.name; });

TEST_F(Builders, AFragmentWithoutTargetIsReportedOnlyWhenItParses) {
    AppendXmlFragment(errors, doc, XmlNode(), QStringLiteral("<A>x & y</A>"));
    EXPECT_TRUE(locations().isEmpty());
    AppendXmlFragment(errors, doc, XmlNode(), QStringLiteral("<A><B>x</B></A>"));
    EXPECT_EQ(locations(), QStringList({"C02-0013"}));
}

struct IndentCase {
    const char* name;
    QString text;
    QString indented;
};

struct IndentXmlDocumentTable : ReportingTest, ::testing::WithParamInterface<IndentCase> {};

TEST_P(IndentXmlDocumentTable, Indents) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(GetParam().text));
    IndentXmlDocument(errors, doc);
    EXPECT_EQ(doc.xml(), GetParam().indented);
    EXPECT_TRUE(locations().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    XmlBuilders, IndentXmlDocumentTable,
    ::testing::Values(
        IndentCase{"RootWithTextOnly", QStringLiteral("<A>text</A>"), QStringLiteral("<A>text</A>")},
        IndentCase{"EmptyRoot", QStringLiteral("<A/>"), QStringLiteral("<A/>")},
        IndentCase{"EmptyAndTextOnlyChildrenStayOnOneLine", QStringLiteral("<A><B/><C>t</C></A>"),
                   QStringLiteral("<A>\r\n  <B/>\r\n  <C>t</C>\r\n</A>")},
        IndentCase{"NestedLevels", QStringLiteral("<A><B><C><D>x</D></C></B><E/></A>"),
                   QStringLiteral(
                       "<A>\r\n  <B>\r\n    <C>\r\n      <D>x</D>\r\n    </C>\r\n  </B>\r\n  <E/>\r\n</A>")},
        IndentCase{"CdataCountsAsText", QStringLiteral("<A><B><![CDATA[x]]></B></A>"),
                   QStringLiteral("<A>\r\n  <B><![CDATA[x]]></B>\r\n</A>")},
        IndentCase{"MixedContentTextLeftAlone", QStringLiteral("<A>x<B>y</B></A>"),
                   QStringLiteral("<A>\r\nx  <B>y</B>\r\n</A>")}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReportingTest, IndentingADocumentWithoutRootReportsTheMissingNode) {
    XmlDocument empty;
    IndentXmlDocument(errors, empty);
    EXPECT_EQ(locations(), QStringList({"C02-0003"}));
    EXPECT_TRUE(empty.isEmpty());
}

} // namespace
} // namespace quibo
