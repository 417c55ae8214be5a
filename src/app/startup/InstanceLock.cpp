#include "app/startup/InstanceLock.h"

namespace quibo {

InstanceLock::InstanceLock(const QString& folder)
    : m_folder(folder), m_file(folder + QLatin1Char('/') + FileName) {
    // Never stale by age: an unattended post may run for hours. A dead holder is noticed anyway.
    m_file.setStaleLockTime(0);
    m_acquired = m_file.tryLock(0);
}

QString InstanceLock::refusal() const {
    if (m_acquired) return {};
    if (m_file.error() == QLockFile::LockFailedError)
        return QStringLiteral("another Quibo is running on the data folder \"%1\"").arg(m_folder);
    return QStringLiteral("the lock file \"%1/%2\" cannot be written in the data folder")
        .arg(m_folder, FileName);
}

} // namespace quibo
