#include "support/GoldenFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace quibo::test {

void ExpectGoldenFile(const QByteArray& bytes, const QString& folder, const QString& name) {
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    if (qEnvironmentVariable("QUIBO_UPDATE_GOLDEN") == QLatin1String("1")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(bytes);
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no golden file " << path.toStdString();
    EXPECT_EQ(bytes.toStdString(), file.readAll().toStdString()) << "golden file " << name.toStdString();
}

} // namespace quibo::test
