#include "app/view/ModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

namespace quibo {

int ExecModal(QDialog& dialog) {
    QWidget* const parent = dialog.parentWidget();
    const QPointer<QWidget> opener = parent ? parent->window() : QApplication::activeWindow();
    const QPointer<QWidget> focused = opener ? opener->focusWidget() : nullptr;
    const int result = dialog.exec();
    // A window not shown yet (a dialog of the start-up) asks for the keyboard when it shows.
    if (!opener || !opener->isVisible() || opener->isMinimized()) return result;
    // What the dialog's own handling made of the focus stands; a control that can no longer take
    // it (hidden, disabled) leaves it to the window.
    if (focused && focused->window() == opener && focused->isVisible() && focused->isEnabled() &&
        !opener->focusWidget())
        focused->setFocus();
    opener->activateWindow();
    return result;
}

} // namespace quibo
