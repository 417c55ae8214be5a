// PostStockItems: one STOCKITEM per run of rows sharing a NAME; every row of the run may add an
// opening batch, a standard cost, a standard price, a component and an excise godown.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "masters/MasterPosters.h"
#include "masters/MasterRun.h"
#include "masters/NumericText.h"
#include "tally/MasterSenders.h"

#include <array>

namespace quibo {

namespace {

QString C(const char* column) {
    return QString::fromLatin1(column);
}

// An item column and the record field it fills, as read, when the source has it.
struct ItemColumn {
    const char* column;
    QString StockItemMaster::*field;
};

const std::array<ItemColumn, 20> PlainColumns = {{
    {"NAMEALIAS", &StockItemMaster::alias},
    {"ADDITIONALUNIT", &StockItemMaster::additionalUnits},
    {"DENOMINATOR", &StockItemMaster::denominator},
    {"BASICRATEOFEXCISE", &StockItemMaster::basicRateOfExcise},
    {"RATEOFVAT", &StockItemMaster::rateOfVat},
    {"ISBATCHWISEON", &StockItemMaster::isBatchWiseOn},
    {"HASMFGDATE", &StockItemMaster::hasMfgDate},
    {"ISPERISHABLEON", &StockItemMaster::isPerishableOn},
    {"ISCOSTCENTRESON", &StockItemMaster::isCostCentresOn},
    {"IGNORENEGATIVESTOCK", &StockItemMaster::ignoreNegativeStock},
    {"PARTNO", &StockItemMaster::additionalName},
    {"DESCRIPTION", &StockItemMaster::description},
    {"REMARK", &StockItemMaster::narration},
    {"EXCISECOMMODITY", &StockItemMaster::basicTariffType},
    {"VATCOMMODITY", &StockItemMaster::vatCommodity},
    {"BASEPRICE", &StockItemMaster::basePrice},
    {"PURCHASEDISC", &StockItemMaster::purchaseDiscount},
    {"SALESDISC", &StockItemMaster::salesDiscount},
    {"VATPER", &StockItemMaster::vatPercentage},
    {"VATINCL", &StockItemMaster::vatInclusive},
}};

// Which list columns the source has, looked up once per run.
struct ListColumns {
    bool godown, batchName, balance, value, rate, mfdOn, expiry;
    bool stdCost, stdPrice, bom, excise;

    explicit ListColumns(const MasterRun& run)
        : godown(run.Has(C("GODOWNNAME"))), batchName(run.Has(C("BATCHNAME"))),
          balance(run.Has(C("OPENINGBALANCE"))), value(run.Has(C("OPENINGVALUE"))),
          rate(run.Has(C("OPENINGRATE"))), mfdOn(run.Has(C("MFDON"))), expiry(run.Has(C("EXPIRYPERIOD"))),
          stdCost(run.Has(C("STDCOST")) && run.Has(C("STDCOSTDATE"))),
          stdPrice(run.Has(C("STDPRICE")) && run.Has(C("STDPRICEDATE"))),
          bom(run.Has(C("BOMITEM")) && run.Has(C("BOMGODOWN")) && run.Has(C("BOMQTY")) &&
              run.Has(C("BOMUNIT"))),
          excise(run.Has(C("EXCISEGODOWN"))) {}
};

// The item's own fields, from the first row of its run.
void FillItem(const MasterRun& run, int row, StockItemMaster& item) {
    item.name = run.Cell(row, C("NAME"));
    for (const ItemColumn& c : PlainColumns)
        if (run.Has(C(c.column))) item.*c.field = run.Cell(row, C(c.column));
    item.parent = run.Cell(row, C("PARENT"));
    item.category = run.Cell(row, C("CATEGORY"));
    item.costingMethod = run.CellIfPresent(row, C("COSTINGMETHOD"), QStringLiteral("Avg. Cost"));
    item.valuationMethod = run.CellIfPresent(row, C("VALUATIONMETHOD"), QStringLiteral("Avg. Price"));
    item.baseUnits = run.Cell(row, C("BASEUNITS"));
    if (run.Has(C("CONVERSION"))) item.conversion = NumericText(run.Cell(row, C("CONVERSION")));
    if (run.Has(C("OPENINGBALANCE"))) item.openingBalance = NumericText(run.Cell(row, C("OPENINGBALANCE")));
    // An opening value goes to the server as a credit.
    if (run.Has(C("OPENINGVALUE"))) item.openingValue = NegatedNumericText(run.Cell(row, C("OPENINGVALUE")));
    if (run.Has(C("OPENINGRATE"))) item.openingRate = NumericText(run.Cell(row, C("OPENINGRATE")));
    if (run.Has(C("MFGQTY"))) item.basicQty = run.Cell(row, C("MFGQTY")) + run.Cell(row, C("MFGUNIT"));
}

void AddEntries(const MasterRun& run, const ListColumns& has, int row, StockItemMaster& item) {
    if (has.godown && !run.Cell(row, C("GODOWNNAME")).isEmpty()) {
        StockBatch batch;
        batch.godownName = run.Cell(row, C("GODOWNNAME"));
        if (has.batchName) batch.batchName = run.Cell(row, C("BATCHNAME"));
        if (has.balance) batch.openingBalance = NumericText(run.Cell(row, C("OPENINGBALANCE")));
        if (has.value) batch.openingValue = NegatedNumericText(run.Cell(row, C("OPENINGVALUE")));
        if (has.rate) batch.openingRate = NumericText(run.Cell(row, C("OPENINGRATE")));
        // A date stays a date: read as a number it would keep only its day.
        if (has.mfdOn) batch.mfdOn = run.Cell(row, C("MFDON"));
        if (has.expiry) batch.expiryPeriod = NumericText(run.Cell(row, C("EXPIRYPERIOD")));
        item.batches.push_back(std::move(batch));
    }
    if (has.stdCost && !run.Cell(row, C("STDCOST")).isEmpty() && !run.Cell(row, C("STDCOSTDATE")).isEmpty())
        item.standardCosts.push_back(StockRate{run.Cell(row, C("STDCOSTDATE")), run.Cell(row, C("STDCOST"))});
    if (has.stdPrice && !run.Cell(row, C("STDPRICE")).isEmpty() &&
        !run.Cell(row, C("STDPRICEDATE")).isEmpty())
        item.standardPrices.push_back(
            StockRate{run.Cell(row, C("STDPRICEDATE")), run.Cell(row, C("STDPRICE"))});
    if (has.bom && !run.Cell(row, C("BOMITEM")).isEmpty() && !run.Cell(row, C("BOMGODOWN")).isEmpty())
        item.components.push_back(StockComponent{run.Cell(row, C("BOMITEM")), run.Cell(row, C("BOMGODOWN")),
                                                 NumericText(run.Cell(row, C("BOMQTY"))),
                                                 run.Cell(row, C("BOMUNIT"))});
    if (has.excise && !run.Cell(row, C("EXCISEGODOWN")).isEmpty())
        item.exciseGodowns.push_back(
            StockExciseGodown{run.Cell(row, C("EXCISEGODOWN")), run.Cell(row, C("EXCISEUNITNAME")),
                              run.Cell(row, C("VALUATIONTYPE")), run.Cell(row, C("STOCKITEMTYPE"))});
}

} // namespace

void PostStockItems(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0022", [&] {
        MasterRun run(form, link, {QStringLiteral("STOCK ITEMS"), QStringLiteral("Processed Stock Items: ")});
        run.Require({"PARENT", "CATEGORY", "BASEUNITS"});
        if (run.Has(C("MFGQTY"))) run.Require(C("MFGUNIT"));
        if (run.Has(C("EXCISEGODOWN"))) run.Require({"EXCISEUNITNAME", "VALUATIONTYPE", "STOCKITEMTYPE"});
        const ListColumns has(run);

        StockItemMaster item;
        MasterRun::Grouped shape;
        shape.addRow = [&](int firstRow, int row) {
            if (row == firstRow) {
                item = StockItemMaster();
                FillItem(run, row, item);
            }
            AddEntries(run, has, row, item);
        };
        shape.post = [&](const QString& company, int, int) {
            return SendStockItem(link, company, item, QStringLiteral("Create"));
        };
        run.RunGrouped(shape);
    });
}

} // namespace quibo
