#pragma once

#include <QString>
#include <QStringList>

namespace quibo {

// The positional arguments of the process, without the program's own path.
// The shell (or the scheduler) has already split and unquoted them, so an
// argument keeps its blanks and an empty quoted argument keeps the numbering.
class CommandArgs {
public:
    CommandArgs() = default;
    explicit CommandArgs(QStringList arguments) : m_arguments(std::move(arguments)) {}
    // From a full argv list: the first entry, the program, is dropped.
    static CommandArgs FromProcessArguments(const QStringList& argv);

    // The n-th argument, counted from 1; "" when there are fewer or n is below 1.
    QString GetCommandArg(int n) const;
    int GetCommandArgCount() const { return int(m_arguments.size()); }

private:
    QStringList m_arguments;
};

} // namespace quibo
