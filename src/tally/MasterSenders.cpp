#include "tally/MasterSenders.h"

#include "base/Trap.h"
#include "tally/MasterRequest.h"
#include "tally/TallyLink.h"
#include "vb/Text.h"

namespace quibo {

QString SendGodown(TallyLink& link, const QString& company, const GodownMaster& record,
                   const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0001", [&] {
        MasterRequest request(link.errors(), company, "GODOWN", action, record.currentName, record.name);
        request.value("PARENT", record.parent);
        request.value("JOBNAME", record.jobName);
        request.value("HASNOSPACE", record.hasNoSpace);
        request.value("HASNOSTOCK", record.hasNoStock);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

QString SendUnit(TallyLink& link, const QString& company, const UnitMaster& record, const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0002", [&] {
        MasterRequest request(link.errors(), company, "UNIT", action, record.currentName, record.name);
        request.value("NAME", record.name);
        request.value("ISSIMPLEUNIT", record.isSimpleUnit);
        // Only an explicit "No" makes a compound unit: a simple unit written "yes" or left blank keeps
        // its decimal places.
        if (vb::UCase(vb::Trim(record.isSimpleUnit)) != QLatin1String("NO")) {
            request.value("ORIGINALNAME", record.originalName);
            request.value("DECIMALPLACES", record.decimalPlaces);
        } else {
            request.value("BASEUNITS", record.baseUnits);
            request.value("ADDITIONALUNITS", record.additionalUnits);
            request.value("CONVERSION", record.conversion);
        }
        outcome = request.post(link);
    });
    return outcome;
}

QString SendGroup(TallyLink& link, const QString& company, const GroupMaster& record, const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0003", [&] {
        MasterRequest request(link.errors(), company, "GROUP", action, record.currentName, record.name);
        request.value("PARENT", record.parent);
        request.value("ISBILLWISEON", record.isBillWiseOn);
        request.value("ISADDABLE", record.isAddable);
        request.value("ISSUBLEDGER", record.isSubLedger);
        request.value("ISREVENUE", record.isRevenue);
        request.value("AFFECTSGROSSPROFIT", record.affectsGrossProfit);
        request.value("ISDEEMEDPOSITIVE", record.isDeemedPositive);
        request.value("TRACKNEGATIVEBALANCES", record.trackNegativeBalances);
        request.value("ISCONDENSED", record.isCondensed);
        request.value("SORTPOSITION", record.sortPosition);
        request.value("AFFECTSSTOCK", record.affectsStock);
        request.value("ISCOSTCENTREON", record.isCostCentreOn);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

QString SendStockGroup(TallyLink& link, const QString& company, const StockGroupMaster& record,
                       const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0005", [&] {
        MasterRequest request(link.errors(), company, "STOCKGROUP", action, record.currentName, record.name);
        request.value("PARENT", record.parent);
        request.value("COSTINGMETHOD", record.costingMethod);
        request.value("VALUATIONMETHOD", record.valuationMethod);
        request.value("BASEUNITS", record.baseUnits);
        request.value("ADDITIONALUNITS", record.additionalUnits);
        request.value("ISBATCHWISEON", record.isBatchWiseOn);
        request.value("ISPERISHABLEON", record.isPerishableOn);
        request.value("ISADDABLE", record.isAddable);
        request.value("IGNOREPHYSICALDIFFERENCE", record.ignorePhysicalDifference);
        request.value("IGNORENEGATIVESTOCK", record.ignoreNegativeStock);
        request.value("TREATSALESASMANUFACTURED", record.treatSalesAsManufactured);
        request.value("TREATPURCHASESASCONSUMED", record.treatPurchasesAsConsumed);
        request.value("TREATREJECTSASSCRAP", record.treatRejectsAsScrap);
        request.value("HASMFGDATE", record.hasMfgDate);
        request.value("ALLOWUSEOFEXPIREDITEMS", record.allowUseOfExpiredItems);
        request.value("IGNOREBATCHES", record.ignoreBatches);
        request.value("IGNOREGODOWNS", record.ignoreGodowns);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

QString SendStockCategory(TallyLink& link, const QString& company, const StockCategoryMaster& record,
                          const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0007", [&] {
        MasterRequest request(link.errors(), company, "STOCKCATEGORY", action, record.currentName,
                              record.name);
        request.value("PARENT", record.parent);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

QString SendCostCategory(TallyLink& link, const QString& company, const CostCategoryMaster& record,
                         const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0008", [&] {
        MasterRequest request(link.errors(), company, "COSTCATEGORY", action, record.currentName,
                              record.name);
        request.value("NAME", record.name);
        request.value("AFFECTSSTOCK", record.affectsStock);
        request.value("ALLOCATEREVENUE", record.allocateRevenue);
        request.value("ALLOCATENONREVENUE", record.allocateNonRevenue);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

QString SendCostCentre(TallyLink& link, const QString& company, const CostCentreMaster& record,
                       const QString& action) {
    QString outcome;
    Trap(link.errors(), "C03--0009", [&] {
        MasterRequest request(link.errors(), company, "COSTCENTRE", action, record.currentName, record.name);
        request.value("NAME", record.name);
        request.value("PARENT", record.parent);
        request.value("CATEGORY", record.category);
        request.value("AFFECTSSTOCK", record.affectsStock);
        request.value("FORPAYROLL", record.forPayroll);
        request.value("FORJOBCOSTING", record.forJobCosting);
        request.value("ISEMPLOYEEGROUP", record.isEmployeeGroup);
        request.value("SORTPOSITION", record.sortPosition);
        request.nameList(record.name, record.alias);
        outcome = request.post(link);
    });
    return outcome;
}

} // namespace quibo
