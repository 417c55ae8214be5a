#pragma once

#include <QString>

namespace quibo {

// The program folder of the design: where "Quibo20.DAT" and "Quibo20Errors.txt"
// live. QUIBO20_HOME when set; else the executable's folder when it is
// writable; else the per-user application data folder (created on demand).
QString ResolveDataFolder();

} // namespace quibo
