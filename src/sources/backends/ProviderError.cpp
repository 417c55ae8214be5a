#include "sources/backends/ProviderError.h"

namespace quibo {

void RaiseProviderError(const QString& source, const QString& description, int32_t number) {
    vb::Raise(number, description, source);
}

void RaiseTableNotFound(const QString& source, const QString& table) {
    RaiseProviderError(
        source,
        QStringLiteral("The Microsoft Jet database engine could not find the object '%1'.  Make "
                       "sure the object exists and that you spell its name and the path name "
                       "correctly.")
            .arg(table),
        provider::ObjectNotFound);
}

void RaiseColumnNotFound(const QString& source, const QString& column) {
    // Jet takes an unknown name in a query for a parameter nobody supplied.
    RaiseProviderError(source,
                       QStringLiteral("No value given for one or more required parameters. (%1)").arg(column),
                       provider::MissingParameter);
}

} // namespace quibo
