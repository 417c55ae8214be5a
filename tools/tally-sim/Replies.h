#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quibo::sim {

// What one import request did, as the server counts it.
struct ImportCounters {
    long created = 0;
    long altered = 0;
    long deleted = 0;
    long lastVoucherId = 0; // id of the last voucher created, 0 when none
    long lastMasterId = 0;  // id of the last master created or altered, 0 when none
    long combined = 0;
    long ignored = 0;
    long errors = 0;
    long cancelled = 0;
    long exceptions = 0;
};

// Every reply shape the simulated server sends, in one place. The program reduces
// replies by element names and texts, so these shapes are its contract:
//
// importData      the answer to a " Import Data " envelope, a bare RESPONSE:
//                   <RESPONSE>
//                    <LINEERROR>text</LINEERROR>      one per refused object, first
//                    <CREATED>n</CREATED> <ALTERED> <DELETED> <LASTVCHID> <LASTMID>
//                    <COMBINED> <IGNORED> <ERRORS> <CANCELLED> <EXCEPTIONS>
//                   </RESPONSE>
// importResult    the answer to an "Import" envelope (data under BODY/DATA):
//                   ENVELOPE/HEADER/VERSION "1" + STATUS "1",
//                   ENVELOPE/BODY/DESC (empty), ENVELOPE/BODY/DATA/IMPORTRESULT holding
//                   the LINEERROR elements and the same counters as above.
// banner          an empty request: <RESPONSE>banner text</RESPONSE>.
// bannerWithoutResponse
//                 the same from a server that does not wrap it: an ENVELOPE holding only
//                 HEADER/VERSION and HEADER/STATUS, and no RESPONSE anywhere.
// companyCollection
//                 a Company collection export: ENVELOPE/HEADER (VERSION 1, STATUS 1),
//                 BODY/DESC, BODY/DATA/COLLECTION with one
//                 <COMPANY NAME="n" RESERVEDNAME=""><NAME TYPE="String">n</NAME></COMPANY>
//                 per company; NAME elements appear nowhere else.
// companyListOld  the "List of Companies" report: ENVELOPE holding one COMPANYNAME element
//                 per company and nothing else.
// sessionLines    the DynamicCollReport: ENVELOPE holding, per parameter, a
//                 DYNAMICCOLLLINES element whose first child is RPTPRMNAM (the label) and
//                 second RPTPRMVAL (the value).
// objectFound     an OBJECT export that found its object: ENVELOPE/HEADER (VERSION 1,
//                 STATUS 1), BODY/DESC, BODY/DATA/TALLYMESSAGE xmlns:UDF="TallyUDF"/
//                 <KIND NAME="n" RESERVEDNAME=""><NAME.LIST TYPE="String"><NAME>...
//                 No ERRORMSG, LINEERROR, RESPONSE or IMPORTRESULT element.
// objectMissing   an OBJECT export that found nothing: ENVELOPE/HEADER (VERSION 1,
//                 STATUS 0), BODY/DESC, BODY/DATA/ERRORMSG holding the message.
// unknownRequest  anything else: <RESPONSE>Unknown Request, cannot be processed</RESPONSE>.
namespace replies {

std::string importData(const std::vector<std::string>& lineErrors, const ImportCounters& counters);
std::string importResult(const std::vector<std::string>& lineErrors, const ImportCounters& counters);
std::string banner(std::string_view text);
std::string bannerWithoutResponse();
std::string companyCollection(const std::vector<std::string>& companies);
std::string companyListOld(const std::vector<std::string>& companies);
std::string sessionLines(const std::vector<std::pair<std::string, std::string>>& lines);
std::string objectFound(std::string_view kind, std::string_view name, const std::vector<std::string>& names);
std::string objectMissing(std::string_view message);
std::string unknownRequest();

// Fault pages: what a broken server or a proxy in front of it sends.
std::string serverErrorPage();
std::string notXmlText();

} // namespace replies

} // namespace quibo::sim
