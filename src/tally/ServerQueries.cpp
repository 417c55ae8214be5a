#include "tally/ServerQueries.h"

#include "tally/HttpTransport.h"
#include "tally/XmlDocument.h"

#include <initializer_list>

namespace quibo {

namespace {

// The server parses these texts as they are: the blanks around some equals signs, the missing blank
// before ISINITIALIZE in the company collection and the truncated collection name all stay.

QByteArray CrLfLines(std::initializer_list<const char*> lines) {
    QByteArray text;
    for (const char* line : lines)
        text.append(line).append("\r\n");
    return text;
}

QByteArray CompanyDetCollectionRequest() {
    return CrLfLines({"<ENVELOPE>",
                      "<HEADER>",
                      "<VERSION>1</VERSION>",
                      "<TALLYREQUEST>EXPORT</TALLYREQUEST>",
                      "<TYPE>COLLECTION</TYPE>",
                      "<ID>KZ Remote Company Det</ID>",
                      "</HEADER>",
                      "<BODY>",
                      "<DESC>",
                      "<STATICVARIABLES>",
                      "<SVEXPORTFORMAT>$$SysName:Xml</SVEXPORTFORMAT>",
                      "</STATICVARIABLES>",
                      "<TDL>",
                      "<TDLMESSAGE>",
                      "<COLLECTION NAME = \"KZ Remote Company Det\" ISINITIALIZE=\"Yes\">",
                      "<TYPE>Company</TYPE>",
                      "<NATIVEMETHOD>Name</NATIVEMETHOD>",
                      "</COLLECTION>",
                      "</TDLMESSAGE>",
                      "</TDL>",
                      "</DESC>",
                      "</BODY>",
                      "</ENVELOPE>"});
}

QByteArray ListOfCompaniesRequest() {
    return CrLfLines({"<ENVELOPE>", "<HEADER>", "<TALLYREQUEST>Export Data</TALLYREQUEST>", "</HEADER>",
                      "<BODY>", "<EXPORTDATA>", "<REQUESTDESC>", "<REPORTNAME>List of Companies</REPORTNAME>",
                      "<STATICVARIABLES>", "<SVEXPORTFORMAT> $$SysName:XML </SVEXPORTFORMAT>",
                      "</STATICVARIABLES>", "</REQUESTDESC>", "</EXPORTDATA>", "</BODY>", "</ENVELOPE>"});
}

QByteArray CompanyCollectionRequest() {
    return CrLfLines({"<ENVELOPE>",
                      "<HEADER>",
                      "<VERSION>1</VERSION>",
                      "<TALLYREQUEST>EXPORT</TALLYREQUEST>",
                      "<TYPE>COLLECTION</TYPE>",
                      "<ID>List of Compa</ID>",
                      "</HEADER>",
                      "<BODY>",
                      "<DESC>",
                      "<STATICVARIABLES>",
                      "<SVEXPORTFORMAT>$$SysName:XML</SVEXPORTFORMAT>",
                      "</STATICVARIABLES>",
                      "<TDL>",
                      "<TDLMESSAGE>",
                      "<COLLECTION NAME=\"List of Compa\"ISINITIALIZE=\"Yes\">",
                      "<TYPE>Company</TYPE>",
                      "<NATIVEMETHOD>Name</NATIVEMETHOD>",
                      "</COLLECTION>",
                      "<FETCHLIST>",
                      "<FETCH>Name</FETCH>",
                      "</FETCHLIST>",
                      "</TDLMESSAGE>",
                      "</TDL>",
                      "</DESC>",
                      "</BODY>",
                      "</ENVELOPE>"});
}

constexpr const char* DefinitionFlags =
    "ISMODIFY=\"No\" ISFIXED=\"No\" ISINITIALIZE=\"No\" ISOPTION=\"No\" ISINTERNAL=\"No\"";

struct SessionParameter {
    const char* object;
    const char* label;
    const char* formula;
};

// In the order the request defines them.
constexpr SessionParameter SessionParameters[] = {
    {"SVCurComp", "Current Company", "##SVCurrentCompany"},
    {"SVFrmDate", "From Date", "##SVFromDate"},
    {"SVToDate", "To Date", "##SVToDate"},
    {"SVCurDate", "Current Date", "##SVCurrentDate"},
    {"SVCurPath", "Current Path", "##SVCurrentPath"},
    {"SVTallyNetURL1", "Tally Connect URL 1", "##SVTallyNetTallyConnectURL"},
    {"SVTallyNetURL2", "Tally Connect URL 2", "##SVTallyNetTallyConnectURL2"},
    {"SVTallyNetPort1", "Tally Connect Port 1", "##SVTallyNetTallyConnectPort"},
    {"SVTallyNetPort2", "Tally Connect Port 2", "##SVTallyNetTallyConnectPort2"},
    {"INIExportPath", "INI Export Path", "$(AppINIConfig,\"AppINIConfig\").ExportPath"},
    {"INIServerPort", "INI Server Port", "$(AppINIConfig,\"AppINIConfig\").ServerPort"},
    {"CMPCompanyNumber", "CMP Company Number", "$CompanyNumber:Company:##SVCurrentCompany"},
    {"CMPIsAccountingOn", "CMP Is Accounting On", "$IsAccountingOn:Company:##SVCurrentCompany"},
    {"CMPIsInventoryOn", "CMP Is Inventory On", "$IsInventoryOn:Company:##SVCurrentCompany"},
    {"CMPStartingFrom", "CMP Starting From", "$StartingFrom:Company:##SVCurrentCompany"},
    {"CMPBooksFrom", "CMP Books From", "$BooksFrom:Company:##SVCurrentCompany"},
};

// One line after the envelope's start tag; everything else runs on without a break.
QByteArray DynamicCollReportRequest() {
    QByteArray t = "<ENVELOPE>\r\n";
    t += "<HEADER><VERSION>1</VERSION><TALLYREQUEST>Export</TALLYREQUEST><TYPE>Data</TYPE>"
         "<ID>DynamicCollReport</ID></HEADER>";
    t += "<BODY><DESC><STATICVARIABLES><SVEXPORTFORMAT>$$SysName:Xml</SVEXPORTFORMAT></STATICVARIABLES>"
         "<TDL><TDLMESSAGE>";

    const auto definition = [&t](const char* kind, const char* nameForm, const char* children) {
        t.append('<')
            .append(kind)
            .append(' ')
            .append(nameForm)
            .append(' ')
            .append(DefinitionFlags)
            .append('>');
        t.append(children).append("</").append(kind).append('>');
    };
    definition("REPORT", "NAME = \"DynamicCollReport\"", "<FORMS>DynamicCollReport</FORMS>");
    definition("FORM", "NAME = \"DynamicCollReport\"",
               "<TOPPARTS>PartDynamicCollReport</TOPPARTS><XMLTAG>\"ENVELOPE\"</XMLTAG>");
    definition("PART", "NAME = \"PartDynamicCollReport\"",
               "<TOPLINES>LineDynamicCollReport</TOPLINES>"
               "<REPEAT>LineDynamicCollReport:DynamicCollKZSVParams</REPEAT><SCROLLED>Vertical</SCROLLED>");
    definition("LINE", "NAME=\"LineDynamicCollReport\"",
               "<LEFTFIELDS>XRPTPRMNAM</LEFTFIELDS><LEFTFIELDS>XRPTPRMVAL</LEFTFIELDS>"
               "<XMLTAG>\"DYNAMICCOLLLINES\"</XMLTAG>");
    definition("FIELD", "NAME=\"XRPTPRMNAM\"", "<SET>$RPTPRMNAM</SET><XMLTAG>\"RPTPRMNAM\"</XMLTAG>");
    definition("FIELD", "NAME=\"XRPTPRMVAL\"", "<SET>$RPTPRMVAL</SET><XMLTAG>\"RPTPRMVAL\"</XMLTAG>");

    for (const SessionParameter& p : SessionParameters) {
        t.append("<OBJECT NAME=\"").append(p.object).append("\" ").append(DefinitionFlags).append('>');
        t.append("<LOCALFORMULA>RptPrmNam: \"").append(p.label).append("\"</LOCALFORMULA>");
        t.append("<LOCALFORMULA>RptPrmVal: ").append(p.formula).append("</LOCALFORMULA>");
        t.append("</OBJECT>");
    }

    t.append("<COLLECTION NAME=\"DynamicCollKZSVParams\" ").append(DefinitionFlags).append('>');
    t += "<OBJECT>SVCurComp,SVFrmDate,SVToDate,SVCurDate,SVCurPath,SVTallyNetURL1,SVTallyNetPort1,"
         "SVTallyNetURL2,SVTallyNetPort2</OBJECT>";
    t += "<OBJECT>CMPCompanyNumber,CMPStartingFrom,CMPBooksFrom,CMPIsAccountingOn,CMPIsInventoryOn</OBJECT>";
    t += "<OBJECT>INIExportPath,INIServerPort</OBJECT>";
    t += "<FETCH>RPTPRMNAM</FETCH><FETCH>RPTPRMVAL</FETCH></COLLECTION>";
    t += "</TDLMESSAGE></TDL></DESC></BODY></ENVELOPE>";
    return t;
}

const QStringList XmlPostHeaders{QStringLiteral("Content-Type: text/xml"),
                                 QStringLiteral("Connection: close")};

QStringList NoCompanyFound() {
    return {QStringLiteral("No Company Found."), QString()};
}

QStringList CompanyList(HttpTransport& transport, const QString& serverUrl, const QByteArray& request,
                        const QString& nameElement) {
    try {
        const HttpReply reply = transport.post(serverUrl, request, XmlPostHeaders);
        if (!reply.sent) return NoCompanyFound();
        const QString text = reply.text();
        XmlDocument doc;
        doc.loadXml(text); // a reply that is no XML finds no names below
        const std::vector<XmlNode> names = doc.elementsByName(nameElement);
        if (names.empty()) return {QString(), text};
        QStringList list;
        list.reserve(qsizetype(names.size()) + 1);
        for (XmlNode name : names)
            list << TextContent(name);
        list << QString(); // callers list every element but the last
        return list;
    } catch (...) {
        return NoCompanyFound();
    }
}

} // namespace

bool IsTallyRunning(HttpTransport& transport, const QString& serverUrl) {
    try {
        // Any answer counts, an error page included: the reply is not read.
        return transport.getWithBody(serverUrl, CompanyDetCollectionRequest()).sent;
    } catch (...) {
        return false;
    }
}

QString GetTallyServerBanner(HttpTransport& transport, const QString& serverUrl) {
    try {
        const HttpReply reply = transport.post(serverUrl, QByteArray(), XmlPostHeaders);
        if (!reply.sent) return {};
        XmlDocument doc;
        doc.loadXml(reply.text());
        if (XmlNode response = doc.firstElement(QStringLiteral("RESPONSE"))) return TextContent(response);
        return QStringLiteral("Tally ees 6.3 Server is Running.");
    } catch (...) {
        return {};
    }
}

QStringList GetCompanyListOld(HttpTransport& transport, const QString& serverUrl) {
    return CompanyList(transport, serverUrl, ListOfCompaniesRequest(), QStringLiteral("COMPANYNAME"));
}

QStringList GetCompanyList(HttpTransport& transport, const QString& serverUrl) {
    return CompanyList(transport, serverUrl, CompanyCollectionRequest(), QStringLiteral("NAME"));
}

void GetTallySessionInfo(HttpTransport& transport, const QString& serverUrl, QString& currentCompany) {
    currentCompany.clear();
    try {
        const HttpReply reply = transport.post(serverUrl, DynamicCollReportRequest(), XmlPostHeaders);
        if (!reply.sent) return;
        XmlDocument doc;
        doc.loadXml(reply.text());
        for (XmlNode line : doc.elementsByName(QStringLiteral("DYNAMICCOLLLINES"))) {
            // A line without its label and value children is a malformed reply: the reading ends
            // there, as any other failure of this query does.
            const XmlNode label = line.first_child();
            if (!label) return;
            if (TextContent(label) != QLatin1String("Current Company")) continue;
            const XmlNode value = label.next_sibling();
            if (!value) return;
            currentCompany = TextContent(value);
        }
    } catch (...) {
        // Ends quietly; `currentCompany` holds what had been read.
    }
}

QString GetCurrentCompany(HttpTransport& transport, const QString& serverUrl, QString& currentCompany) {
    GetTallySessionInfo(transport, serverUrl, currentCompany);
    return currentCompany;
}

} // namespace quibo
