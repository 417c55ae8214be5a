#include "staging/VoucherBuild.h"

namespace quibo {

void AppendCategoryAllocations(VoucherBuild&, XmlNode, const QVariant&) {}

void AppendBankAllocations(VoucherBuild&, XmlNode, const QVariant&, const QString&) {}

void AppendTaxBillAllocations(VoucherBuild&, XmlNode, const QVariant&) {}

void AppendLedgerEntries(VoucherBuild&) {}

} // namespace quibo
