#include "app/view/QtMessageBox.h"

#include "app/view/ModalDialog.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>

#include <utility>
#include <vector>

namespace quibo {

namespace {

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::None:
        return QMessageBox::NoIcon;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

std::vector<std::pair<QMessageBox::StandardButton, MsgAnswer>> ButtonsOf(MsgButtons buttons) {
    using B = QMessageBox;
    switch (buttons) {
    case MsgButtons::OkOnly:
        return {{B::Ok, MsgAnswer::Ok}};
    case MsgButtons::OkCancel:
        return {{B::Ok, MsgAnswer::Ok}, {B::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::AbortRetryIgnore:
        return {{B::Abort, MsgAnswer::Abort}, {B::Retry, MsgAnswer::Retry}, {B::Ignore, MsgAnswer::Ignore}};
    case MsgButtons::YesNoCancel:
        return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}, {B::Cancel, MsgAnswer::Cancel}};
    case MsgButtons::YesNo:
        return {{B::Yes, MsgAnswer::Yes}, {B::No, MsgAnswer::No}};
    case MsgButtons::RetryCancel:
        return {{B::Retry, MsgAnswer::Retry}, {B::Cancel, MsgAnswer::Cancel}};
    }
    return {{B::Ok, MsgAnswer::Ok}};
}

// A box sizes itself to its text alone, and the window manager cuts a title wider than that; the box is
// made as wide as the title in the title bar's bold font, with room for the bar's icon and buttons.
void MakeRoomForTitle(QMessageBox& box, const QString& title) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid || title.isEmpty()) return;
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int width = QFontMetrics(font).horizontalAdvance(title) +
                      4 * box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

} // namespace

MsgAnswer QtMessageBox::show(const MessageBoxRequest& request) {
    QString text = request.text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    box.setIcon(IconOf(request.icon));
    const auto buttons = ButtonsOf(request.buttons);
    for (const auto& [button, answer] : buttons)
        box.addButton(button);
    const size_t chosenDefault = request.defaultButton >= 0 && size_t(request.defaultButton) < buttons.size()
                                     ? size_t(request.defaultButton)
                                     : 0;
    box.setDefaultButton(buttons[chosenDefault].first);
    MakeRoomForTitle(box, request.title);
    ExecModal(box);

    const auto clicked = box.standardButton(box.clickedButton());
    for (const auto& [button, answer] : buttons)
        if (button == clicked) return answer;
    // Closed without a button (Escape, the close box): the answer a cancel gives, else the default.
    for (const auto& [button, answer] : buttons)
        if (answer == MsgAnswer::Cancel || answer == MsgAnswer::No) return answer;
    return DefaultAnswer(request);
}

} // namespace quibo
