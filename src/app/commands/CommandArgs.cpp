#include "app/commands/CommandArgs.h"

namespace quibo {

CommandArgs CommandArgs::FromProcessArguments(const QStringList& argv) {
    return CommandArgs(argv.mid(1));
}

QString CommandArgs::GetCommandArg(int n) const {
    if (n < 1 || n > m_arguments.size()) return {};
    return m_arguments.at(n - 1);
}

} // namespace quibo
