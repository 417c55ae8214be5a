#include "tally-sim/Replies.h"

#include "tally-sim/XmlText.h"

#include <pugixml.hpp>

#include <array>
#include <utility>

namespace quibo::sim::replies {

namespace {

void appendText(pugi::xml_node parent, const char* name, std::string_view text) {
    parent.append_child(name).text().set(std::string(text).c_str());
}

// The counters in the order the server writes them.
std::array<std::pair<const char*, long>, 10> counterValues(const ImportCounters& counters) {
    return {{
        {"CREATED", counters.created},
        {"ALTERED", counters.altered},
        {"DELETED", counters.deleted},
        {"LASTVCHID", counters.lastVoucherId},
        {"LASTMID", counters.lastMasterId},
        {"COMBINED", counters.combined},
        {"IGNORED", counters.ignored},
        {"ERRORS", counters.errors},
        {"CANCELLED", counters.cancelled},
        {"EXCEPTIONS", counters.exceptions},
    }};
}

void appendCounters(pugi::xml_node parent, const std::vector<std::string>& lineErrors,
                    const ImportCounters& counters) {
    for (const auto& error : lineErrors)
        appendText(parent, "LINEERROR", error);
    for (const auto& [name, value] : counterValues(counters))
        appendText(parent, name, std::to_string(value));
}

void appendHeader(pugi::xml_node envelope, std::string_view status) {
    auto header = envelope.append_child("HEADER");
    appendText(header, "VERSION", "1");
    appendText(header, "STATUS", status);
}

// ENVELOPE/HEADER + BODY/DESC + BODY/DATA; returns DATA.
pugi::xml_node appendDataEnvelope(pugi::xml_document& document, std::string_view status) {
    auto envelope = document.append_child("ENVELOPE");
    appendHeader(envelope, status);
    auto body = envelope.append_child("BODY");
    body.append_child("DESC");
    return body.append_child("DATA");
}

std::string singleResponse(std::string_view text) {
    pugi::xml_document document;
    appendText(document, "RESPONSE", text);
    return XmlText::reply(document);
}

} // namespace

std::string importData(const std::vector<std::string>& lineErrors, const ImportCounters& counters) {
    // The answer to nearly every import: counters only, which need no escaping; written as the
    // document below writes it.
    if (lineErrors.empty()) {
        std::string text = "<RESPONSE>\r\n";
        for (const auto& [name, value] : counterValues(counters)) {
            text += " <";
            text += name;
            text += '>';
            text += std::to_string(value);
            text += "</";
            text += name;
            text += ">\r\n";
        }
        text += "</RESPONSE>\r\n";
        return text;
    }
    pugi::xml_document document;
    appendCounters(document.append_child("RESPONSE"), lineErrors, counters);
    return XmlText::reply(document);
}

std::string importResult(const std::vector<std::string>& lineErrors, const ImportCounters& counters) {
    pugi::xml_document document;
    auto data = appendDataEnvelope(document, "1");
    appendCounters(data.append_child("IMPORTRESULT"), lineErrors, counters);
    return XmlText::reply(document);
}

std::string banner(std::string_view text) {
    return singleResponse(text);
}

std::string bannerWithoutResponse() {
    pugi::xml_document document;
    appendHeader(document.append_child("ENVELOPE"), "1");
    return XmlText::reply(document);
}

std::string companyCollection(const std::vector<std::string>& companies) {
    pugi::xml_document document;
    auto collection = appendDataEnvelope(document, "1").append_child("COLLECTION");
    for (const auto& name : companies) {
        auto company = collection.append_child("COMPANY");
        company.append_attribute("NAME").set_value(name.c_str());
        company.append_attribute("RESERVEDNAME").set_value("");
        auto nameElement = company.append_child("NAME");
        nameElement.append_attribute("TYPE").set_value("String");
        nameElement.text().set(name.c_str());
    }
    return XmlText::reply(document);
}

std::string companyListOld(const std::vector<std::string>& companies) {
    pugi::xml_document document;
    auto envelope = document.append_child("ENVELOPE");
    for (const auto& name : companies)
        appendText(envelope, "COMPANYNAME", name);
    return XmlText::reply(document);
}

std::string sessionLines(const std::vector<std::pair<std::string, std::string>>& lines) {
    pugi::xml_document document;
    auto envelope = document.append_child("ENVELOPE");
    for (const auto& [label, value] : lines) {
        auto line = envelope.append_child("DYNAMICCOLLLINES");
        appendText(line, "RPTPRMNAM", label);
        appendText(line, "RPTPRMVAL", value);
    }
    return XmlText::reply(document);
}

std::string objectFound(std::string_view kind, std::string_view name, const std::vector<std::string>& names) {
    pugi::xml_document document;
    auto message = appendDataEnvelope(document, "1").append_child("TALLYMESSAGE");
    message.append_attribute("xmlns:UDF").set_value("TallyUDF");
    auto object = message.append_child(std::string(kind).c_str());
    object.append_attribute("NAME").set_value(std::string(name).c_str());
    object.append_attribute("RESERVEDNAME").set_value("");
    auto list = object.append_child("NAME.LIST");
    list.append_attribute("TYPE").set_value("String");
    for (const auto& each : names)
        appendText(list, "NAME", each);
    return XmlText::reply(document);
}

std::string objectMissing(std::string_view message) {
    pugi::xml_document document;
    appendText(appendDataEnvelope(document, "0"), "ERRORMSG", message);
    return XmlText::reply(document);
}

std::string unknownRequest() {
    return singleResponse("Unknown Request, cannot be processed");
}

std::string serverErrorPage() {
    // Not well-formed XML, like the pages proxies and web servers send.
    return "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>500 Internal Server Error</title>"
           "</head>\r\n<body><h1>Internal Server Error</h1><p>The server could not complete the request.<br>"
           "</p></body></html>\r\n";
}

std::string notXmlText() {
    return "Tally is busy. The request could not be processed now.\r\n";
}

} // namespace quibo::sim::replies
