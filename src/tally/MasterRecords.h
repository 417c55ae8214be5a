#pragma once

// The master records: what a master posting procedure fills from its grid rows and the sender of its
// kind (tally/MasterSenders.h) turns into one import request. Plain values; the caller owns them and
// the senders only read them.
//
// Rules shared by every record:
// - An empty text is a value not given: its element is left out of the request. Any other text,
//   blanks included, is sent as it stands (the request document escapes it; "{Any}" and the other
//   special values in braces are rewritten by PostToTally).
// - `currentName` is the name under which an existing master is found; it is read only when the
//   action is "Alter" and then becomes the NAME attribute instead of `name`. Posters leave it empty.
// - `alias` is sent as a second NAME in NAME.LIST only when it is not empty and differs from `name`
//   (case counts).
// - The value fields are declared in the order their elements are sent.
//
// The lists (ledger bills and bank details, the five stock item lists) hold entries only, in the
// order of the grid rows that gave them: no empty entry 0, and no empty place where the ledger's
// bills and bank details share a running number. Every entry is sent except one whose first field
// is empty (the ledger poster makes such bank entries for rows that name only whom to pay).

#include <QString>

#include <vector>

namespace quibo {

struct GodownMaster {
    QString currentName;
    QString name;
    QString alias;
    QString parent;     // PARENT
    QString jobName;    // JOBNAME
    QString hasNoSpace; // HASNOSPACE
    QString hasNoStock; // HASNOSTOCK
};

// A unit has no alias: its name goes as a NAME element, never in a NAME.LIST.
struct UnitMaster {
    QString currentName;
    QString name;         // also the NAME element
    QString isSimpleUnit; // ISSIMPLEUNIT; "No" (trimmed, any case) chooses the compound-unit fields
    // Sent only for a simple unit (any other ISSIMPLEUNIT, empty included):
    QString originalName;  // ORIGINALNAME
    QString decimalPlaces; // DECIMALPLACES
    // Sent only for a compound unit:
    QString baseUnits;       // BASEUNITS
    QString additionalUnits; // ADDITIONALUNITS
    QString conversion;      // CONVERSION
};

struct GroupMaster {
    QString currentName;
    QString name;
    QString alias;
    QString parent;                // PARENT
    QString isBillWiseOn;          // ISBILLWISEON
    QString isAddable;             // ISADDABLE
    QString isSubLedger;           // ISSUBLEDGER
    QString isRevenue;             // ISREVENUE
    QString affectsGrossProfit;    // AFFECTSGROSSPROFIT
    QString isDeemedPositive;      // ISDEEMEDPOSITIVE
    QString trackNegativeBalances; // TRACKNEGATIVEBALANCES
    QString isCondensed;           // ISCONDENSED
    QString sortPosition;          // SORTPOSITION
    QString affectsStock;          // AFFECTSSTOCK
    QString isCostCentreOn;        // ISCOSTCENTREON
};

struct StockGroupMaster {
    QString currentName;
    QString name;
    QString alias;
    QString parent;                   // PARENT
    QString costingMethod;            // COSTINGMETHOD
    QString valuationMethod;          // VALUATIONMETHOD
    QString baseUnits;                // BASEUNITS
    QString additionalUnits;          // ADDITIONALUNITS
    QString isBatchWiseOn;            // ISBATCHWISEON
    QString isPerishableOn;           // ISPERISHABLEON
    QString isAddable;                // ISADDABLE
    QString ignorePhysicalDifference; // IGNOREPHYSICALDIFFERENCE
    QString ignoreNegativeStock;      // IGNORENEGATIVESTOCK
    QString treatSalesAsManufactured; // TREATSALESASMANUFACTURED
    QString treatPurchasesAsConsumed; // TREATPURCHASESASCONSUMED
    QString treatRejectsAsScrap;      // TREATREJECTSASSCRAP
    QString hasMfgDate;               // HASMFGDATE
    QString allowUseOfExpiredItems;   // ALLOWUSEOFEXPIREDITEMS
    QString ignoreBatches;            // IGNOREBATCHES
    QString ignoreGodowns;            // IGNOREGODOWNS
};

struct StockCategoryMaster {
    QString currentName;
    QString name;
    QString alias;
    QString parent; // PARENT
};

// The name is sent three times: NAME attribute, NAME element, NAME.LIST.
struct CostCategoryMaster {
    QString currentName;
    QString name; // also the NAME element
    QString alias;
    QString affectsStock;       // AFFECTSSTOCK
    QString allocateRevenue;    // ALLOCATEREVENUE
    QString allocateNonRevenue; // ALLOCATENONREVENUE
};

// The name is sent three times, as in CostCategoryMaster.
struct CostCentreMaster {
    QString currentName;
    QString name; // also the NAME element
    QString alias;
    QString parent;          // PARENT
    QString category;        // CATEGORY
    QString affectsStock;    // AFFECTSSTOCK
    QString forPayroll;      // FORPAYROLL
    QString forJobCosting;   // FORJOBCOSTING
    QString isEmployeeGroup; // ISEMPLOYEEGROUP
    QString sortPosition;    // SORTPOSITION
};

// One opening bill: a BILLALLOCATIONS.LIST with ISADVANCE "No"; sent only when `date` is not empty.
struct LedgerBill {
    QString date;         // BILLDATE
    QString name;         // NAME
    QString creditPeriod; // BILLCREDITPERIOD
    QString amount;       // OPENINGBALANCE, sent as given; its CellNumber counts towards the ledger's total
};

// One bank payment detail: a PAYMENTDETAILS.LIST; sent only when `bankName` is not empty.
struct LedgerPayment {
    QString bankName;               // BANKNAME
    QString accountNumber;          // ACCOUNTNUMBER
    QString ifsCode;                // IFSCODE
    QString paymentFavouring;       // PAYMENTFAVOURING
    QString transactionName;        // TRANSACTIONNAME
    QString chequeCrossComment;     // CHEQUECROSSCOMMENT
    QString setAsDefault;           // SETASDEFAULT
    QString defaultTransactionType; // DEFAULTTRANSACTIONTYPE
};

// The name is sent as the NAME attribute, as ADDITIONALNAME and first in NAME.LIST.
struct LedgerMaster {
    QString currentName;
    QString name;
    QString alias;
    // ADDRESS.LIST: when any line is not empty, one ADDRESS per line, empty lines included. The
    // ledger poster gives the four lines ADDRESS1 to ADDRESS4.
    std::vector<QString> addressLines;
    QString currencyName;             // CURRENCYNAME
    QString state;                    // STATENAME and LEDSTATENAME, the same text twice
    QString countryOfResidence;       // COUNTRYOFRESIDENCE
    QString pincode;                  // PINCODE
    QString ledgerContact;            // LEDGERCONTACT
    QString ledgerPhone;              // LEDGERPHONE
    QString ledgerMobile;             // LEDGERMOBILE
    QString ledgerFax;                // LEDGERFAX
    QString email;                    // EMAIL
    QString narration;                // NARRATION
    QString vatTinNumber;             // VATTINNUMBER
    QString incomeTaxNumber;          // INCOMETAXNUMBER
    QString salesTaxNumber;           // SALESTAXNUMBER
    QString priceLevel;               // PRICELEVEL
    QString parent;                   // PARENT
    QString taxClassificationName;    // TAXCLASSIFICATIONNAME
    QString taxType;                  // TAXTYPE
    QString gstType;                  // GSTTYPE
    QString serviceCategory;          // SERVICECATEGORY
    QString tdsDeducteeType;          // TDSDEDUCTEETYPE
    QString tdsRateName;              // TDSRATENAME
    QString ledgerFbtCategory;        // LEDGERFBTCATEGORY
    QString isBillWiseOn;             // ISBILLWISEON
    QString isCostCentresOn;          // ISCOSTCENTRESON
    QString isInterestOn;             // ISINTERESTON
    QString allowInMobile;            // ALLOWINMOBILE
    QString isCondensed;              // ISCONDENSED
    QString affectsStock;             // AFFECTSSTOCK
    QString forPayroll;               // FORPAYROLL
    QString interestOnBillWise;       // INTERESTONBILLWISE
    QString overrideInterest;         // OVERRIDEINTEREST
    QString overrideAdvInterest;      // OVERRIDEADVINTEREST
    QString useForVat;                // USEFORVAT
    QString ignoreTdsExempt;          // IGNORETDSEXEMPT
    QString isTcsApplicable;          // ISTCSAPPLICABLE
    QString isTdsApplicable;          // ISTDSAPPLICABLE
    QString isFbtApplicable;          // ISFBTAPPLICABLE
    QString isGstApplicable;          // ISGSTAPPLICABLE
    QString showInPaySlip;            // SHOWINPAYSLIP
    QString useForGratuity;           // USEFORGRATUITY
    QString forServiceTax;            // FORSERVICETAX
    QString isInputCredit;            // ISINPUTCREDIT
    QString isExempted;               // ISEXEMPTED
    QString tdsDeducteeIsSpecialRate; // TDSDEDUCTEEISSPECIALRATE
    QString audited;                  // AUDITED
    QString sortPosition;             // SORTPOSITION
    QString exciseRegNo;              // EXCISEREGNO
    QString exciseRegistrationDate;   // EXCISEREGISTRATIONDATE
    QString exciseRange;              // EXCISERANGE
    QString exciseDivision;           // EXCISEDIVISION
    QString exciseCommissionerate;    // EXCISECOMMISSIONERATE
    QString exciseNatureOfPurchase;   // EXCISENATUREOFPURCHASE
    std::vector<LedgerPayment> paymentDetails;
    std::vector<LedgerBill> bills;
    // OPENINGBALANCE when the bills sent add up to exactly 0 (or there are none); otherwise their
    // total goes instead, written as VB's Str writes it (" 1750.5", "-250").
    QString openingBalance;
};

// One opening batch: a BATCHALLOCATIONS.LIST; sent only when `godownName` is not empty.
struct StockBatch {
    QString godownName;     // GODOWNNAME
    QString batchName;      // BATCHNAME
    QString openingBalance; // OPENINGBALANCE
    QString openingValue;   // OPENINGVALUE
    QString openingRate;    // OPENINGRATE
    QString mfdOn;          // MFDON
    QString expiryPeriod;   // EXPIRYPERIOD
};

// One standard cost or standard price; sent only when `date` is not empty.
struct StockRate {
    QString date; // DATE
    QString rate; // RATE
};

// One bill-of-materials component: a COMPONENTLIST.LIST; sent only when `itemName` is not empty.
struct StockComponent {
    QString itemName;   // STOCKITEMNAME
    QString godownName; // GODOWNNAME
    QString quantity;   // ACTUALQTY is quantity, one blank, unit (either may be empty)
    QString unit;
};

// One excise godown: an EXCISEITEMGODOWN.LIST; sent only when `godownName` is not empty.
struct StockExciseGodown {
    QString godownName;     // EXCISEGODOWNNAME
    QString reportingUnits; // EXCISEREPUNITS
    QString allocationType; // EXCISEALLOCTYPE
    QString stockItemType;  // STOCKITEMTYPE
};

struct StockItemMaster {
    QString currentName;
    QString name;
    QString alias;
    QString parent;                   // PARENT
    QString category;                 // CATEGORY
    QString taxClassificationName;    // TAXCLASSIFICATIONNAME
    QString costingMethod;            // COSTINGMETHOD
    QString valuationMethod;          // VALUATIONMETHOD
    QString baseUnits;                // BASEUNITS
    QString additionalUnits;          // ADDITIONALUNITS
    QString exciseItemClassification; // EXCISEITEMCLASSIFICATION
    QString isCostCentresOn;          // ISCOSTCENTRESON
    QString isBatchWiseOn;            // ISBATCHWISEON
    // ISPERISHABLEON goes twice: after ISBATCHWISEON and again after HASMFGDATE.
    QString isPerishableOn;
    QString ignorePhysicalDifference; // IGNOREPHYSICALDIFFERENCE
    QString ignoreNegativeStock;      // IGNORENEGATIVESTOCK
    QString treatSalesAsManufactured; // TREATSALESASMANUFACTURED
    QString treatPurchasesAsConsumed; // TREATPURCHASESASCONSUMED
    QString treatRejectsAsScrap;      // TREATREJECTSASSCRAP
    QString hasMfgDate;               // HASMFGDATE
    QString allowUseOfExpiredItems;   // ALLOWUSEOFEXPIREDITEMS
    QString ignoreBatches;            // IGNOREBATCHES
    QString ignoreGodowns;            // IGNOREGODOWNS
    QString isMrpInclOfTax;           // ISMRPINCLOFTAX
    QString reorderAsHigher;          // REORDERASHIGHER
    QString minOrderAsHigher;         // MINORDERASHIGHER
    QString conversion;               // CONVERSION
    QString denominator;              // DENOMINATOR
    QString basicRateOfExcise;        // BASICRATEOFEXCISE
    QString rateOfVat;                // RATEOFVAT
    QString openingBalance;           // OPENINGBALANCE
    QString openingRate;              // OPENINGRATE
    QString openingValue;             // OPENINGVALUE
    QString basicQty;                 // BASICQTY
    QString basicTariffType;          // BASICTARIFFTYPE
    QString vatCommodity;             // VATCOMMODITY
    // The lists follow, then NAME.LIST, in this order.
    std::vector<StockBatch> batches;
    std::vector<StockRate> standardCosts;  // STANDARDCOSTLIST.LIST
    std::vector<StockRate> standardPrices; // STANDARDPRICELIST.LIST
    std::vector<StockComponent> components;
    std::vector<StockExciseGodown> exciseGodowns;
    QString additionalName; // ADDITIONALNAME inside ADDITIONALNAME.LIST
    QString description;    // DESCRIPTION
    QString narration;      // NARRATION
    // The user-defined price fields, each in a list element of its own (names in the sender).
    QString basePrice;
    QString vatPercentage;
    QString vatInclusive;
    QString purchaseDiscount;
    QString salesDiscount;
};

} // namespace quibo
