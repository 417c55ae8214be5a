#include "masters/MasterPosters.h"

namespace quibo {

const std::vector<MasterPoster>& MasterPosters() {
    static const std::vector<MasterPoster> posters = {
        {QStringLiteral("PostLedgerGroups"), &PostLedgerGroups},
        {QStringLiteral("PostLedgerGroupsGST"), &PostLedgerGroupsGST},
        {QStringLiteral("PostLedgers"), &PostLedgers},
        {QStringLiteral("PostLedgersGST"), &PostLedgersGST},
        {QStringLiteral("PostUnits"), &PostUnits},
        {QStringLiteral("PostUnitsGST"), &PostUnits},
        {QStringLiteral("PostGodowns"), &PostGodowns},
        {QStringLiteral("PostGodownsGST"), &PostGodownsGST},
        {QStringLiteral("PostStockGroups"), &PostStockGroups},
        {QStringLiteral("PostStockGroupsGST"), &PostStockGroupsGST},
        {QStringLiteral("PostStockCategories"), &PostStockCategories},
        {QStringLiteral("PostStockCategoriesGST"), &PostStockCategoriesGST},
        {QStringLiteral("PostStockItems"), &PostStockItems},
        {QStringLiteral("PostStockItemsGST"), &PostStockItemsGST},
        {QStringLiteral("PostCostCategories"), &PostCostCategories},
        {QStringLiteral("PostCostCategoriesGST"), &PostCostCategoriesGST},
        {QStringLiteral("PostCostCentres"), &PostCostCentres},
        {QStringLiteral("PostCostCentresGST"), &PostCostCentresGST},
    };
    return posters;
}

} // namespace quibo
