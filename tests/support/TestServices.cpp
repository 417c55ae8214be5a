#include "support/TestServices.h"

#include <QRegularExpression>

namespace quibo::test {

MsgAnswer ScriptedMessageBox::show(const MessageBoxRequest& request) {
    shown.push_back(request);
    if (m_answers.empty()) return DefaultAnswer(request);
    const MsgAnswer answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

QStringList ScriptedMessageBox::texts() const {
    QStringList out;
    for (const auto& box : shown)
        out.append(box.text);
    return out;
}

QStringList ScriptedMessageBox::titles() const {
    QStringList out;
    for (const auto& box : shown)
        out.append(box.title);
    return out;
}

QStringList ScriptedMessageBox::locations() const {
    static const QRegularExpression code(QStringLiteral("=> LOCATION CODE: (\\S+)\\(\\)"));
    QStringList found;
    for (const auto& box : shown) {
        const auto match = code.match(box.text);
        found << (match.hasMatch() ? match.captured(1) : QStringLiteral("?"));
    }
    return found;
}

std::optional<QString> ScriptedFileDialog::openFile(const FileDialogRequest& request) {
    asked.push_back(request);
    if (m_answers.empty()) return std::nullopt;
    const Answer answer = m_answers.front();
    m_answers.pop_front();
    if (!answer.chosen) return std::nullopt;
    return answer.path;
}

FakeClock::FakeClock() : m_now(QDate(2026, 12, 8), QTime(10, 20, 30)) {}

void FakeClock::sleep(int milliseconds) {
    ++sleeps;
    sleptMs += milliseconds;
    advance(milliseconds);
}

TempFolder::TempFolder() {
    m_dir.setAutoRemove(true);
}

} // namespace quibo::test
