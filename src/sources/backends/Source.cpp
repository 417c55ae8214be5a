#include "sources/backends/Source.h"

#include <algorithm>

namespace quibo {

QStringList Source::SortedByName(QStringList names) {
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

qsizetype Source::FindTable(const QStringList& names, const QString& table) {
    const qsizetype exact = names.indexOf(table);
    if (exact >= 0) return exact;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (names[i].compare(table, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

} // namespace quibo
