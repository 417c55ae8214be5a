#include "app/commands/ProcedureHooks.h"

#include "app/commands/MainCommands.h"
#include "masters/MasterPosters.h"
#include "sources/TableLoader.h"
#include "vouchers/VoucherPosters.h"

#include <memory>

namespace quibo {

void InstallProcedureHooks(MainCommands& commands) {
    auto loader = std::make_shared<TableLoader>(commands.form(), commands.connectionOpener());
    commands.tableLoader = [loader] { loader->cmbTableName_Click(); };

    for (const MasterPoster& poster : MasterPosters())
        commands.posters.Register(
            poster.procedure, [&commands, post = poster.post] { post(commands.form(), commands.tally()); });
    for (const VoucherPoster& poster : VoucherPosters())
        commands.posters.Register(
            poster.procedure, [&commands, post = poster.post] { post(commands.form(), commands.tally()); });
}

} // namespace quibo
