#include "tally-sim/CompanyStore.h"

#include "tally-sim/Names.h"
#include "tally-sim/VoucherCheck.h"
#include "tally-sim/XmlText.h"

#include <algorithm>
#include <array>

namespace quibo::sim {

namespace {

constexpr char SpecialValueMark = '\x04'; // "&#4; Any", "&#4; Primary" ...
const std::string PrimaryRoot = "\x04 Primary";

enum class Nature { Assets, Liabilities, Income, Expenses };

struct SeedGroup {
    const char* name;
    const char* parent; // nullptr: a primary group
    Nature nature;
    bool affectsGrossProfit;
    bool billWise;
};

// The groups of a new Tally company: 15 primary groups and 13 below them.
constexpr std::array<SeedGroup, 28> SeedGroups{{
    {"Branch / Divisions", nullptr, Nature::Liabilities, false, false},
    {"Capital Account", nullptr, Nature::Liabilities, false, false},
    {"Current Assets", nullptr, Nature::Assets, false, false},
    {"Current Liabilities", nullptr, Nature::Liabilities, false, false},
    {"Direct Expenses", nullptr, Nature::Expenses, true, false},
    {"Direct Incomes", nullptr, Nature::Income, true, false},
    {"Fixed Assets", nullptr, Nature::Assets, false, false},
    {"Indirect Expenses", nullptr, Nature::Expenses, false, false},
    {"Indirect Incomes", nullptr, Nature::Income, false, false},
    {"Investments", nullptr, Nature::Assets, false, false},
    {"Loans (Liability)", nullptr, Nature::Liabilities, false, false},
    {"Misc. Expenses (ASSET)", nullptr, Nature::Assets, false, false},
    {"Purchase Accounts", nullptr, Nature::Expenses, true, false},
    {"Sales Accounts", nullptr, Nature::Income, true, false},
    {"Suspense A/c", nullptr, Nature::Liabilities, false, false},
    {"Bank Accounts", "Current Assets", Nature::Assets, false, false},
    {"Bank OD A/c", "Loans (Liability)", Nature::Liabilities, false, false},
    {"Cash-in-Hand", "Current Assets", Nature::Assets, false, false},
    {"Deposits (Asset)", "Current Assets", Nature::Assets, false, false},
    {"Duties & Taxes", "Current Liabilities", Nature::Liabilities, false, false},
    {"Loans & Advances (Asset)", "Current Assets", Nature::Assets, false, false},
    {"Provisions", "Current Liabilities", Nature::Liabilities, false, false},
    {"Reserves & Surplus", "Capital Account", Nature::Liabilities, false, false},
    {"Secured Loans", "Loans (Liability)", Nature::Liabilities, false, false},
    {"Stock-in-Hand", "Current Assets", Nature::Assets, false, false},
    {"Sundry Creditors", "Current Liabilities", Nature::Liabilities, false, true},
    {"Sundry Debtors", "Current Assets", Nature::Assets, false, true},
    {"Unsecured Loans", "Loans (Liability)", Nature::Liabilities, false, false},
}};

// The voucher types of a new Tally company; each is its own type of voucher.
constexpr std::array<const char*, 24> SeedVoucherTypes{{
    "Contra",        "Payment",           "Receipt",           "Journal",
    "Sales",         "Purchase",          "Credit Note",       "Debit Note",
    "Memorandum",    "Reversing Journal", "Stock Journal",     "Physical Stock",
    "Delivery Note", "Receipt Note",      "Rejections In",     "Rejections Out",
    "Sales Order",   "Purchase Order",    "Attendance",        "Payroll",
    "Material In",   "Material Out",      "Job Work In Order", "Job Work Out Order",
}};

// A value element of one kind that names another master.
struct Reference {
    const char* kind;
    const char* element;
    const char* target;
    bool rootAllowed; // "Primary" is a valid value
};

constexpr std::array<Reference, 15> References{{
    {"GROUP", "PARENT", "GROUP", true},
    {"LEDGER", "PARENT", "GROUP", true},
    {"UNIT", "BASEUNITS", "UNIT", false},
    {"UNIT", "ADDITIONALUNITS", "UNIT", false},
    {"GODOWN", "PARENT", "GODOWN", true},
    {"STOCKGROUP", "PARENT", "STOCKGROUP", true},
    {"STOCKGROUP", "BASEUNITS", "UNIT", false},
    {"STOCKGROUP", "ADDITIONALUNITS", "UNIT", false},
    {"STOCKCATEGORY", "PARENT", "STOCKCATEGORY", true},
    {"STOCKITEM", "PARENT", "STOCKGROUP", true},
    {"STOCKITEM", "CATEGORY", "STOCKCATEGORY", true},
    {"STOCKITEM", "BASEUNITS", "UNIT", false},
    {"STOCKITEM", "ADDITIONALUNITS", "UNIT", false},
    {"COSTCENTRE", "PARENT", "COSTCENTRE", true},
    {"COSTCENTRE", "CATEGORY", "COSTCATEGORY", false},
}};

const char* yesNo(bool value) {
    return value ? "Yes" : "No";
}

void appendValue(pugi::xml_node parent, const char* name, const std::string& value) {
    parent.append_child(name).text().set(value.c_str());
}

bool isBlank(std::string_view text) {
    return trimmed(text).empty();
}

ObjectOutcome refused(std::string error) {
    ObjectOutcome outcome;
    outcome.error = std::move(error);
    return outcome;
}

// Alter and combine replace every element the request carries, by name, and keep
// the rest; a repeated element (a list) is replaced as a whole.
void merge(pugi::xml_node stored, const pugi::xml_node& incoming) {
    for (const auto& attribute : incoming.attributes()) {
        const std::string_view name = attribute.name();
        if (name == "NAME" || name == "ACTION" || name == "MASTERID") continue;
        auto target = stored.attribute(attribute.name());
        if (!target) target = stored.append_attribute(attribute.name());
        target.set_value(attribute.value());
    }
    std::vector<std::string> replaced;
    for (const auto& child : incoming.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string name = child.name();
        if (std::find(replaced.begin(), replaced.end(), name) != replaced.end()) continue;
        replaced.push_back(name);
        while (auto old = stored.child(name.c_str()))
            stored.remove_child(old);
        for (auto each = incoming.child(name.c_str()); each; each = each.next_sibling(name.c_str()))
            stored.append_copy(each);
    }
}

// The id is the store's own: one a request carries is not kept.
void stampId(pugi::xml_node node, long id) {
    while (node.remove_attribute("MASTERID")) {
    }
    node.append_attribute("MASTERID").set_value(id);
}

void setName(pugi::xml_node node, const std::string& name) {
    auto attribute = node.attribute("NAME");
    if (!attribute) attribute = node.prepend_attribute("NAME");
    attribute.set_value(name.c_str());
}

} // namespace

CompanyStore::CompanyStore(std::string name, long number) : m_name(std::move(name)), m_number(number) {
    m_root = m_document.append_child("COMPANY");
    m_root.append_attribute("NAME").set_value(m_name.c_str());
    seed();
}

void CompanyStore::seed() {
    for (const auto& group : SeedGroups) {
        auto node = addSeed("GROUP", group.name, group.parent);
        const bool revenue = group.nature == Nature::Income || group.nature == Nature::Expenses;
        const bool debit = group.nature == Nature::Assets || group.nature == Nature::Expenses;
        appendValue(node, "ISBILLWISEON", yesNo(group.billWise));
        appendValue(node, "ISREVENUE", yesNo(revenue));
        appendValue(node, "ISDEEMEDPOSITIVE", yesNo(debit));
        appendValue(node, "AFFECTSGROSSPROFIT", yesNo(group.affectsGrossProfit));
    }
    addSeed("LEDGER", "Cash", "Cash-in-Hand");
    addSeed("LEDGER", "Profit & Loss A/c", nullptr);
    addSeed("GODOWN", "Main Location", nullptr);
    auto category = addSeed("COSTCATEGORY", "Primary Cost Category", nullptr);
    category.remove_child("PARENT");
    appendValue(category, "ALLOCATEREVENUE", "Yes");
    appendValue(category, "ALLOCATENONREVENUE", "No");
    for (const char* type : SeedVoucherTypes) {
        auto node = m_root.append_child("VOUCHERTYPE");
        node.append_attribute("NAME").set_value(type);
        node.append_attribute("RESERVEDNAME").set_value(type);
        appendValue(node, "PARENT", type);
    }
    for (auto node : m_root.children()) {
        auto list = node.append_child("NAME.LIST");
        appendValue(list, "NAME", node.attribute("NAME").value());
        index(node);
    }
}

pugi::xml_node CompanyStore::addSeed(const char* kind, const char* name, const char* parent) {
    auto node = m_root.append_child(kind);
    node.append_attribute("NAME").set_value(name);
    node.append_attribute("RESERVEDNAME").set_value(name);
    node.append_attribute("MASTERID").set_value(m_nextMasterId++);
    appendValue(node, "PARENT", parent != nullptr ? std::string(parent) : PrimaryRoot);
    return node;
}

ObjectOutcome CompanyStore::importObject(const pugi::xml_node& object, bool combineDuplicates) {
    const std::string kind = object.name();
    if (kind == "VOUCHER") return importVoucher(object);
    const std::string display = displayName(kind);
    const std::string action(trimmed(object.attribute("ACTION").value()));
    const bool alter = equalsAscii(action, "Alter");
    if (!alter && !action.empty() && !equalsAscii(action, "Create"))
        return refused("ACTION '" + action + "' is not supported for " + display);

    const std::string identity = object.attribute("NAME").value();
    const auto listed = listedNames(object);
    std::string name = alter ? identity : (isBlank(identity) && !listed.empty() ? listed.front() : identity);
    if (isBlank(name)) return refused(display + " Name cannot be empty!");
    if (auto error = checkReferences(kind, object); !error.empty()) return refused(error);

    ObjectOutcome outcome;
    auto existing = findKind(kind, name);
    if (!existing && alter) return refused(display + " '" + identity + "' does not exist!");
    if (!existing) {
        auto node = m_root.append_copy(object);
        node.remove_attribute("ACTION");
        setName(node, name);
        canonicaliseReferences(node);
        stampId(node, m_nextMasterId);
        index(node);
        outcome.effect = ObjectOutcome::Effect::Created;
        outcome.masterId = m_nextMasterId++;
        return outcome;
    }

    // The first name of the incoming NAME.LIST is the object's name from now on,
    // which is how "Alter" renames.
    const std::string newName = !listed.empty() && !isBlank(listed.front())
                                    ? listed.front()
                                    : std::string(existing.attribute("NAME").value());
    if (auto other = findKind(kind, newName); other && other != existing)
        return refused(display + " '" + newName + "' already exists!");
    unindex(existing);
    merge(existing, object);
    setName(existing, newName);
    canonicaliseReferences(existing);
    index(existing);
    outcome.effect =
        (combineDuplicates && !alter) ? ObjectOutcome::Effect::Combined : ObjectOutcome::Effect::Altered;
    outcome.masterId = existing.attribute("MASTERID").as_llong();
    return outcome;
}

ObjectOutcome CompanyStore::importVoucher(const pugi::xml_node& object) {
    const std::string action(trimmed(object.attribute("ACTION").value()));
    if (!action.empty() && !equalsAscii(action, "Create"))
        return refused("ACTION '" + action + "' is not supported for Voucher");
    if (auto error = VoucherCheck::refusal(*this, object); !error.empty()) return refused(error);
    auto node = m_root.append_copy(object);
    node.remove_attribute("ACTION");
    VoucherCheck::canonicalise(*this, node);
    stampId(node, m_nextVoucherId);
    ObjectOutcome outcome;
    outcome.effect = ObjectOutcome::Effect::Created;
    outcome.voucherId = m_nextVoucherId++;
    return outcome;
}

std::string CompanyStore::checkReferences(std::string_view kind, const pugi::xml_node& object) const {
    for (const auto& reference : References) {
        if (kind != reference.kind) continue;
        for (auto element = object.child(reference.element); element;
             element = element.next_sibling(reference.element)) {
            const std::string_view value = element.child_value();
            if (isBlank(value) || value.front() == SpecialValueMark) continue;
            if (reference.rootAllowed && foldName(trimmed(value)) == "primary") continue;
            if (!findKind(reference.target, value))
                return displayName(reference.target) + " '" + std::string(value) + "' does not exist!";
        }
    }
    return {};
}

void CompanyStore::canonicaliseReferences(pugi::xml_node stored) const {
    const std::string_view kind = stored.name();
    for (const auto& reference : References) {
        if (kind != reference.kind) continue;
        for (auto element = stored.child(reference.element); element;
             element = element.next_sibling(reference.element)) {
            if (const auto target = findKind(reference.target, element.child_value()))
                element.text().set(target.attribute("NAME").value());
        }
    }
}

pugi::xml_node CompanyStore::find(std::string_view kind, std::string_view name) const {
    return findKind(kindOf(kind), name);
}

pugi::xml_node CompanyStore::findKind(const std::string& kind, std::string_view name) const {
    const auto found = m_index.find(key(kind, name));
    return found == m_index.end() ? pugi::xml_node() : found->second;
}

void CompanyStore::index(const pugi::xml_node& node) {
    for (const auto& name : namesOf(node))
        m_index.emplace(key(node.name(), name), node); // an alias never takes another's name
}

void CompanyStore::unindex(const pugi::xml_node& node) {
    for (const auto& name : namesOf(node)) {
        const auto found = m_index.find(key(node.name(), name));
        if (found != m_index.end() && found->second == node) m_index.erase(found);
    }
}

std::string CompanyStore::key(std::string_view kind, std::string_view name) {
    std::string result(kind);
    result += '\x1F';
    result += foldName(name);
    return result;
}

std::vector<std::string> CompanyStore::listedNames(const pugi::xml_node& object) {
    std::vector<std::string> names;
    auto add = [&names](std::string_view name) {
        if (isBlank(name)) return;
        const auto folded = foldName(name);
        for (const auto& known : names) {
            if (foldName(known) == folded) return;
        }
        names.emplace_back(name);
    };
    for (auto list = object.child("NAME.LIST"); list; list = list.next_sibling("NAME.LIST")) {
        for (auto name = list.child("NAME"); name; name = name.next_sibling("NAME"))
            add(name.child_value());
    }
    // Units, cost categories and cost centres also carry their name as a NAME element.
    add(object.child("NAME").child_value());
    return names;
}

std::vector<std::string> CompanyStore::namesOf(const pugi::xml_node& stored) {
    auto names = listedNames(stored);
    const std::string_view current = stored.attribute("NAME").value();
    if (isBlank(current)) return names;
    const auto folded = foldName(current);
    std::erase_if(names, [&](const std::string& each) { return foldName(each) == folded; });
    names.insert(names.begin(), std::string(current));
    return names;
}

std::string CompanyStore::kindOf(std::string_view objectType) {
    std::string kind;
    for (const char c : objectType) {
        if (c == ' ' || c == '\t') continue;
        kind += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    static const std::array<std::pair<const char*, const char*>, 19> Variants{{
        {"GROUPS", "GROUP"},
        {"LEDGERGROUP", "GROUP"},
        {"LEDGERGROUPS", "GROUP"},
        {"LEDGERS", "LEDGER"},
        {"UNITS", "UNIT"},
        {"GODOWNS", "GODOWN"},
        {"LOCATION", "GODOWN"},
        {"LOCATIONS", "GODOWN"},
        {"STOCKGROUPS", "STOCKGROUP"},
        {"STOCKCATEGORIES", "STOCKCATEGORY"},
        {"STOCKITEMS", "STOCKITEM"},
        {"COSTCATEGORIES", "COSTCATEGORY"},
        {"COSTCENTRES", "COSTCENTRE"},
        {"COSTCENTER", "COSTCENTRE"},
        {"COSTCENTERS", "COSTCENTRE"},
        {"CURRENCIES", "CURRENCY"},
        {"VOUCHERTYPES", "VOUCHERTYPE"},
        {"EMPLOYEES", "EMPLOYEE"},
        {"VOUCHERS", "VOUCHER"},
    }};
    for (const auto& [variant, canonical] : Variants) {
        if (kind == variant) return canonical;
    }
    return kind;
}

std::string CompanyStore::displayName(std::string_view kind) {
    static const std::array<std::pair<const char*, const char*>, 11> Names{{
        {"GROUP", "Group"},
        {"LEDGER", "Ledger"},
        {"UNIT", "Unit"},
        {"GODOWN", "Godown"},
        {"STOCKGROUP", "Stock Group"},
        {"STOCKCATEGORY", "Stock Category"},
        {"STOCKITEM", "Stock Item"},
        {"COSTCATEGORY", "Cost Category"},
        {"COSTCENTRE", "Cost Centre"},
        {"VOUCHER", "Voucher"},
        {"VOUCHERTYPE", "Voucher Type"},
    }};
    for (const auto& [element, display] : Names) {
        if (kind == element) return display;
    }
    return std::string(kind);
}

} // namespace quibo::sim
