#include "app/startup/ConsoleMessageBox.h"

#include <ostream>

namespace quibo {

ConsoleMessageBox::ConsoleMessageBox(std::ostream& out) : m_out(out) {}

MsgAnswer ConsoleMessageBox::show(const MessageBoxRequest& request) {
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QString kind = IconName(request.icon);
    const QString head = QStringLiteral("[") + (kind.isEmpty() ? QStringLiteral("Message") : kind) +
                         QStringLiteral("] ") + request.title;
    m_out << head.toStdString() << '\n' << text.toStdString() << '\n' << std::flush;
    return DefaultAnswer(request);
}

} // namespace quibo
