#include "tally-sim/RequestHandler.h"

#include "tally-sim/Names.h"
#include "tally-sim/Replies.h"
#include "tally-sim/Simulator.h"
#include "tally-sim/XmlText.h"

#include <array>

namespace quibo::sim {

namespace {

constexpr long FirstCompanyNumber = 10000;
const std::string NoCompanyOpen = "No Company is open!";
const std::string BooksFrom = "1-Apr-2024";

std::string_view text(const pugi::xml_node& parent, const char* name) {
    return trimmed(XmlText::childText(parent, name));
}

// "RptPrmNam: \"Current Company\"" → "Current Company"; "RptPrmVal: ##X" → "##X".
std::string formulaValue(std::string_view formula, std::string_view prefix) {
    auto rest = trimmed(formula.substr(prefix.size()));
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
    return std::string(rest);
}

bool startsWithAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsAscii(text.substr(0, prefix.size()), prefix);
}

} // namespace

RequestHandler::RequestHandler(const Options& options)
    : m_oldCompanyList(options.oldCompanyList), m_bannerWithoutResponse(options.bannerWithoutResponse),
      m_banner(options.banner) {
    for (const auto& name : options.companies) {
        if (company(name) == nullptr)
            m_companies.push_back(std::make_unique<CompanyStore>(
                name, FirstCompanyNumber + static_cast<long>(m_companies.size())));
    }
    // The open company is a loaded company: naming one that is not listed loads it too.
    if (!options.current.empty() && company(options.current) == nullptr)
        m_companies.push_back(std::make_unique<CompanyStore>(
            options.current, FirstCompanyNumber + static_cast<long>(m_companies.size())));
    m_current = options.current.empty() ? (m_companies.empty() ? nullptr : m_companies.front().get())
                                        : company(options.current);
}

CompanyStore* RequestHandler::company(std::string_view name) const {
    const auto folded = foldName(name);
    for (const auto& each : m_companies) {
        if (foldName(each->name()) == folded) return each.get();
    }
    return nullptr;
}

CompanyStore* RequestHandler::companyFor(const pugi::xml_node& staticVariables, std::string& error) const {
    const std::string_view named = staticVariables.child("SVCURRENTCOMPANY").child_value();
    if (trimmed(named).empty()) {
        if (m_current == nullptr) error = NoCompanyOpen;
        return m_current;
    }
    CompanyStore* found = company(named);
    if (found == nullptr) error = "Could not set 'SVCurrentCompany' to '" + std::string(named) + "'";
    return found;
}

std::vector<std::string> RequestHandler::companyNames() const {
    std::vector<std::string> names;
    for (const auto& each : m_companies)
        names.push_back(each->name());
    return names;
}

std::string RequestHandler::handle(std::string_view body) {
    if (trimmed(body).empty())
        return m_bannerWithoutResponse ? replies::bannerWithoutResponse() : replies::banner(m_banner);
    pugi::xml_document document;
    if (!XmlText::parse(body, document)) return replies::unknownRequest();
    const auto envelope = document.child("ENVELOPE");
    const auto header = envelope.child("HEADER");
    const auto request = text(header, "TALLYREQUEST");
    const auto type = text(header, "TYPE");

    if (equalsAscii(request, "Import Data")) {
        const auto importData = envelope.child("BODY").child("IMPORTDATA");
        return importRequest(importData.child("REQUESTDESC").child("STATICVARIABLES"),
                             importData.child("REQUESTDATA"), false);
    }
    if (equalsAscii(request, "Import") && equalsAscii(type, "Data")) {
        const auto body = envelope.child("BODY");
        return importRequest(body.child("DESC").child("STATICVARIABLES"), body.child("DATA"), true);
    }
    if (equalsAscii(request, "Export Data")) return companyListOld(envelope);
    if (equalsAscii(request, "Export")) {
        if (equalsAscii(type, "COLLECTION")) return companyCollection(envelope);
        if (equalsAscii(type, "OBJECT")) return objectQuery(envelope);
        if (equalsAscii(type, "Data")) return sessionInfo(envelope);
    }
    return replies::unknownRequest();
}

std::string RequestHandler::importRequest(const pugi::xml_node& staticVariables, const pugi::xml_node& data,
                                          bool importResultShape) {
    ImportCounters counters;
    std::vector<std::string> lineErrors;
    auto answer = [&] {
        return importResultShape ? replies::importResult(lineErrors, counters)
                                 : replies::importData(lineErrors, counters);
    };

    std::string error;
    CompanyStore* target = companyFor(staticVariables, error);
    if (target == nullptr) {
        lineErrors.push_back(error);
        counters.errors = 1;
        return answer();
    }

    const bool combine = equalsAscii(text(staticVariables, "IMPORTDUPS"), "@@DUPCOMBINE");
    for (auto message = data.child("TALLYMESSAGE"); message; message = message.next_sibling("TALLYMESSAGE")) {
        for (const auto& object : message.children()) {
            if (object.type() != pugi::node_element) continue;
            const auto outcome = target->importObject(object, combine);
            switch (outcome.effect) {
            case ObjectOutcome::Effect::Created:
                ++counters.created;
                break;
            case ObjectOutcome::Effect::Altered:
                ++counters.altered;
                break;
            case ObjectOutcome::Effect::Combined:
                ++counters.combined;
                break;
            case ObjectOutcome::Effect::Refused:
                ++counters.errors;
                lineErrors.push_back(outcome.error);
                continue;
            }
            if (outcome.masterId != 0) counters.lastMasterId = outcome.masterId;
            if (outcome.voucherId != 0) counters.lastVoucherId = outcome.voucherId;
        }
    }
    return answer();
}

std::string RequestHandler::companyCollection(const pugi::xml_node& envelope) const {
    if (m_oldCompanyList) return replies::unknownRequest();
    const auto id = text(envelope.child("HEADER"), "ID");
    const auto tdl = envelope.child("BODY").child("DESC").child("TDL").child("TDLMESSAGE");
    for (auto collection = tdl.child("COLLECTION"); collection;
         collection = collection.next_sibling("COLLECTION")) {
        if (equalsAscii(trimmed(collection.attribute("NAME").value()), id) &&
            equalsAscii(text(collection, "TYPE"), "Company"))
            return replies::companyCollection(companyNames());
    }
    return replies::unknownRequest();
}

std::string RequestHandler::companyListOld(const pugi::xml_node& envelope) const {
    const auto reportName =
        text(envelope.child("BODY").child("EXPORTDATA").child("REQUESTDESC"), "REPORTNAME");
    if (!equalsAscii(reportName, "List of Companies")) return replies::unknownRequest();
    return replies::companyListOld(companyNames());
}

std::string RequestHandler::objectQuery(const pugi::xml_node& envelope) const {
    const auto header = envelope.child("HEADER");
    const std::string kind = CompanyStore::kindOf(text(header, "SUBTYPE"));
    const std::string_view name = XmlText::childText(header, "ID");
    std::string error;
    CompanyStore* target = companyFor(envelope.child("BODY").child("DESC").child("STATICVARIABLES"), error);
    if (target == nullptr) return replies::objectMissing(error);
    const auto found = target->find(kind, name);
    if (!found)
        return replies::objectMissing(CompanyStore::displayName(kind) + " '" + std::string(name) +
                                      "' does not exist!");
    return replies::objectFound(found.name(), found.attribute("NAME").value(), CompanyStore::namesOf(found));
}

std::string RequestHandler::sessionInfo(const pugi::xml_node& envelope) const {
    if (!equalsAscii(text(envelope.child("HEADER"), "ID"), "DynamicCollReport"))
        return replies::unknownRequest();
    const auto tdl = envelope.child("BODY").child("DESC").child("TDL").child("TDLMESSAGE");
    std::vector<std::pair<std::string, std::string>> lines;
    for (auto collection = tdl.child("COLLECTION"); collection;
         collection = collection.next_sibling("COLLECTION")) {
        for (auto list = collection.child("OBJECT"); list; list = list.next_sibling("OBJECT")) {
            const std::string_view names = list.child_value();
            size_t from = 0;
            while (from <= names.size()) {
                const auto comma = std::min(names.find(',', from), names.size());
                const auto objectName = trimmed(names.substr(from, comma - from));
                from = comma + 1;
                for (auto object = tdl.child("OBJECT"); object; object = object.next_sibling("OBJECT")) {
                    if (!equalsAscii(trimmed(object.attribute("NAME").value()), objectName)) continue;
                    std::string label;
                    std::string value;
                    for (auto formula = object.child("LOCALFORMULA"); formula;
                         formula = formula.next_sibling("LOCALFORMULA")) {
                        const auto textOf = trimmed(formula.child_value());
                        if (startsWithAscii(textOf, "RptPrmNam:"))
                            label = formulaValue(textOf, "RptPrmNam:");
                        else if (startsWithAscii(textOf, "RptPrmVal:"))
                            value = evaluate(formulaValue(textOf, "RptPrmVal:"));
                    }
                    lines.emplace_back(label, value);
                    break;
                }
            }
        }
    }
    return replies::sessionLines(lines);
}

// The few formulas the program asks the server for; anything else is empty.
std::string RequestHandler::evaluate(std::string_view formula) const {
    const bool open = m_current != nullptr;
    const std::array<std::pair<std::string_view, std::string>, 16> values{{
        {"##SVCurrentCompany", open ? m_current->name() : ""},
        {"##SVFromDate", BooksFrom},
        {"##SVToDate", "31-Mar-2025"},
        {"##SVCurrentDate", BooksFrom},
        {"##SVCurrentPath", "C:\\TallyPrime\\Data"},
        {"##SVTallyNetTallyConnectURL", ""},
        {"##SVTallyNetTallyConnectURL2", ""},
        {"##SVTallyNetTallyConnectPort", ""},
        {"##SVTallyNetTallyConnectPort2", ""},
        {"$(AppINIConfig,\"AppINIConfig\").ExportPath", "C:\\TallyPrime\\"},
        {"$(AppINIConfig,\"AppINIConfig\").ServerPort", std::to_string(m_port)},
        {"$CompanyNumber:Company:##SVCurrentCompany", open ? std::to_string(m_current->number()) : ""},
        {"$IsAccountingOn:Company:##SVCurrentCompany", open ? "Yes" : ""},
        {"$IsInventoryOn:Company:##SVCurrentCompany", open ? "Yes" : ""},
        {"$StartingFrom:Company:##SVCurrentCompany", open ? BooksFrom : ""},
        {"$BooksFrom:Company:##SVCurrentCompany", open ? BooksFrom : ""},
    }};
    for (const auto& [name, value] : values) {
        if (equalsAscii(name, formula)) return value;
    }
    return {};
}

} // namespace quibo::sim
