#pragma once

#include "tally-sim/CompanyStore.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quibo::sim {

struct Options;

// The Tally side of the protocol: tells a request body by its content, applies it
// to the company stores and builds the answer (shapes in Replies.h). The HTTP
// method does not matter, as it does not to Tally. Not thread-safe.
class RequestHandler {
public:
    explicit RequestHandler(const Options& options);

    std::string handle(std::string_view body);

    // The port the "INI Server Port" parameter reports.
    void setListeningPort(int port) { m_port = port; }

    const std::vector<std::unique_ptr<CompanyStore>>& companies() const { return m_companies; }
    CompanyStore* company(std::string_view name) const;
    CompanyStore* current() const { return m_current; }

private:
    std::string importRequest(const pugi::xml_node& staticVariables, const pugi::xml_node& data,
                              bool importResultShape);
    std::string companyCollection(const pugi::xml_node& envelope) const;
    std::string companyListOld(const pugi::xml_node& envelope) const;
    std::string objectQuery(const pugi::xml_node& envelope) const;
    std::string sessionInfo(const pugi::xml_node& envelope) const;
    std::string evaluate(std::string_view formula) const;
    std::vector<std::string> companyNames() const;
    // The company SVCURRENTCOMPANY names, else the open one; nullptr with the server's
    // message in `error` when there is none.
    CompanyStore* companyFor(const pugi::xml_node& staticVariables, std::string& error) const;

    std::vector<std::unique_ptr<CompanyStore>> m_companies;
    CompanyStore* m_current = nullptr;
    bool m_oldCompanyList;
    bool m_bannerWithoutResponse;
    std::string m_banner;
    int m_port = 0;
};

} // namespace quibo::sim
