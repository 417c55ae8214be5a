// The simulated server's answers, request kind by request kind, as the program
// sends them and reads them back (no HTTP here: Simulator::answer).

#include "tally-sim/Simulator.h"

#include "tools/ProgramReading.h"
#include "tools/ProgramRequests.h"

#include <gtest/gtest.h>

namespace quibo::sim {
namespace {

using test::companyListOldRequest;
using test::companyListRequest;
using test::elementTexts;
using test::importDataRequest;
using test::importRequest;
using test::master;
using test::objectExistsRequest;
using test::reduceReply;
using test::serverCheckRequest;
using test::sessionInfoRequest;

Options twoCompanies() {
    Options options;
    options.companies = {"Acme & Co", "Beta Traders"};
    return options;
}

std::string counters(long created, long altered, long lastVoucherId, long lastMasterId, long combined,
                     long errors) {
    return " <CREATED>" + std::to_string(created) + "</CREATED>\r\n <ALTERED>" + std::to_string(altered) +
           "</ALTERED>\r\n <DELETED>0</DELETED>\r\n <LASTVCHID>" + std::to_string(lastVoucherId) +
           "</LASTVCHID>\r\n <LASTMID>" + std::to_string(lastMasterId) + "</LASTMID>\r\n <COMBINED>" +
           std::to_string(combined) + "</COMBINED>\r\n <IGNORED>0</IGNORED>\r\n <ERRORS>" +
           std::to_string(errors) +
           "</ERRORS>\r\n <CANCELLED>0</CANCELLED>\r\n <EXCEPTIONS>0</EXCEPTIONS>\r\n";
}

// The counters indented one level deeper, as inside IMPORTRESULT.
std::string deeper(std::string text, int levels) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && c == ' ') out += std::string(static_cast<size_t>(levels), ' ');
        lineStart = c == '\n';
        out += c;
    }
    return out;
}

const std::string UnknownRequest = "<RESPONSE>Unknown Request, cannot be processed</RESPONSE>\r\n";

TEST(SimulatorProtocol, AnEmptyRequestGetsTheBanner) {
    Simulator simulator;
    EXPECT_EQ(simulator.answer(""), "<RESPONSE>TallyPrime Server is Running</RESPONSE>\r\n");
    EXPECT_EQ(simulator.answer(" \r\n"), "<RESPONSE>TallyPrime Server is Running</RESPONSE>\r\n");
}

TEST(SimulatorProtocol, TheBannerWithoutResponseHasNoResponseElement) {
    Options options;
    options.bannerWithoutResponse = true;
    Simulator simulator(options);
    const auto reply = simulator.answer("");
    EXPECT_EQ(reply,
              "<ENVELOPE>\r\n <HEADER>\r\n  <VERSION>1</VERSION>\r\n  <STATUS>1</STATUS>\r\n </HEADER>\r\n"
              "</ENVELOPE>\r\n");
    EXPECT_TRUE(elementTexts(reply, "RESPONSE").empty());
}

TEST(SimulatorProtocol, BothCompanyCollectionRequestsListTheCompanies) {
    const std::string expected = "<ENVELOPE>\r\n"
                                 " <HEADER>\r\n"
                                 "  <VERSION>1</VERSION>\r\n"
                                 "  <STATUS>1</STATUS>\r\n"
                                 " </HEADER>\r\n"
                                 " <BODY>\r\n"
                                 "  <DESC></DESC>\r\n"
                                 "  <DATA>\r\n"
                                 "   <COLLECTION>\r\n"
                                 "    <COMPANY NAME=\"Acme &amp; Co\" RESERVEDNAME=\"\">\r\n"
                                 "     <NAME TYPE=\"String\">Acme &amp; Co</NAME>\r\n"
                                 "    </COMPANY>\r\n"
                                 "    <COMPANY NAME=\"Beta Traders\" RESERVEDNAME=\"\">\r\n"
                                 "     <NAME TYPE=\"String\">Beta Traders</NAME>\r\n"
                                 "    </COMPANY>\r\n"
                                 "   </COLLECTION>\r\n"
                                 "  </DATA>\r\n"
                                 " </BODY>\r\n"
                                 "</ENVELOPE>\r\n";
    Simulator simulator(twoCompanies());
    for (const auto& request : {serverCheckRequest(), companyListRequest()}) {
        const auto reply = simulator.answer(request);
        EXPECT_EQ(reply, expected);
        EXPECT_EQ(elementTexts(reply, "NAME"), (std::vector<std::string>{"Acme & Co", "Beta Traders"}));
    }
}

TEST(SimulatorProtocol, TheOldCompanyListNamesEachCompany) {
    Simulator simulator(twoCompanies());
    const auto reply = simulator.answer(companyListOldRequest());
    EXPECT_EQ(reply, "<ENVELOPE>\r\n <COMPANYNAME>Acme &amp; Co</COMPANYNAME>\r\n"
                     " <COMPANYNAME>Beta Traders</COMPANYNAME>\r\n</ENVELOPE>\r\n");
    EXPECT_EQ(elementTexts(reply, "COMPANYNAME"), (std::vector<std::string>{"Acme & Co", "Beta Traders"}));
}

TEST(SimulatorProtocol, AnOldServerUnderstandsOnlyTheOldCompanyList) {
    auto options = twoCompanies();
    options.oldCompanyList = true;
    Simulator simulator(options);
    EXPECT_EQ(simulator.answer(companyListRequest()), UnknownRequest);
    EXPECT_EQ(simulator.answer(serverCheckRequest()), UnknownRequest);
    EXPECT_EQ(elementTexts(simulator.answer(companyListOldRequest()), "COMPANYNAME").size(), 2u);
}

TEST(SimulatorProtocol, WithoutCompaniesTheListsAreEmptyAndImportsRefused) {
    Simulator simulator(Options{});
    const auto collection = simulator.answer(companyListRequest());
    EXPECT_TRUE(elementTexts(collection, "NAME").empty());
    EXPECT_NE(collection.find("<COLLECTION></COLLECTION>"), std::string::npos);
    EXPECT_EQ(simulator.answer(companyListOldRequest()), "<ENVELOPE></ENVELOPE>\r\n");
    const auto imported = simulator.answer(importDataRequest("", master("LEDGER", "Ravi Traders")));
    EXPECT_EQ(reduceReply(imported), "ERRORS No Company is open! - ");
    EXPECT_NE(simulator.answer(objectExistsRequest("LEDGER", "Cash"))
                  .find("<ERRORMSG>No Company is open!</ERRORMSG>"),
              std::string::npos);
}

TEST(SimulatorProtocol, SessionInformationAnswersEveryRequestedParameterInOrder) {
    auto options = twoCompanies();
    options.current = "beta traders";
    Simulator simulator(options);
    const int port = simulator.start(0);
    const auto reply = simulator.answer(test::sessionInfoRequest());
    simulator.stop();

    const std::pair<const char*, std::string> lines[] = {
        {"Current Company", "Beta Traders"},
        {"From Date", "1-Apr-2024"},
        {"To Date", "31-Mar-2025"},
        {"Current Date", "1-Apr-2024"},
        {"Current Path", "C:\\TallyPrime\\Data"},
        {"Tally Connect URL 1", ""},
        {"Tally Connect Port 1", ""},
        {"Tally Connect URL 2", ""},
        {"Tally Connect Port 2", ""},
        {"CMP Company Number", "10001"},
        {"CMP Starting From", "1-Apr-2024"},
        {"CMP Books From", "1-Apr-2024"},
        {"CMP Is Accounting On", "Yes"},
        {"CMP Is Inventory On", "Yes"},
        {"INI Export Path", "C:\\TallyPrime\\"},
        {"INI Server Port", std::to_string(port)},
    };
    std::string expected = "<ENVELOPE>\r\n";
    for (const auto& [label, value] : lines) {
        expected += " <DYNAMICCOLLLINES>\r\n  <RPTPRMNAM>" + std::string(label) +
                    "</RPTPRMNAM>\r\n  <RPTPRMVAL>" + value + "</RPTPRMVAL>\r\n </DYNAMICCOLLLINES>\r\n";
    }
    expected += "</ENVELOPE>\r\n";
    EXPECT_EQ(reply, expected);
}

TEST(SimulatorProtocol, SessionInformationWithNoCompanyOpenHasAnEmptyCurrentCompany) {
    Simulator simulator(Options{});
    const auto reply = simulator.answer(sessionInfoRequest());
    const auto labels = elementTexts(reply, "RPTPRMNAM");
    const auto values = elementTexts(reply, "RPTPRMVAL");
    ASSERT_EQ(labels.size(), 16u);
    EXPECT_EQ(labels[0], "Current Company");
    EXPECT_EQ(values[0], "");
    EXPECT_EQ(values[9], ""); // CMP Company Number
}

TEST(SimulatorProtocol, TheFirstCompanyIsOpenUnlessAnotherIsNamed) {
    EXPECT_EQ(Simulator(twoCompanies()).currentCompany(), "Acme & Co");
    auto options = twoCompanies();
    options.current = "Gamma Ltd"; // not listed: loaded as well
    Simulator simulator(options);
    EXPECT_EQ(simulator.currentCompany(), "Gamma Ltd");
    EXPECT_EQ(simulator.companies(), (std::vector<std::string>{"Acme & Co", "Beta Traders", "Gamma Ltd"}));
}

TEST(SimulatorProtocol, AnObjectThatExistsComesBackWithItsNames) {
    Simulator simulator(twoCompanies());
    const auto reply = simulator.answer(objectExistsRequest("LEDGER", "CASH"));
    EXPECT_EQ(reply, "<ENVELOPE>\r\n"
                     " <HEADER>\r\n"
                     "  <VERSION>1</VERSION>\r\n"
                     "  <STATUS>1</STATUS>\r\n"
                     " </HEADER>\r\n"
                     " <BODY>\r\n"
                     "  <DESC></DESC>\r\n"
                     "  <DATA>\r\n"
                     "   <TALLYMESSAGE xmlns:UDF=\"TallyUDF\">\r\n"
                     "    <LEDGER NAME=\"Cash\" RESERVEDNAME=\"\">\r\n"
                     "     <NAME.LIST TYPE=\"String\">\r\n"
                     "      <NAME>Cash</NAME>\r\n"
                     "     </NAME.LIST>\r\n"
                     "    </LEDGER>\r\n"
                     "   </TALLYMESSAGE>\r\n"
                     "  </DATA>\r\n"
                     " </BODY>\r\n"
                     "</ENVELOPE>\r\n");
    // The program's reading: no counters or line errors, so the reply itself, without "<ERRORMSG>".
    EXPECT_EQ(reduceReply(reply), reply);
}

TEST(SimulatorProtocol, AMissingObjectComesBackAsAnErrorMessage) {
    Simulator simulator(twoCompanies());
    const auto reply = simulator.answer(objectExistsRequest("STOCK ITEMS", "Steel Rod &amp; Bar"));
    EXPECT_EQ(reply, "<ENVELOPE>\r\n"
                     " <HEADER>\r\n"
                     "  <VERSION>1</VERSION>\r\n"
                     "  <STATUS>0</STATUS>\r\n"
                     " </HEADER>\r\n"
                     " <BODY>\r\n"
                     "  <DESC></DESC>\r\n"
                     "  <DATA>\r\n"
                     "   <ERRORMSG>Stock Item 'Steel Rod &amp; Bar' does not exist!</ERRORMSG>\r\n"
                     "  </DATA>\r\n"
                     " </BODY>\r\n"
                     "</ENVELOPE>\r\n");
    EXPECT_NE(reduceReply(reply).find("<ERRORMSG>"), std::string::npos);
}

TEST(SimulatorProtocol, ObjectTypesAreUnderstoodInTheFormsTheProgramSends) {
    Simulator simulator(twoCompanies());
    simulator.answer(importDataRequest(
        "", master("UNIT", "Nos") + master("STOCKITEM", "Steel Rod", "<BASEUNITS>Nos</BASEUNITS>") +
                master("COSTCENTRE", "North") + master("STOCKGROUP", "Metals") +
                master("STOCKCATEGORY", "Long") + master("GODOWN", "Yard")));
    struct Case {
        const char* type;
        const char* name;
    };
    const Case found[] = {
        {"GROUPS", "sundry debtors"},
        {"LEDGER", "Cash"},
        {"UNITS", "NOS"},
        {"GODOWNS", "Main Location"},
        {"GODOWNS", "yard"},
        {"STOCK GROUPS", "Metals"},
        {"STOCK CATEGORIES", "Long"},
        {"STOCK ITEMS", "steel rod"},
        {"COST CATEGORIES", "Primary Cost Category"},
        {"COST CENTRES", "North"},
        {"COST CENTRE", "north"},
        {"Stock Item", "Steel Rod"},
    };
    for (const auto& each : found) {
        const auto reply = simulator.answer(objectExistsRequest(each.type, each.name));
        EXPECT_EQ(reply.find("<ERRORMSG>"), std::string::npos) << each.type << " " << each.name;
        EXPECT_TRUE(simulator.objectExists("Acme & Co", each.type, each.name))
            << each.type << " " << each.name;
    }
    const Case missing[] = {
        {"GROUPS", "Cash"}, {"LEDGER", "Sundry Debtors"}, {"STOCK ITEMS", "Nos"}, {"COST CENTRES", "South"}};
    for (const auto& each : missing) {
        EXPECT_NE(simulator.answer(objectExistsRequest(each.type, each.name)).find("<ERRORMSG>"),
                  std::string::npos)
            << each.type << " " << each.name;
        EXPECT_FALSE(simulator.objectExists("Acme & Co", each.type, each.name))
            << each.type << " " << each.name;
    }
}

TEST(SimulatorProtocol, ALedgerImportIsCreatedWithAGrowingMasterId) {
    Simulator simulator(twoCompanies());
    // An id the request carries is not the store's.
    const auto first = simulator.answer(importDataRequest(
        "Acme &amp; Co", "<LEDGER NAME=\"Ravi Traders\" MASTERID=\"7\" ACTION=\"Create\"><PARENT>Sundry "
                         "Debtors</PARENT></LEDGER>"));
    EXPECT_EQ(first, "<RESPONSE>\r\n" + counters(1, 0, 0, 33, 0, 0) + "</RESPONSE>\r\n");
    EXPECT_EQ(reduceReply(first), "CREATED ");
    const auto second = simulator.answer(importDataRequest(
        "Acme &amp; Co", master("LEDGER", "Kiran Stores", "<PARENT>Sundry Debtors</PARENT>")));
    EXPECT_EQ(second, "<RESPONSE>\r\n" + counters(1, 0, 0, 34, 0, 0) + "</RESPONSE>\r\n");
    EXPECT_TRUE(simulator.objectExists("Acme & Co", "LEDGER", "ravi traders"));
    EXPECT_FALSE(simulator.objectExists("Beta Traders", "LEDGER", "Ravi Traders"));
    EXPECT_NE(simulator.storeXml("Acme & Co").find("<LEDGER NAME=\"Ravi Traders\" MASTERID=\"33\">"),
              std::string::npos);
}

TEST(SimulatorProtocol, VouchersAreStoredWithGrowingVoucherIds) {
    Simulator simulator(twoCompanies());
    const std::string voucher = "<VOUCHER REMOTEID=\"\" VCHTYPE=\"Receipt\" ACTION=\"Create\">"
                                "<DATE>20240401</DATE><VOUCHERTYPENAME>Receipt</VOUCHERTYPENAME></VOUCHER>";
    const auto first = simulator.answer(importDataRequest("Acme &amp; Co", voucher));
    EXPECT_EQ(first, "<RESPONSE>\r\n" + counters(1, 0, 1, 0, 0, 0) + "</RESPONSE>\r\n");
    // An id of 1 is a counter of 1 to the program's reading, as against a real server.
    EXPECT_EQ(reduceReply(first), "LASTVCHID CREATED ");
    const auto second = simulator.answer(importDataRequest("Acme &amp; Co", voucher));
    EXPECT_EQ(reduceReply(second), "CREATED ");
    EXPECT_NE(second.find("<LASTVCHID>2</LASTVCHID>"), std::string::npos);
    const auto store = simulator.storeXml("Acme & Co");
    EXPECT_NE(store.find("<VOUCHER REMOTEID=\"\" VCHTYPE=\"Receipt\" MASTERID=\"2\">"), std::string::npos);
}

struct Refusal {
    const char* caseName;
    std::string objects;
    std::string lineError;
};

class SimulatorRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(SimulatorRefusal, IsALineErrorAndNothingIsStored) {
    Simulator simulator(twoCompanies());
    const auto before = simulator.storeXml("Acme & Co");
    const auto reply = simulator.answer(importDataRequest("Acme &amp; Co", GetParam().objects));
    EXPECT_EQ(reply, "<RESPONSE>\r\n <LINEERROR>" + GetParam().lineError + "</LINEERROR>\r\n" +
                         counters(0, 0, 0, 0, 0, 1) + "</RESPONSE>\r\n");
    EXPECT_EQ(simulator.storeXml("Acme & Co"), before);
}

INSTANTIATE_TEST_SUITE_P(
    Masters, SimulatorRefusal,
    ::testing::Values(
        Refusal{"EmptyName", master("LEDGER", "", "<PARENT>Sundry Debtors</PARENT>"),
                "Ledger Name cannot be empty!"},
        Refusal{"BlankName", master("GROUP", "  ", "<PARENT>Primary</PARENT>"),
                "Group Name cannot be empty!"},
        Refusal{"LedgerParent", master("LEDGER", "Ravi", "<PARENT>Sundry Debitors</PARENT>"),
                "Group 'Sundry Debitors' does not exist!"},
        Refusal{"GroupParent", master("GROUP", "Branches", "<PARENT>Branch</PARENT>"),
                "Group 'Branch' does not exist!"},
        Refusal{"StockItemUnit", master("STOCKITEM", "Steel Rod", "<BASEUNITS>Nos</BASEUNITS>"),
                "Unit 'Nos' does not exist!"},
        Refusal{"StockItemAdditionalUnit",
                master("STOCKITEM", "Steel Rod", "<ADDITIONALUNITS>Box</ADDITIONALUNITS>"),
                "Unit 'Box' does not exist!"},
        Refusal{"StockItemGroup", master("STOCKITEM", "Steel Rod", "<PARENT>Metals</PARENT>"),
                "Stock Group 'Metals' does not exist!"},
        Refusal{"StockItemCategory", master("STOCKITEM", "Steel Rod", "<CATEGORY>Long</CATEGORY>"),
                "Stock Category 'Long' does not exist!"},
        Refusal{"CompoundUnit",
                master("UNIT", "Box", "<ISSIMPLEUNIT>No</ISSIMPLEUNIT><BASEUNITS>Nos</BASEUNITS>"),
                "Unit 'Nos' does not exist!"},
        Refusal{"StockGroupParent", master("STOCKGROUP", "Bars", "<PARENT>Metals</PARENT>"),
                "Stock Group 'Metals' does not exist!"},
        Refusal{"StockCategoryParent", master("STOCKCATEGORY", "Short", "<PARENT>Long</PARENT>"),
                "Stock Category 'Long' does not exist!"},
        Refusal{"GodownParent", master("GODOWN", "Shelf", "<PARENT>Yard</PARENT>"),
                "Godown 'Yard' does not exist!"},
        Refusal{"CostCentreCategory", master("COSTCENTRE", "North", "<CATEGORY>Projects</CATEGORY>"),
                "Cost Category 'Projects' does not exist!"},
        Refusal{"CostCentreParent", master("COSTCENTRE", "North", "<PARENT>Zones</PARENT>"),
                "Cost Centre 'Zones' does not exist!"},
        Refusal{"AlterOfAMissingMaster", master("LEDGER", "Ghost", "", "Alter"),
                "Ledger 'Ghost' does not exist!"},
        Refusal{"UnsupportedAction", master("LEDGER", "Cash", "", "Delete"),
                "ACTION 'Delete' is not supported for Ledger"},
        Refusal{"UnitNameAsElementOnly", "<UNIT NAME=\"\" ACTION=\"Create\"><NAME></NAME></UNIT>",
                "Unit Name cannot be empty!"}),
    [](const auto& info) { return std::string(info.param.caseName); });

struct Acceptance {
    const char* caseName;
    std::string setup;
    std::string objects;
    std::string storedFragment; // how the store holds it
};

class SimulatorAcceptance : public ::testing::TestWithParam<Acceptance> {};

TEST_P(SimulatorAcceptance, IsCreated) {
    Simulator simulator(twoCompanies());
    if (!GetParam().setup.empty()) {
        ASSERT_NE(simulator.answer(importDataRequest("", GetParam().setup)).find("<ERRORS>0</ERRORS>"),
                  std::string::npos);
    }
    const auto reply = simulator.answer(importDataRequest("", GetParam().objects));
    EXPECT_EQ(reduceReply(reply), "CREATED ");
    EXPECT_NE(simulator.storeXml("Acme & Co").find(GetParam().storedFragment), std::string::npos)
        << simulator.storeXml("Acme & Co");
}

INSTANTIATE_TEST_SUITE_P(
    Masters, SimulatorAcceptance,
    ::testing::Values(
        Acceptance{"ParentInOtherLetterCase", "", master("LEDGER", "Ravi", "<PARENT>sundry DEBTORS</PARENT>"),
                   "<PARENT>Sundry Debtors</PARENT>"},
        Acceptance{"SpecialPrimary", "", master("LEDGER", "Suspense", "<PARENT>&#4; Primary</PARENT>"),
                   "<PARENT>&#4; Primary</PARENT>"},
        Acceptance{"PlainPrimaryGroup", "", master("GROUP", "Branches", "<PARENT>Primary</PARENT>"),
                   "<GROUP NAME=\"Branches\" MASTERID=\"33\">"},
        Acceptance{"PrimaryStockGroup", "", master("STOCKGROUP", "Metals", "<PARENT>primary</PARENT>"),
                   "<STOCKGROUP NAME=\"Metals\""},
        Acceptance{
            "NotApplicableCategoryAndUnit", "",
            master("STOCKITEM", "Service",
                   "<CATEGORY>&#4; Not Applicable</CATEGORY><BASEUNITS>&#4; Not Applicable</BASEUNITS>"),
            "<CATEGORY>&#4; Not Applicable</CATEGORY>"},
        Acceptance{"SeededCostCategory", "",
                   master("COSTCENTRE", "North", "<CATEGORY>primary cost category</CATEGORY>"),
                   "<CATEGORY>Primary Cost Category</CATEGORY>"},
        Acceptance{"SeededGodown", "", master("GODOWN", "Shelf", "<PARENT>Main Location</PARENT>"),
                   "<PARENT>Main Location</PARENT>"},
        Acceptance{"ItemAfterItsUnitGroupAndCategory",
                   master("UNIT", "Nos", "<ISSIMPLEUNIT>Yes</ISSIMPLEUNIT>") +
                       master("STOCKGROUP", "Metals") + master("STOCKCATEGORY", "Long"),
                   master("STOCKITEM", "Steel Rod",
                          "<PARENT>metals</PARENT><CATEGORY>LONG</CATEGORY><BASEUNITS>nos</BASEUNITS>"),
                   "<PARENT>Metals</PARENT>\n    <CATEGORY>Long</CATEGORY>\n    <BASEUNITS>Nos</BASEUNITS>"},
        Acceptance{"AKindOfAFormat", "", master("CURRENCY", "USD", "<MAILINGNAME>US Dollar</MAILINGNAME>"),
                   "<CURRENCY NAME=\"USD\" MASTERID=\"33\">"},
        Acceptance{"UnitNamedByItsElement", "", "<UNIT NAME=\"\" ACTION=\"Create\"><NAME>Kg</NAME></UNIT>",
                   "<UNIT NAME=\"Kg\" MASTERID=\"33\">"}),
    [](const auto& info) { return std::string(info.param.caseName); });

TEST(SimulatorProtocol, ObjectsOfOneMessageSeeEachOtherAndAreCountedTogether) {
    Simulator simulator(twoCompanies());
    const auto reply = simulator.answer(importDataRequest(
        "", master("UNIT", "Nos") + master("STOCKITEM", "Steel Rod", "<BASEUNITS>Nos</BASEUNITS>") +
                master("STOCKITEM", "Copper", "<BASEUNITS>Kg</BASEUNITS>")));
    EXPECT_EQ(reply, "<RESPONSE>\r\n <LINEERROR>Unit 'Kg' does not exist!</LINEERROR>\r\n" +
                         counters(2, 0, 0, 34, 0, 1) + "</RESPONSE>\r\n");
    EXPECT_EQ(reduceReply(reply), "ERRORS Unit 'Kg' does not exist! - ");
}

TEST(SimulatorProtocol, ImportingAnExistingMasterAltersIt) {
    Simulator simulator(twoCompanies());
    simulator.answer(importDataRequest(
        "", master("LEDGER", "Ravi Traders", "<PARENT>Sundry Debtors</PARENT><PINCODE>560001</PINCODE>")));
    const auto reply = simulator.answer(
        importDataRequest("", master("LEDGER", "RAVI TRADERS", "<PARENT>Sundry Creditors</PARENT>")));
    EXPECT_EQ(reply, "<RESPONSE>\r\n" + counters(0, 1, 0, 33, 0, 0) + "</RESPONSE>\r\n");
    EXPECT_EQ(reduceReply(reply), "ALTERED ");
    const auto store = simulator.storeXml("Acme & Co");
    EXPECT_NE(store.find("  <LEDGER NAME=\"RAVI TRADERS\" MASTERID=\"33\">\n"
                         "    <PINCODE>560001</PINCODE>\n"
                         "    <PARENT>Sundry Creditors</PARENT>\n"
                         "    <NAME.LIST>\n"
                         "      <NAME>RAVI TRADERS</NAME>\n"
                         "    </NAME.LIST>\n"
                         "  </LEDGER>"),
              std::string::npos)
        << store;
}

TEST(SimulatorProtocol, TheImportEnvelopeCombinesDuplicatesAndAnswersWithAnImportResult) {
    Simulator simulator(twoCompanies());
    const auto created = simulator.answer(importRequest("Beta Traders", master("GODOWN", "Yard")));
    const std::string head = "<ENVELOPE>\r\n <HEADER>\r\n  <VERSION>1</VERSION>\r\n  <STATUS>1</STATUS>\r\n"
                             " </HEADER>\r\n <BODY>\r\n  <DESC></DESC>\r\n  <DATA>\r\n   <IMPORTRESULT>\r\n";
    const std::string tail = "   </IMPORTRESULT>\r\n  </DATA>\r\n </BODY>\r\n</ENVELOPE>\r\n";
    EXPECT_EQ(created, head + deeper(counters(1, 0, 0, 33, 0, 0), 3) + tail);
    EXPECT_EQ(reduceReply(created), "CREATED ");
    const auto combined = simulator.answer(importRequest("Beta Traders", master("GODOWN", "yard")));
    EXPECT_EQ(combined, head + deeper(counters(0, 0, 0, 33, 1, 0), 3) + tail);
    EXPECT_EQ(reduceReply(combined), "COMBINED ");
    const auto refused =
        simulator.answer(importRequest("Beta Traders", master("GODOWN", "Shelf", "<PARENT>Bin</PARENT>")));
    EXPECT_EQ(refused, head + "    <LINEERROR>Godown 'Bin' does not exist!</LINEERROR>\r\n" +
                           deeper(counters(0, 0, 0, 0, 0, 1), 3) + tail);
    EXPECT_EQ(reduceReply(refused), "ERRORS Godown 'Bin' does not exist! ");
}

TEST(SimulatorProtocol, AlterFindsTheMasterByItsOldNameAndRenamesIt) {
    Simulator simulator(twoCompanies());
    simulator.answer(
        importDataRequest("", master("LEDGER", "Ravi Traders", "<PARENT>Sundry Debtors</PARENT>")));
    const std::string alter =
        "<LEDGER NAME=\"Ravi Traders\" ACTION=\"Alter\"><NAME.LIST><NAME>Ravi &amp; Sons</NAME>"
        "<NAME>Ravi</NAME></NAME.LIST></LEDGER>";
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("", alter))), "ALTERED ");
    EXPECT_FALSE(simulator.objectExists("Acme & Co", "LEDGER", "Ravi Traders"));
    EXPECT_TRUE(simulator.objectExists("Acme & Co", "LEDGER", "Ravi & Sons"));
    EXPECT_TRUE(simulator.objectExists("Acme & Co", "LEDGER", "ravi")); // the alias
    const auto found = simulator.answer(objectExistsRequest("LEDGER", "Ravi"));
    EXPECT_NE(found.find("<LEDGER NAME=\"Ravi &amp; Sons\" RESERVEDNAME=\"\">"), std::string::npos) << found;

    const std::string clash = "<LEDGER NAME=\"Ravi &amp; Sons\" ACTION=\"Alter\"><NAME.LIST><NAME>cash</NAME>"
                              "</NAME.LIST></LEDGER>";
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("", clash))),
              "ERRORS Ledger 'cash' already exists! - ");
}

TEST(SimulatorProtocol, AnUnknownCompanyIsRefusedInBothEnvelopesAndInAnObjectQuery) {
    Simulator simulator(twoCompanies());
    const auto data = simulator.answer(importDataRequest("Acme", master("LEDGER", "Ravi")));
    EXPECT_EQ(data, "<RESPONSE>\r\n <LINEERROR>Could not set 'SVCurrentCompany' to 'Acme'</LINEERROR>\r\n" +
                        counters(0, 0, 0, 0, 0, 1) + "</RESPONSE>\r\n");
    EXPECT_EQ(reduceReply(data), "ERRORS Could not set 'SVCurrentCompany' to 'Acme' - ");
    const auto import = simulator.answer(importRequest("Acme\\n", master("LEDGER", "Ravi")));
    EXPECT_EQ(reduceReply(import), "ERRORS Could not set 'SVCurrentCompany' to 'Acme\\n' ");
    EXPECT_FALSE(simulator.objectExists("Acme & Co", "LEDGER", "Ravi"));
    std::string query = objectExistsRequest("LEDGER", "Cash");
    query.replace(query.find("<STATICVARIABLES>"), 17,
                  "<STATICVARIABLES>\r\n<SVCURRENTCOMPANY>Acme</SVCURRENTCOMPANY>");
    EXPECT_NE(simulator.answer(query).find("<ERRORMSG>Could not set 'SVCurrentCompany' to 'Acme'</ERRORMSG>"),
              std::string::npos);
}

TEST(SimulatorProtocol, TheNamedCompanyTakesTheImportWhateverItsLetterCase) {
    Simulator simulator(twoCompanies());
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("BETA traders", master("LEDGER", "Ravi")))),
              "CREATED ");
    EXPECT_TRUE(simulator.objectExists("Beta Traders", "LEDGER", "Ravi"));
    EXPECT_FALSE(simulator.objectExists("Acme & Co", "LEDGER", "Ravi"));
    // Without SVCURRENTCOMPANY the open company takes it.
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("", master("LEDGER", "Kiran")))), "CREATED ");
    EXPECT_TRUE(simulator.objectExists("acme & co", "LEDGER", "Kiran"));
}

TEST(SimulatorProtocol, ANewCompanyHoldsThePredefinedMasters) {
    Simulator simulator(twoCompanies());
    const std::string groups =
        "Capital Account|Current Assets|Current Liabilities|Sundry Debtors|Sundry Creditors|Bank Accounts|"
        "Cash-in-Hand|Sales Accounts|Purchase Accounts|Direct Expenses|Indirect Expenses|Direct Incomes|"
        "Indirect Incomes|Duties & Taxes|Fixed Assets|Investments|Loans (Liability)|Stock-in-Hand|Bank OD "
        "A/c|"
        "Branch / Divisions|Deposits (Asset)|Provisions|Reserves & Surplus|Secured Loans|Unsecured Loans|"
        "Suspense A/c|Misc. Expenses (ASSET)|Loans & Advances (Asset)";
    ASSERT_EQ(test::split(groups).size(), 28u);
    for (const auto& group : test::split(groups))
        EXPECT_TRUE(simulator.objectExists("Beta Traders", "GROUP", group)) << group;
    EXPECT_TRUE(simulator.objectExists("Beta Traders", "LEDGER", "Cash"));
    EXPECT_TRUE(simulator.objectExists("Beta Traders", "LEDGER", "Profit & Loss A/c"));
    EXPECT_TRUE(simulator.objectExists("Beta Traders", "GODOWN", "Main Location"));
    EXPECT_TRUE(simulator.objectExists("Beta Traders", "COSTCATEGORY", "Primary Cost Category"));
    EXPECT_FALSE(simulator.objectExists("Beta Traders", "GROUP", "Primary"));

    const auto store = simulator.storeXml("Beta Traders");
    EXPECT_EQ(
        store.rfind("<?xml version=\"1.0\"?>\n<COMPANY NAME=\"Beta Traders\" xmlns:UDF=\"TallyUDF\">\n", 0),
        0u)
        << store;
    EXPECT_NE(store.find("  <GROUP NAME=\"Sundry Debtors\" RESERVEDNAME=\"Sundry Debtors\" MASTERID=\"27\">\n"
                         "    <PARENT>Current Assets</PARENT>\n"
                         "    <ISBILLWISEON>Yes</ISBILLWISEON>\n"
                         "    <ISREVENUE>No</ISREVENUE>\n"
                         "    <ISDEEMEDPOSITIVE>Yes</ISDEEMEDPOSITIVE>\n"
                         "    <AFFECTSGROSSPROFIT>No</AFFECTSGROSSPROFIT>\n"
                         "    <NAME.LIST>\n"
                         "      <NAME>Sundry Debtors</NAME>\n"
                         "    </NAME.LIST>\n"
                         "  </GROUP>\n"),
              std::string::npos);
    EXPECT_NE(store.find("  <GROUP NAME=\"Sales Accounts\" RESERVEDNAME=\"Sales Accounts\" MASTERID=\"14\">\n"
                         "    <PARENT>&#4; Primary</PARENT>\n"
                         "    <ISBILLWISEON>No</ISBILLWISEON>\n"
                         "    <ISREVENUE>Yes</ISREVENUE>\n"
                         "    <ISDEEMEDPOSITIVE>No</ISDEEMEDPOSITIVE>\n"
                         "    <AFFECTSGROSSPROFIT>Yes</AFFECTSGROSSPROFIT>\n"),
              std::string::npos);
    EXPECT_NE(store.find("  <LEDGER NAME=\"Cash\" RESERVEDNAME=\"Cash\" MASTERID=\"29\">\n"
                         "    <PARENT>Cash-in-Hand</PARENT>\n"),
              std::string::npos);
    EXPECT_EQ(simulator.storeXml("Nobody"), "");
}

TEST(SimulatorProtocol, TheDumpHoldsEveryCompanyAndMarksTheOpenOne) {
    Simulator simulator(twoCompanies());
    simulator.answer(
        importDataRequest("Beta Traders", master("LEDGER", "Ravi", "<PARENT>Sundry Debtors</PARENT>")));
    const auto dump = simulator.dumpAll();
    EXPECT_EQ(dump.rfind("<?xml version=\"1.0\"?>\n<TALLYSIM xmlns:UDF=\"TallyUDF\">\n"
                         "  <COMPANY NAME=\"Acme &amp; Co\" CURRENT=\"Yes\">\n",
                         0),
              0u);
    EXPECT_NE(dump.find("  <COMPANY NAME=\"Beta Traders\">\n"), std::string::npos);
    EXPECT_NE(dump.find("<LEDGER NAME=\"Ravi\" MASTERID=\"33\">"), std::string::npos);
}

TEST(SimulatorProtocol, NamesFoldBeyondAscii) {
    Options options;
    options.companies = {"Société Générale"};
    Simulator simulator(options);
    EXPECT_EQ(reduceReply(simulator.answer(importDataRequest("SOCIÉTÉ GÉNÉRALE", master("LEDGER", "Émile")))),
              "CREATED ");
    EXPECT_TRUE(simulator.objectExists("société générale", "LEDGER", "éMILE"));
}

TEST(SimulatorProtocol, WhatIsNotARequestItKnowsIsAnUnknownRequest) {
    Simulator simulator(twoCompanies());
    EXPECT_EQ(simulator.answer("<ENVELOPE><HEADER>"), UnknownRequest);
    EXPECT_EQ(simulator.answer("plain text"), UnknownRequest);
    EXPECT_EQ(simulator.answer(
                  "<ENVELOPE><HEADER><TALLYREQUEST>Export Data</TALLYREQUEST></HEADER><BODY><EXPORTDATA>"
                  "<REQUESTDESC><REPORTNAME>Trial Balance</REPORTNAME></REQUESTDESC></EXPORTDATA></BODY>"
                  "</ENVELOPE>"),
              UnknownRequest);
}

} // namespace
} // namespace quibo::sim
