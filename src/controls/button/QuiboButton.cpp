#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonHost.h"

#include <QCursor>
#include <QPixmap>
#include <QResizeEvent>

namespace quibo {

namespace {

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// The pointers a form offers, by number: 0 default, 1-15 the standard ones, 99 the custom icon.
std::optional<Qt::CursorShape> CursorOf(int pointer) {
    static constexpr Qt::CursorShape kShapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
    };
    if (InRange(pointer, 0, 15)) return kShapes[pointer];
    return std::nullopt;
}

} // namespace

QuiboButton::QuiboButton(ButtonHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_drawingFont = font();
    SetUpInput();
}

QuiboButton::~QuiboButton() {
    UserControl_Terminate();
}

void QuiboButton::Signal(const char* key) {
    m_host.PropertyChanged(QString::fromLatin1(key));
}

void QuiboButton::DesignMessage(const QString& text, const QString& title) {
    if (!m_host.UserMode()) m_host.ShowDesignMessage(text, title);
}

void QuiboButton::SetButtonStyle(int value) {
    if (!InRange(value, 0, 7)) return;
    const int old = m_buttonStyle;
    m_buttonStyle = value;
    if ((m_buttonShape < 7 && (old == 5 || value == 5)) || m_buttonShape < 4) CreateShapeRegion();
    CalcCaptionLayout(false);
    SetupFontAndPicture(QStringLiteral("BackColor"));
    RedrawButton();
    Signal("BackStyle");
}

void QuiboButton::SetMode(int value) {
    if (!InRange(value, 0, 2)) return;
    bool unused = false;
    if (m_mode == 2 && value < 2) OptionToggle(-1, unused);
    if (value == 2 && m_mode < 2) OptionToggle(1, unused);
    if (value == 0 && m_mode > 0) SetValue(false);
    m_mode = value;
    RedrawButton();
    Signal("Mode");
}

void QuiboButton::SetCaption(const QString& value) {
    // The key is the character after the last single "&"; "&&" is a literal ampersand.
    std::optional<QString> keys;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('&')) continue;
        if (i + 1 < value.size() && value[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        keys = i + 1 < value.size() ? QString(value[i + 1]) : QString();
    }
    if (keys) {
        m_accessKeys = *keys;
        m_host.SetAccessKeys(m_accessKeys);
        GrabShortcuts();
    }
    m_caption = value;
    CalcCaptionLayout(false);
    RedrawButton();
    Signal("Caption");
}

void QuiboButton::SetCaptionAlign(int value) {
    if (!InRange(value, 0, 2)) return;
    if (value != 2 && m_pictureAlign >= 4 && m_pictureWidth + m_pictureHeight >= 1) {
        DesignMessage(QStringLiteral("When button images are aligned top/bottom center, \r\n"
                                     "button captions can only be center aligned"));
        return;
    }
    m_captionAlign = value;
    CalcCaptionLayout(false);
    RedrawButton();
    Signal("CapAlign");
}

void QuiboButton::SetCaptionStyle(int value) {
    if (!InRange(value, 0, 2)) return;
    m_captionStyle = value;
    Signal("CapStyle");
    if (!m_caption.isEmpty()) {
        CalcCaptionLayout(false);
        RedrawButton();
    }
}

void QuiboButton::SetCustomClick(int value) {
    if (!InRange(value, 0, 8)) return;
    if (value >= 1 && m_buttonShape < 7)
        DesignMessage(
            QStringLiteral("This property has no effect unless the Button Shape is a custom shape."));
    m_customClick = value;
    Signal("CustomClick");
}

void QuiboButton::SetButtonShape(int value) {
    if (!InRange(value, 0, 8)) return;
    if (value >= 7) {
        if (!m_picture || m_pictureIsIcon == 1) {
            DesignMessage(
                QStringLiteral("The Picture Property must be assigned first and must be a bitmap or JPEG."));
            return;
        }
        if (PictureSize() != 4) {
            DelayDrawing(true);
            SetPictureSize(4);
            m_drawingDelayed = false;
        }
    }
    m_buttonShape = value;
    m_captionAlign = 2;
    UserControl_Resize();
    DelayDrawing(false);
    Signal("Shape");
}

void QuiboButton::SetPicture(const std::optional<ButtonPicture>& value) {
    m_picture = value;
    if (m_pictureSizePixels == 0) m_pictureSizePixels = 16;
    SetupFontAndPicture(QStringLiteral("Picture"));
    if (m_buttonShape < 7) {
        CalcCaptionLayout(true);
        RedrawButton();
    } else {
        if (!m_picture) {
            SetButtonShape(0);
        } else if (m_picture->isIcon()) {
            SetButtonShape(0);
            DesignMessage(
                QStringLiteral("Icons cannot be used for custom buttons. Only use bitmaps or JPEGs.\r\n"
                               "Button was changed to Rectangular shaped."));
        }
        UserControl_Resize();
    }
    Signal("Image");
}

void QuiboButton::SetPictureAlign(int value) {
    if (!InRange(value, 0, 5)) return;
    m_pictureAlign = value;
    if (value >= 4) SetCaptionAlign(2);
    CalcCaptionLayout(false);
    RedrawButton();
    Signal("ImgAlign");
}

// The control's own setting, whatever its container's.
bool QuiboButton::Enabled() const {
    return !testAttribute(Qt::WA_ForceDisabled);
}

void QuiboButton::SetEnabled(bool value) {
    if (value == Enabled()) return;
    setEnabled(value);
    if (m_buttonStyle == 3 && m_mode == 0 && m_buttonShape < 4) {
        DelayDrawing(true);
        CreateShapeRegion();
        CalcCaptionLayout(false);
        DelayDrawing(false);
    } else {
        RedrawButton();
    }
    Signal("Enabled");
}

void QuiboButton::SetShowFocusRect(bool value) {
    m_showFocusRect = value;
    if (m_stateFlags & kDefaultFlag) {
        if (m_host.UserMode()) {
            m_stateFlags &= ~kDefaultFlag;
            RedrawButton();
        } else {
            DesignMessage(
                QStringLiteral("The focus rectangle may appear on default buttons ONLY while in design "
                               "mode, \r\nbut will not appear when the form is running."));
        }
    } else {
        RedrawButton();
    }
    Signal("Focus");
}

void QuiboButton::SetValue(bool value) {
    if (value && m_mode == 0) {
        DesignMessage(QStringLiteral("This property is not applicable for command button modes."));
        return;
    }
    m_value = value;
    if (value && m_mode == 2) {
        bool unused = false;
        OptionToggle(0, unused);
    }
    RedrawButton();
    Signal("Value");
}

int QuiboButton::PictureSize() const {
    return (m_pictureSizePixels == 0 ? 16 : m_pictureSizePixels) / 8 - 2;
}

void QuiboButton::SetPictureSize(int value) {
    if (!InRange(value, 0, 4)) return;
    if (m_buttonShape >= 7) {
        DesignMessage(QStringLiteral("The picture size cannot be changed for Shaped buttons"));
        return;
    }
    m_pictureSizePixels = (value + 2) * 8;
    CalcCaptionLayout(true);
    RedrawButton();
    Signal("ImgSize");
}

void QuiboButton::SetMousePointer(int value) {
    // The host takes its standard pointers and the custom one; anything else it refuses.
    if (value == 99) {
        if (m_mouseIcon)
            setCursor(QCursor(QPixmap::fromImage(m_mouseIcon->image)));
        else
            unsetCursor();
    } else if (const auto shape = CursorOf(value)) {
        if (value == 0)
            unsetCursor();
        else
            setCursor(*shape);
    } else {
        return;
    }
    m_mousePointer = value;
    Signal("mPointer");
}

void QuiboButton::SetMouseIcon(const std::optional<ButtonPicture>& value) {
    if (value && !value->isIcon()) {
        DesignMessage(QStringLiteral("Invalid property value"),
                      QStringLiteral("Select .ico Or .cur Files Only"));
        return;
    }
    m_mouseIcon = value;
    if (m_mouseIcon) {
        SetMousePointer(99);
        Signal("mIcon");
    }
}

void QuiboButton::SetFont(const QFont& value) {
    setFont(value);
    SetupFontAndPicture(QStringLiteral("Font"));
    CalcCaptionLayout(false);
    RedrawButton();
    Signal("Font");
}

int QuiboButton::FontStyle() const {
    const QFont f = font();
    return 2 * f.bold() + 4 * f.italic() + 8 * f.underline();
}

void QuiboButton::SetFontStyle(int value) {
    QFont f = font();
    f.setBold((value & 2) != 0);
    f.setItalic((value & 4) != 0);
    f.setUnderline((value & 8) != 0);
    setFont(f);
    SetupFontAndPicture(QStringLiteral("Font"));
    CalcCaptionLayout(false);
    Signal("Font");
    RedrawButton();
}

void QuiboButton::SetForeColor(ButtonColor value) {
    if (value == m_foreColor) return;
    m_foreColor = value;
    if (m_hoverColorLocks == 0 || m_hoverColorLocks == 1) SetHoverForeColor(value);
    m_drawingDelayed = false;
    RedrawButton();
    Signal("cFore");
}

void QuiboButton::SetBackColor(ButtonColor value) {
    m_backColor = value;
    if (m_hoverColorLocks == 0 || m_hoverColorLocks == 2)
        SetHoverBackColor(m_gradientMode != 0 ? m_gradientColor : value);
    SetupFontAndPicture(QStringLiteral("BackColor"));
    RedrawButton();
    Signal("cBack");
}

void QuiboButton::SetGradientColor(ButtonColor value) {
    if ((m_hoverColorLocks == 0 || m_hoverColorLocks == 2) && m_gradientMode > 0) m_hoverBackColor = value;
    m_gradientColor = value;
    SetupFontAndPicture(QStringLiteral("BackColor"));
    if (m_gradientMode != 0) RedrawButton();
    Signal("cGradient");
}

void QuiboButton::SetGradientMode(int value) {
    if (!InRange(value, 0, 4)) return;
    m_gradientMode = value;
    if (m_hoverColorLocks == 0 || m_hoverColorLocks == 2) {
        m_hoverBackColor = value == 0 ? m_backColor : m_gradientColor;
        SetupFontAndPicture(QStringLiteral("BackColor"));
    }
    RedrawButton();
    Signal("Gradient");
}

void QuiboButton::SetResetDefaultColors(bool value) {
    if (!value || m_host.UserMode()) return;
    DelayDrawing(true);
    m_backColor = kSysButtonFace;
    SetForeColor(kSysButtonText);
    SetGradientColor(kSysButtonFace);
    SetGradientMode(0);
    SetHoverColorLocks(0);
    SetupFontAndPicture(QStringLiteral("BackColor"));
    DelayDrawing(false);
    Signal("cGradient");
    Signal("cBack");
}

void QuiboButton::SetHoverColorLocks(int value) {
    m_hoverColorLocks = value;
    if (value == 0 || value == 2) {
        m_hoverBackColor = m_gradientMode != 0 ? m_gradientColor : m_backColor;
        Signal("cBHover");
    }
    if (value == 0 || value == 1) {
        m_hoverForeColor = m_foreColor;
        Signal("cFHover");
    }
    SetupFontAndPicture(QStringLiteral("BackColor"));
    Signal("LockHover");
}

void QuiboButton::SetHoverForeColor(ButtonColor value) {
    if (value == m_hoverForeColor) return;
    m_hoverForeColor = value;
    Signal("cFHover");
    if (value != m_foreColor) {
        if (m_hoverColorLocks == 0) m_hoverColorLocks = 2;
        if (m_hoverColorLocks == 1) m_hoverColorLocks = 3;
    }
    Signal("cFHover");
}

void QuiboButton::SetHoverBackColor(ButtonColor value) {
    if (value == m_hoverBackColor) return;
    m_hoverBackColor = value;
    if (value != m_backColor) {
        if (m_hoverColorLocks == 0) m_hoverColorLocks = 1;
        if (m_hoverColorLocks == 2) m_hoverColorLocks = 3;
    }
    SetupFontAndPicture(QStringLiteral("BackColor"));
    Signal("cBHover");
}

void QuiboButton::Refresh() {
    m_drawingDelayed = false;
    RedrawButton();
}

void QuiboButton::DelayDrawing(bool bDelay) {
    m_drawingDelayed = bDelay;
    if (!bDelay) Refresh();
}

void QuiboButton::UserControl_InitProperties() {
    m_containerHandle = m_host.ContainerHandle();
    m_caption = m_host.DisplayName();
    m_captionAlign = 2;
    m_showFocusRect = true;
    m_hoverForeColor = kSysButtonText;
    m_hoverBackColor = kSysButtonFace;
    setFont(m_host.ParentFont());
    m_containerBackColor = TranslateSysColor(m_host.AmbientBackColor());
    m_backColor = kSysButtonFace;
    SetupFontAndPicture(QStringLiteral("BackColor"));
    for (const char* key : {"Caption", "CapAlign", "Focus", "cFHover", "cBHover", "Font"})
        Signal(key);
}

namespace {

QFont FontFrom(const QVariant& value, const QFont& fallback) {
    if (value.typeId() == QMetaType::QFont) return value.value<QFont>();
    QFont font;
    return font.fromString(value.toString()) ? font : fallback;
}

std::optional<ButtonPicture> PictureFrom(const QVariant& value,
                                         const std::optional<ButtonPicture>& fallback) {
    return value.isValid() ? PictureFromBytes(value.toByteArray()) : fallback;
}

} // namespace

void QuiboButton::UserControl_ReadProperties(const PropertyBag& bag) {
    m_containerHandle = m_host.ContainerHandle();
    m_containerBackColor = TranslateSysColor(m_host.AmbientBackColor());
    DelayDrawing(true);

    const auto number = [&bag](const char* key, int defaultValue) {
        return bag.ReadProperty(QString::fromLatin1(key), defaultValue).toInt();
    };
    const auto flag = [&bag](const char* key, bool defaultValue) {
        return bag.ReadProperty(QString::fromLatin1(key), defaultValue).toBool();
    };
    m_caption = bag.ReadProperty(QStringLiteral("Caption"), QString()).toString();
    m_captionAlign = number("CapAlign", 2);
    m_buttonStyle = number("BackStyle", 0);
    m_buttonShape = number("Shape", 0);
    m_gradientMode = number("Gradient", 0);
    m_gradientColor = number("cGradient", kSysButtonFace);
    m_foreColor = number("cFore", kSysButtonText);
    setFont(FontFrom(bag.ReadProperty(QStringLiteral("Font"), font().toString()), font()));
    m_showFocusRect = flag("Focus", true);
    m_mode = number("Mode", 0);
    m_value = flag("Value", false);
    m_customClick = number("CustomClick", 0);
    m_picture = PictureFrom(bag.ReadProperty(QStringLiteral("Image"), QVariant()), std::nullopt);
    m_pictureSizePixels = number("ImgSize", 16);
    m_pictureAlign = number("ImgAlign", 0);
    m_hoverForeColor = number("cFHover", kSysButtonText);
    setEnabled(flag("Enabled", true));
    m_backColor = number("cBack", m_host.ParentBackColor());
    m_hoverBackColor = number("cBHover", m_backColor);
    m_hoverColorLocks = number("LockHover", 0);
    m_captionStyle = number("CapStyle", 0);
    SetMouseIcon(PictureFrom(bag.ReadProperty(QStringLiteral("mIcon"), QVariant()), m_mouseIcon));
    SetMousePointer(number("mPointer", 0));

    SetupFontAndPicture(QStringLiteral("Picture"));
    SetupFontAndPicture(QStringLiteral("BackColor"));
    SetCaption(m_caption);
    if (m_mode == 2) {
        bool unused = false;
        OptionToggle(1, unused);
    }
    m_drawingDelayed = false;
    UserControl_Resize();
}

void QuiboButton::UserControl_WriteProperties(PropertyBag& bag) const {
    const auto write = [&bag](const char* key, const QVariant& value, const QVariant& defaultValue) {
        bag.WriteProperty(QString::fromLatin1(key), value, defaultValue);
    };
    write("Caption", m_caption, QString());
    write("CapAlign", m_captionAlign, 2);
    write("BackStyle", m_buttonStyle, 0);
    write("Shape", m_buttonShape, 0);
    write("Font", font().toString(), QVariant());
    write("cFore", m_foreColor, kSysButtonText);
    write("cFHover", m_hoverForeColor, kSysButtonText);
    write("cBHover", m_hoverBackColor, m_backColor);
    write("Focus", m_showFocusRect, true);
    write("LockHover", m_hoverColorLocks, 0);
    write("cGradient", m_gradientColor, kSysButtonFace);
    write("Gradient", m_gradientMode, 0);
    write("CapStyle", m_captionStyle, 0);
    write("Mode", m_mode, QVariant());
    write("Value", m_value, QVariant());
    write("CustomClick", m_customClick, 0);
    write("ImgAlign", m_pictureAlign, 0);
    write("Image", PictureToBytes(m_picture), QVariant());
    write("ImgSize", m_pictureSizePixels == 0 ? 16 : m_pictureSizePixels, 16);
    write("Enabled", Enabled(), true);
    write("cBack", m_backColor, QVariant());
    write("mPointer", m_mousePointer, 0);
    if (m_mouseIcon) write("mIcon", PictureToBytes(m_mouseIcon), QVariant());
}

void QuiboButton::UserControl_Resize() {
    CreateBackBuffer(true);
    if (m_drawingDelayed) return;
    CreateShapeRegion();
    CalcCaptionLayout(false);
    RedrawButton();
}

void QuiboButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UserControl_Resize();
}

} // namespace quibo
