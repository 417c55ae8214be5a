#include "tally-sim/VoucherCheck.h"

#include "tally-sim/CompanyStore.h"
#include "tally-sim/Names.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <vector>

namespace quibo::sim {

namespace {

constexpr char SpecialValueMark = '\x04'; // "&#4; Not Applicable", "&#4; Primary" ...
constexpr double Tolerance = 0.005;       // half a paisa: amounts carry two decimals

// An element of a voucher that names a master: `element` under an element named `owner`.
struct Reference {
    const char* owner;
    const char* element;
    const char* target;
};

constexpr std::array<Reference, 11> References{{
    {"VOUCHER", "PARTYLEDGERNAME", "LEDGER"},
    {"LEDGERENTRIES.LIST", "LEDGERNAME", "LEDGER"},
    {"ALLLEDGERENTRIES.LIST", "LEDGERNAME", "LEDGER"},
    {"ACCOUNTINGALLOCATIONS.LIST", "LEDGERNAME", "LEDGER"},
    {"ALLINVENTORYENTRIES.LIST", "STOCKITEMNAME", "STOCKITEM"},
    {"INVENTORYENTRIESIN.LIST", "STOCKITEMNAME", "STOCKITEM"},
    {"INVENTORYENTRIESOUT.LIST", "STOCKITEMNAME", "STOCKITEM"},
    {"INVENTORYALLOCATIONS.LIST", "STOCKITEMNAME", "STOCKITEM"},
    {"BATCHALLOCATIONS.LIST", "GODOWNNAME", "GODOWN"},
    {"COSTCENTREALLOCATIONS.LIST", "NAME", "COSTCENTRE"},
    {"CATEGORYALLOCATIONS.LIST", "CATEGORY", "COSTCATEGORY"},
}};

constexpr std::array<const char*, 3> LedgerLines{
    {"LEDGERENTRIES.LIST", "ALLLEDGERENTRIES.LIST", "ACCOUNTINGALLOCATIONS.LIST"}};

bool isLedgerLine(std::string_view name) {
    for (const char* line : LedgerLines) {
        if (name == line) return true;
    }
    return false;
}

bool isName(std::string_view value) {
    return !trimmed(value).empty() && value.front() != SpecialValueMark;
}

std::string doesNotExist(std::string_view target, std::string_view value) {
    return CompanyStore::displayName(target) + " '" + std::string(value) + "' does not exist!";
}

// Calls visit(referenceElement, target) for every name the voucher gives a master,
// in document order; stops when visit returns false.
template <typename Visit> bool eachReference(const pugi::xml_node& node, Visit&& visit) {
    for (const auto& reference : References) {
        if (std::string_view(node.name()) != reference.owner) continue;
        for (auto element = node.child(reference.element); element;
             element = element.next_sibling(reference.element)) {
            if (isName(element.child_value()) && !visit(element, reference.target)) return false;
        }
    }
    for (const auto& child : node.children()) {
        if (child.type() == pugi::node_element && !eachReference(child, visit)) return false;
    }
    return true;
}

// The outermost ledger lines below node.
void collectLedgerLines(const pugi::xml_node& node, std::vector<pugi::xml_node>& lines) {
    for (const auto& child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        if (isLedgerLine(child.name()))
            lines.push_back(child);
        else
            collectLedgerLines(child, lines);
    }
}

std::string twoDecimals(double value) {
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    return std::string(buffer.data(), result.ptr);
}

std::string balanceRefusal(const pugi::xml_node& voucher) {
    std::vector<pugi::xml_node> lines;
    collectLedgerLines(voucher, lines);
    double debit = 0;
    double credit = 0;
    for (const auto& line : lines) {
        const std::string_view text = line.child("AMOUNT").child_value();
        const auto amount = VoucherCheck::readAmount(text);
        if (!amount) return "Amount '" + std::string(text) + "' is not valid!";
        (*amount < 0 ? debit : credit) += std::fabs(*amount);
    }
    if (std::fabs(debit - credit) < Tolerance) return {};
    return "Voucher totals do not match! Dr: " + twoDecimals(debit) + " Cr: " + twoDecimals(credit);
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

int number(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

int monthNamed(std::string_view text) {
    static constexpr std::array<const char*, 12> Months{{"january", "february", "march", "april", "may",
                                                         "june", "july", "august", "september", "october",
                                                         "november", "december"}};
    for (size_t i = 0; i < Months.size(); ++i) {
        const std::string_view month = Months[i];
        if (equalsAscii(text, month) || equalsAscii(text, month.substr(0, 3))) return static_cast<int>(i) + 1;
    }
    return 0;
}

std::optional<std::string> calendarDate(int year, int month, int day) {
    static constexpr std::array<int, 12> Days{{31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > Days[static_cast<size_t>(month - 1)] ||
        (month == 2 && day == 29 && !leap))
        return std::nullopt;
    std::string text(8, '0');
    size_t end = 0;
    for (auto [value, width] : {std::pair{year, 4}, std::pair{month, 2}, std::pair{day, 2}}) {
        end += static_cast<size_t>(width);
        for (size_t at = end; value > 0; value /= 10)
            text[--at] = static_cast<char>('0' + value % 10);
    }
    return text;
}

} // namespace

std::optional<std::string> VoucherCheck::readDate(std::string_view text) {
    text = trimmed(text);
    if (text.size() == 8 && allDigits(text))
        return calendarDate(number(text.substr(0, 4)), number(text.substr(4, 2)), number(text.substr(6, 2)));
    std::vector<std::string_view> parts;
    size_t from = 0;
    while (parts.size() < 4) {
        const auto at = text.find_first_of("-/. ", from);
        parts.push_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos) break;
        from = at + 1;
    }
    if (parts.size() != 3) return std::nullopt;
    if (parts[0].size() == 4 && allDigits(parts[0])) std::swap(parts[0], parts[2]); // 2024-04-01
    const std::string_view day = parts[0];
    const std::string_view month = parts[1];
    const std::string_view year = parts[2];
    if (day.size() > 2 || !allDigits(day) || year.size() != 4 || !allDigits(year)) return std::nullopt;
    const int monthNumber = allDigits(month) && month.size() <= 2 ? number(month) : monthNamed(month);
    return calendarDate(number(year), monthNumber, number(day));
}

std::optional<double> VoucherCheck::readAmount(std::string_view text) {
    text = trimmed(text);
    if (text.empty()) return 0.0;
    // A foreign-currency amount counts by its value in the base currency, after the last "=".
    if (const auto equals = text.rfind('='); equals != std::string_view::npos && text.find('@') < equals) {
        std::string_view base = trimmed(text.substr(equals + 1));
        const bool negative = !base.empty() && base.front() == '-';
        if (negative) base.remove_prefix(1);
        while (!base.empty() &&
               (std::isalpha(static_cast<unsigned char>(base.front())) || base.front() == ' '))
            base.remove_prefix(1);
        if (base.empty()) return std::nullopt;
        const auto value = readAmount(base);
        if (!value) return std::nullopt;
        return negative ? -*value : *value;
    }
    std::string_view digits = text;
    if (digits.front() == '-' || digits.front() == '+') digits.remove_prefix(1);
    const auto point = digits.find('.');
    const auto whole = digits.substr(0, point);
    const auto fraction = point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !allDigits(whole)) ||
        (!fraction.empty() && !allDigits(fraction)))
        return std::nullopt;
    double value = 0;
    const std::string plain = std::string(whole.empty() ? "0" : whole) + "." + std::string(fraction);
    std::from_chars(plain.data(), plain.data() + plain.size(), value);
    return text.front() == '-' ? -value : value;
}

std::string VoucherCheck::refusal(const CompanyStore& store, const pugi::xml_node& voucher) {
    const std::string_view typeName = voucher.child("VOUCHERTYPENAME").child_value();
    const std::string_view typeAttribute = voucher.attribute("VCHTYPE").value();
    if (trimmed(typeName).empty() && trimmed(typeAttribute).empty())
        return "Voucher Type Name cannot be empty!";
    for (const auto type : {typeName, typeAttribute}) {
        if (!trimmed(type).empty() && !store.find("VOUCHERTYPE", type))
            return doesNotExist("VOUCHERTYPE", type);
    }

    const std::string_view date = voucher.child("DATE").child_value();
    if (trimmed(date).empty()) return "Voucher Date cannot be empty!";
    if (!readDate(date)) return "Voucher Date '" + std::string(date) + "' is not valid!";

    std::string error;
    eachReference(voucher, [&](const pugi::xml_node& element, const char* target) {
        if (store.find(target, element.child_value())) return true;
        error = doesNotExist(target, element.child_value());
        return false;
    });
    if (!error.empty()) return error;
    return balanceRefusal(voucher);
}

void VoucherCheck::canonicalise(const CompanyStore& store, pugi::xml_node stored) {
    auto nameOf = [&store](std::string_view kind, std::string_view name) {
        return std::string(store.find(kind, name).attribute("NAME").value());
    };
    if (auto type = stored.attribute("VCHTYPE"); isName(type.value()))
        type.set_value(nameOf("VOUCHERTYPE", type.value()).c_str());
    if (auto type = stored.child("VOUCHERTYPENAME"); isName(type.child_value()))
        type.text().set(nameOf("VOUCHERTYPE", type.child_value()).c_str());
    if (auto date = stored.child("DATE"); const auto read = readDate(date.child_value()))
        date.text().set(read->c_str());
    eachReference(stored, [&](pugi::xml_node element, const char* target) {
        element.text().set(nameOf(target, element.child_value()).c_str());
        return true;
    });
}

} // namespace quibo::sim
