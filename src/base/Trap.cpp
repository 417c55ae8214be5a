#include "base/Trap.h"

#include <new>
#include <stdexcept>

namespace quibo {

PendingError CurrentExceptionAsError() noexcept {
    try {
        try {
            throw;
        } catch (const vb::RuntimeError& e) {
            return e.info();
        } catch (const std::bad_alloc&) {
            return {
                vb::err::OutOfMemory, QStringLiteral("Quibo"), QStringLiteral("Out of memory"), {}, 0, 0, 0};
        } catch (const std::out_of_range& e) {
            return {vb::err::SubscriptOutOfRange,
                    QStringLiteral("Quibo"),
                    QStringLiteral("Subscript out of range (%1)").arg(QString::fromLocal8Bit(e.what())),
                    {},
                    0,
                    0,
                    0};
        } catch (const std::exception& e) {
            return {vb::err::InvalidProcedureCall,
                    QStringLiteral("Quibo"),
                    QString::fromLocal8Bit(e.what()),
                    {},
                    0,
                    0,
                    0};
        } catch (...) {
            return {vb::err::InvalidProcedureCall,
                    QStringLiteral("Quibo"),
                    QStringLiteral("Unknown error"),
                    {},
                    0,
                    0,
                    0};
        }
    } catch (...) {
        return {vb::err::OutOfMemory, {}, {}, {}, 0, 0, 0};
    }
}

} // namespace quibo
