// The master posters that build their element from a format definition of "Quibo20.DAT": the GST
// twins of the master types, the employee types and the users' own master formats.

#include "base/FormModel.h"
#include "base/Trap.h"
#include "localdb/LocalDatabase.h"
#include "masters/MasterPosters.h"
#include "masters/MasterRun.h"
#include "tally/TallyLink.h"
#include "tally/template/TemplateEngine.h"

namespace quibo {

namespace {

struct TemplateKind {
    const char* location;
    MasterKind kind;
    bool grouped;
};

void PostThroughTemplate(FormModel& form, TallyLink& link, const TemplateKind& kind) {
    Trap(form.errors(), kind.location, [&] {
        // One format for the whole run: the box may change while the run yields to the window.
        const QString formatName = form.cmbTableName.Text();
        LocalDatabase database(form.services().dataFolder);
        TemplateEngine engine(form.errors(), database, form.GR1, form.lstLedgerTree);
        MasterRun run(form, link, kind.kind);
        if (!kind.grouped) {
            run.RowByRow([&](const QString& company, int row) {
                return engine.PostTemplateRecord(link, formatName, company, row);
            });
            return;
        }
        MasterRun::Grouped shape;
        shape.addRow = [](int, int) {}; // the format reads the rows itself
        shape.iconOnly = true;
        shape.post = [&](const QString& company, int firstRow, int lastRow) {
            return engine.PostTemplateRecord(link, formatName, company, firstRow, lastRow);
        };
        run.RunGrouped(shape);
    });
}

TemplateKind Kind(const char* location, const char* objectType, const char* progress, bool grouped) {
    return {location, MasterKind{QString::fromLatin1(objectType), QString::fromLatin1(progress)}, grouped};
}

} // namespace

void PostLedgerGroupsGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0016", "GROUPS", "Processed Ledger Groups: ", true));
}

void PostLedgersGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0017", "LEDGER", "Processed Ledgers: ", true));
}

void PostStockItemsGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0022", "STOCK ITEMS", "Processed Stock Items: ", true));
}

void PostGodownsGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0019", "GODOWNS", "Processed Godowns: ", false));
}

void PostStockGroupsGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0020", "STOCK GROUPS", "Processed Stock Groups: ", false));
}

void PostStockCategoriesGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link,
                        Kind("F01-0021", "STOCK CATEGORIES", "Processed Stock Categories: ", false));
}

void PostCostCategoriesGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link,
                        Kind("F01-0052", "COST CATEGORIES", "Processed Cost Categories: ", false));
}

// The server is asked about "COST CENTRE" here, in the singular, where PostCostCentres asks about
// "COST CENTRES"; both name the same kind.
void PostCostCentresGST(FormModel& form, TallyLink& link) {
    PostThroughTemplate(form, link, Kind("F01-0053", "COST CENTRE", "Processed Cost Centres: ", false));
}

} // namespace quibo
