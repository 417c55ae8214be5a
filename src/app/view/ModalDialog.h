#pragma once

class QDialog;

namespace quibo {

// Runs `dialog` modally (QDialog::exec) and returns its result. Once it is closed the window it
// was opened over is active again, with the focus on the control that had it: a window manager
// usually hands the keyboard back to that window, but without one the keyboard would go to nobody
// and every key be lost until the user clicked the window. The window that opens it is the
// dialog's parent window, else the active window.
int ExecModal(QDialog& dialog);

} // namespace quibo
