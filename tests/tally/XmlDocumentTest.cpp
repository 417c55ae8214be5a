#include "tally/XmlDocument.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace quibo {
namespace {

struct LoadCase {
    const char* name;
    QString text;
};

class RefusedText : public ::testing::TestWithParam<LoadCase> {};

TEST_P(RefusedText, LeavesTheDocumentEmpty) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<OLD>content</OLD>")));
    EXPECT_FALSE(doc.loadXml(GetParam().text));
    EXPECT_TRUE(doc.isEmpty());
    EXPECT_FALSE(doc.documentElement());
    EXPECT_EQ(doc.xml(), QString());
}

INSTANTIATE_TEST_SUITE_P(
    XmlDocument, RefusedText,
    ::testing::Values(LoadCase{"Empty", QString()}, LoadCase{"PlainText", QStringLiteral("Server is busy")},
                      LoadCase{"BareAmpersand", QStringLiteral("<A>Tom & Jerry</A>")},
                      LoadCase{"UnknownEntity", QStringLiteral("<A>&nbsp;</A>")},
                      LoadCase{"ReferenceToNul", QStringLiteral("<A>&#0;</A>")},
                      LoadCase{"BareLessThan", QStringLiteral("<A>1 < 2</A>")},
                      LoadCase{"LessThanInAttribute", QStringLiteral("<A B=\"<\"/>")},
                      LoadCase{"BareAmpersandInAttribute", QStringLiteral("<A B=\"x & y\"/>")},
                      LoadCase{"ControlCharacterInText", QStringLiteral("<A>Acme\u0004Ltd</A>")},
                      LoadCase{"ControlCharacterInAttribute", QStringLiteral("<A B=\"\u0001\"/>")},
                      LoadCase{"TwoRootElements", QStringLiteral("<A/><B/>")},
                      LoadCase{"TextAfterRoot", QStringLiteral("<A/>junk")},
                      LoadCase{"TextBeforeRoot", QStringLiteral("junk<A/>")},
                      LoadCase{"CdataOutsideRoot", QStringLiteral("<![CDATA[x]]><A/>")},
                      LoadCase{"UnclosedElement", QStringLiteral("<A><B>x</B>")},
                      LoadCase{"MismatchedEndTag", QStringLiteral("<A><B></A></B>")},
                      LoadCase{"AttributeWithoutValue", QStringLiteral("<A B>x</A>")}),
    [](const auto& info) { return info.param.name; });

struct RoundTrip {
    const char* name;
    QString text;
    QString serialized;
};

class AcceptedText : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(AcceptedText, SerializesAsExpected) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(GetParam().text));
    EXPECT_EQ(doc.xml(), GetParam().serialized);
    EXPECT_EQ(doc.xmlUtf8(), GetParam().serialized.toUtf8());
}

INSTANTIATE_TEST_SUITE_P(
    XmlDocument, AcceptedText,
    ::testing::Values(
        RoundTrip{"SpecialValueReference", QStringLiteral("<A>&#4; Not Applicable</A>"),
                  QStringLiteral("<A>&#4; Not Applicable</A>")},
        RoundTrip{"SpecialValueReferenceInAttribute", QStringLiteral("<A B=\"&#4; Any\"/>"),
                  QStringLiteral("<A B=\"&#4; Any\"/>")},
        RoundTrip{"HexReferenceToControlCharacter", QStringLiteral("<A>&#x4;&#x1f;</A>"),
                  QStringLiteral("<A>&#4;&#31;</A>")},
        RoundTrip{"PredefinedEntities", QStringLiteral("<A B='&apos;&quot;'>&lt;&gt;&amp;&apos;&quot;</A>"),
                  QStringLiteral("<A B=\"'&quot;\">&lt;&gt;&amp;'\"</A>")},
        RoundTrip{"DeclarationAndCommentsDropped",
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><!-- made by hand --><A>x</A>"),
                  QStringLiteral("<A>x</A>")},
        RoundTrip{"WhitespaceBetweenElementsDropped",
                  QStringLiteral("<A>\r\n  <B> Import Data </B>\r\n  <C>\r\n</C>\r\n</A>\r\n"),
                  QStringLiteral("<A><B> Import Data </B><C/></A>")},
        RoundTrip{"GreaterThanInTextAllowed", QStringLiteral("<A>a > b</A>"),
                  QStringLiteral("<A>a &gt; b</A>")},
        RoundTrip{"CdataKept", QStringLiteral("<A><![CDATA[a & b < c]]></A>"),
                  QStringLiteral("<A><![CDATA[a & b < c]]></A>")},
        RoundTrip{"NonAsciiText", QStringLiteral("<A>Café ₹</A>"), QStringLiteral("<A>Café ₹</A>")}),
    [](const auto& info) { return info.param.name; });

TEST(XmlDocument, ElementsByNameInDocumentOrderAndCaseSensitive) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(
        QStringLiteral("<R><DATA n='1'><DATA n='2'/></DATA><data n='x'/><X><DATA n='3'/></X></R>")));
    QStringList found;
    for (XmlNode n : doc.elementsByName(QStringLiteral("DATA")))
        found << QString::fromUtf8(n.attribute("n").value());
    EXPECT_EQ(found, QStringList({"1", "2", "3"}));
    EXPECT_EQ(QString::fromUtf8(doc.firstElement(QStringLiteral("DATA")).attribute("n").value()),
              QStringLiteral("1"));
    EXPECT_FALSE(doc.firstElement(QStringLiteral("NONE")));
}

TEST(XmlDocument, TextContentJoinsDescendantTextsAndCdata) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<A>one<B> two<C>three</C></B><![CDATA[<four>]]></A>")));
    EXPECT_EQ(TextContent(doc.documentElement()), QStringLiteral("one twothree<four>"));
}

TEST(XmlDocument, LocalNameDropsThePrefix) {
    XmlDocument doc;
    ASSERT_TRUE(doc.loadXml(QStringLiteral("<UDF:VALUE/>")));
    EXPECT_EQ(NodeName(doc.documentElement()), QStringLiteral("UDF:VALUE"));
    EXPECT_EQ(LocalName(doc.documentElement()), QStringLiteral("VALUE"));
}

TEST(XmlDocument, XmlNameRules) {
    for (const char* valid :
         {"LEDGER", "NAME.LIST", "UDF:PELTRAXONBASEPRC", "xmlns:UDF", "_x", "A-1", "Ärger", "名前"})
        EXPECT_TRUE(IsXmlName(QString::fromUtf8(valid))) << valid;
    for (const char* invalid :
         {"", "LEDGER NAME", "1ST", "-A", ".A", "A<B", "A&B", "A/B", "A\"", "A=B", "A\tB"})
        EXPECT_FALSE(IsXmlName(QString::fromUtf8(invalid))) << invalid;
}

} // namespace
} // namespace quibo
