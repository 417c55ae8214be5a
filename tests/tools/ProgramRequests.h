#pragma once

// The request texts the program sends, character for character, so the tests talk
// to the simulator as the program does. Lines end in CR LF.

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::sim::test {

inline std::string crlfLines(std::initializer_list<std::string> lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

// "a|b c|d" → {"a", "b c", "d"}: lists written compactly in the tests.
inline std::vector<std::string> split(const std::string& text, char separator = '|') {
    std::vector<std::string> result;
    for (size_t from = 0; from <= text.size();) {
        const size_t end = std::min(text.find(separator, from), text.size());
        result.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return result;
}

// A Company collection export: the server check and the company list differ in the collection's
// name, the case of "Xml", the start tag and a FETCHLIST.
inline std::string companyCollectionRequest(std::string_view name, std::string_view exportFormat,
                                            std::string_view startTag, bool fetchName) {
    std::string text = crlfLines({"<ENVELOPE>", "<HEADER>", "<VERSION>1</VERSION>",
                                  "<TALLYREQUEST>EXPORT</TALLYREQUEST>", "<TYPE>COLLECTION</TYPE>"});
    text +=
        crlfLines({"<ID>" + std::string(name) + "</ID>", "</HEADER>", "<BODY>", "<DESC>", "<STATICVARIABLES>",
                   "<SVEXPORTFORMAT>$$SysName:" + std::string(exportFormat) + "</SVEXPORTFORMAT>",
                   "</STATICVARIABLES>", "<TDL>", "<TDLMESSAGE>", std::string(startTag),
                   "<TYPE>Company</TYPE>", "<NATIVEMETHOD>Name</NATIVEMETHOD>", "</COLLECTION>"});
    if (fetchName) text += crlfLines({"<FETCHLIST>", "<FETCH>Name</FETCH>", "</FETCHLIST>"});
    return text + crlfLines({"</TDLMESSAGE>", "</TDL>", "</DESC>", "</BODY>", "</ENVELOPE>"});
}

// The server check, sent as the body of a GET.
inline std::string serverCheckRequest() {
    return companyCollectionRequest("KZ Remote Company Det", "Xml",
                                    R"(<COLLECTION NAME = "KZ Remote Company Det" ISINITIALIZE="Yes">)",
                                    false);
}

// The company list; its collection tag lacks a blank before ISINITIALIZE.
inline std::string companyListRequest() {
    return companyCollectionRequest("List of Compa", "XML",
                                    R"(<COLLECTION NAME="List of Compa"ISINITIALIZE="Yes">)", true);
}

inline std::string companyListOldRequest() {
    return crlfLines({"<ENVELOPE>", "<HEADER>", "<TALLYREQUEST>Export Data</TALLYREQUEST>", "</HEADER>",
                      "<BODY>", "<EXPORTDATA>", "<REQUESTDESC>", "<REPORTNAME>List of Companies</REPORTNAME>",
                      "<STATICVARIABLES>", "<SVEXPORTFORMAT> $$SysName:XML </SVEXPORTFORMAT>",
                      "</STATICVARIABLES>", "</REQUESTDESC>", "</EXPORTDATA>", "</BODY>", "</ENVELOPE>"});
}

// The session-information request: one line after "<ENVELOPE>".
inline std::string sessionInfoRequest() {
    const std::string flags = R"(ISMODIFY="No" ISFIXED="No" ISINITIALIZE="No" ISOPTION="No" ISINTERNAL="No")";
    std::string text = "<ENVELOPE>\r\n";
    text += "<HEADER><VERSION>1</VERSION><TALLYREQUEST>Export</TALLYREQUEST><TYPE>Data</TYPE>"
            "<ID>DynamicCollReport</ID></HEADER>";
    text += "<BODY><DESC><STATICVARIABLES><SVEXPORTFORMAT>$$SysName:Xml</SVEXPORTFORMAT></STATICVARIABLES>"
            "<TDL><TDLMESSAGE>";
    text += R"(<REPORT NAME = "DynamicCollReport" )" + flags + "><FORMS>DynamicCollReport</FORMS></REPORT>";
    text += R"(<FORM NAME = "DynamicCollReport" )" + flags +
            R"(><TOPPARTS>PartDynamicCollReport</TOPPARTS><XMLTAG>"ENVELOPE"</XMLTAG></FORM>)";
    text +=
        R"(<PART NAME = "PartDynamicCollReport" )" + flags +
        "><TOPLINES>LineDynamicCollReport</TOPLINES>"
        "<REPEAT>LineDynamicCollReport:DynamicCollKZSVParams</REPEAT><SCROLLED>Vertical</SCROLLED></PART>";
    text += R"(<LINE NAME="LineDynamicCollReport" )" + flags +
            R"(><LEFTFIELDS>XRPTPRMNAM</LEFTFIELDS><LEFTFIELDS>XRPTPRMVAL</LEFTFIELDS>)"
            R"(<XMLTAG>"DYNAMICCOLLLINES"</XMLTAG></LINE>)";
    text += R"(<FIELD NAME="XRPTPRMNAM" )" + flags +
            R"(><SET>$RPTPRMNAM</SET><XMLTAG>"RPTPRMNAM"</XMLTAG></FIELD>)";
    text += R"(<FIELD NAME="XRPTPRMVAL" )" + flags +
            R"(><SET>$RPTPRMVAL</SET><XMLTAG>"RPTPRMVAL"</XMLTAG></FIELD>)";
    const std::pair<const char*, const char*> objects[] = {
        {"SVCurComp", R"("Current Company"|##SVCurrentCompany)"},
        {"SVFrmDate", R"("From Date"|##SVFromDate)"},
        {"SVToDate", R"("To Date"|##SVToDate)"},
        {"SVCurDate", R"("Current Date"|##SVCurrentDate)"},
        {"SVCurPath", R"("Current Path"|##SVCurrentPath)"},
        {"SVTallyNetURL1", R"("Tally Connect URL 1"|##SVTallyNetTallyConnectURL)"},
        {"SVTallyNetURL2", R"("Tally Connect URL 2"|##SVTallyNetTallyConnectURL2)"},
        {"SVTallyNetPort1", R"("Tally Connect Port 1"|##SVTallyNetTallyConnectPort)"},
        {"SVTallyNetPort2", R"("Tally Connect Port 2"|##SVTallyNetTallyConnectPort2)"},
        {"INIExportPath", R"("INI Export Path"|$(AppINIConfig,"AppINIConfig").ExportPath)"},
        {"INIServerPort", R"("INI Server Port"|$(AppINIConfig,"AppINIConfig").ServerPort)"},
        {"CMPCompanyNumber", R"("CMP Company Number"|$CompanyNumber:Company:##SVCurrentCompany)"},
        {"CMPIsAccountingOn", R"("CMP Is Accounting On"|$IsAccountingOn:Company:##SVCurrentCompany)"},
        {"CMPIsInventoryOn", R"("CMP Is Inventory On"|$IsInventoryOn:Company:##SVCurrentCompany)"},
        {"CMPStartingFrom", R"("CMP Starting From"|$StartingFrom:Company:##SVCurrentCompany)"},
        {"CMPBooksFrom", R"("CMP Books From"|$BooksFrom:Company:##SVCurrentCompany)"},
    };
    for (const auto& [name, labelAndFormula] : objects) {
        const std::string both = labelAndFormula;
        const auto bar = both.find('|');
        text += std::string("<OBJECT NAME=\"") + name + "\" " + flags + ">";
        text += "<LOCALFORMULA>RptPrmNam: " + both.substr(0, bar) + "</LOCALFORMULA>";
        text += "<LOCALFORMULA>RptPrmVal: " + both.substr(bar + 1) + "</LOCALFORMULA></OBJECT>";
    }
    text += R"(<COLLECTION NAME="DynamicCollKZSVParams" )" + flags + ">";
    text += "<OBJECT>SVCurComp,SVFrmDate,SVToDate,SVCurDate,SVCurPath,SVTallyNetURL1,SVTallyNetPort1,"
            "SVTallyNetURL2,SVTallyNetPort2</OBJECT>";
    text +=
        "<OBJECT>CMPCompanyNumber,CMPStartingFrom,CMPBooksFrom,CMPIsAccountingOn,CMPIsInventoryOn</OBJECT>";
    text += "<OBJECT>INIExportPath,INIServerPort</OBJECT><FETCH>RPTPRMNAM</FETCH><FETCH>RPTPRMVAL</FETCH>"
            "</COLLECTION>";
    text += "</TDLMESSAGE></TDL></DESC></BODY></ENVELOPE>";
    return text;
}

// The object-exists request, type and name already escaped: CR LF before every line.
inline std::string objectExistsRequest(std::string_view type, std::string_view name) {
    const std::string lines[] = {"<ENVELOPE>",
                                 "<HEADER>",
                                 "<VERSION>1</VERSION>",
                                 "<TALLYREQUEST>EXPORT</TALLYREQUEST>",
                                 "<TYPE>OBJECT</TYPE>",
                                 "<SUBTYPE>" + std::string(type) + "</SUBTYPE>",
                                 "<ID TYPE=\"Name\">" + std::string(name) + "</ID>",
                                 "</HEADER>",
                                 "<BODY>",
                                 "<DESC>",
                                 "<STATICVARIABLES>",
                                 "<SVEXPORTFORMAT>$$SysName:XML</SVEXPORTFORMAT>",
                                 "</STATICVARIABLES>",
                                 "<FETCHLIST>",
                                 "<FETCH>Name</FETCH>",
                                 "</FETCHLIST>",
                                 "</DESC>",
                                 "</BODY>",
                                 "</ENVELOPE>"};
    std::string text;
    for (const auto& line : lines)
        text += "\r\n" + line;
    return text;
}

// An " Import Data " envelope carrying one TALLYMESSAGE with the given object
// elements, indented as the program sends it. An empty company leaves out
// SVCURRENTCOMPANY.
inline std::string importDataRequest(std::string_view company, std::string_view objects) {
    std::string text = "<ENVELOPE>\r\n  <HEADER>\r\n    <TALLYREQUEST> Import Data </TALLYREQUEST>\r\n"
                       "  </HEADER>\r\n  <BODY>\r\n    <IMPORTDATA>\r\n      <REQUESTDESC>\r\n"
                       "        <REPORTNAME>All Masters</REPORTNAME>\r\n        <STATICVARIABLES>\r\n";
    if (!company.empty())
        text += "          <SVCURRENTCOMPANY>" + std::string(company) + "</SVCURRENTCOMPANY>\r\n";
    text += "        </STATICVARIABLES>\r\n      </REQUESTDESC>\r\n      <REQUESTDATA>\r\n"
            "        <TALLYMESSAGE xmlns:UDF=\"TallyUDF\">\r\n";
    text += objects;
    text += "\r\n        </TALLYMESSAGE>\r\n      </REQUESTDATA>\r\n    </IMPORTDATA>\r\n  </BODY>\r\n"
            "</ENVELOPE>";
    return text;
}

// The "Import" envelope (data under BODY/DATA) with "@@DUPCOMBINE".
inline std::string importRequest(std::string_view company, std::string_view objects) {
    std::string text = "<ENVELOPE>\r\n  <HEADER>\r\n    <VERSION>1</VERSION>\r\n"
                       "    <TALLYREQUEST>Import</TALLYREQUEST>\r\n    <TYPE>Data</TYPE>\r\n"
                       "    <ID>All Masters</ID>\r\n  </HEADER>\r\n  <BODY>\r\n    <DESC>\r\n"
                       "      <STATICVARIABLES>\r\n        <IMPORTDUPS>@@DUPCOMBINE</IMPORTDUPS>\r\n";
    if (!company.empty())
        text += "        <SVCURRENTCOMPANY>" + std::string(company) + "</SVCURRENTCOMPANY>\r\n";
    text += "      </STATICVARIABLES>\r\n    </DESC>\r\n    <DATA>\r\n"
            "      <TALLYMESSAGE xmlns:UDF=\"TallyUDF\">\r\n";
    text += objects;
    text += "\r\n      </TALLYMESSAGE>\r\n    </DATA>\r\n  </BODY>\r\n</ENVELOPE>";
    return text;
}

// One master element as the senders build it: NAME and ACTION, the values, NAME.LIST.
inline std::string master(std::string_view kind, std::string_view name, std::string_view values = {},
                          std::string_view action = "Create") {
    std::string text = "<" + std::string(kind) + " NAME=\"" + std::string(name) + "\" ACTION=\"" +
                       std::string(action) + "\">" + std::string(values);
    if (!name.empty())
        text += "<NAME.LIST><NAME>" + std::string(name) + "</NAME></NAME.LIST>";
    else
        text += "<NAME.LIST></NAME.LIST>";
    return text + "</" + std::string(kind) + ">";
}

} // namespace quibo::sim::test
