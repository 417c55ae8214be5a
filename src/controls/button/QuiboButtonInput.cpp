// The button between its host and its painters: mouse, keyboard, focus and hover turn into state
// flags, the control's own events and redraws; option buttons of one container form a group.
#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonHost.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcutEvent>

#include <algorithm>
#include <map>

namespace quibo {

namespace {

// Option buttons by container, in the order they joined.
std::map<QString, std::vector<QuiboButton*>>& Groups() {
    static std::map<QString, std::vector<QuiboButton*>> groups;
    return groups;
}

qint16 ButtonCode(Qt::MouseButtons buttons) {
    return static_cast<qint16>(((buttons & Qt::LeftButton) ? 1 : 0) | ((buttons & Qt::RightButton) ? 2 : 0) |
                               ((buttons & Qt::MiddleButton) ? 4 : 0));
}

qint16 ShiftCode(Qt::KeyboardModifiers modifiers) {
    return static_cast<qint16>(((modifiers & Qt::ShiftModifier) ? 1 : 0) |
                               ((modifiers & Qt::ControlModifier) ? 2 : 0) |
                               ((modifiers & Qt::AltModifier) ? 4 : 0));
}

// The key codes a form host reports; 0 for a key it does not know.
qint16 KeyCodeOf(int key) {
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<qint16>(112 + key - Qt::Key_F1);
    static const std::map<int, qint16> kCodes = {
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},      {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},
        {Qt::Key_Shift, 16},    {Qt::Key_Control, 17}, {Qt::Key_Alt, 18},      {Qt::Key_Escape, 27},
        {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},  {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
        {Qt::Key_Home, 36},     {Qt::Key_Left, 37},    {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},     {Qt::Key_Insert, 45},  {Qt::Key_Delete, 46},
    };
    const auto it = kCodes.find(key);
    return it == kCodes.end() ? 0 : it->second;
}

bool IsArrow(qint16 code) {
    return code >= 37 && code <= 40;
}

} // namespace

void QuiboButton::SetUpInput() {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    m_hoverTimer.setInterval(50);
    connect(&m_hoverTimer, &QTimer::timeout, this, &QuiboButton::CheckHover);
    m_cursorOver = [this] { return QApplication::widgetAt(QCursor::pos()) == this; };
}

void QuiboButton::LeaveGroup() {
    const auto it = Groups().find(m_containerHandle);
    if (it == Groups().end()) return;
    std::erase(it->second, this);
    if (it->second.empty()) Groups().erase(it);
}

void QuiboButton::UserControl_Terminate() {
    // An ended control leaves its group, so no switch of the group ever reaches it.
    m_hoverTimer.stop();
    LeaveGroup();
}

void QuiboButton::SetCursorProbe(std::function<bool()> cursorOverControl) {
    m_cursorOver = std::move(cursorOverControl);
}

void QuiboButton::UserControl_MouseDown(qint16 Button, qint16 Shift, float X, float Y) {
    m_clickButton = Button;
    if (Button == 1) {
        // Qt keeps the mouse with the pressed widget until the release: no explicit capture.
        m_stateFlags |= kDownFlag;
        m_leftHeld = true;
        m_drawingDelayed = false;
        RedrawButton();
    }
    emit MouseDown(Button, Shift, X, Y);
}

void QuiboButton::UserControl_MouseMove(qint16 Button, qint16 Shift, float X, float Y) {
    if (!m_hover && m_cursorOver()) {
        m_stateFlags |= kOverFlag;
        bool on = true;
        emit MouseOnButton(on);
        m_hoverTimer.start();
        m_hover = true;
        m_drawingDelayed = false;
        if (Button == 1) m_leftHeld = true;
        RedrawButton();
    }
    emit MouseMove(Button, Shift, X, Y);
}

void QuiboButton::UserControl_MouseUp(qint16 Button, qint16 Shift, float X, float Y) {
    m_leftHeld = false;
    if (Button == 1) {
        m_stateFlags &= ~kDownFlag;
        m_drawingDelayed = false;
        // Check and option buttons redraw through their Value.
        if (m_mode == 0) RedrawButton();
    }
    emit MouseUp(Button, Shift, X, Y);
    m_clickButton = Button;
}

void QuiboButton::UserControl_Click() {
    if (m_clickButton != 1) return;
    if (m_mode == 0) {
        emit Click();
        return;
    }
    if (m_mode == 2 && m_value) return;
    SetValue(!m_value);
    emit Click();
}

void QuiboButton::UserControl_DblClick(float X, float Y) {
    qint16 button = m_clickButton;
    emit DoubleClick(button);
    if (m_clickButton == 1) {
        UserControl_MouseDown(1, 0, X, Y);
        m_clickButton = -1;
    } else {
        qint16 again = m_clickButton;
        qint16 shift = 0;
        emit MouseDown(again, shift, X, Y);
    }
}

void QuiboButton::CheckHover() {
    if (m_cursorOver()) return;
    EndHover();
}

void QuiboButton::EndHover() {
    m_hoverTimer.stop();
    m_stateFlags &= ~kOverFlag;
    m_hover = false;
    m_drawingDelayed = false;
    bool on = false;
    emit MouseOnButton(on);
    m_leftHeld = false;
    RedrawButton();
}

void QuiboButton::UserControl_KeyDown(qint16& KeyCode, qint16 Shift) {
    if (IsArrow(KeyCode)) {
        // The container moves the focus; the button keeps nothing of the key.
        static constexpr int kKeys[] = {Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down};
        static constexpr quint32 kScanCodes[] = {0x4B, 0x48, 0x4D, 0x50};
        if (QWidget* container = parentWidget())
            QCoreApplication::postEvent(container, new QKeyEvent(QEvent::KeyPress, kKeys[KeyCode - 37],
                                                                 Qt::NoModifier, kScanCodes[KeyCode - 37],
                                                                 static_cast<quint32>(KeyCode), 0));
        KeyCode = 0;
    } else if (KeyCode == 32 && !(m_stateFlags & kDownFlag)) {
        m_stateFlags |= kOverFlag;
        m_stateFlags |= kDownFlag;
        m_leftHeld = true;
        RedrawButton();
        if (!m_hover) m_stateFlags &= ~kOverFlag;
    }
    if (KeyCode != 0) emit KeyDown(KeyCode, Shift);
}

void QuiboButton::UserControl_KeyPress(qint16 KeyAscii) {
    emit KeyPress(KeyAscii);
}

void QuiboButton::UserControl_KeyUp(qint16& KeyCode, qint16 Shift) {
    m_leftHeld = false;
    if (KeyCode == 32 && (m_stateFlags & kDownFlag)) {
        m_clickButton = 1;
        m_stateFlags &= ~kDownFlag;
        if (m_mode > 0) {
            emit KeyUp(KeyCode, Shift);
            KeyCode = 0;
        } else {
            RedrawButton();
        }
        UserControl_Click();
    } else if (IsArrow(KeyCode)) {
        KeyCode = 0;
        if (m_mode == 2 && !m_value) {
            m_clickButton = 1;
            UserControl_Click();
        }
    } else if (KeyCode == 16) {
        KeyCode = 0;
    }
    if (KeyCode != 0) emit KeyUp(KeyCode, Shift);
}

void QuiboButton::UserControl_AccessKeyPress(qint16 KeyAscii) {
    const bool enterOrEscape = KeyAscii == 13 || KeyAscii == 27;
    // Check and option buttons are never default or cancel buttons.
    if (enterOrEscape && m_mode > 0) return;
    if (!enterOrEscape && !(m_stateFlags & kDefaultFlag)) RedrawButton();
    m_clickButton = 1;
    UserControl_Click();
}

void QuiboButton::UserControl_GotFocus() {
    if (m_mode != 2 || m_value) return;
    bool anyOn = false;
    OptionToggle(2, anyOn);
    if (anyOn) return;
    m_clickButton = 1;
    UserControl_Click();
}

void QuiboButton::UserControl_Show() {
    if (m_host.UserMode()) return;
    if (m_host.DisplayAsDefault() && m_showFocusRect) {
        m_stateFlags |= kDefaultFlag;
        RedrawButton();
    }
}

void QuiboButton::UserControl_AmbientChanged(const QString& PropertyName) {
    if (PropertyName.compare(QLatin1String("DisplayAsDefault"), Qt::CaseInsensitive) == 0) {
        const bool isDefault = m_host.DisplayAsDefault() && (m_showFocusRect || !m_host.UserMode());
        if (isDefault)
            m_stateFlags |= kDefaultFlag;
        else
            m_stateFlags &= ~kDefaultFlag;
        GrabShortcuts();
        const bool lit = m_buttonShape >= 7 && !m_host.UserMode();
        if (lit) m_hover = isDefault;
        RedrawButton();
        if (lit) m_hover = false;
    } else if (PropertyName.compare(QLatin1String("BackColor"), Qt::CaseInsensitive) == 0) {
        m_containerBackColor = TranslateSysColor(m_host.AmbientBackColor(), palette());
        if (m_buttonShape >= 4 || m_buttonStyle == 5) RedrawButton();
    }
}

void QuiboButton::GrabShortcuts() {
    for (const int id : m_shortcuts)
        releaseShortcut(id);
    m_shortcuts.clear();
    // A character that names no key gives no shortcut.
    if (const QKeySequence key(m_accessKeys); !key.isEmpty())
        m_shortcuts.push_back(grabShortcut(QKeySequence(Qt::ALT | key[0].key())));
    if (m_host.DisplayAsDefault()) {
        m_shortcuts.push_back(grabShortcut(QKeySequence(Qt::Key_Return)));
        m_shortcuts.push_back(grabShortcut(QKeySequence(Qt::Key_Enter)));
    }
}

void QuiboButton::OptionToggle(std::int16_t action, bool& result) {
    std::vector<QuiboButton*>& group = Groups()[m_containerHandle];
    if (m_value) {
        // A copy: a member's handler may change the group.
        const std::vector<QuiboButton*> members = group;
        for (QuiboButton* member : members)
            if (member != this) member->SetValue(false);
    }
    if (action == 1) {
        if (std::find(group.begin(), group.end(), this) == group.end()) group.push_back(this);
    } else if (action == -1) {
        std::erase(group, this);
    } else if (action == 2) {
        result = std::any_of(group.begin(), group.end(), [](const QuiboButton* b) { return b->Value(); });
    }
    if (group.empty()) Groups().erase(m_containerHandle);
}

std::vector<const QuiboButton*> QuiboButton::OptionGroup() const {
    const auto it = Groups().find(m_containerHandle);
    if (it == Groups().end()) return {};
    return {it->second.begin(), it->second.end()};
}

bool QuiboButton::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        const QKeySequence keys = static_cast<QShortcutEvent*>(e)->key();
        const int key = keys.isEmpty() ? 0 : keys[0].key();
        UserControl_AccessKeyPress(key == Qt::Key_Return || key == Qt::Key_Enter ? 13
                                                                                 : static_cast<qint16>(key));
        return true;
    }
    return QWidget::event(e);
}

void QuiboButton::mousePressEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    UserControl_MouseDown(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void QuiboButton::mouseMoveEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    UserControl_MouseMove(ButtonCode(e->buttons()), ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
}

void QuiboButton::mouseReleaseEvent(QMouseEvent* e) {
    const QPointF p = e->position();
    UserControl_MouseUp(ButtonCode(e->button()), ShiftCode(e->modifiers()), float(p.x()), float(p.y()));
    // A click is a release over the button; the release that ends a double click is none.
    const QPoint at = p.toPoint();
    const bool over = rect().contains(at) && (m_windowRegion.isEmpty() || m_windowRegion.contains(at));
    if (over && !m_afterDoubleClick) UserControl_Click();
    m_afterDoubleClick = false;
}

void QuiboButton::mouseDoubleClickEvent(QMouseEvent* e) {
    m_afterDoubleClick = true;
    const QPointF p = e->position();
    UserControl_DblClick(float(p.x()), float(p.y()));
}

void QuiboButton::keyPressEvent(QKeyEvent* e) {
    qint16 code = KeyCodeOf(e->key());
    if (code == 0) {
        QWidget::keyPressEvent(e);
        return;
    }
    UserControl_KeyDown(code, ShiftCode(e->modifiers()));
    if (!e->text().isEmpty() && e->text()[0].unicode() < 256)
        UserControl_KeyPress(static_cast<qint16>(e->text()[0].unicode()));
}

void QuiboButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) return;
    qint16 code = KeyCodeOf(e->key());
    if (code == 0) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    UserControl_KeyUp(code, ShiftCode(e->modifiers()));
}

void QuiboButton::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    UserControl_GotFocus();
}

void QuiboButton::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    UserControl_Show();
}

void QuiboButton::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    // A hidden button is under no cursor: its hover ends with its timer.
    if (m_hover) EndHover();
}

} // namespace quibo
