#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonTestKit.h"
#include "controls/button/SettingsPropertyBag.h"

#include <QSettings>
#include <QTemporaryDir>

#include <functional>
#include <map>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Keys = std::vector<QString>;

Keys K(std::initializer_list<const char*> keys) {
    Keys out;
    for (const char* k : keys)
        out.push_back(QString::fromLatin1(k));
    return out;
}

TEST(QuiboButtonTest, ANewButtonTakesItsDefaultsAndSignalsThem) {
    TestHost host;
    QuiboButton button(host);
    button.UserControl_InitProperties();
    EXPECT_EQ(host.changes, K({"Caption", "CapAlign", "Focus", "cFHover", "cBHover", "Font"}));
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
        host.userMode = true;
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
        std::function<void(ProbeButton&)> prepare, act;
        Keys changes;
        int redraws;
        std::vector<int> options;
    };
    const auto none = [](ProbeButton&) {};
    const Case cases[] = {
        {"caption style without caption",
         [](ProbeButton& b) { b.SetCaption({}); },
         [](ProbeButton& b) { b.SetCaptionStyle(1); },
         K({"CapStyle"}),
         0,
         {}},
        {"caption style with caption",
         none,
         [](ProbeButton& b) { b.SetCaptionStyle(2); },
         K({"CapStyle"}),
         1,
         {}},
        {"custom click never redraws",
         none,
         [](ProbeButton& b) { b.SetCustomClick(3); },
         K({"CustomClick"}),
         0,
         {}},
        {"gradient colour without gradient",
         none,
         [](ProbeButton& b) { b.SetGradientColor(0xFF); },
         K({"cGradient"}),
         0,
         {}},
        {"gradient colour with gradient",
         [](ProbeButton& b) { b.SetGradientMode(1); },
         [](ProbeButton& b) { b.SetGradientColor(0xFF); },
         K({"cGradient"}),
         1,
         {}},
        {"option to command",
         [](ProbeButton& b) { b.SetMode(2); },
         [](ProbeButton& b) { b.SetMode(0); },
         K({"Value", "Mode"}),
         2,
         {-1}},
        {"option to check",
         [](ProbeButton& b) { b.SetMode(2); },
         [](ProbeButton& b) { b.SetMode(1); },
         K({"Mode"}),
         1,
         {-1}},
        {"command to option", none, [](ProbeButton& b) { b.SetMode(2); }, K({"Mode"}), 1, {1}},
        {"option switched on",
         [](ProbeButton& b) { b.SetMode(2); },
         [](ProbeButton& b) { b.SetValue(true); },
         K({"Value"}),
         1,
         {0}},
        {"fore colour follows into the hover colour",
         none,
         [](ProbeButton& b) { b.SetForeColor(0xFF); },
         K({"cFHover", "cFHover", "cFore"}),
         1,
         {}},
        {"fore colour unchanged", none, [](ProbeButton& b) { b.SetForeColor(kSysButtonText); }, {}, 0, {}},
        {"back colour follows into the hover colour",
         none,
         [](ProbeButton& b) { b.SetBackColor(0xFF); },
         K({"cBHover", "cBack"}),
         1,
         {}},
        {"hover colours never redraw",
         none,
         [](ProbeButton& b) {
             b.SetHoverBackColor(0xFF);
             b.SetHoverForeColor(0xFF00);
         },
         K({"cBHover", "cFHover", "cFHover"}),
         0,
         {}},
        {"hover locks 0 reset both",
         none,
         [](ProbeButton& b) { b.SetHoverColorLocks(0); },
         K({"cBHover", "cFHover", "LockHover"}),
         0,
         {}},
        {"hover locks 3 reset none",
         none,
         [](ProbeButton& b) { b.SetHoverColorLocks(3); },
         K({"LockHover"}),
         0,
         {}},
        {"image above centres the caption",
         [](ProbeButton& b) { b.SetCaptionAlign(0); },
         [](ProbeButton& b) { b.SetPictureAlign(4); },
         K({"CapAlign", "ImgAlign"}),
         2,
         {}},
        {"enabled on style 3 rebuilds the region",
         [](ProbeButton& b) { b.SetButtonStyle(3); },
         [](ProbeButton& b) { b.SetEnabled(false); },
         K({"Enabled"}),
         1,
         {}},
        {"enabled unchanged", none, [](ProbeButton& b) { b.SetEnabled(true); }, {}, 0, {}},
        {"font style", none, [](ProbeButton& b) { b.SetFontStyle(6); }, K({"Font"}), 1, {}},
        {"shape", none, [](ProbeButton& b) { b.SetButtonShape(4); }, K({"Shape"}), 2, {}},
        {"style", none, [](ProbeButton& b) { b.SetButtonStyle(1); }, K({"BackStyle"}), 1, {}},
        {"picture", none, [](ProbeButton& b) { b.SetPicture(SquarePicture()); }, K({"Image"}), 1, {}},
        {"font",
         none,
         [](ProbeButton& b) { b.SetFont(QFont(QStringLiteral("Serif"), 12)); },
         K({"Font"}),
         1,
         {}},
        {"focus rectangle", none, [](ProbeButton& b) { b.SetShowFocusRect(false); }, K({"Focus"}), 1, {}},
        {"mouse pointer", none, [](ProbeButton& b) { b.SetMousePointer(11); }, K({"mPointer"}), 0, {}},
        {"mouse pointer the host refuses", none, [](ProbeButton& b) { b.SetMousePointer(42); }, {}, 0, {}},
        {"no mouse icon", none, [](ProbeButton& b) { b.SetMouseIcon(std::nullopt); }, {}, 0, {}},
        {"reset default colours",
         [](ProbeButton& b) { b.SetGradientMode(2); },
         [](ProbeButton& b) { b.SetResetDefaultColors(true); },
         K({"cGradient", "Gradient", "cBHover", "cFHover", "LockHover", "cGradient", "cBack"}),
         1,
         {}},
    };
    for (const Case& c : cases) {
        TestHost host;
        ProbeButton button(host);
        c.prepare(button);
        host.changes.clear();
        button.redraws = 0;
        button.options.clear();
        c.act(button);
        EXPECT_EQ(host.changes, c.changes) << c.name;
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
    EXPECT_EQ(button.FontStyle(), 6);
    button.SetFontStyle(1);
    EXPECT_EQ(button.FontStyle(), 0);

    // Region rebuilds: always below shape 4, otherwise only into or out of style 5.
    button.SetButtonShape(4);
    button.regions = 0;
    button.SetButtonStyle(1);
    button.SetButtonStyle(5);
    button.SetButtonStyle(1);
    EXPECT_EQ(button.regions, 2);
    button.SetCaptionAlign(0);
    button.SetButtonShape(0);
    EXPECT_EQ(button.CaptionAlign(), 2);
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
        EXPECT_EQ(host.changes, K({"Caption"})) << caption;
    }
}

TEST(QuiboButtonTest, RefusalsTellTheDesignerAndAreSilentAtRunTime) {
    struct Case {
        const char* name;
        std::function<void(ProbeButton&)> act;
        const char* message;
        const char* title;
        std::function<bool(const ProbeButton&)> unchanged;
    };
    const Case cases[] = {
        {"caption align under an image above",
         [](ProbeButton& b) {
             b.SetPicture(SquarePicture());
             b.SetPictureAlign(4);
             b.SetCaptionAlign(0);
         },
         "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned",
         "", [](const ProbeButton& b) { return b.CaptionAlign() == 2; }},
        {"custom click on a plain shape (stored all the same)", [](ProbeButton& b) { b.SetCustomClick(1); },
         "This property has no effect unless the Button Shape is a custom shape.", "",
         [](const ProbeButton& b) { return b.CustomClick() == 1; }},
        {"picture shape without picture", [](ProbeButton& b) { b.SetButtonShape(7); },
         "The Picture Property must be assigned first and must be a bitmap or JPEG.", "",
         [](const ProbeButton& b) { return b.ButtonShape() == 0; }},
        {"picture shape from an icon",
         [](ProbeButton& b) {
             b.SetPicture(SquarePicture(ButtonPicture::Kind::Icon));
             b.SetButtonShape(8);
         },
         "The Picture Property must be assigned first and must be a bitmap or JPEG.", "",
         [](const ProbeButton& b) { return b.ButtonShape() == 0; }},
        {"icon on a picture shape",
         [](ProbeButton& b) {
             b.SetPicture(SquarePicture());
             b.SetButtonShape(8);
             b.SetPicture(SquarePicture(ButtonPicture::Kind::Icon));
         },
         "Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\nButton was changed to "
         "Rectangular "
         "shaped.",
         "", [](const ProbeButton& b) { return b.ButtonShape() == 0; }},
        {"value on a command button", [](ProbeButton& b) { b.SetValue(true); },
         "This property is not applicable for command button modes.", "",
         [](const ProbeButton& b) { return !b.Value(); }},
        {"picture size of a picture shape",
         [](ProbeButton& b) {
             b.SetPicture(SquarePicture());
             b.SetButtonShape(7);
             b.SetPictureSize(1);
         },
         "The picture size cannot be changed for Shaped buttons", "",
         [](const ProbeButton& b) { return b.PictureSize() == 4; }},
        {"focus rectangle of a default button",
         [](ProbeButton& b) {
             b.SetStateFlags(QuiboButton::kDefaultFlag);
             b.SetShowFocusRect(false);
         },
         "The focus rectangle may appear on default buttons ONLY while in design mode, \r\nbut will not "
         "appear when "
         "the form is running.",
         "", [](const ProbeButton& b) { return !b.ShowFocusRect(); }},
        {"a bitmap as mouse icon", [](ProbeButton& b) { b.SetMouseIcon(SquarePicture()); },
         "Invalid property value", "Select .ico Or .cur Files Only",
         [](const ProbeButton& b) { return !b.MouseIcon(); }},
    };
    for (const bool userMode : {false, true}) {
        for (const Case& c : cases) {
            TestHost host;
            host.userMode = userMode;
            ProbeButton button(host);
            c.act(button);
            EXPECT_TRUE(c.unchanged(button)) << c.name;
            if (userMode) {
                EXPECT_TRUE(host.messages.empty()) << c.name;
            } else {
                ASSERT_EQ(host.messages.size(), 1u) << c.name;
                EXPECT_EQ(host.messages[0].first, QString::fromLatin1(c.message)) << c.name;
                EXPECT_EQ(host.messages[0].second, QString::fromLatin1(c.title)) << c.name;
            }
        }
    }
}

TEST(QuiboButtonTest, PictureShapesAndAlignments) {
    TestHost host;
    ProbeButton button(host);
    button.SetPicture(SquarePicture());
    button.SetCaptionAlign(0);
    button.SetButtonShape(7);
    EXPECT_EQ(button.ButtonShape(), 7);
    EXPECT_EQ(button.PictureSize(), 4);
    EXPECT_EQ(button.CaptionAlign(), 2);
    button.SetPicture(std::nullopt);
    EXPECT_EQ(button.ButtonShape(), 0);

    button.SetPictureAlign(4);
    button.SetCaptionAlign(0);
    EXPECT_EQ(button.CaptionAlign(), 0);
    button.SetStateFlags(QuiboButton::kDefaultFlag);
    host.userMode = true;
    button.SetShowFocusRect(false);
    EXPECT_EQ(button.StateFlags(), 0);
    const ButtonPicture icon = SquarePicture(ButtonPicture::Kind::Icon);
    host.changes.clear();
    button.SetMouseIcon(icon);
    EXPECT_EQ(button.MousePointer(), 99);
    EXPECT_EQ(host.changes, K({"mPointer", "mIcon"}));
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
    EXPECT_EQ(bag.writes, K({"Caption",  "CapAlign", "BackStyle", "Shape",       "Font",      "cFore",
                             "cFHover",  "cBHover",  "Focus",     "LockHover",   "cGradient", "Gradient",
                             "CapStyle", "Mode",     "Value",     "CustomClick", "ImgAlign",  "Image",
                             "ImgSize",  "Enabled",  "cBack",     "mPointer",    "mIcon"}));
    Keys stored;
    for (const auto& [key, value] : bag.values)
        stored.push_back(key);
    EXPECT_EQ(stored,
              K({"Caption", "Font", "Image", "Mode", "Value", "cBack", "cGradient", "mIcon", "mPointer"}));

    ProbeButton loaded(host);
    loaded.UserControl_ReadProperties(bag);
    EXPECT_EQ(bag.reads, K({"Caption", "CapAlign",  "BackStyle", "Shape",   "Gradient", "cGradient",
                            "cFore",   "Font",      "Focus",     "Mode",    "Value",    "CustomClick",
                            "Image",   "ImgSize",   "ImgAlign",  "cFHover", "Enabled",  "cBack",
                            "cBHover", "LockHover", "CapStyle",  "mIcon",   "mPointer"}));
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

void ExpectSurvivesASettingsStore(ProbeButton& saved, TestHost& host) {
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("form.ini")), QSettings::IniFormat);
    SettingsPropertyBag bag(store, QStringLiteral("cmdPost"));
    saved.UserControl_WriteProperties(bag);
    store.sync();
    ProbeButton loaded(host);
    loaded.UserControl_ReadProperties(bag);
    const auto same = [&](auto get) { return std::invoke(get, loaded) == std::invoke(get, saved); };
    EXPECT_TRUE(same(&QuiboButton::Caption) && same(&QuiboButton::CaptionAlign) &&
                same(&QuiboButton::ButtonStyle));
    EXPECT_TRUE(same(&QuiboButton::ButtonShape) && same(&QuiboButton::GradientMode) &&
                same(&QuiboButton::Mode));
    EXPECT_TRUE(same(&QuiboButton::GradientColor) && same(&QuiboButton::ForeColor) &&
                same(&QuiboButton::Font));
    EXPECT_TRUE(same(&QuiboButton::ShowFocusRect) && same(&QuiboButton::Value) &&
                same(&QuiboButton::CustomClick));
    EXPECT_TRUE(same(&QuiboButton::PictureSize) && same(&QuiboButton::PictureAlign) &&
                same(&QuiboButton::Enabled));
    EXPECT_TRUE(same(&QuiboButton::HoverForeColor) && same(&QuiboButton::HoverBackColor));
    EXPECT_TRUE(same(&QuiboButton::BackColor) && same(&QuiboButton::HoverColorLocks));
    EXPECT_TRUE(same(&QuiboButton::CaptionStyle) && same(&QuiboButton::MousePointer));
    EXPECT_TRUE(same(&QuiboButton::Picture) && same(&QuiboButton::MouseIcon));
    EXPECT_EQ(loaded.options, saved.Mode() == 2 ? std::vector<int>{1} : std::vector<int>{});
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

    // "ImgSize" is kept in pixels.
    QTemporaryDir dir;
    QSettings store(dir.filePath(QStringLiteral("form.ini")), QSettings::IniFormat);
    SettingsPropertyBag bag(store, QStringLiteral("cmdPost"));
    saved.UserControl_WriteProperties(bag);
    EXPECT_EQ(store.value(QStringLiteral("Quibo.QuiboButton/cmdPost/ImgSize")).toInt(), 40);
}

} // namespace
} // namespace quibo
