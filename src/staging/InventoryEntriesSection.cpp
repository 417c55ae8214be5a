#include "staging/VoucherBuild.h"

namespace quibo {

void AppendInventoryEntries(VoucherBuild&) {}

void AppendStockJournalEntries(VoucherBuild&) {}

} // namespace quibo
