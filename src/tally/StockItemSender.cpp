#include "tally/MasterSenders.h"

#include "base/Trap.h"
#include "tally/MasterRequest.h"
#include "tally/TallyLink.h"

namespace quibo {

namespace {

// The user-defined price fields, in the order they are sent. Each goes as "<name>.LIST" holding one
// element "<name>"; the prefix is the one TALLYMESSAGE declares with xmlns:UDF.
struct PriceField {
    const char* list;
    const char* element;
    QString StockItemMaster::*field;
};
const PriceField PriceFields[] = {
    {"UDF:PELTRAXONBASEPRC.LIST", "UDF:PELTRAXONBASEPRC", &StockItemMaster::basePrice},
    {"UDF:PELTRAXONVATPRC.LIST", "UDF:PELTRAXONVATPRC", &StockItemMaster::vatPercentage},
    {"UDF:PELTRAXONVATINCL.LIST", "UDF:PELTRAXONVATINCL", &StockItemMaster::vatInclusive},
    {"UDF:PELTRAXONPURDISC.LIST", "UDF:PELTRAXONPURDISC", &StockItemMaster::purchaseDiscount},
    {"UDF:PELTRAXONSALDISC.LIST", "UDF:PELTRAXONSALDISC", &StockItemMaster::salesDiscount},
};

void Batches(MasterRequest& request, const std::vector<StockBatch>& batches) {
    for (const StockBatch& b : batches) {
        if (b.godownName.isEmpty()) continue;
        const XmlNode list = request.element("BATCHALLOCATIONS.LIST");
        request.element(list, "GODOWNNAME", b.godownName);
        request.element(list, "BATCHNAME", b.batchName);
        request.element(list, "OPENINGBALANCE", b.openingBalance);
        request.element(list, "OPENINGVALUE", b.openingValue);
        request.element(list, "OPENINGRATE", b.openingRate);
        request.element(list, "MFDON", b.mfdOn);
        request.element(list, "EXPIRYPERIOD", b.expiryPeriod);
    }
}

void Rates(MasterRequest& request, const char* listTag, const std::vector<StockRate>& rates) {
    for (const StockRate& r : rates) {
        if (r.date.isEmpty()) continue;
        const XmlNode list = request.element(listTag);
        request.element(list, "DATE", r.date);
        request.element(list, "RATE", r.rate);
    }
}

void Components(MasterRequest& request, const std::vector<StockComponent>& components) {
    for (const StockComponent& c : components) {
        if (c.itemName.isEmpty()) continue;
        const XmlNode list = request.element("COMPONENTLIST.LIST");
        request.element(list, "STOCKITEMNAME", c.itemName);
        request.element(list, "GODOWNNAME", c.godownName);
        request.element(list, "ACTUALQTY", c.quantity + u' ' + c.unit);
    }
}

void ExciseGodowns(MasterRequest& request, const std::vector<StockExciseGodown>& godowns) {
    for (const StockExciseGodown& g : godowns) {
        if (g.godownName.isEmpty()) continue;
        const XmlNode list = request.element("EXCISEITEMGODOWN.LIST");
        request.element(list, "EXCISEGODOWNNAME", g.godownName);
        request.element(list, "EXCISEREPUNITS", g.reportingUnits);
        request.element(list, "EXCISEALLOCTYPE", g.allocationType);
        request.element(list, "STOCKITEMTYPE", g.stockItemType);
    }
}

} // namespace

QString SendStockItem(TallyLink& link, const QString& company, const StockItemMaster& record,
                      const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0006", [&] {
        MasterRequest request(link.errors(), company, "STOCKITEM", action, record.currentName, record.name);
        request.value("PARENT", record.parent);
        request.value("CATEGORY", record.category);
        request.value("TAXCLASSIFICATIONNAME", record.taxClassificationName);
        request.value("COSTINGMETHOD", record.costingMethod);
        request.value("VALUATIONMETHOD", record.valuationMethod);
        request.value("BASEUNITS", record.baseUnits);
        request.value("ADDITIONALUNITS", record.additionalUnits);
        request.value("EXCISEITEMCLASSIFICATION", record.exciseItemClassification);
        request.value("ISCOSTCENTRESON", record.isCostCentresOn);
        request.value("ISBATCHWISEON", record.isBatchWiseOn);
        request.value("ISPERISHABLEON", record.isPerishableOn);
        request.value("IGNOREPHYSICALDIFFERENCE", record.ignorePhysicalDifference);
        request.value("IGNORENEGATIVESTOCK", record.ignoreNegativeStock);
        request.value("TREATSALESASMANUFACTURED", record.treatSalesAsManufactured);
        request.value("TREATPURCHASESASCONSUMED", record.treatPurchasesAsConsumed);
        request.value("TREATREJECTSASSCRAP", record.treatRejectsAsScrap);
        request.value("HASMFGDATE", record.hasMfgDate);
        request.value("ISPERISHABLEON", record.isPerishableOn);
        request.value("ALLOWUSEOFEXPIREDITEMS", record.allowUseOfExpiredItems);
        request.value("IGNOREBATCHES", record.ignoreBatches);
        request.value("IGNOREGODOWNS", record.ignoreGodowns);
        request.value("ISMRPINCLOFTAX", record.isMrpInclOfTax);
        request.value("REORDERASHIGHER", record.reorderAsHigher);
        request.value("MINORDERASHIGHER", record.minOrderAsHigher);
        request.value("CONVERSION", record.conversion);
        request.value("DENOMINATOR", record.denominator);
        request.value("BASICRATEOFEXCISE", record.basicRateOfExcise);
        request.value("RATEOFVAT", record.rateOfVat);
        request.value("OPENINGBALANCE", record.openingBalance);
        request.value("OPENINGRATE", record.openingRate);
        request.value("OPENINGVALUE", record.openingValue);
        request.value("BASICQTY", record.basicQty);
        request.value("BASICTARIFFTYPE", record.basicTariffType);
        request.value("VATCOMMODITY", record.vatCommodity);
        Batches(request, record.batches);
        Rates(request, "STANDARDCOSTLIST.LIST", record.standardCosts);
        Rates(request, "STANDARDPRICELIST.LIST", record.standardPrices);
        Components(request, record.components);
        ExciseGodowns(request, record.exciseGodowns);
        request.nameList(record.name, record.alias);
        if (!record.additionalName.isEmpty())
            request.element(request.element("ADDITIONALNAME.LIST"), "ADDITIONALNAME", record.additionalName);
        request.value("DESCRIPTION", record.description);
        request.value("NARRATION", record.narration);
        for (const PriceField& price : PriceFields) {
            const QString& value = record.*price.field;
            if (value.isEmpty()) continue;
            request.element(request.element(price.list), price.element, value);
        }
        outcome = request.post(link);
    });
    return outcome;
}

} // namespace quibo
