#include "tally-sim/CommandLine.h"

#include <charconv>
#include <optional>

namespace quibo::sim {

namespace {

std::optional<int> number(const std::string& text, int lowest, int highest) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || at != end || value < lowest || value > highest) return std::nullopt;
    return value;
}

std::optional<FaultKind> faultKind(const std::string& text) {
    if (text == "delay") return FaultKind::Delay;
    if (text == "close") return FaultKind::Close;
    if (text == "html500") return FaultKind::Html500;
    if (text == "notxml") return FaultKind::NotXml;
    if (text == "empty") return FaultKind::Empty;
    return std::nullopt;
}

} // namespace

std::string CommandLine::usage() {
    return "Usage: quibo-tally-sim [options]\n"
           "\n"
           "A simulated Tally server on 127.0.0.1 for Quibo's tests and demo. It answers the\n"
           "server check, banner, company-list, session and object-exists requests, imports\n"
           "masters and vouchers into a store per company, and prints\n"
           "\"listening on 127.0.0.1:PORT\" once it accepts connections. Like a Tally server\n"
           "it refuses, with a LINEERROR, a master naming a missing parent, unit or category,\n"
           "and a voucher naming a missing ledger, stock item, godown, cost centre, cost\n"
           "category or voucher type, with a date it cannot read (YYYYMMDD, or day, month\n"
           "and a four-digit year as in 1-Apr-2024 or 01/04/2024) or with ledger amounts\n"
           "that do not add up to 0.\n"
           "\n"
           "Options:\n"
           "  --port PORT              listen on PORT (default 0: any free port)\n"
           "  --company NAME           load the company NAME; repeat for more companies\n"
           "                           (default: one company, \"" +
           DefaultCompany +
           "\")\n"
           "  --current NAME           the company open in the server (default: the first)\n"
           "  --no-companies           load no company: the company lists come back empty\n"
           "  --old-company-list       behave as an old server: only the \"List of Companies\"\n"
           "                           request lists companies\n"
           "  --banner-without-response\n"
           "                           answer the banner request without a RESPONSE element\n"
           "  --delay-ms MS            wait MS milliseconds before every answer (with\n"
           "                           --fault delay: before every Nth answer only)\n"
           "  --fault KIND             misbehave on every Nth request; KIND is one of\n"
           "                             delay    wait --delay-ms first\n"
           "                             close    close the connection without answering\n"
           "                             html500  answer status 500 with an HTML page\n"
           "                             notxml   answer status 200 with text that is not XML\n"
           "                             empty    answer status 200 with an empty body\n"
           "  --fault-every N          N for --fault (default 1: every request)\n"
           "  --exit-after-idle S      stop after S seconds without a request (default: never)\n"
           "  --dump FILE              at exit, write every company's masters and vouchers\n"
           "                           to FILE as XML\n"
           "  --log FILE               append every request (method, headers, body) to FILE\n"
           "  --help                   show this text\n"
           "\n"
           "It stops cleanly on SIGTERM or SIGINT.\n";
}

CommandLine CommandLine::parse(const std::vector<std::string>& arguments) {
    CommandLine result;
    result.options.keepRequestLog = false; // the executable logs to --log only
    bool noCompanies = false;
    bool faultEveryGiven = false;
    auto refuse = [&result](std::string why) {
        result.error = std::move(why);
        return result;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) return std::nullopt;
            return arguments[++i];
        };
        if (option == "--help" || option == "-h") {
            result.help = true;
        } else if (option == "--old-company-list") {
            result.options.oldCompanyList = true;
        } else if (option == "--no-companies") {
            noCompanies = true;
        } else if (option == "--banner-without-response") {
            result.options.bannerWithoutResponse = true;
        } else if (option == "--port" || option == "--company" || option == "--current" ||
                   option == "--exit-after-idle" || option == "--dump" || option == "--delay-ms" ||
                   option == "--fault" || option == "--fault-every" || option == "--log") {
            const auto given = value();
            if (!given) return refuse(option + " needs a value");
            if (option == "--port") {
                const auto port = number(*given, 0, 65535);
                if (!port) return refuse("--port needs a number from 0 to 65535, not \"" + *given + "\"");
                result.port = *port;
            } else if (option == "--company") {
                if (given->empty()) return refuse("--company needs a name");
                result.options.companies.push_back(*given);
            } else if (option == "--current") {
                if (given->empty()) return refuse("--current needs a name");
                result.options.current = *given;
            } else if (option == "--exit-after-idle") {
                const auto seconds = number(*given, 1, 86400 * 365);
                if (!seconds)
                    return refuse("--exit-after-idle needs a number of seconds, not \"" + *given + "\"");
                result.exitAfterIdleS = *seconds;
            } else if (option == "--dump") {
                result.dumpPath = *given;
            } else if (option == "--log") {
                result.options.logPath = *given;
            } else if (option == "--delay-ms") {
                const auto ms = number(*given, 0, 3'600'000);
                if (!ms) return refuse("--delay-ms needs a number of milliseconds, not \"" + *given + "\"");
                result.options.faults.delayMs = *ms;
            } else if (option == "--fault") {
                const auto kind = faultKind(*given);
                if (!kind)
                    return refuse("--fault needs one of delay, close, html500, notxml, empty, not \"" +
                                  *given + "\"");
                result.options.faults.kind = *kind;
            } else if (option == "--fault-every") {
                const auto every = number(*given, 1, 1'000'000'000);
                if (!every) return refuse("--fault-every needs a number from 1 up, not \"" + *given + "\"");
                result.options.faults.every = *every;
                faultEveryGiven = true;
            }
        } else {
            return refuse("unknown option \"" + option + "\"");
        }
    }
    if (result.help) return result;
    if (noCompanies && (!result.options.companies.empty() || !result.options.current.empty()))
        return refuse("--no-companies cannot go with --company or --current");
    if (faultEveryGiven && result.options.faults.kind == FaultKind::None)
        return refuse("--fault-every needs --fault");
    if (result.options.faults.kind == FaultKind::Delay && result.options.faults.delayMs == 0)
        return refuse("--fault delay needs --delay-ms");
    if (!noCompanies && result.options.companies.empty() && result.options.current.empty())
        result.options.companies.push_back(DefaultCompany);
    return result;
}

} // namespace quibo::sim
