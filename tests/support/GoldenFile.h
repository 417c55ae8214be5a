#pragma once

#include <QByteArray>
#include <QString>

namespace quibo::test {

// Compares the bytes with the golden file FOLDER/NAME; with QUIBO_UPDATE_GOLDEN=1 writes the file
// instead.
void ExpectGoldenFile(const QByteArray& bytes, const QString& folder, const QString& name);

} // namespace quibo::test
