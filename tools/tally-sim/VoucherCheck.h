#pragma once

#include <pugixml.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace quibo::sim {

class CompanyStore;

// What a Tally server refuses in a voucher before it stores it, one reason per
// refusal, checked in this order:
//   the voucher type (VCHTYPE attribute, VOUCHERTYPENAME) is missing or unknown;
//   DATE is missing or cannot be read (see readDate);
//   a ledger, stock item, godown, cost centre or cost category it names does not
//   exist (in document order; blanks and "&#4; ..." special values are not names);
//   an AMOUNT of a ledger line cannot be read (see readAmount);
//   the ledger lines do not add up to 0 (a negative amount is a debit).
// Ledger lines are LEDGERENTRIES.LIST, ALLLEDGERENTRIES.LIST and
// ACCOUNTINGALLOCATIONS.LIST; one nested in another is counted with its outer line.
class VoucherCheck {
public:
    // The LINEERROR text of the refusal, "" when the store may take the voucher.
    static std::string refusal(const CompanyStore& store, const pugi::xml_node& voucher);

    // Every name the voucher gives a master is written as the master is named, as
    // Tally's exports do; call after refusal() found nothing.
    static void canonicalise(const CompanyStore& store, pugi::xml_node stored);

    // Tally's own form YYYYMMDD, and day, month, year in the forms people type and
    // the program's date formats write: "1-4-2024", "01/04/2024", "1.4.2024",
    // "1-Apr-2024", "1 April 2024" (month a number or an English name or its first
    // three letters, any case; a four-digit year), and "2024-04-01". The day must
    // exist in the calendar. Returns YYYYMMDD, nullopt when unreadable.
    static std::optional<std::string> readDate(std::string_view text);

    // A decimal text with an optional sign, blanks allowed after it: "1500", "-1500.00",
    // "+.5", " 12.5 ", "- 50". A converted amount counts its base-currency figure, the
    // signed one after "=": "- $50.000 @ Rs 45.000/$ = -Rs 2250" is -2250, "USD100.000 @
    // INR45.000/USD = INR 4500" is 4500. Empty counts 0.
    // No grouping commas, exponents, or two signs on one figure.
    static std::optional<double> readAmount(std::string_view text);
};

} // namespace quibo::sim
