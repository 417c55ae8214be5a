#include "staging/VoucherBuild.h"

namespace quibo {

void AppendPartyLists(VoucherBuild&) {}

void AppendVoucherHeader(VoucherBuild&) {}

void AppendOrderLists(VoucherBuild&) {}

} // namespace quibo
