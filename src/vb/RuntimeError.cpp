#include "vb/RuntimeError.h"

namespace quibo::vb {

void RaiseSystemError(int32_t number, const QString& description, int systemErrorCode) {
    ErrorInfo info{
        number, QStringLiteral("Quibo"), description, {}, 0, 0, static_cast<uint32_t>(systemErrorCode)};
    throw RuntimeError(std::move(info));
}

} // namespace quibo::vb
