#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonTestKit.h"
#include "controls/button/SettingsPropertyBag.h"

#include <QMetaClassInfo>
#include <QMetaProperty>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

#include <cstring>
#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using B = ProbeButton&;
using Keys = std::vector<QString>;

// Property-bag keys written one after the other: "Value Mode".
Keys K(const char* keys) {
    Keys out;
    for (const QString& k : QString::fromLatin1(keys).split(QLatin1Char(' '), Qt::SkipEmptyParts))
        out.push_back(k);
    return out;
}

TEST(QuiboButtonTest, ANewButtonTakesItsDefaultsAndSignalsThem) {
    TestHost host;
    QuiboButton button(host);
    button.UserControl_InitProperties();
    EXPECT_EQ(host.changes, K("Caption CapAlign Focus cFHover cBHover Font"));
    EXPECT_EQ(button.Caption(), QStringLiteral("QuiboButton1"));
    EXPECT_EQ(button.CaptionAlign(), 2);
    EXPECT_TRUE(button.ShowFocusRect());
    EXPECT_EQ(button.HoverForeColor(), kSysButtonText);
    EXPECT_EQ(button.HoverBackColor(), kSysButtonFace);
    EXPECT_EQ(button.BackColor(), kSysButtonFace);
    EXPECT_EQ(button.HoverColorLocks(), 0);
    EXPECT_EQ(button.PictureSize(), 0);
    EXPECT_EQ(button.Font(), host.parentFont);
    EXPECT_EQ(button.ContainerBackColor(), 0x00C0C0C0);
    EXPECT_EQ(button.ContainerHandle(), QStringLiteral("4242"));
}

TEST(QuiboButtonTest, RangedPropertiesIgnoreValuesOutsideTheirRange) {
    struct Case {
        const char* key;
        int low, high;
        std::function<void(QuiboButton&, int)> set;
        std::function<int(const QuiboButton&)> get;
    };
    const Case cases[] = {
        {"BackStyle", 0, 7, &QuiboButton::SetButtonStyle, &QuiboButton::ButtonStyle},
        {"Mode", 0, 2, &QuiboButton::SetMode, &QuiboButton::Mode},
        {"CapAlign", 0, 2, &QuiboButton::SetCaptionAlign, &QuiboButton::CaptionAlign},
        {"CapStyle", 0, 2, &QuiboButton::SetCaptionStyle, &QuiboButton::CaptionStyle},
        {"CustomClick", 0, 8, &QuiboButton::SetCustomClick, &QuiboButton::CustomClick},
        {"Shape", 0, 6, &QuiboButton::SetButtonShape, &QuiboButton::ButtonShape},
        {"ImgAlign", 0, 5, &QuiboButton::SetPictureAlign, &QuiboButton::PictureAlign},
        {"ImgSize", 0, 4, &QuiboButton::SetPictureSize, &QuiboButton::PictureSize},
        {"Gradient", 0, 4, &QuiboButton::SetGradientMode, &QuiboButton::GradientMode},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host);
        c.set(button, c.high);
        EXPECT_EQ(c.get(button), c.high) << c.key;
        EXPECT_EQ(host.changes.back(), QString::fromLatin1(c.key));
        host.changes.clear();
        c.set(button, c.high + 1);
        c.set(button, c.low - 1);
        EXPECT_EQ(c.get(button), c.high) << c.key;
        EXPECT_TRUE(host.changes.empty()) << c.key;
        c.set(button, c.low);
        EXPECT_EQ(c.get(button), c.low) << c.key;
    }
}

TEST(QuiboButtonTest, SettersSignalTheirKeysAndRedrawAsTheyShould) {
    struct Case {
        const char* name;
        void (*prepare)(B);
        void (*act)(B);
        const char* changes;
        int redraws;
        std::vector<int> options = {};
    };
    const Case cases[] = {
        {"caption style, no caption", [](B b) { b.SetCaption({}); }, [](B b) { b.SetCaptionStyle(1); },
         "CapStyle", 0},
        {"caption style", nullptr, [](B b) { b.SetCaptionStyle(2); }, "CapStyle", 1},
        {"custom click", nullptr, [](B b) { b.SetCustomClick(3); }, "CustomClick", 0},
        {"gradient colour, no gradient", nullptr, [](B b) { b.SetGradientColor(0xFF); }, "cGradient", 0},
        {"gradient colour", [](B b) { b.SetGradientMode(1); }, [](B b) { b.SetGradientColor(0xFF); },
         "cGradient", 1},
        {"option to command", [](B b) { b.SetMode(2); }, [](B b) { b.SetMode(0); }, "Value Mode", 2, {-1}},
        {"option to check", [](B b) { b.SetMode(2); }, [](B b) { b.SetMode(1); }, "Mode", 1, {-1}},
        {"command to option", nullptr, [](B b) { b.SetMode(2); }, "Mode", 1, {1}},
        {"option switched on", [](B b) { b.SetMode(2); }, [](B b) { b.SetValue(true); }, "Value", 1, {0}},
        {"fore colour", nullptr, [](B b) { b.SetForeColor(0xFF); }, "cFHover cFHover cFore", 1},
        {"fore colour unchanged", nullptr, [](B b) { b.SetForeColor(kSysButtonText); }, "", 0},
        {"back colour", nullptr, [](B b) { b.SetBackColor(0xFF); }, "cBHover cBack", 1},
        {"hover back colour", nullptr, [](B b) { b.SetHoverBackColor(0xFF); }, "cBHover", 0},
        {"hover fore colour", nullptr, [](B b) { b.SetHoverForeColor(0xFF); }, "cFHover cFHover", 0},
        {"hover locks 0", nullptr, [](B b) { b.SetHoverColorLocks(0); }, "cBHover cFHover LockHover", 0},
        {"hover locks 3", nullptr, [](B b) { b.SetHoverColorLocks(3); }, "LockHover", 0},
        {"image above", [](B b) { b.SetCaptionAlign(0); }, [](B b) { b.SetPictureAlign(4); },
         "CapAlign ImgAlign", 2},
        {"enabled, style 3", [](B b) { b.SetButtonStyle(3); }, [](B b) { b.SetEnabled(false); }, "Enabled",
         1},
        {"enabled unchanged", nullptr, [](B b) { b.SetEnabled(true); }, "", 0},
        {"font style", nullptr, [](B b) { b.SetFontStyle(6); }, "Font", 1},
        {"font", nullptr, [](B b) { b.SetFont(QFont(QStringLiteral("Serif"), 12)); }, "Font", 1},
        {"shape", nullptr, [](B b) { b.SetButtonShape(4); }, "Shape", 2},
        {"style", nullptr, [](B b) { b.SetButtonStyle(1); }, "BackStyle", 1},
        {"picture", nullptr, [](B b) { b.SetPicture(SquarePicture()); }, "Image", 1},
        {"focus rectangle", nullptr, [](B b) { b.SetShowFocusRect(false); }, "Focus", 1},
        {"mouse pointer", nullptr, [](B b) { b.SetMousePointer(11); }, "mPointer", 0},
        {"mouse pointer refused", nullptr, [](B b) { b.SetMousePointer(42); }, "", 0},
        {"mouse icon", nullptr, [](B b) { b.SetMouseIcon(SquarePicture(ButtonPicture::Kind::Icon)); },
         "mPointer mIcon", 0},
        {"no mouse icon", nullptr, [](B b) { b.SetMouseIcon(std::nullopt); }, "", 0},
        {"reset default colours", [](B b) { b.SetGradientMode(2); },
         [](B b) { b.SetResetDefaultColors(true); },
         "cGradient Gradient cBHover cFHover LockHover cGradient cBack", 1},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host);
        if (c.prepare) c.prepare(button);
        host.changes.clear();
        button.redraws = 0;
        button.options.clear();
        c.act(button);
        EXPECT_EQ(host.changes, K(c.changes)) << c.name;
        EXPECT_EQ(button.redraws, c.redraws) << c.name;
        EXPECT_EQ(button.options, c.options) << c.name;
    }
}

TEST(QuiboButtonTest, SideEffectsOnOtherProperties) {
    TestHost host;
    ProbeButton button(host);
    button.SetMode(2);
    button.SetValue(true);
    button.SetMode(1);
    EXPECT_TRUE(button.Value());
    button.SetMode(0);
    EXPECT_FALSE(button.Value());

    button.SetFontStyle(6);
    EXPECT_TRUE(button.Font().bold() && button.Font().italic() && !button.Font().underline());
    button.SetFontStyle(1);
    EXPECT_EQ(button.FontStyle(), 0);

    // Region rebuilds: always below shape 4, otherwise only into or out of style 5.
    button.SetButtonShape(4);
    button.regions = 0;
    button.SetButtonStyle(1);
    button.SetButtonStyle(5);
    button.SetButtonStyle(1);
    EXPECT_EQ(button.regions, 2);

    // A picture shape takes the largest picture size; every shape centres the caption.
    button.SetPicture(SquarePicture());
    button.SetCaptionAlign(0);
    button.SetButtonShape(7);
    EXPECT_EQ(button.PictureSize(), 4);
    EXPECT_EQ(button.CaptionAlign(), 2);
    EXPECT_EQ(button.DerivedPicture().size(), button.size());
    button.SetPicture(std::nullopt);
    EXPECT_EQ(button.ButtonShape(), 0);
    // With the picture gone a caption under an image alignment of 4 may leave the centre.
    button.SetPictureAlign(4);
    button.SetCaptionAlign(0);
    EXPECT_EQ(button.CaptionAlign(), 0);

    host.userMode = true;
    button.SetStateFlags(QuiboButton::kDefaultFlag);
    button.SetShowFocusRect(false);
    EXPECT_EQ(button.StateFlags(), 0);
}

TEST(QuiboButtonTest, HoverLocksDecideWhichHoverColoursFollow) {
    TestHost host;
    ProbeButton button(host);
    button.SetHoverBackColor(0x00FF00);
    EXPECT_EQ(button.HoverColorLocks(), 1);
    button.SetBackColor(0x0000FF);
    EXPECT_EQ(button.HoverBackColor(), 0x00FF00);
    button.SetForeColor(0x123456);
    EXPECT_EQ(button.HoverForeColor(), 0x123456);
    button.SetHoverForeColor(0x654321);
    EXPECT_EQ(button.HoverColorLocks(), 3);
    button.SetForeColor(0x111111);
    EXPECT_EQ(button.HoverForeColor(), 0x654321);

    button.SetHoverColorLocks(0);
    EXPECT_EQ(button.HoverBackColor(), 0x0000FF);
    EXPECT_EQ(button.HoverForeColor(), 0x111111);
    button.SetGradientColor(0x00AA00);
    button.SetGradientMode(3);
    EXPECT_EQ(button.HoverBackColor(), 0x00AA00);
    button.SetGradientColor(0x00BB00);
    EXPECT_EQ(button.HoverBackColor(), 0x00BB00);
    EXPECT_EQ(button.HoverColorLocks(), 0);
}

TEST(QuiboButtonTest, TheCaptionMarksTheAccessKey) {
    const std::pair<const char*, const char*> cases[] = {
        {"&Save", "S"},    {"Fish && &xchips", "x"}, {"Salt && Pepper", "?"},
        {"Trailing&", ""}, {"&&&Go", "G"},           {"&One &Two", "T"},
    };
    for (const auto& [caption, keys] : cases) {
        TestHost host;
        ProbeButton button(host);
        button.SetCaption(QString::fromLatin1(caption));
        EXPECT_EQ(host.accessKeys, QString::fromLatin1(keys)) << caption;
        EXPECT_EQ(host.changes, K("Caption")) << caption;
    }
}

using C = const ProbeButton&;
constexpr auto WithIcon = [](B b) { b.SetPicture(SquarePicture(ButtonPicture::Kind::Icon)); };
constexpr auto PictureAbove = [](B b) {
    b.SetPicture(SquarePicture());
    b.SetPictureAlign(4);
};
constexpr auto PictureShape = [](B b) {
    b.SetPicture(SquarePicture());
    b.SetButtonShape(8);
};
constexpr auto DefaultLook = [](B b) { b.SetStateFlags(QuiboButton::kDefaultFlag); };

TEST(QuiboButtonTest, RefusalsTellTheDesignerAndAreSilentAtRunTime) {
    struct Case {
        void (*prepare)(B);
        void (*act)(B);
        bool (*kept)(C);
        const char* message;
        const char* title = "";
    };
    const Case cases[] = {
        {PictureAbove, [](B b) { b.SetCaptionAlign(0); }, [](C b) { return b.CaptionAlign() == 2; },
         "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned"},
        {nullptr, [](B b) { b.SetCustomClick(1); }, [](C b) { return b.CustomClick() == 1; },
         "This property has no effect unless the Button Shape is a custom shape."},
        {nullptr, [](B b) { b.SetButtonShape(7); }, [](C b) { return b.ButtonShape() == 0; },
         "The Picture Property must be assigned first and must be a bitmap or JPEG."},
        {WithIcon, [](B b) { b.SetButtonShape(8); }, [](C b) { return b.ButtonShape() == 0; },
         "The Picture Property must be assigned first and must be a bitmap or JPEG."},
        {PictureShape, WithIcon, [](C b) { return b.ButtonShape() == 0; },
         "Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\n"
         "Button was changed to Rectangular shaped."},
        {nullptr, [](B b) { b.SetValue(true); }, [](C b) { return !b.Value(); },
         "This property is not applicable for command button modes."},
        {PictureShape, [](B b) { b.SetPictureSize(1); }, [](C b) { return b.PictureSize() == 4; },
         "The picture size cannot be changed for Shaped buttons"},
        {DefaultLook, [](B b) { b.SetShowFocusRect(false); }, [](C b) { return !b.ShowFocusRect(); },
         "The focus rectangle may appear on default buttons ONLY while in design mode, \r\n"
         "but will not appear when the form is running."},
        {nullptr, [](B b) { b.SetMouseIcon(SquarePicture()); }, [](C b) { return !b.MouseIcon(); },
         "Invalid property value", "Select .ico Or .cur Files Only"},
    };
    for (const bool userMode : {false, true}) {
        for (const Case& c : cases) {
            TestHost host;
            host.userMode = userMode;
            ProbeButton button(host);
            if (c.prepare) c.prepare(button);
            c.act(button);
            EXPECT_TRUE(c.kept(button)) << c.message;
            using Messages = std::vector<std::pair<QString, QString>>;
            const Messages expected{{QString::fromLatin1(c.message), QString::fromLatin1(c.title)}};
            EXPECT_EQ(host.messages, userMode ? Messages{} : expected) << c.message;
        }
    }
}

// A bag that keeps its values and the order of its calls.
class RecordingBag final : public PropertyBag {
public:
    std::map<QString, QVariant> values;
    mutable Keys reads;
    Keys writes;
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue) const override {
        reads.push_back(key);
        const auto it = values.find(key);
        return it == values.end() ? defaultValue : it->second;
    }
    void WriteProperty(const QString& key, const QVariant& value, const QVariant& defaultValue) override {
        writes.push_back(key);
        if (!defaultValue.isValid() || value != defaultValue) values[key] = value;
    }
};

TEST(QuiboButtonTest, SavesAndLoadsTheTwentyThreeKeysInTheirOrders) {
    TestHost host;
    ProbeButton button(host);
    button.SetMouseIcon(SquarePicture(ButtonPicture::Kind::Icon));
    RecordingBag bag;
    button.UserControl_WriteProperties(bag);
    EXPECT_EQ(bag.writes,
              K("Caption CapAlign BackStyle Shape Font cFore cFHover cBHover Focus LockHover cGradient "
                "Gradient CapStyle Mode Value CustomClick ImgAlign Image ImgSize Enabled cBack mPointer "
                "mIcon"));
    Keys stored;
    for (const auto& [key, value] : bag.values)
        stored.push_back(key);
    EXPECT_EQ(stored, K("Caption Font Image Mode Value cBack cGradient mIcon mPointer"));

    ProbeButton loaded(host);
    loaded.UserControl_ReadProperties(bag);
    EXPECT_EQ(bag.reads,
              K("Caption CapAlign BackStyle Shape Gradient cGradient cFore Font Focus Mode Value "
                "CustomClick Image ImgSize ImgAlign cFHover Enabled cBack cBHover LockHover CapStyle mIcon "
                "mPointer"));
    EXPECT_EQ(loaded.MousePointer(), 99);
}

TEST(QuiboButtonTest, AnEmptyBagLoadsTheDefaultsWithTheParentsBackColour) {
    TestHost host;
    ProbeButton button(host);
    button.UserControl_ReadProperties(RecordingBag());
    EXPECT_EQ(button.Caption(), QString());
    EXPECT_EQ(button.CaptionAlign(), 2);
    EXPECT_EQ(button.GradientColor(), kSysButtonFace);
    EXPECT_EQ(button.ForeColor(), kSysButtonText);
    EXPECT_EQ(button.HoverForeColor(), kSysButtonText);
    EXPECT_EQ(button.BackColor(), 0x00E0E0E0);
    EXPECT_EQ(button.HoverBackColor(), 0x00E0E0E0);
    EXPECT_TRUE(button.ShowFocusRect());
    EXPECT_TRUE(button.Enabled());
    EXPECT_EQ(button.PictureSize(), 0);
    EXPECT_FALSE(button.DrawingDelayed());
}

// Saves the button to a settings store, loads another from it and expects both to save the same.
void ExpectSurvivesASettingsStore(ProbeButton& saved, TestHost& host) {
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("form.ini")), QSettings::IniFormat);
    SettingsPropertyBag bag(store, QStringLiteral("cmdPost"));
    saved.UserControl_WriteProperties(bag);
    store.sync();
    // Taken before the load: an option button loaded on, into the same group, switches the saved one off.
    RecordingBag before, after;
    saved.UserControl_WriteProperties(before);
    ProbeButton loaded(host);
    loaded.UserControl_ReadProperties(bag);
    loaded.UserControl_WriteProperties(after);
    EXPECT_EQ(after.values, before.values);
    EXPECT_EQ(loaded.options, saved.Mode() == 2 ? std::vector<int>{1} : std::vector<int>{});
    EXPECT_EQ(store.value(QStringLiteral("Quibo.QuiboButton/cmdPost/ImgSize"), 16).toInt(),
              (saved.PictureSize() + 2) * 8);
}

TEST(QuiboButtonTest, ADefaultButtonSurvivesASettingsStore) {
    TestHost host;
    ProbeButton saved(host);
    ExpectSurvivesASettingsStore(saved, host);
}

TEST(QuiboButtonTest, EveryPropertySurvivesASettingsStore) {
    TestHost host;
    ProbeButton saved(host);
    saved.SetCaption(QStringLiteral("&Post"));
    saved.SetButtonStyle(6);
    saved.SetMode(2);
    saved.SetValue(true);
    saved.SetCaptionStyle(2);
    saved.SetCustomClick(5);
    saved.SetPicture(SquarePicture());
    saved.SetPictureAlign(3);
    saved.SetPictureSize(3);
    saved.SetGradientColor(0x00FF00);
    saved.SetGradientMode(4);
    saved.SetBackColor(0x0000FF);
    saved.SetHoverForeColor(0x00FFFF);
    saved.SetHoverBackColor(0x123456);
    saved.SetFontStyle(8);
    saved.SetForeColor(0x0F0F0F);
    saved.SetEnabled(false);
    saved.SetShowFocusRect(false);
    saved.SetMouseIcon(SquarePicture(ButtonPicture::Kind::Icon));
    saved.SetMousePointer(11);
    saved.SetCaptionAlign(0);
    ExpectSurvivesASettingsStore(saved, host);
}

TEST(QuiboButtonTest, APropertyBrowserFindsEachPropertyWithItsDescriptionAndCategory) {
    const std::pair<const char*, const char*> texts[] = {
        {"Description:ButtonStyle", "Various operating system button styles"},
        {"Description:Mode", "Command button, check box or option button mode"},
        {"Description:Caption", "The caption of the button. Double pipe (||) is a line break."},
        {"Description:CaptionAlign", "Horizontal alignment of caption on the button."},
        {"Description:CaptionStyle", "Flat, Embossed or Engraved effects"},
        {"Description:CustomClick",
         "Custom shaped buttons only. Moves the button vs the traditional click effect."},
        {"Description:ButtonShape", "Rectangular or various diagonal shapes"},
        {"Description:Picture", "The image used to display on the button."},
        {"Description:PictureAlign",
         "Alignment of the button image in relation to the caption and/or button."},
        {"Description:Enabled", "Determines if events are fired for this button."},
        {"Description:ShowFocusRect", "Allows or prevents a focus rectangle from being displayed. In design "
                                      "mode, this may always be displayed for button set as Default."},
        {"Description:Value", "Applicable to only check box or option button modes: True or False"},
        {"Description:PictureSize",
         "Various sizes for images used on buttons. Last 2 options center image automatically."},
        {"Description:MousePointer", "Various optional mouse pointers to use when mouse is over the button"},
        {"Description:MouseIcon",
         "Icon or cursor used to display when mouse is over the button. MousePointer must be set to Custom."},
        {"Description:Font", "Font used to display the caption."},
        {"Description:FontStyle", "Various font attributes that can be changed directly."},
        {"Description:ForeColor", "The color of the caption's font ."},
        {"Description:BackColor", "Button back color. See also ResetDefaultColors"},
        {"Description:GradientColor",
         "Secondary color used for gradient shades. The BackColor property is the primary color."},
        {"Description:GradientMode", "Various directions to draw the gradient shading."},
        {"Description:ResetDefaultColors", "Resets button's back color and text color to Window's standard. "
                                           "The hover properties are also reset."},
        {"Description:HoverColorLocks",
         "Can ensure the hover colors match the caption and back colors. Click for more options."},
        {"Description:HoverForeColor", "Color of button caption's text when mouse is hovering over it. "
                                       "Affects the HoverLockColors property."},
        {"Description:HoverBackColor",
         "Color of button background when mouse is hovering over it. Affects the HoverLockColors property."},
        {"Category:Caption", "Appearance"},
        {"Category:Enabled", "Behavior"},
    };
    const QMetaObject& meta = QuiboButton::staticMetaObject;
    EXPECT_EQ(meta.classInfoCount() - meta.classInfoOffset(), int(std::size(texts)));
    for (const auto& [key, text] : texts) {
        const int i = meta.indexOfClassInfo(key);
        ASSERT_GE(i, 0) << key;
        EXPECT_STREQ(meta.classInfo(i).value(), text) << key;
        const char* name = std::strchr(key, ':') + 1;
        EXPECT_TRUE(meta.property(meta.indexOfProperty(name)).isWritable()) << name;
    }

    // The browser writes through the setters; the window handle is the widget's own.
    TestHost host;
    ProbeButton button(host);
    EXPECT_TRUE(button.setProperty("ButtonStyle", 3));
    EXPECT_EQ(button.ButtonStyle(), 3);
    EXPECT_EQ(host.changes, K("BackStyle"));
    const WId hwnd = button.property("hwnd").value<WId>();
    EXPECT_NE(hwnd, WId(0));
    EXPECT_EQ(hwnd, button.winId());
}

} // namespace
} // namespace quibo
