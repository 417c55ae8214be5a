// The button between its host and its painters: mouse, keyboard, focus and hover turn into state
// flags, the control's own events and redraws; option buttons of one container form a group.
#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonHost.h"

#include <QApplication>
#include <QCursor>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
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

// The event takes the effect a handler left: the source's proposal when it is among them, else the
// first of copy, move and link; none refuses the drop.
void AcceptEffect(QDropEvent& e, Qt::DropActions effect) {
    effect &= e.possibleActions();
    if (effect == Qt::IgnoreAction) {
        e.ignore();
        return;
    }
    e.setDropAction(effect & e.proposedAction() ? e.proposedAction()
                    : effect & Qt::CopyAction   ? Qt::CopyAction
                    : effect & Qt::MoveAction   ? Qt::MoveAction
                                                : Qt::LinkAction);
    e.accept();
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

// The arguments of a drag over the button or dropped on it, as of its mouse events; the effect
// starts as what the source allows.
struct DropArguments {
    explicit DropArguments(const QDropEvent& e)
        : effect(e.possibleActions()), button(ButtonCode(e.buttons())), shift(ShiftCode(e.modifiers())),
          x(float(e.position().x())), y(float(e.position().y())) {}
    Qt::DropActions effect;
    qint16 button, shift;
    float x, y;
};

// Windows virtual-key codes of the keys that have one; letters and digits are their own (a US
// layout decides the punctuation keys).
qint16 VirtualKeyOf(int key, bool keypad) {
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<qint16>(0x60 + key - Qt::Key_0);
        static const std::map<int, qint16> kPad = {{Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},
                                                   {Qt::Key_Minus, 0x6D},    {Qt::Key_Period, 0x6E},
                                                   {Qt::Key_Comma, 0x6E},    {Qt::Key_Slash, 0x6F}};
        if (const auto it = kPad.find(key); it != kPad.end()) return it->second;
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return static_cast<qint16>(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return static_cast<qint16>(0x70 + key - Qt::Key_F1);
    // clang-format off
    static const std::map<int, qint16> kCodes = {
        {Qt::Key_Cancel, 0x03}, {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09}, {Qt::Key_Backtab, 0x09},
        {Qt::Key_Clear, 0x0C}, {Qt::Key_Return, 0x0D}, {Qt::Key_Enter, 0x0D}, {Qt::Key_Shift, 0x10},
        {Qt::Key_Control, 0x11}, {Qt::Key_Alt, 0x12}, {Qt::Key_AltGr, 0x12}, {Qt::Key_Pause, 0x13},
        {Qt::Key_CapsLock, 0x14}, {Qt::Key_Hangul, 0x15}, {Qt::Key_Kana_Lock, 0x15},
        {Qt::Key_Hangul_Hanja, 0x19}, {Qt::Key_Kanji, 0x19}, {Qt::Key_Escape, 0x1B}, {Qt::Key_Henkan, 0x1C},
        {Qt::Key_Muhenkan, 0x1D}, {Qt::Key_Mode_switch, 0x1F}, {Qt::Key_Space, 0x20}, {Qt::Key_PageUp, 0x21},
        {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23}, {Qt::Key_Home, 0x24}, {Qt::Key_Left, 0x25},
        {Qt::Key_Up, 0x26}, {Qt::Key_Right, 0x27}, {Qt::Key_Down, 0x28}, {Qt::Key_Select, 0x29},
        {Qt::Key_Printer, 0x2A}, {Qt::Key_Execute, 0x2B}, {Qt::Key_Print, 0x2C}, {Qt::Key_SysReq, 0x2C},
        {Qt::Key_Insert, 0x2D}, {Qt::Key_Delete, 0x2E}, {Qt::Key_Help, 0x2F}, {Qt::Key_ParenRight, 0x30},
        {Qt::Key_Exclam, 0x31}, {Qt::Key_At, 0x32}, {Qt::Key_NumberSign, 0x33}, {Qt::Key_Dollar, 0x34},
        {Qt::Key_Percent, 0x35}, {Qt::Key_AsciiCircum, 0x36}, {Qt::Key_Ampersand, 0x37},
        {Qt::Key_Asterisk, 0x38}, {Qt::Key_ParenLeft, 0x39}, {Qt::Key_Meta, 0x5B}, {Qt::Key_Super_L, 0x5B},
        {Qt::Key_Super_R, 0x5C}, {Qt::Key_Menu, 0x5D}, {Qt::Key_Sleep, 0x5F}, {Qt::Key_NumLock, 0x90},
        {Qt::Key_ScrollLock, 0x91}, {Qt::Key_Back, 0xA6}, {Qt::Key_Forward, 0xA7}, {Qt::Key_Refresh, 0xA8},
        {Qt::Key_Stop, 0xA9}, {Qt::Key_Search, 0xAA}, {Qt::Key_Favorites, 0xAB}, {Qt::Key_HomePage, 0xAC},
        {Qt::Key_VolumeMute, 0xAD}, {Qt::Key_VolumeDown, 0xAE}, {Qt::Key_VolumeUp, 0xAF},
        {Qt::Key_MediaNext, 0xB0}, {Qt::Key_MediaPrevious, 0xB1}, {Qt::Key_MediaStop, 0xB2},
        {Qt::Key_MediaTogglePlayPause, 0xB3}, {Qt::Key_LaunchMail, 0xB4}, {Qt::Key_LaunchMedia, 0xB5},
        {Qt::Key_Launch0, 0xB6}, {Qt::Key_Launch1, 0xB7}, {Qt::Key_Semicolon, 0xBA}, {Qt::Key_Colon, 0xBA},
        {Qt::Key_Equal, 0xBB}, {Qt::Key_Plus, 0xBB}, {Qt::Key_Comma, 0xBC}, {Qt::Key_Less, 0xBC},
        {Qt::Key_Minus, 0xBD}, {Qt::Key_Underscore, 0xBD}, {Qt::Key_Period, 0xBE}, {Qt::Key_Greater, 0xBE},
        {Qt::Key_Slash, 0xBF}, {Qt::Key_Question, 0xBF}, {Qt::Key_QuoteLeft, 0xC0},
        {Qt::Key_AsciiTilde, 0xC0}, {Qt::Key_BracketLeft, 0xDB}, {Qt::Key_BraceLeft, 0xDB},
        {Qt::Key_Backslash, 0xDC}, {Qt::Key_Bar, 0xDC}, {Qt::Key_BracketRight, 0xDD},
        {Qt::Key_BraceRight, 0xDD}, {Qt::Key_Apostrophe, 0xDE}, {Qt::Key_QuoteDbl, 0xDE},
        {Qt::Key_Play, 0xFA}, {Qt::Key_Zoom, 0xFB},
    };
    // clang-format on
    const auto it = kCodes.find(key);
    return it == kCodes.end() ? 0 : it->second;
}

// The key code of KeyDown and KeyUp: the Windows virtual key, else the low 16 bits of the platform's
// own; 0 when neither names the key.
qint16 KeyCodeOf(const QKeyEvent& e) {
    if (const qint16 code = VirtualKeyOf(e.key(), e.modifiers() & Qt::KeypadModifier)) return code;
    return static_cast<qint16>(e.nativeVirtualKey() & 0xFFFF);
}

bool IsArrow(qint16 code) {
    return code >= 37 && code <= 40;
}

// The data of a drag the button starts: a format set with empty data is rendered by the button's
// OLESetData when a target first asks for it.
class DragData final : public QMimeData {
public:
    explicit DragData(QuiboButton& button) : m_button(button) {}

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
        if (!m_rendering && hasFormat(mimeType) &&
            QMimeData::retrieveData(mimeType, type).toByteArray().isEmpty()) {
            m_rendering = true;
            QMimeData* data = const_cast<DragData*>(this);
            QString format = mimeType;
            emit m_button.OLESetData(data, format);
            m_rendering = false;
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    QuiboButton& m_button;
    mutable bool m_rendering = false;
};

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
    qint16 code = KeyCodeOf(*e);
    const QString text = e->text();
    if (code == 0 && text.isEmpty()) {
        QWidget::keyPressEvent(e);
        return;
    }
    if (code != 0) {
        // Some platforms name a key on its press alone: its release is known by the physical key.
        if (e->nativeScanCode() != 0) m_keysDown[e->nativeScanCode()] = code;
        UserControl_KeyDown(code, ShiftCode(e->modifiers()));
    }
    // One KeyPress per character the key types (a character beyond 16 bits as its two halves).
    for (const QChar c : text)
        UserControl_KeyPress(static_cast<qint16>(c.unicode()));
}

void QuiboButton::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) return;
    // KeyUp carries the code its KeyDown was raised with.
    const auto down = m_keysDown.find(e->nativeScanCode());
    qint16 code = down != m_keysDown.end() ? down->second : KeyCodeOf(*e);
    if (down != m_keysDown.end()) m_keysDown.erase(down);
    if (code == 0) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    UserControl_KeyUp(code, ShiftCode(e->modifiers()));
}

void QuiboButton::OLEDrag() {
    QPointer<QDrag> drag = new QDrag(this);
    auto* data = new DragData(*this);
    drag->setMimeData(data);
    Qt::DropActions allowed = Qt::CopyAction | Qt::MoveAction;
    emit OLEStartDrag(data, allowed);
    // A drag that allows nothing cannot be dropped anywhere: it does not start.
    Qt::DropActions effect = Qt::IgnoreAction;
    if (allowed != Qt::IgnoreAction) {
        connect(drag, &QDrag::actionChanged, this, [this](Qt::DropAction action) {
            Qt::DropActions Effect = action;
            bool DefaultCursors = true;
            emit OLEGiveFeedback(Effect, DefaultCursors);
        });
        effect = ExecDrag(*drag, allowed);
    }
    // Qt may have let the drag go already.
    if (drag) drag->deleteLater();
    if (allowed != Qt::IgnoreAction) emit OLECompleteDrag(effect);
}

Qt::DropAction QuiboButton::ExecDrag(QDrag& drag, Qt::DropActions allowed) {
    return drag.exec(allowed);
}

void QuiboButton::DragOver(QDropEvent* e, qint16 State) {
    m_dragData = e->mimeData();
    m_dragEffects = e->possibleActions();
    m_dragAt = e->position();
    DropArguments a(*e);
    emit OLEDragOver(e->mimeData(), a.effect, a.button, a.shift, a.x, a.y, State);
    AcceptEffect(*e, a.effect);
}

void QuiboButton::dragEnterEvent(QDragEnterEvent* e) {
    DragOver(e, 0);
}

void QuiboButton::dragMoveEvent(QDragMoveEvent* e) {
    DragOver(e, 2);
}

void QuiboButton::dragLeaveEvent(QDragLeaveEvent*) {
    // Qt tells nothing of a drag that leaves: it is where it was last seen.
    Qt::DropActions effect = m_dragEffects;
    qint16 button = ButtonCode(QGuiApplication::mouseButtons());
    qint16 shift = ShiftCode(QGuiApplication::keyboardModifiers());
    float x = float(m_dragAt.x());
    float y = float(m_dragAt.y());
    qint16 state = 1;
    emit OLEDragOver(m_dragData, effect, button, shift, x, y, state);
    m_dragData = nullptr;
}

void QuiboButton::dropEvent(QDropEvent* e) {
    DropArguments a(*e);
    emit OLEDragDrop(e->mimeData(), a.effect, a.button, a.shift, a.x, a.y);
    AcceptEffect(*e, a.effect);
    m_dragData = nullptr;
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
