#pragma once

// Runs QAbstractItemModelTester over a model and collects what it finds, so a
// broken model fails the test that drove it instead of aborting the whole run.

#include <QAbstractItemModelTester>
#include <QStringList>

#include <memory>

namespace quibo::test {

class ModelCheck {
public:
    explicit ModelCheck(QAbstractItemModel* model);
    ~ModelCheck();
    ModelCheck(const ModelCheck&) = delete;
    ModelCheck& operator=(const ModelCheck&) = delete;

    // Every complaint of the tester since the check began.
    QStringList failures() const;

private:
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

} // namespace quibo::test
