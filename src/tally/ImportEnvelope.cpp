#include "tally/ImportEnvelope.h"

#include "base/Trap.h"
#include "tally/XmlBuilders.h"

#include <initializer_list>

namespace quibo {

namespace {

// The trim of the company removes blanks only: a company of tabs still gets its element.
bool IsBlank(const QString& text) {
    for (QChar c : text)
        if (c != u' ') return false;
    return true;
}

QString CompanyLine(const QString& company) {
    if (IsBlank(company)) return {};
    return QLatin1String("<SVCURRENTCOMPANY>") + EscapeXml(company) +
           QLatin1String("</SVCURRENTCOMPANY>\r\n");
}

QString Lines(std::initializer_list<const char*> lines) {
    QString text;
    for (const char* line : lines)
        text += QLatin1String(line) + QLatin1String("\r\n");
    return text;
}

std::optional<XmlDocument> LoadEnvelope(ErrorReporter& errors, const char* location, const QString& text) {
    std::optional<XmlDocument> result;
    Trap(errors, location, [&] {
        XmlDocument doc;
        doc.loadXml(text); // text that does not parse leaves the document empty, as callers expect
        result = std::move(doc);
    });
    return result;
}

} // namespace

std::optional<XmlDocument> NewImportDataEnvelope(ErrorReporter& errors, const QString& company) {
    const QString text = Lines({"<ENVELOPE>", "<HEADER>", "<TALLYREQUEST> Import Data </TALLYREQUEST>",
                                "</HEADER>", "<BODY>", "<IMPORTDATA>", "<REQUESTDESC>",
                                "<REPORTNAME>All Masters</REPORTNAME>", "<STATICVARIABLES>"}) +
                         CompanyLine(company) +
                         Lines({"</STATICVARIABLES>", "</REQUESTDESC>", "<REQUESTDATA>", "</REQUESTDATA>",
                                "</IMPORTDATA>", "</BODY>", "</ENVELOPE>"});
    return LoadEnvelope(errors, "C02-0004", text);
}

std::optional<XmlDocument> NewImportEnvelope(ErrorReporter& errors, const QString& company) {
    const QString text =
        Lines({"<ENVELOPE>", "<HEADER>", "<VERSION>1</VERSION>", "<TALLYREQUEST>Import</TALLYREQUEST>",
               "<TYPE>Data</TYPE>", "<ID>All Masters</ID>", "</HEADER>", "<BODY>", "<DESC>",
               "<STATICVARIABLES>"}) +
        QLatin1String("<IMPORTDUPS>@@DUPCOMBINE</IMPORTDUPS>") + CompanyLine(company) +
        Lines({"</STATICVARIABLES>", "</DESC>", "<DATA>", "</DATA>", "</BODY>", "</ENVELOPE>"});
    return LoadEnvelope(errors, "C02-0004A", text);
}

} // namespace quibo
