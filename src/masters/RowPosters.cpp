// The seven master kinds that post one master per grid row through their senders.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "masters/MasterPosters.h"
#include "masters/MasterRun.h"
#include "tally/MasterSenders.h"
#include "vb/Text.h"

namespace quibo {

namespace {

const QString Create = QStringLiteral("Create");
const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

QString C(const char* column) {
    return QString::fromLatin1(column);
}

// A unit is compound only when its ISSIMPLEUNIT cell says "No" (any case, blanks around).
bool IsCompoundUnit(const QString& isSimpleUnit) {
    return vb::UCase(vb::Trim(isSimpleUnit)) == QLatin1String("NO");
}

} // namespace

void PostLedgerGroups(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0016", [&] {
        MasterRun run(form, link, {QStringLiteral("GROUPS"), QStringLiteral("Processed Ledger Groups: ")});
        run.Require({"PARENT", "SUBLEDGER"});
        run.RowByRow([&](const QString& company, int row) {
            GroupMaster group;
            group.isBillWiseOn = No;
            group.isCostCentreOn = No;
            group.isAddable = No;
            group.isRevenue = No;
            group.affectsGrossProfit = No;
            group.isDeemedPositive = No;
            group.trackNegativeBalances = No;
            group.affectsStock = No;
            group.isCondensed = Yes;
            group.name = run.Cell(row, C("NAME"));
            group.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            group.parent = run.Cell(row, C("PARENT"));
            group.isSubLedger = run.Cell(row, C("SUBLEDGER"));
            return SendGroup(link, company, group, Create);
        });
    });
}

void PostUnits(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0018", [&] {
        MasterRun run(form, link, {QStringLiteral("UNITS"), QStringLiteral("Processed Units: ")});
        run.Require({"ISSIMPLEUNIT"});
        // Each kind of unit needs only its own columns, but those it needs must be there before the
        // first unit goes.
        bool anySimple = false;
        bool anyCompound = false;
        for (int row = 1; row <= form.GR1.RowCount(); ++row) {
            if (vb::Trim(run.Cell(row, C("NAME"))).isEmpty()) continue;
            (IsCompoundUnit(run.Cell(row, C("ISSIMPLEUNIT"))) ? anyCompound : anySimple) = true;
        }
        if (anySimple) run.Require({"ORIGINALNAME", "DECIMALPLACES"});
        if (anyCompound) run.Require({"BASEUNITS", "ADDITIONALUNITS", "CONVERSION"});

        run.RowByRow([&](const QString& company, int row) {
            UnitMaster unit;
            unit.name = run.Cell(row, C("NAME"));
            unit.isSimpleUnit = run.Cell(row, C("ISSIMPLEUNIT"));
            if (IsCompoundUnit(unit.isSimpleUnit)) {
                unit.baseUnits = run.Cell(row, C("BASEUNITS"));
                unit.additionalUnits = run.Cell(row, C("ADDITIONALUNITS"));
                unit.conversion = run.Cell(row, C("CONVERSION"));
            } else {
                unit.originalName = run.Cell(row, C("ORIGINALNAME"));
                unit.decimalPlaces = run.Cell(row, C("DECIMALPLACES"));
            }
            return SendUnit(link, company, unit, Create);
        });
    });
}

void PostGodowns(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0019", [&] {
        MasterRun run(form, link, {QStringLiteral("GODOWNS"), QStringLiteral("Processed Godowns: ")});
        run.Require({"PARENT", "HASNOSTOCK"});
        run.RowByRow([&](const QString& company, int row) {
            GodownMaster godown;
            godown.name = run.Cell(row, C("NAME"));
            godown.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            godown.parent = run.Cell(row, C("PARENT"));
            godown.hasNoStock = run.Cell(row, C("HASNOSTOCK"));
            return SendGodown(link, company, godown, Create);
        });
    });
}

void PostStockGroups(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0020", [&] {
        MasterRun run(form, link,
                      {QStringLiteral("STOCK GROUPS"), QStringLiteral("Processed Stock Groups: ")});
        run.Require({"PARENT", "ISADDABLE"});
        run.RowByRow([&](const QString& company, int row) {
            StockGroupMaster group;
            group.name = run.Cell(row, C("NAME"));
            group.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            group.parent = run.Cell(row, C("PARENT"));
            group.isAddable = run.Cell(row, C("ISADDABLE"));
            return SendStockGroup(link, company, group, Create);
        });
    });
}

void PostStockCategories(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0021", [&] {
        MasterRun run(form, link,
                      {QStringLiteral("STOCK CATEGORIES"), QStringLiteral("Processed Stock Categories: ")});
        run.Require({"PARENT"});
        run.RowByRow([&](const QString& company, int row) {
            StockCategoryMaster category;
            category.name = run.Cell(row, C("NAME"));
            category.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            category.parent = run.Cell(row, C("PARENT"));
            return SendStockCategory(link, company, category, Create);
        });
    });
}

void PostCostCategories(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0052", [&] {
        MasterRun run(form, link,
                      {QStringLiteral("COST CATEGORIES"), QStringLiteral("Processed Cost Categories: ")});
        run.RowByRow([&](const QString& company, int row) {
            CostCategoryMaster category;
            category.name = run.Cell(row, C("NAME"));
            category.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            category.allocateRevenue = run.CellIfPresent(row, C("ALLOCATEREVENUE"));
            category.allocateNonRevenue = run.CellIfPresent(row, C("ALLOCATENONREVENUE"));
            return SendCostCategory(link, company, category, Create);
        });
    });
}

void PostCostCentres(FormModel& form, TallyLink& link) {
    Trap(form.errors(), "F01-0053", [&] {
        MasterRun run(form, link,
                      {QStringLiteral("COST CENTRES"), QStringLiteral("Processed Cost Centres: ")});
        run.Require({"PARENT"});
        run.RowByRow([&](const QString& company, int row) {
            CostCentreMaster centre;
            centre.name = run.Cell(row, C("NAME"));
            centre.alias = run.CellIfPresent(row, C("NAMEALIAS"));
            centre.parent = run.Cell(row, C("PARENT"));
            centre.category = run.CellIfPresent(row, C("CATEGORY"));
            if (vb::Trim(centre.category).isEmpty())
                centre.category = QStringLiteral("Primary Cost Category");
            centre.affectsStock = run.CellIfPresent(row, C("AFFECTSSTOCK"));
            centre.forPayroll = run.CellIfPresent(row, C("FORPAYROLL"));
            centre.forJobCosting = run.CellIfPresent(row, C("FORJOBCOSTING"));
            centre.isEmployeeGroup = run.CellIfPresent(row, C("ISEMPLOYEEGROUP"));
            centre.sortPosition = run.CellIfPresent(row, C("SORTPOSITION"));
            return SendCostCentre(link, company, centre, Create);
        });
    });
}

} // namespace quibo
