#include "app/commands/ProcedureHooks.h"

#include "app/commands/MainCommands.h"

namespace quibo {

void InstallProcedureHooks(MainCommands& commands) {
    // Nothing is installed yet: the table loader and the posters come with later work.
    (void)commands;
}

} // namespace quibo
