#pragma once

#include <QLockFile>
#include <QString>

namespace quibo {

// One program at a time per data folder: the staging tables of its local database are shared, so a
// second program posting beside the first would post rows the other wrote or emptied. The lock is
// a file "Quibo20.lock" in the folder, held while the program lives; a lock whose process has died
// is taken over.
class InstanceLock {
public:
    explicit InstanceLock(const QString& folder);
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool acquired() const { return m_acquired; }
    // Why the lock was not acquired, for the one line that says so; "" when it was.
    QString refusal() const;

    static inline const QString FileName = QStringLiteral("Quibo20.lock");

private:
    QString m_folder;
    QLockFile m_file;
    bool m_acquired = false;
};

} // namespace quibo
