#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quibo::sim {

// What importing one object element did.
struct ObjectOutcome {
    enum class Effect { Created, Altered, Combined, Refused };
    Effect effect = Effect::Refused;
    long masterId = 0;  // the master created or altered
    long voucherId = 0; // the voucher created
    std::string error;  // the LINEERROR text of a refusal
};

// One company's masters and vouchers, kept as the XML elements that were imported
// (children of one COMPANY element, in the order they were created). Names are
// compared without regard to letter case. Not thread-safe: the simulator locks.
class CompanyStore {
public:
    // A new company holds what Tally creates with one: the predefined groups, the
    // ledgers "Cash" and "Profit & Loss A/c", the godown "Main Location", the cost
    // category "Primary Cost Category" and the predefined voucher types. "Primary" is
    // the root of the group, stock group, stock category, godown and cost centre
    // trees, not an object. The voucher types take no MASTERID, so the masters requests
    // create are numbered from 33 on.
    CompanyStore(std::string name, long number);
    CompanyStore(const CompanyStore&) = delete;
    CompanyStore& operator=(const CompanyStore&) = delete;

    const std::string& name() const { return m_name; }
    long number() const { return m_number; }

    // Creates the object when absent and alters it when present (counted as
    // combined when combineDuplicates is set, as "@@DUPCOMBINE" asks); "Alter"
    // finds the object by its NAME attribute and may rename it. Refuses an empty
    // name and a reference to a parent, category or unit that does not exist. A
    // voucher is only created, with the next voucher id, unless VoucherCheck refuses it.
    ObjectOutcome importObject(const pugi::xml_node& object, bool combineDuplicates);

    // kind: an element name ("LEDGER") or an object type as requests name it
    // ("STOCK ITEMS", "GROUPS"). Finds by name or alias.
    pugi::xml_node find(std::string_view kind, std::string_view name) const;

    // The COMPANY element holding everything, for dumps.
    pugi::xml_node root() const { return m_root; }

    // "STOCK ITEMS" → "STOCKITEM": upper case, blanks removed, plural and spelling
    // variants folded; an unknown type comes back upper-cased without blanks.
    static std::string kindOf(std::string_view objectType);
    // "STOCKITEM" → "Stock Item", as Tally's messages name kinds.
    static std::string displayName(std::string_view kind);
    // The current name (NAME attribute) and then the aliases of a stored master.
    static std::vector<std::string> namesOf(const pugi::xml_node& stored);
    // The names an incoming element lists (NAME.LIST, then a NAME element), in order.
    static std::vector<std::string> listedNames(const pugi::xml_node& object);

private:
    void seed();
    pugi::xml_node addSeed(const char* kind, const char* name, const char* parent);
    ObjectOutcome importVoucher(const pugi::xml_node& object);
    std::string checkReferences(std::string_view kind, const pugi::xml_node& object) const;
    // A stored reference names its target as the target is named, as Tally's exports do.
    void canonicaliseReferences(pugi::xml_node stored) const;
    pugi::xml_node findKind(const std::string& kind, std::string_view name) const;
    void index(const pugi::xml_node& node);
    void unindex(const pugi::xml_node& node);
    static std::string key(std::string_view kind, std::string_view name);

    std::string m_name;
    long m_number;
    pugi::xml_document m_document;
    pugi::xml_node m_root;
    std::unordered_map<std::string, pugi::xml_node> m_index;
    long m_nextMasterId = 1;
    long m_nextVoucherId = 1;
};

} // namespace quibo::sim
