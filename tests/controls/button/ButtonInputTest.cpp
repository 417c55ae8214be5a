#include "controls/button/ButtonTestKit.h"

#include <QApplication>
#include <QDrag>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Log = std::vector<std::string>;

// The values written one after the other, a blank between each.
template <typename... T> std::string Line(const T&... values) {
    std::ostringstream out;
    ((out << values << ' '), ...);
    std::string line = out.str();
    line.pop_back();
    return line;
}

// Records the control's events in order.
void Record(QuiboButton& button, Log& log) {
    const auto mouse = [&log](const char* what) {
        return [&log, what](qint16& b, qint16&, float&, float&) { log.push_back(what + std::to_string(b)); };
    };
    QObject::connect(&button, &QuiboButton::MouseDown, mouse("down "));
    QObject::connect(&button, &QuiboButton::MouseUp, mouse("up "));
    QObject::connect(&button, &QuiboButton::KeyDown,
                     [&log](qint16& k, qint16&) { log.push_back("keydown " + std::to_string(k)); });
    QObject::connect(&button, &QuiboButton::KeyUp,
                     [&log](qint16& k, qint16&) { log.push_back("keyup " + std::to_string(k)); });
    QObject::connect(&button, &QuiboButton::Click, [&log] { log.push_back("click"); });
    QObject::connect(&button, &QuiboButton::DoubleClick,
                     [&log](qint16& b) { log.push_back("dbl " + std::to_string(b)); });
    QObject::connect(&button, &QuiboButton::MouseOnButton,
                     [&log](bool& on) { log.push_back(on ? "on" : "off"); });
}

void Send(QWidget& w, QEvent::Type type, Qt::MouseButton b) {
    QMouseEvent e(type, QPointF(10, 10), w.mapToGlobal(QPointF(10, 10)), b,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b), Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

TEST(ButtonInputTest, MouseClicksAndDoubleClicks) {
    struct Case {
        const char* name;
        int mode;
        Qt::MouseButton mouse;
        bool doubleClick;
        Log log;
        bool value;
    };
    const Case cases[] = {
        {"left", 0, Qt::LeftButton, false, {"down 1", "up 1", "click"}, false},
        {"right", 0, Qt::RightButton, false, {"down 2", "up 2"}, false},
        {"check", 1, Qt::LeftButton, false, {"down 1", "up 1", "click"}, true},
        {"left double",
         0,
         Qt::LeftButton,
         true,
         {"down 1", "up 1", "click", "dbl 1", "down 1", "up 1"},
         false},
        {"right double", 0, Qt::RightButton, true, {"down 2", "up 2", "dbl 2", "down 2", "up 2"}, false},
    };
    for (const Case& c : cases) {
        TestHost host;
        host.userMode = true;
        ProbeButton button(host);
        button.SetMode(c.mode);
        Log log;
        Record(button, log);
        Send(button, QEvent::MouseButtonPress, c.mouse);
        EXPECT_EQ((button.StateFlags() & QuiboButton::kDownFlag) != 0, c.mouse == Qt::LeftButton) << c.name;
        Send(button, QEvent::MouseButtonRelease, c.mouse);
        if (c.doubleClick) {
            Send(button, QEvent::MouseButtonDblClick, c.mouse);
            Send(button, QEvent::MouseButtonRelease, c.mouse);
        }
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(button.Value(), c.value) << c.name;
        EXPECT_EQ(button.StateFlags() & QuiboButton::kDownFlag, 0) << c.name;
    }
}

// Notes the keys a container is sent.
class KeyCatcher final : public QObject {
public:
    std::vector<std::pair<int, quint32>> keys;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            keys.emplace_back(k->key(), k->nativeScanCode());
        }
        return false;
    }
};

TEST(ButtonInputTest, KeysInTheirOrder) {
    struct Case {
        const char* name;
        int mode;
        Qt::Key key;
        Log log;
        bool value;
    };
    const Case cases[] = {
        {"space on command", 0, Qt::Key_Space, {"keydown 32", "click", "keyup 32"}, false},
        {"space on check", 1, Qt::Key_Space, {"keydown 32", "keyup 32", "click"}, true},
        {"arrow on option", 2, Qt::Key_Right, {"click"}, true},
        {"arrow on command", 0, Qt::Key_Left, {}, false},
        {"arrow on check", 1, Qt::Key_Left, {}, false},
        {"shift", 0, Qt::Key_Shift, {"keydown 16"}, false},
    };
    for (const Case& c : cases) {
        TestHost host;
        host.userMode = true;
        QWidget container;
        KeyCatcher catcher;
        container.installEventFilter(&catcher);
        auto* button = new ProbeButton(host);
        button->setParent(&container);
        button->SetMode(c.mode);
        Log log;
        Record(*button, log);
        QTest::keyPress(button, c.key);
        if (c.key == Qt::Key_Space) {
            EXPECT_EQ(button->StateFlags() & (QuiboButton::kDownFlag | QuiboButton::kOverFlag),
                      QuiboButton::kDownFlag)
                << c.name;
        }
        QTest::keyRelease(button, c.key);
        QCoreApplication::sendPostedEvents(&container);
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(button->Value(), c.value) << c.name;
        const bool arrow = c.key == Qt::Key_Right || c.key == Qt::Key_Left;
        ASSERT_EQ(catcher.keys.size(), arrow ? 1u : 0u) << c.name;
        if (arrow) {
            EXPECT_EQ(catcher.keys[0].first, c.key);
            EXPECT_EQ(catcher.keys[0].second, c.key == Qt::Key_Right ? 0x4Du : 0x4Bu);
        }
    }
}

TEST(ButtonInputTest, EveryKeyRaisesItsCodeAndEveryCharacterItsKeyPress) {
    struct Case {
        const char* name;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        quint32 nativeKey;
        Log log;
        quint32 scanCode = 0;
        qint64 releasedNativeKey = -1; // the release's own native key; -1: the press's
    };
    const auto keypad = Qt::KeypadModifier;
    const auto shift = Qt::ShiftModifier;
    const Case cases[] = {
        {"letter", Qt::Key_A, {}, "a", 0, {"down 65 0", "press 97", "up 65 0"}},
        {"shifted letter", Qt::Key_A, shift, "A", 0, {"down 65 1", "press 65", "up 65 1"}},
        {"function key", Qt::Key_F5, {}, "", 0, {"down 116 0", "up 116 0"}},
        {"keypad digit", Qt::Key_5, keypad, "5", 0, {"down 101 0", "press 53", "up 101 0"}},
        {"keypad Enter", Qt::Key_Enter, keypad, "\r", 0, {"down 13 0", "press 13", "up 13 0"}},
        {"Escape", Qt::Key_Escape, {}, "\x1b", 0, {"down 27 0", "press 27", "up 27 0"}},
        {"Delete", Qt::Key_Delete, {}, "", 0, {"down 46 0", "up 46 0"}},
        // Qt counts a modifier key among the modifiers of its own press.
        {"Ctrl", Qt::Key_Control, {}, "", 0, {"down 17 2", "up 17 2"}},
        {"Ctrl+C", Qt::Key_C, Qt::ControlModifier, "\x03", 0, {"down 67 2", "press 3", "up 67 2"}},
        {"colon, US key", Qt::Key_Colon, shift, ":", 0, {"down 186 1", "press 58", "up 186 1"}},
        {"shifted digit", Qt::Key_Exclam, shift, "!", 0, {"down 49 1", "press 33", "up 49 1"}},
        {"platform's key", Qt::Key_Adiaeresis, {}, "\u00e4", 0xE4, {"down 228 0", "press 228", "up 228 0"}},
        {"platform's, 16 bits", Qt::Key_unknown, {}, "", 0x1008FF26, {"down -218 0", "up -218 0"}},
        {"character without key", Qt::Key_unknown, {}, "\u20ac", 0, {"press 8364"}},
        {"beyond 16 bits", Qt::Key_unknown, {}, "\U0001F600", 0, {"press -10179", "press -8704"}},
        {"nothing to tell", Qt::Key_unknown, {}, "", 0, {}},
        // A platform that names the key on its press alone: the release is told by its scan code.
        {"Cyrillic zhe", 0x416, {}, "\u0436", 0x6D6, {"down 1750 0", "press 1078", "up 1750 0"}, 44, 0},
    };
    for (const Case& c : cases) {
        TestHost host;
        host.userMode = true;
        ProbeButton button(host);
        Log log;
        const auto key = [&log](const char* what) {
            return [&log, what](qint16& k, qint16& s) { log.push_back(Line(what, k, s)); };
        };
        QObject::connect(&button, &QuiboButton::KeyDown, key("down"));
        QObject::connect(&button, &QuiboButton::KeyUp, key("up"));
        QObject::connect(&button, &QuiboButton::KeyPress,
                         [&log](qint16& k) { log.push_back(Line("press", k)); });
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.scanCode, c.nativeKey, 0, c.text);
        const quint32 released = c.releasedNativeKey < 0 ? c.nativeKey : quint32(c.releasedNativeKey);
        QKeyEvent release(QEvent::KeyRelease, c.key, c.modifiers, c.scanCode, released, 0, c.text);
        QApplication::sendEvent(&button, &press);
        QApplication::sendEvent(&button, &release);
        EXPECT_EQ(log, c.log) << c.name;
        EXPECT_EQ(press.isAccepted(), !c.log.empty()) << c.name; // else it goes on to the container
    }
}

TEST(ButtonInputTest, DragsOverTheButtonTakeTheEffectTheHandlerLeaves) {
    TestHost host;
    host.userMode = true;
    ProbeButton button(host);
    button.setAcceptDrops(true);
    QMimeData data;
    data.setText(QStringLiteral("Cash"));
    Log log;
    Qt::DropActions take;
    const auto text = [](const QMimeData* d) { return d ? d->text().toStdString() : std::string("none"); };
    QObject::connect(
        &button, &QuiboButton::OLEDragOver,
        [&](const QMimeData* d, Qt::DropActions& e, qint16& b, qint16& s, float& x, float& y, qint16& state) {
            log.push_back(Line("over", state, e.toInt(), b, s, x, y, text(d)));
            e = take;
        });
    QObject::connect(&button, &QuiboButton::OLEDragDrop,
                     [&](const QMimeData* d, Qt::DropActions& e, qint16& b, qint16& s, float& x, float& y) {
                         log.push_back(Line("drop", e.toInt(), b, s, x, y, text(d)));
                         e = take;
                     });
    struct Step {
        QEvent::Type type;
        QPoint at;
        Qt::MouseButton mouse;
        Qt::KeyboardModifier modifier;
        Qt::DropActions take;
        std::string log;
        Qt::DropAction action; // IgnoreAction: refused
    };
    using E = QEvent;
    const auto Copy = Qt::CopyAction, Move = Qt::MoveAction, None = Qt::IgnoreAction;
    const auto Left = Qt::LeftButton, Right = Qt::RightButton;
    const Step steps[] = {
        {E::DragEnter, {5, 6}, Left, Qt::ShiftModifier, Move, "over 0 3 1 1 5 6 Cash", Move},
        {E::DragMove, {7, 8}, Left, Qt::NoModifier, Qt::LinkAction, "over 2 3 1 0 7 8 Cash", None},
        {E::DragLeave, {}, Qt::NoButton, Qt::NoModifier, {}, "over 1 3 0 0 7 8 Cash", None},
        // Ctrl proposes a copy, which the handler does not take.
        {E::DragEnter, {1, 2}, Right, Qt::ControlModifier, Move, "over 0 3 2 2 1 2 Cash", Move},
        {E::Drop, {9, 10}, Right, Qt::ControlModifier, Copy | Move, "drop 3 2 2 9 10 Cash", Copy},
    };
    const Qt::DropActions copyOrMove = Copy | Move;
    for (const Step& step : steps) {
        take = step.take;
        log.clear();
        if (step.type == QEvent::DragLeave) {
            QDragLeaveEvent leave;
            QApplication::sendEvent(&button, &leave);
        } else {
            std::unique_ptr<QDropEvent> e;
            if (step.type == QEvent::DragEnter)
                e = std::make_unique<QDragEnterEvent>(step.at, copyOrMove, &data, step.mouse, step.modifier);
            else if (step.type == QEvent::DragMove)
                e = std::make_unique<QDragMoveEvent>(step.at, copyOrMove, &data, step.mouse, step.modifier);
            else
                e = std::make_unique<QDropEvent>(step.at, copyOrMove, &data, step.mouse, step.modifier);
            QApplication::sendEvent(&button, e.get());
            EXPECT_EQ(e->isAccepted(), step.action != None) << step.log;
            if (e->isAccepted()) {
                EXPECT_EQ(e->dropAction(), step.action) << step.log;
            }
        }
        EXPECT_EQ(log, Log{step.log});
    }
}

TEST(ButtonInputTest, ADragTheHostStartsRendersItsDataWhenTheTargetAsks) {
    TestHost host;
    host.userMode = true;
    ProbeButton button(host);
    Log log;
    Qt::DropActions allow = Qt::CopyAction;
    QObject::connect(&button, &QuiboButton::OLEStartDrag, [&](QMimeData* d, Qt::DropActions& allowed) {
        log.push_back(Line("start", allowed.toInt()));
        d->setData(QStringLiteral("text/plain"), {}); // to be rendered on request
        allowed = allow;
    });
    QObject::connect(&button, &QuiboButton::OLESetData, [&](QMimeData* d, QString& format) {
        log.push_back(Line("set data", format.toStdString()));
        d->setData(format, "Cash");
    });
    QObject::connect(&button, &QuiboButton::OLEGiveFeedback, [&](Qt::DropActions& e, bool& defaultCursors) {
        log.push_back(Line("feedback", e.toInt(), defaultCursors));
    });
    QObject::connect(&button, &QuiboButton::OLECompleteDrag,
                     [&](Qt::DropActions& e) { log.push_back(Line("complete", e.toInt())); });
    button.dropTarget = [&log](QDrag& drag, Qt::DropActions allowed) {
        log.push_back(Line("target", allowed.toInt()));
        emit drag.actionChanged(Qt::CopyAction);
        for (int read = 0; read < 2; ++read)
            log.push_back(Line("read", drag.mimeData()->data(QStringLiteral("text/plain")).toStdString()));
        return Qt::CopyAction;
    };
    button.OLEDrag();
    EXPECT_EQ(log, (Log{"start 3", "target 1", "feedback 1 1", "set data text/plain", "read Cash",
                        "read Cash", "complete 1"}));

    // A drag that allows no effect does not start.
    allow = Qt::IgnoreAction;
    log.clear();
    button.OLEDrag();
    EXPECT_EQ(log, Log{"start 3"});
}

TEST(ButtonInputTest, EnterAndAccessKeys) {
    TestHost host;
    host.userMode = true;
    host.displayAsDefault = true;
    QWidget window;
    auto* button = new ProbeButton(host);
    button->setParent(&window);
    button->SetCaption(QStringLiteral("&Post"));
    button->SetShowFocusRect(true);
    button->UserControl_AmbientChanged(QStringLiteral("DisplayAsDefault"));
    EXPECT_EQ(button->StateFlags() & QuiboButton::kDefaultFlag, QuiboButton::kDefaultFlag);
    Log log;
    Record(*button, log);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    button->redraws = 0;
    QTest::keyClick(&window, Qt::Key_Return);
    EXPECT_EQ(button->redraws, 0); // no redraw before the click of a default button
    QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
    EXPECT_EQ(log, (Log{"click", "click"}));

    // A check button is no default button.
    button->SetMode(1);
    log.clear();
    button->UserControl_AccessKeyPress(13);
    EXPECT_TRUE(log.empty());
    button->UserControl_AccessKeyPress('P');
    EXPECT_EQ(log, Log{"click"});
}

TEST(ButtonInputTest, HoverStartsOnTheFirstMoveAndEndsWithinATick) {
    TestHost host;
    host.userMode = true;
    ProbeButton button(host);
    bool over = true;
    button.SetCursorProbe([&over] { return over; });
    Log log;
    Record(button, log);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&button, &move);
    QApplication::sendEvent(&button, &move);
    EXPECT_EQ(log, Log{"on"});
    EXPECT_TRUE(button.Hovering());
    over = false;
    QElapsedTimer clock;
    clock.start();
    while (log.size() < 2 && clock.elapsed() < 1000)
        QTest::qWait(5);
    EXPECT_EQ(log, (Log{"on", "off"}));
    EXPECT_LE(clock.elapsed(), 120);
    EXPECT_EQ(button.StateFlags() & QuiboButton::kOverFlag, 0);

    // Hiding the button ends its hover and its timer.
    over = true;
    button.show();
    QApplication::sendEvent(&button, &move);
    button.hide();
    EXPECT_EQ(log, (Log{"on", "off", "on", "off"}));
    EXPECT_FALSE(button.Hovering());
}

TEST(ButtonInputTest, OptionGroupsSwitchTheirOtherMembersOff) {
    TestHost host;
    host.userMode = true;
    ProbeButton a(host), b(host), c(host);
    for (ProbeButton* member : {&a, &b, &c})
        member->SetMode(2);
    EXPECT_EQ(a.OptionGroup(), (std::vector<const QuiboButton*>{&a, &b, &c}));
    b.SetMode(0);
    EXPECT_EQ(a.OptionGroup(), (std::vector<const QuiboButton*>{&a, &c}));
    c.SetValue(true);
    const int bRedraws = b.redraws;
    Log log;
    Record(a, log);
    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(a.Value());
    EXPECT_FALSE(c.Value());
    EXPECT_EQ(b.redraws, bRedraws);
    QTest::mouseClick(&a, Qt::LeftButton, {}, QPoint(10, 10)); // already on: no click
    EXPECT_EQ(log, (Log{"down 1", "up 1", "click", "down 1", "up 1"}));
    EXPECT_TRUE(a.Value());

    // The focus switches an option on only while none of its group is.
    c.UserControl_GotFocus();
    EXPECT_FALSE(c.Value());
    a.SetValue(false);
    c.UserControl_GotFocus();
    EXPECT_TRUE(c.Value());

    // A member that ends leaves the group: a later switch never reaches it.
    {
        ProbeButton d(host);
        d.SetMode(2);
        d.SetValue(true);
        EXPECT_FALSE(c.Value());
        EXPECT_EQ(a.OptionGroup().size(), 3u);
    }
    EXPECT_EQ(a.OptionGroup(), (std::vector<const QuiboButton*>{&a, &c}));
    a.SetValue(true);
    EXPECT_TRUE(a.Value());
}

} // namespace
} // namespace quibo
