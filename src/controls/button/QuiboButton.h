#pragma once

#include "controls/button/ButtonColors.h"
#include "controls/button/ButtonPicture.h"
#include "controls/button/CaptionLayout.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QDrag;
class QMimeData;

namespace quibo {

class ButtonHost;
class PropertyBag;

// The owner-drawn command, check or option button. Its properties follow one pattern: out-of-range
// values are ignored, the value is stored, side effects run, the host hears the property-bag key of
// the change, and the button redraws. Everything is drawn into a back buffer of the control's size
// that reaches the window in one copy. User-interface thread only.
class QuiboButton : public QWidget {
    Q_OBJECT
    // The properties a property browser shows, with their descriptions and categories as class info
    // "Description:" and "Category:" followed by the property's name.
    Q_PROPERTY(int ButtonStyle READ ButtonStyle WRITE SetButtonStyle)
    Q_PROPERTY(int Mode READ Mode WRITE SetMode)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int CaptionAlign READ CaptionAlign WRITE SetCaptionAlign)
    Q_PROPERTY(int CaptionStyle READ CaptionStyle WRITE SetCaptionStyle)
    Q_PROPERTY(int CustomClick READ CustomClick WRITE SetCustomClick)
    Q_PROPERTY(int ButtonShape READ ButtonShape WRITE SetButtonShape)
    Q_PROPERTY(std::optional<quibo::ButtonPicture> Picture READ Picture WRITE SetPicture)
    Q_PROPERTY(int PictureAlign READ PictureAlign WRITE SetPictureAlign)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool ShowFocusRect READ ShowFocusRect WRITE SetShowFocusRect)
    Q_PROPERTY(bool Value READ Value WRITE SetValue)
    Q_PROPERTY(int PictureSize READ PictureSize WRITE SetPictureSize)
    Q_PROPERTY(int MousePointer READ MousePointer WRITE SetMousePointer)
    Q_PROPERTY(std::optional<quibo::ButtonPicture> MouseIcon READ MouseIcon WRITE SetMouseIcon)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(int FontStyle READ FontStyle WRITE SetFontStyle)
    Q_PROPERTY(int ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(int BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(int GradientColor READ GradientColor WRITE SetGradientColor)
    Q_PROPERTY(int GradientMode READ GradientMode WRITE SetGradientMode)
    Q_PROPERTY(bool ResetDefaultColors READ ResetDefaultColors WRITE SetResetDefaultColors)
    Q_PROPERTY(int HoverColorLocks READ HoverColorLocks WRITE SetHoverColorLocks)
    Q_PROPERTY(int HoverForeColor READ HoverForeColor WRITE SetHoverForeColor)
    Q_PROPERTY(int HoverBackColor READ HoverBackColor WRITE SetHoverBackColor)
    // Reading it makes the button a native window: no browser shows it.
    Q_PROPERTY(WId hwnd READ hwnd DESIGNABLE false STORED false)
    Q_CLASSINFO("Description:ButtonStyle", "Various operating system button styles")
    Q_CLASSINFO("Description:Mode", "Command button, check box or option button mode")
    Q_CLASSINFO("Description:Caption", "The caption of the button. Double pipe (||) is a line break.")
    Q_CLASSINFO("Description:CaptionAlign", "Horizontal alignment of caption on the button.")
    Q_CLASSINFO("Description:CaptionStyle", "Flat, Embossed or Engraved effects")
    Q_CLASSINFO("Description:CustomClick",
                "Custom shaped buttons only. Moves the button vs the traditional click effect.")
    Q_CLASSINFO("Description:ButtonShape", "Rectangular or various diagonal shapes")
    Q_CLASSINFO("Description:Picture", "The image used to display on the button.")
    Q_CLASSINFO("Description:PictureAlign",
                "Alignment of the button image in relation to the caption and/or button.")
    Q_CLASSINFO("Description:Enabled", "Determines if events are fired for this button.")
    Q_CLASSINFO("Description:ShowFocusRect",
                "Allows or prevents a focus rectangle from being displayed. In design mode, this may always "
                "be displayed for button set as Default.")
    Q_CLASSINFO("Description:Value", "Applicable to only check box or option button modes: True or False")
    Q_CLASSINFO("Description:PictureSize",
                "Various sizes for images used on buttons. Last 2 options center image automatically.")
    Q_CLASSINFO("Description:MousePointer",
                "Various optional mouse pointers to use when mouse is over the button")
    Q_CLASSINFO("Description:MouseIcon",
                "Icon or cursor used to display when mouse is over the button. MousePointer must be set to "
                "Custom.")
    Q_CLASSINFO("Description:Font", "Font used to display the caption.")
    Q_CLASSINFO("Description:FontStyle", "Various font attributes that can be changed directly.")
    Q_CLASSINFO("Description:ForeColor", "The color of the caption's font .")
    Q_CLASSINFO("Description:BackColor", "Button back color. See also ResetDefaultColors")
    Q_CLASSINFO("Description:GradientColor",
                "Secondary color used for gradient shades. The BackColor property is the primary color.")
    Q_CLASSINFO("Description:GradientMode", "Various directions to draw the gradient shading.")
    Q_CLASSINFO("Description:ResetDefaultColors",
                "Resets button's back color and text color to Window's standard. The hover properties are "
                "also reset.")
    Q_CLASSINFO("Description:HoverColorLocks",
                "Can ensure the hover colors match the caption and back colors. Click for more options.")
    Q_CLASSINFO("Description:HoverForeColor",
                "Color of button caption's text when mouse is hovering over it. Affects the HoverLockColors "
                "property.")
    Q_CLASSINFO("Description:HoverBackColor",
                "Color of button background when mouse is hovering over it. Affects the HoverLockColors "
                "property.")
    Q_CLASSINFO("Category:Caption", "Appearance")
    Q_CLASSINFO("Category:Enabled", "Behavior")
public:
    static constexpr const char* kFormDataType = "Quibo.QuiboButton";

    // State flags of the input handling, read by the drawing.
    static constexpr std::int16_t kDefaultFlag = 1;
    static constexpr std::int16_t kDownFlag = 2;
    static constexpr std::int16_t kOverFlag = 4;
    static constexpr std::int16_t kMovedFlag = 0x400; // displaced by the press effect of a picture shape

    using EdgePoints = std::array<QPoint, 16>;
    using EdgeColors = std::array<ButtonColor, 13>; // slots 1-12

    // The host must outlive the button.
    explicit QuiboButton(ButtonHost& host, QWidget* parent = nullptr);
    ~QuiboButton() override;

    // Properties, in the order of the control's interface.
    int ButtonStyle() const { return m_buttonStyle; }
    void SetButtonStyle(int value);
    int Mode() const { return m_mode; }
    void SetMode(int value);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& value);
    int CaptionAlign() const { return m_captionAlign; }
    void SetCaptionAlign(int value);
    int CaptionStyle() const { return m_captionStyle; }
    void SetCaptionStyle(int value);
    int CustomClick() const { return m_customClick; }
    void SetCustomClick(int value);
    int ButtonShape() const { return m_buttonShape; }
    void SetButtonShape(int value);
    const std::optional<ButtonPicture>& Picture() const { return m_picture; }
    void SetPicture(const std::optional<ButtonPicture>& value);
    int PictureAlign() const { return m_pictureAlign; }
    void SetPictureAlign(int value);
    bool Enabled() const;
    void SetEnabled(bool value);
    bool ShowFocusRect() const { return m_showFocusRect; }
    void SetShowFocusRect(bool value);
    bool Value() const { return m_value; }
    void SetValue(bool value);
    int PictureSize() const; // 0-4 for 16, 24, 32, 40 and 48 pixels
    void SetPictureSize(int value);
    int MousePointer() const { return m_mousePointer; }
    void SetMousePointer(int value);
    const std::optional<ButtonPicture>& MouseIcon() const { return m_mouseIcon; }
    void SetMouseIcon(const std::optional<ButtonPicture>& value);
    QFont Font() const { return font(); }
    void SetFont(const QFont& value);
    int FontStyle() const; // 2 bold, 4 italic, 8 underline
    void SetFontStyle(int value);
    ButtonColor ForeColor() const { return m_foreColor; }
    void SetForeColor(ButtonColor value);
    ButtonColor BackColor() const { return m_backColor; }
    void SetBackColor(ButtonColor value);
    ButtonColor GradientColor() const { return m_gradientColor; }
    void SetGradientColor(ButtonColor value);
    int GradientMode() const { return m_gradientMode; }
    void SetGradientMode(int value);
    bool ResetDefaultColors() const { return false; }
    void SetResetDefaultColors(bool value);
    int HoverColorLocks() const { return m_hoverColorLocks; }
    void SetHoverColorLocks(int value);
    ButtonColor HoverForeColor() const { return m_hoverForeColor; }
    void SetHoverForeColor(ButtonColor value);
    ButtonColor HoverBackColor() const { return m_hoverBackColor; }
    void SetHoverBackColor(ButtonColor value);
    // The native handle of the control's window; there is no lasting device context to hand out.
    WId hwnd() const { return winId(); }
    void Refresh();
    void DelayDrawing(bool bDelay);

    // Starts a drag with this button as its source: OLEStartDrag fills the data and the allowed
    // effects, OLECompleteDrag tells the effect the target chose. A format set with empty data is
    // asked for through OLESetData when a target first reads it.
    void OLEDrag();

    // What the host tells the control of its input, focus and ambient properties. Mouse buttons are
    // 1 left, 2 right, 4 middle; Shift is 1 Shift, 2 Ctrl, 4 Alt; key codes are the form's.
    void UserControl_MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void UserControl_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void UserControl_MouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void UserControl_Click();
    void UserControl_DblClick(float X, float Y); // at the cursor's client position
    void UserControl_KeyDown(qint16& KeyCode, qint16 Shift);
    void UserControl_KeyPress(qint16 KeyAscii);
    void UserControl_KeyUp(qint16& KeyCode, qint16 Shift);
    void UserControl_AccessKeyPress(qint16 KeyAscii);
    void UserControl_GotFocus();
    void UserControl_Show();
    void UserControl_AmbientChanged(const QString& PropertyName);
    // The end of the control: its hover timer stops and it leaves its option group.
    void UserControl_Terminate();

    // Whether the cursor lies over this control's window; the hover start and every hover tick ask.
    void SetCursorProbe(std::function<bool()> cursorOverControl);
    // The option group of the control's container, in the order its members joined.
    std::vector<const QuiboButton*> OptionGroup() const;

signals:
    // The control's own events; a handler may change the arguments.
    void MouseDown(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseUp(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseMove(qint16& Button, qint16& Shift, float& X, float& Y);
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyPress(qint16& KeyAscii);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    void MouseOnButton(bool& OnButton);
    void Click();
    void DoubleClick(qint16& Button);
    // Drag and drop, raised while the host lets the button accept drops (setAcceptDrops) or has it
    // start a drag (OLEDrag). Effects are drop actions; State is 0 enter, 1 leave, 2 over. Over and
    // drop start with the effects the source allows; the handler leaves those it takes.
    void OLECompleteDrag(Qt::DropActions& Effect);
    void OLEDragDrop(const QMimeData* Data, Qt::DropActions& Effect, qint16& Button, qint16& Shift, float& X,
                     float& Y);
    void OLEDragOver(const QMimeData* Data, Qt::DropActions& Effect, qint16& Button, qint16& Shift, float& X,
                     float& Y, qint16& State);
    void OLEGiveFeedback(Qt::DropActions& Effect, bool& DefaultCursors);
    void OLESetData(QMimeData* Data, QString& DataFormat);
    void OLEStartDrag(QMimeData* Data, Qt::DropActions& AllowedEffects);

public:
    // Creation by the host: new, or from stored form data; and saving.
    void UserControl_InitProperties();
    void UserControl_ReadProperties(const PropertyBag& bag);
    void UserControl_WriteProperties(PropertyBag& bag) const;
    // A size change: a back buffer of the new size, the region and the layout, then a redraw.
    void UserControl_Resize();

    // Derived state the drawing reads.
    DerivedColors Colors() const { return m_colors; }
    ButtonColor ContainerBackColor() const { return m_containerBackColor; }
    QString ContainerHandle() const { return m_containerHandle; }
    EdgeRect CaptionRect() const { return m_captionRect; }
    EdgeRect PictureRect() const { return m_pictureRect; }
    const QImage& DerivedPicture() const { return m_derivedPicture; }
    const QImage& BackBuffer() const { return m_buffer; }
    bool DrawingDelayed() const { return m_drawingDelayed; }
    std::int16_t StateFlags() const { return m_stateFlags; }
    bool Hovering() const { return m_hover; }
    int ShapeLeft() const { return m_shapeLeft; }
    int ShapeRight() const { return m_shapeRight; }
    // The outline the window is cut to, and the regions one and two pixels inside it (empty for none).
    const QRegion& WindowRegion() const { return m_windowRegion; }
    const QRegion& FaceRegion() const { return m_faceRegion; }
    const QRegion& InnerRegion() const { return m_innerRegion; }
    // What the window shows: the drawing surface as last copied, with the region frame on it.
    const QImage& Surface() const { return m_surface; }

    // The drawing routines the style painters compose a button of; all draw into the back buffer.
    void CreateBackBuffer(bool create);
    void SetupFontAndPicture(const QString& which);
    void CalcCaptionLayout(bool rebuildPicture);
    void SetDrawColors(bool select, int kind, ButtonColor colour, bool alsoPen = false, int width = 1,
                       int style = 0);
    void DrawRectangle(int left, int top, int right, int bottom, ButtonColor fill, ButtonColor frame = -1,
                       int frameWidth = 1, int frameStyle = 0);
    void DrawPictureIcon(EdgeRect& rect);
    void DrawGradient(ButtonColor start, ButtonColor end);
    void DrawBackground(ButtonColor face, std::int16_t& level, std::int16_t& proceed, ButtonColor& gradient,
                        ButtonColor& hover);
    void DrawEdgeLines(EdgePoints& points, const EdgeColors& colors, int outerPenStyle);
    void DrawFocusRectangle(ButtonColor& penColor, bool asLines, bool& aroundCaption, EdgePoints& points);
    void DrawCaption(ButtonColor face, ButtonColor altCaption, bool shiftPressed, bool& singleDisabledDraw);

    // The points of the three rings of edge lines.
    static EdgePoints CalcEdgePoints(int buttonShape, int shapeLeft, int shapeRight, double width,
                                     double height);
    // The negative character height of the drawing font of a point size at a screen resolution.
    static int DrawingFontHeight(double pointSize, int dotsPerInch);

protected:
    // Every visible change ends here.
    virtual void RedrawButton();
    // The window region of the shape, and ShapeLeft and ShapeRight.
    virtual void CreateShapeRegion();
    // Clipping and rings of the shape before the background is drawn; proceed 0 stops the redraw.
    virtual void FrameShapeRegion(std::int16_t& proceed);
    // Option-group bookkeeping: -1 leave, 0 switch the others off, 1 join, 2 ask whether one is on.
    virtual void OptionToggle(std::int16_t action, bool& result);
    // The derived picture bitmap at w x h; with a region, its transparent runs are cut out of it and
    // out of the face and inner regions.
    virtual void CreateRegionFromBitmap(int w, int h, QRegion* region = nullptr);
    // The press effect of picture shapes: true when the window was just moved.
    bool MoveForCustomClick();
    // Pixels the screen spans across (horizontal) or down.
    virtual int ScreenExtent(bool horizontal) const;
    // Runs a drag to its end and gives the effect the target chose.
    virtual Qt::DropAction ExecDrag(QDrag& drag, Qt::DropActions allowed);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dragMoveEvent(QDragMoveEvent* e) override;
    void dragLeaveEvent(QDragLeaveEvent* e) override;
    void dropEvent(QDropEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

    ButtonHost& Host() const { return m_host; }
    bool Pressed() const { return (m_stateFlags & (kDownFlag | kOverFlag)) == (kDownFlag | kOverFlag); }
    void DesignMessage(const QString& text, const QString& title = QString());
    void Signal(const char* key);

    std::int16_t m_stateFlags = 0;
    bool m_hover = false;
    bool m_leftHeld = false; // the left button or the space bar is held while the press is tracked
    int m_shapeLeft = 0;
    int m_shapeRight = 0;
    QRegion m_clip; // clipping of the drawing surface; empty for none
    QRegion m_windowRegion;
    QRegion m_faceRegion;
    QRegion m_innerRegion;

private:
    void SetUpInput();
    void LeaveGroup();
    // One hover tick: hover ends once the cursor has left.
    void CheckHover();
    void EndHover();
    // Alt with the access key, and Enter while the control is the default button.
    void GrabShortcuts();
    // OLEDragOver for an entering or moving drag, whose event then takes the effect chosen.
    void DragOver(QDropEvent* e, qint16 State);

    // The painters of the styles: 2, 5 and 7 have their own; the others share one skeleton.
    void DrawSkeletonStyle(EdgePoints& points, EdgeColors& colors, std::int16_t& level,
                           std::int16_t& proceed);
    void DrawStyle2(EdgePoints& points, EdgeColors& colors, std::int16_t& level, std::int16_t& proceed);
    void DrawStyle5(EdgePoints& points, EdgeColors& colors, std::int16_t& level, std::int16_t& proceed);
    void DrawStyle7(EdgePoints& points, EdgeColors& colors, std::int16_t& level, std::int16_t& proceed);
    // Shapes 6 hovered or pressed, 7 and 8 ask for a black region frame; the others for none.
    void RequestRegionFrame(EdgeColors& colors, std::int16_t& proceed) const;
    // The outlines CreateShapeRegion cuts the window to, by shape: slanted ends (1-3), whose
    // rectangle may widen; the corners each style takes off shapes 0-3; the ellipse (4-6); the
    // picture's opaque part (7, 8), false when the picture has no area.
    QRegion SlantedOutline(int W, int H);
    void TrimCorners(QRegion& region, int H) const;
    QRegion EllipseOutline(int W, int H);
    bool PictureOutline(int W, int H, QRegion& region);
    // A gradient from white at the top to grey at the bottom: the raised ring of round and picture shapes.
    void PaintRaisedRing();
    // A frame one pixel wide along the inside of the region's border.
    static void FrameRegion(QImage& image, const QRegion& region, ButtonColor colour);
    void DrawText(const EdgeRect& rect, const QString& text, int align, ButtonColor colour);
    void Polyline(const QPoint* points, int count);
    void Plot(int x, int y, QRgb colour);
    bool Usable() const { return !m_buffer.isNull(); }

    ButtonHost& m_host;

    int m_buttonStyle = 0;
    int m_mode = 0;
    QString m_caption;
    int m_captionAlign = 0;
    int m_captionStyle = 0;
    int m_customClick = 0;
    int m_buttonShape = 0;
    std::optional<ButtonPicture> m_picture;
    int m_pictureAlign = 0;
    bool m_showFocusRect = false;
    bool m_value = false;
    int m_pictureSizePixels = 0;
    int m_gradientMode = 0;
    ButtonColor m_gradientColor = 0;
    ButtonColor m_backColor = 0;
    int m_hoverColorLocks = 0;
    ButtonColor m_hoverForeColor = 0;
    ButtonColor m_hoverBackColor = 0;

    // Members a form host keeps for every control.
    ButtonColor m_foreColor = kSysButtonText;
    int m_mousePointer = 0;
    std::optional<ButtonPicture> m_mouseIcon;

    QString m_accessKeys;
    QString m_containerHandle;
    ButtonColor m_containerBackColor = 0;
    DerivedColors m_colors;
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    int m_pictureIsIcon = 0;
    QImage m_derivedPicture;
    EdgeRect m_captionRect;
    EdgeRect m_pictureRect;
    bool m_drawingDelayed = false;
    bool m_painting = false;

    // Input: the mouse button of the last press or release (1 also for keys, -1 after a double click).
    qint16 m_clickButton = 0;
    bool m_afterDoubleClick = false;
    // The code of each key down on the button, by its native scan code (none kept for code 0).
    std::map<quint32, qint16> m_keysDown;
    QTimer m_hoverTimer;
    std::function<bool()> m_cursorOver;
    std::vector<int> m_shortcuts;
    // The drag over the button, for its leave event, which carries nothing.
    QPointer<const QMimeData> m_dragData;
    Qt::DropActions m_dragEffects;
    QPointF m_dragAt;

    // The drawing surface and what is selected into it.
    QImage m_buffer;
    QImage m_surface;
    QFont m_drawingFont;
    ButtonColor m_brushColor = 0;
    ButtonColor m_penColor = 0;
    int m_penWidth = 1;
    int m_penStyle = 0;
    ButtonColor m_textColor = 0;
};

} // namespace quibo
