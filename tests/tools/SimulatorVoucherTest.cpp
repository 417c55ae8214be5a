// What the simulated server refuses in a voucher, and how it stores one it takes.

#include "tally-sim/Replies.h"
#include "tally-sim/Simulator.h"
#include "tally-sim/VoucherCheck.h"

#include "tools/ProgramReading.h"
#include "tools/ProgramRequests.h"

#include <gtest/gtest.h>

namespace quibo::sim {
namespace {

using test::elementTexts;
using test::importDataRequest;
using test::master;
using test::reduceReply;

std::string element(std::string_view name, std::string_view content) {
    return "<" + std::string(name) + ">" + std::string(content) + "</" + std::string(name) + ">";
}

std::string voucher(std::string_view type, std::string_view date, std::string_view lines) {
    return "<VOUCHER VCHTYPE=\"" + std::string(type) + "\" ACTION=\"Create\">" + element("DATE", date) +
           element("VOUCHERTYPENAME", type) + std::string(lines) + "</VOUCHER>";
}

std::string ledger(std::string_view name, std::string_view amount, std::string_view inner = {},
                   std::string_view list = "ALLLEDGERENTRIES.LIST") {
    return element(list, element("LEDGERNAME", name) + element("AMOUNT", amount) + std::string(inner));
}

// A sales invoice of one item: the party pays 1180, the item earns 1000, tax 180.
std::string invoice(std::string_view item, std::string_view godown) {
    return element("PARTYLEDGERNAME", "Kiran Stores") +
           element("ALLINVENTORYENTRIES.LIST",
                   element("STOCKITEMNAME", item) + element("AMOUNT", "1000.00") +
                       element("BATCHALLOCATIONS.LIST", element("GODOWNNAME", godown)) +
                       ledger("Sales", "1000.00", {}, "ACCOUNTINGALLOCATIONS.LIST")) +
           ledger("Kiran Stores", "-1180.00") + ledger("Output Tax", "180.00");
}

std::string costCentre(std::string_view category, std::string_view centre) {
    return element("CATEGORYALLOCATIONS.LIST",
                   element("CATEGORY", category) +
                       element("COSTCENTREALLOCATIONS.LIST", element("NAME", centre)));
}

const std::string Company = "Acme Traders";
const std::string Balanced = ledger("Rent", "-500") + ledger("Cash", "500");

class SimulatorVoucher : public ::testing::Test {
protected:
    SimulatorVoucher() : simulator(companies()) {
        const auto reply = simulator.answer(
            importDataRequest("", master("LEDGER", "Kiran Stores", "<PARENT>Sundry Debtors</PARENT>") +
                                      master("LEDGER", "Sales", "<PARENT>Sales Accounts</PARENT>") +
                                      master("LEDGER", "Output Tax", "<PARENT>Duties &amp; Taxes</PARENT>") +
                                      master("LEDGER", "Rent", "<PARENT>Indirect Expenses</PARENT>") +
                                      master("STOCKITEM", "Steel Rod") + master("COSTCENTRE", "North")));
        EXPECT_EQ(elementTexts(reply, "ERRORS"), std::vector<std::string>{"0"});
    }
    static Options companies() {
        Options options;
        options.companies = {Company};
        return options;
    }
    void expectRefused(const std::string& voucher, const std::string& lineError) {
        const auto before = simulator.storeXml(Company);
        ImportCounters counters;
        counters.errors = 1;
        EXPECT_EQ(simulator.answer(importDataRequest("", voucher)),
                  replies::importData({lineError}, counters));
        EXPECT_EQ(simulator.storeXml(Company), before);
    }
    Simulator simulator;
};

TEST_F(SimulatorVoucher, EveryNameOfAMissingMasterIsRefused) {
    const std::tuple<const char*, const char*, const char*> places[] = {
        {"VOUCHER", "PARTYLEDGERNAME", "Ledger"},
        {"LEDGERENTRIES.LIST", "LEDGERNAME", "Ledger"},
        {"ALLLEDGERENTRIES.LIST", "LEDGERNAME", "Ledger"},
        {"ACCOUNTINGALLOCATIONS.LIST", "LEDGERNAME", "Ledger"},
        {"ALLINVENTORYENTRIES.LIST", "STOCKITEMNAME", "Stock Item"},
        {"INVENTORYENTRIESIN.LIST", "STOCKITEMNAME", "Stock Item"},
        {"INVENTORYENTRIESOUT.LIST", "STOCKITEMNAME", "Stock Item"},
        {"INVENTORYALLOCATIONS.LIST", "STOCKITEMNAME", "Stock Item"},
        {"BATCHALLOCATIONS.LIST", "GODOWNNAME", "Godown"},
        {"COSTCENTREALLOCATIONS.LIST", "NAME", "Cost Centre"},
        {"CATEGORYALLOCATIONS.LIST", "CATEGORY", "Cost Category"},
    };
    for (const auto& [list, name, kind] : places) {
        SCOPED_TRACE(list);
        const auto named = element(name, "Cash Sales");
        expectRefused(voucher("Journal", "20240401",
                              std::string_view(list) == "VOUCHER" ? named : element(list, named)),
                      std::string(kind) + " 'Cash Sales' does not exist!");
    }
}

struct Refusal {
    const char* caseName;
    std::string voucher;
    std::string lineError;
};

class SimulatorVoucherRefusal : public SimulatorVoucher, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SimulatorVoucherRefusal, IsALineErrorAndNothingIsStored) {
    expectRefused(GetParam().voucher, GetParam().lineError);
}

INSTANTIATE_TEST_SUITE_P(
    Vouchers, SimulatorVoucherRefusal,
    ::testing::Values(
        Refusal{"GodownDeepInAnInvoice", voucher("Sales", "20240401", invoice("Steel Rod", "Yard")),
                "Godown 'Yard' does not exist!"},
        Refusal{"VoucherTypeName", voucher("Sale", "20240401", Balanced),
                "Voucher Type 'Sale' does not exist!"},
        Refusal{"VchTypeAttribute",
                "<VOUCHER VCHTYPE=\"Recpt\"><DATE>20240401</DATE>"
                "<VOUCHERTYPENAME>Receipt</VOUCHERTYPENAME></VOUCHER>",
                "Voucher Type 'Recpt' does not exist!"},
        Refusal{"NoVoucherType", "<VOUCHER><DATE>20240401</DATE></VOUCHER>",
                "Voucher Type Name cannot be empty!"},
        Refusal{"NoDate", "<VOUCHER VCHTYPE=\"Journal\"></VOUCHER>", "Voucher Date cannot be empty!"},
        Refusal{"DateNotInTheCalendar", voucher("Journal", "20230229", Balanced),
                "Voucher Date '20230229' is not valid!"},
        Refusal{"Unbalanced",
                voucher("Payment", "20240401", ledger("Rent", "-1500.00") + ledger("Cash", "1000")),
                "Voucher totals do not match! Dr: 1500.00 Cr: 1000.00"},
        Refusal{"OffByMoreThanHalfAPaisa",
                voucher("Payment", "20240401", ledger("Rent", "-500.006") + ledger("Cash", "500")),
                "Voucher totals do not match! Dr: 500.01 Cr: 500.00"},
        Refusal{"UnreadableAmount",
                voucher("Payment", "20240401", ledger("Rent", "-1,500.00") + ledger("Cash", "1500")),
                "Amount '-1,500.00' is not valid!"}),
    [](const auto& info) { return std::string(info.param.caseName); });

struct Acceptance {
    const char* caseName;
    std::string voucher;
    std::string storedFragment; // how the dump holds it
};

class SimulatorVoucherAcceptance : public SimulatorVoucher,
                                   public ::testing::WithParamInterface<Acceptance> {};

TEST_P(SimulatorVoucherAcceptance, IsStoredWithItsId) {
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("", GetParam().voucher))), "LASTVCHID CREATED ");
    const auto second = simulator.answer(importDataRequest("", GetParam().voucher));
    EXPECT_EQ(elementTexts(second, "LASTVCHID"), std::vector<std::string>{"2"});
    const auto dump = simulator.dumpAll();
    EXPECT_NE(dump.find(GetParam().storedFragment), std::string::npos) << dump;
}

INSTANTIATE_TEST_SUITE_P(
    Vouchers, SimulatorVoucherAcceptance,
    ::testing::Values(
        Acceptance{"SalesInvoice", voucher("Sales", "20240401", invoice("steel rod", "main location")),
                   "<STOCKITEMNAME>Steel Rod</STOCKITEMNAME>\n        <AMOUNT>1000.00</AMOUNT>\n"
                   "        <BATCHALLOCATIONS.LIST>\n          <GODOWNNAME>Main Location</GODOWNNAME>"},
        Acceptance{"NamedAsTheMastersAreNamed",
                   voucher("credit note", "1-Apr-2024", ledger("RENT", "500") + ledger("cash", "-500")),
                   "<VOUCHER VCHTYPE=\"Credit Note\" MASTERID=\"2\">\n      <DATE>20240401</DATE>\n"
                   "      <VOUCHERTYPENAME>Credit Note</VOUCHERTYPENAME>\n      <ALLLEDGERENTRIES.LIST>\n"
                   "        <LEDGERNAME>Rent</LEDGERNAME>"},
        Acceptance{"CostCentre",
                   voucher("Payment", "20240401",
                           ledger("Rent", "-500", costCentre("primary cost category", "north")) +
                               ledger("Cash", "500", {}, "LEDGERENTRIES.LIST")),
                   "<CATEGORY>Primary Cost Category</CATEGORY>\n          <COSTCENTREALLOCATIONS.LIST>\n"
                   "            <NAME>North</NAME>"},
        Acceptance{
            "EmptyAmountsBlankAndSpecialNames",
            voucher("Journal", "20240401", ledger("Rent", "") + ledger(" ", " ") + ledger("&#4; Any", "")),
            "<LEDGERNAME>&#4; Any</LEDGERNAME>"},
        Acceptance{"ConvertedAmounts",
                   voucher("Sales", "20240401",
                           ledger("Kiran Stores", "- $50.000 @ Rs 45.000/$ = -Rs 2250") +
                               ledger("Sales", "$50.000 @ Rs 45.000/$ = Rs 2250")),
                   "<AMOUNT>- $50.000 @ Rs 45.000/$ = -Rs 2250</AMOUNT>"},
        Acceptance{"WithinHalfAPaisa",
                   voucher("Journal", "20240401", ledger("Rent", "-1000.004") + ledger("Cash", "+1000")),
                   "<AMOUNT>-1000.004</AMOUNT>"}),
    [](const auto& info) { return std::string(info.param.caseName); });

TEST_F(SimulatorVoucher, EveryPredefinedAndEveryCreatedVoucherTypeTakesVouchers) {
    ASSERT_EQ(reduceReply(simulator.answer(importDataRequest("", master("VOUCHERTYPE", "Cash Sale")))),
              "CREATED ");
    const auto types = test::split("Contra|Payment|Receipt|Journal|Sales|Purchase|Credit Note|Debit Note|"
                                   "Memorandum|Reversing Journal|Stock Journal|Physical Stock|Delivery Note|"
                                   "Receipt Note|Rejections In|Rejections Out|Sales Order|Purchase Order|"
                                   "Attendance|Payroll|Material In|Material Out|Job Work In Order|"
                                   "Job Work Out Order|Cash Sale");
    ASSERT_EQ(types.size(), 25u);
    long id = 0;
    for (const auto& type : types) {
        const auto reply = simulator.answer(importDataRequest("", voucher(type, "20240401", Balanced)));
        EXPECT_EQ(elementTexts(reply, "LASTVCHID"), std::vector<std::string>{std::to_string(++id)}) << type;
    }
}

TEST(VoucherCheck, ReadsTheDateFormsItDocuments) {
    const std::pair<const char*, const char*> dates[] = {{" 20240229 ", "20240229"},
                                                         {"5 september 2024", "20240905"},
                                                         {"31/03/2025", "20250331"},
                                                         {"1.4.2024", "20240401"},
                                                         {"2024-04-01", "20240401"},
                                                         {"20230229", ""},
                                                         {"2024041", ""},
                                                         {"1-Apx-2024", ""},
                                                         {"01/04/24", ""},
                                                         {"31-4-2024", ""},
                                                         {"1-4-2024-5", ""},
                                                         {"a-b-c", ""}};
    for (const auto& [text, read] : dates)
        EXPECT_EQ(VoucherCheck::readDate(text).value_or(""), read) << text;
}

TEST(VoucherCheck, ReadsDecimalAmounts) {
    const std::pair<const char*, std::optional<double>> amounts[] = {
        {"", 0.0},
        {" -1500.00 ", -1500.0},
        {"+.5", 0.5},
        {"12.", 12.0},
        {"1,500", std::nullopt},
        {"1e3", std::nullopt},
        {".", std::nullopt},
        {"-", std::nullopt},
        {"1.2.3", std::nullopt},
        {"- 50", -50.0},
        {"Rs 2250", std::nullopt},
        {"-- 50", std::nullopt},
        // A converted amount: its base-currency figure, signed before the symbol or the figure.
        {"- $50.000 @ Rs 45.000/$ = -Rs 2250", -2250.0},
        {"$50.000 @ Rs 45.000/$ = Rs 2250", 2250.0},
        {"$-5.000 @ Rs 45.000/$ = Rs -225", -225.0},
        {"-$5.000 @  0.000/$ = - 0", 0.0},
        {"$5 @ Rs 45/$ = -Rs -225", std::nullopt},
        {"$5 @ Rs 45/$ = Rs", std::nullopt},
        {"USD100.000 @ INR45.000/USD = INR 4500", 4500.0},
        {"- USD100.000 @ INR45.000/USD = -INR 4500", -4500.0},
        {"USD1 @ INR45/USD = INR", std::nullopt}};
    for (const auto& [text, read] : amounts)
        EXPECT_EQ(VoucherCheck::readAmount(text), read) << text;
}

} // namespace
} // namespace quibo::sim
