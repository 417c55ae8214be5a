#pragma once

namespace quibo {

class MainCommands;

// Where the table loader and the posting procedures join the main form's
// commands. The table loader sets `commands.tableLoader` (the body of
// `cmbTableName_Click`); each posting procedure registers under the name the
// routing table gives it, e.g.
//     commands.posters.Register(QStringLiteral("PostLedgers"), [&form] { PostLedgers(form, ...); });
// Until a procedure is registered here, its import types post nothing and the
// Post command still runs its closing steps.
void InstallProcedureHooks(MainCommands& commands);

} // namespace quibo
