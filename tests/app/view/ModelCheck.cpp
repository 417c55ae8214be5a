#include "app/view/ModelCheck.h"

#include <QMutex>
#include <QMutexLocker>

#include <cstring>

namespace quibo::test {

namespace {

QMutex g_lock;
QStringList g_failures;
QtMessageHandler g_previous = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtDebugMsg && context.category && std::strcmp(context.category, "qt.modeltest") == 0) {
        QMutexLocker lock(&g_lock);
        g_failures.append(message);
        return;
    }
    if (g_previous) g_previous(type, context, message);
}

} // namespace

ModelCheck::ModelCheck(QAbstractItemModel* model) {
    {
        QMutexLocker lock(&g_lock);
        g_failures.clear();
    }
    g_previous = qInstallMessageHandler(collect);
    m_tester = std::make_unique<QAbstractItemModelTester>(
        model, QAbstractItemModelTester::FailureReportingMode::Warning);
}

ModelCheck::~ModelCheck() {
    m_tester.reset();
    qInstallMessageHandler(g_previous);
}

QStringList ModelCheck::failures() const {
    QMutexLocker lock(&g_lock);
    return g_failures;
}

} // namespace quibo::test
