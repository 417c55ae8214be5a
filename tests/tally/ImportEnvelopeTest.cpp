#include "tally/ImportEnvelope.h"

#include "tally/TallyTestSupport.h"
#include "tally/XmlBuilders.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

using test::ReportingTest;

const QString DataHead =
    QStringLiteral("<ENVELOPE><HEADER><TALLYREQUEST> Import Data </TALLYREQUEST></HEADER><BODY>"
                   "<IMPORTDATA><REQUESTDESC><REPORTNAME>All Masters</REPORTNAME>");
const QString DataTail = QStringLiteral("</REQUESTDESC><REQUESTDATA/></IMPORTDATA></BODY></ENVELOPE>");
const QString ImportHead =
    QStringLiteral("<ENVELOPE><HEADER><VERSION>1</VERSION><TALLYREQUEST>Import</TALLYREQUEST>"
                   "<TYPE>Data</TYPE><ID>All Masters</ID></HEADER><BODY><DESC><STATICVARIABLES>"
                   "<IMPORTDUPS>@@DUPCOMBINE</IMPORTDUPS>");
const QString ImportTail = QStringLiteral("</STATICVARIABLES></DESC><DATA/></BODY></ENVELOPE>");

struct CompanyCase {
    const char* name;
    QString company;
    QString companyElement; // serialized, "" when there is none
};

struct Envelopes : ReportingTest, ::testing::WithParamInterface<CompanyCase> {};

TEST_P(Envelopes, ImportDataEnvelope) {
    const auto doc = NewImportDataEnvelope(errors, GetParam().company);
    ASSERT_TRUE(doc);
    const QString variables = GetParam().companyElement.isEmpty()
                                  ? QStringLiteral("<STATICVARIABLES/>")
                                  : QStringLiteral("<STATICVARIABLES>") + GetParam().companyElement +
                                        QStringLiteral("</STATICVARIABLES>");
    EXPECT_EQ(doc->xml(), DataHead + variables + DataTail);
    EXPECT_EQ(doc->elementsByName(QStringLiteral("REQUESTDATA")).size(), 1u);
    EXPECT_TRUE(locations().isEmpty());
}

TEST_P(Envelopes, ImportEnvelope) {
    const auto doc = NewImportEnvelope(errors, GetParam().company);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->xml(), ImportHead + GetParam().companyElement + ImportTail);
    EXPECT_EQ(doc->elementsByName(QStringLiteral("DATA")).size(), 1u);
    EXPECT_TRUE(locations().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    ImportEnvelope, Envelopes,
    ::testing::Values(CompanyCase{"Named", QStringLiteral("Acme Traders"),
                                  QStringLiteral("<SVCURRENTCOMPANY>Acme Traders</SVCURRENTCOMPANY>")},
                      CompanyCase{"Empty", QString(), QString()},
                      CompanyCase{"Blanks", QStringLiteral("   "), QString()},
                      CompanyCase{"LeadingBlankKept", QStringLiteral(" Acme "),
                                  QStringLiteral("<SVCURRENTCOMPANY> Acme </SVCURRENTCOMPANY>")},
                      CompanyCase{"Ampersand", QStringLiteral("R&D"),
                                  QStringLiteral("<SVCURRENTCOMPANY>R&amp;D</SVCURRENTCOMPANY>")},
                      CompanyCase{"LessThanAndQuotes", QStringLiteral("<A> 'B' \"C\""),
                                  QStringLiteral("<SVCURRENTCOMPANY>&lt;A&gt; 'B' \"C\"</SVCURRENTCOMPANY>")},
                      CompanyCase{"LineBreak", QStringLiteral("Acme\r\nTraders"),
                                  QStringLiteral("<SVCURRENTCOMPANY>Acme\\nTraders</SVCURRENTCOMPANY>")},
                      CompanyCase{"TabIsNotBlank", QStringLiteral("\t"),
                                  QStringLiteral("<SVCURRENTCOMPANY>\\t</SVCURRENTCOMPANY>")},
                      CompanyCase{"SpecialValueReferenceKeptAsText", QStringLiteral("&#4; Any"),
                                  QStringLiteral("<SVCURRENTCOMPANY>&amp;#4; Any</SVCURRENTCOMPANY>")}),
    [](const auto& info) { return info.param.name; });

TEST_F(ReportingTest, CompanyTextsReachTheElementUnescaped) {
    const auto doc = NewImportDataEnvelope(errors, QStringLiteral(" R&D <Labs>\r\n"));
    ASSERT_TRUE(doc);
    EXPECT_EQ(TextContent(doc->firstElement(QStringLiteral("SVCURRENTCOMPANY"))),
              QStringLiteral(" R&D <Labs>\\n"));
}

TEST_F(ReportingTest, ACompanyWithAControlCharacterGivesADocumentWithoutContent) {
    for (const auto& doc : {NewImportDataEnvelope(errors, QStringLiteral("Acme\u0001")),
                            NewImportEnvelope(errors, QStringLiteral("Acme\u0001"))}) {
        ASSERT_TRUE(doc);
        EXPECT_TRUE(doc->isEmpty());
        EXPECT_FALSE(doc->firstElement(QStringLiteral("REQUESTDATA")));
        EXPECT_FALSE(doc->firstElement(QStringLiteral("DATA")));
    }
    EXPECT_TRUE(locations().isEmpty());
}

TEST_F(ReportingTest, TheCallerAppendsTheMessageUnderTheContainer) {
    auto doc = NewImportEnvelope(errors, QStringLiteral("Acme"));
    ASSERT_TRUE(doc);
    XmlNode message = AppendXmlElement(errors, *doc, doc->firstElement(QStringLiteral("DATA")),
                                       QStringLiteral("TALLYMESSAGE"), QString());
    SetXmlAttribute(errors, *doc, message, QStringLiteral("xmlns:UDF"), QStringLiteral("TallyUDF"));
    XmlNode group = AppendXmlElement(errors, *doc, message, QStringLiteral("GROUP"), QString());
    SetXmlAttribute(errors, *doc, group, QStringLiteral("NAME"), QStringLiteral("Debtors"));
    SetXmlAttribute(errors, *doc, group, QStringLiteral("ACTION"), QStringLiteral("Create"));
    EXPECT_EQ(doc->xml(),
              ImportHead +
                  QStringLiteral("<SVCURRENTCOMPANY>Acme</SVCURRENTCOMPANY></STATICVARIABLES></DESC>"
                                 "<DATA><TALLYMESSAGE xmlns:UDF=\"TallyUDF\"><GROUP NAME=\"Debtors\" "
                                 "ACTION=\"Create\"/></TALLYMESSAGE></DATA></BODY></ENVELOPE>"));
}

} // namespace
} // namespace quibo
