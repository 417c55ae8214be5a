// The one redraw of the button and the painters of its eight styles.
#include "controls/button/QuiboButton.h"

#include "controls/button/ButtonHost.h"

#include <QPainter>

namespace quibo {

namespace {

constexpr ButtonColor G = 0x808080;
constexpr ButtonColor W = 0xFFFFFF;
constexpr ButtonColor K = 0;

// Lightens or darkens with blue in proportion, as the shaded styles do.
ButtonColor Sh(ButtonColor colour, int amount) {
    return ShiftColor(colour, amount, true);
}

void Fill(QuiboButton::EdgeColors& colors, int first, int last, ButtonColor colour) {
    for (int slot = first; slot <= last; ++slot)
        colors[slot] = colour;
}

// What the state rule of a skeleton style reads.
struct EdgeState {
    bool held = false;    // checked, or the left button held in toggle mode
    bool slanted = false; // shapes 1-3, whose focus pen follows the face
    ButtonColor slantPen = 0;
};

// A held button sinks and is focused in black; otherwise a slanted one is focused in a darker face.
void HeldOrSlanted(const EdgeState& state, std::int16_t heldLevel, std::int16_t& level, ButtonColor& pen) {
    if (state.held) {
        level = heldLevel;
        pen = K;
    } else if (state.slanted) {
        pen = state.slantPen;
    }
}

// Style 0: a raised bevel of two lines; the default button's outer ring is black all round and a
// checked or held one is sunken.
void Style0Edges(QuiboButton::EdgeColors& colors, const EdgeState& state, bool isDefault, std::int16_t& level,
                 ButtonColor& pen) {
    constexpr ButtonColor L = 0xE9E9E9;
    HeldOrSlanted(state, 3, level, pen);
    Fill(colors, 1, 12, -1);
    if (level == 0) {
        Fill(colors, 5, 6, L);
        Fill(colors, 7, 8, G);
    } else if (level == 1) {
        Fill(colors, 1, 2, L);
        Fill(colors, 3, 4, G);
        Fill(colors, 5, 6, W);
        Fill(colors, 7, 8, K);
    } else {
        Fill(colors, 7, 8, level == 2 ? G : L);
    }
    Fill(colors, 9, 10, state.held || isDefault ? K : W);
    Fill(colors, 11, 12, state.held ? W : K);
}

// Styles 1 and 4: a raised bevel, inverted while held; style 1 draws it twice inside a black line,
// style 4 once as the outer ring.
void BevelEdges(QuiboButton::EdgeColors& colors, const EdgeState& state, bool doubled, std::int16_t& level,
                ButtonColor& pen) {
    HeldOrSlanted(state, 2, level, pen);
    if (!state.held && level == 0) level = 1;
    if (doubled) {
        Fill(colors, 1, 2, level == 2 ? G : W);
        Fill(colors, 3, 4, level == 2 ? W : G);
        Fill(colors, 5, 6, level == 2 ? G : W);
        Fill(colors, 7, 8, level == 2 ? W : G);
        Fill(colors, 9, 12, K);
    } else {
        Fill(colors, 1, 8, -1);
        Fill(colors, 9, 10, level == 2 ? G : W);
        Fill(colors, 11, 12, level == 2 ? W : G);
    }
}

// Style 3: a sunken outer line around a raised middle one whose upper-left sides take the face colour
// while down; a disabled command button is flat in the face colour.
void Style3Edges(QuiboButton::EdgeColors& colors, bool disabledCommand, bool toggle, bool down,
                 ButtonColor face, std::int16_t& level) {
    const ButtonColor D = ShiftColor(G, -26);
    if (disabledCommand) {
        Fill(colors, 1, 8, face);
        Fill(colors, 9, 12, D);
        return;
    }
    if (toggle) level = down ? 2 : 3;
    if (level == 0) level = 1;
    Fill(colors, 1, 4, -1);
    Fill(colors, 5, 6, level == 2 ? face : W);
    Fill(colors, 7, 8, D);
    Fill(colors, 9, 10, D);
    Fill(colors, 11, 12, W);
}

// Style 6: two flat grey bevels, inverted while pressed or held.
void FlatBevelEdges(QuiboButton::EdgeColors& colors, const EdgeState& state, bool pressed,
                    std::int16_t& level, ButtonColor& pen) {
    const ButtonColor P = ShiftColor(0xDFDFDF, 8);
    if (!state.held) level = pressed ? 1 : 0;
    HeldOrSlanted(state, 1, level, pen);
    Fill(colors, 1, 4, -1);
    Fill(colors, 5, 6, level == 0 ? P : G);
    Fill(colors, 7, 8, level == 0 ? G : P);
    Fill(colors, 9, 10, level == 0 ? P : G);
    Fill(colors, 11, 12, level == 0 ? G : P);
}

} // namespace

void QuiboButton::RedrawButton() {
    if (m_drawingDelayed || !Usable()) return;
    EdgePoints points{};
    EdgeColors colors{};
    std::int16_t level = 0;
    std::int16_t proceed = 0;
    switch (m_buttonStyle) {
    case 2:
        DrawStyle2(points, colors, level, proceed);
        break;
    case 5:
        DrawStyle5(points, colors, level, proceed);
        break;
    case 7:
        DrawStyle7(points, colors, level, proceed);
        break;
    default:
        DrawSkeletonStyle(points, colors, level, proceed);
        break;
    }
    const ButtonColor frameColour = colors[12];
    if (proceed == 0) return;
    CreateBackBuffer(false);
    if (proceed < 2) return;

    const bool pressed = Pressed();
    const QRegion* region = nullptr;
    ButtonColor colour = frameColour;
    const int shape = m_buttonShape;
    if (shape == 4 || shape == 5) {
        if (m_buttonStyle == 2 && !pressed) region = &m_faceRegion;
    } else if (shape == 6) {
        region = m_buttonStyle == 2 && !pressed ? &m_faceRegion : &m_windowRegion;
    } else if (shape >= 7 && m_hover && !pressed) {
        if (m_buttonStyle != 2) colour = m_colors.workingHoverBack;
        if (m_buttonStyle == 2 || colour != TranslateSysColor(m_backColor, palette()))
            region = &m_windowRegion;
    } else if (shape >= 7 && (m_stateFlags & kDefaultFlag)) {
        region = shape == 8 ? &m_innerRegion : &m_faceRegion;
        if (m_value && m_buttonStyle != 2) colour = ShiftColor(m_colors.shadow, -32);
    }
    if (region != nullptr) FrameRegion(m_surface, *region, colour);
}

void QuiboButton::RequestRegionFrame(EdgeColors& colors, std::int16_t& proceed) const {
    if (m_buttonShape <= 5 || (m_buttonShape == 6 && !m_hover && !Pressed()))
        proceed = 1;
    else
        colors[12] = K;
}

void QuiboButton::DrawSkeletonStyle(EdgePoints& points, EdgeColors& colors, std::int16_t& level,
                                    std::int16_t& proceed) {
    const int style = m_buttonStyle;
    const bool toggle = m_mode > 0;
    const bool checked = m_value;
    const bool pressed = Pressed();
    const bool held = checked || (m_leftHeld && toggle);
    ButtonColor face = toggle && checked ? m_colors.highlight : m_colors.workingBack;
    if (style == 3 && !toggle && pressed) face = m_colors.shadow;
    ButtonColor gradient = TranslateSysColor(m_gradientColor, palette());
    ButtonColor hover = m_colors.workingHoverBack;
    DrawBackground(face, level, proceed, gradient, hover);
    if (proceed == 0) return;

    const bool enabled = Enabled();
    ButtonColor alt = !enabled && toggle ? G : -1;
    bool single = toggle;
    if (style == 3) {
        alt = ShiftColor(G, -16);
        single = true;
        DrawCaption(face, alt, false, single);
    } else {
        DrawCaption(face, alt, checked, single);
    }
    ButtonColor pen = alt;

    if (m_buttonShape <= 3) {
        const EdgeState state{held, m_buttonShape >= 1, ShiftColor(face, -48)};
        switch (style) {
        case 0:
            Style0Edges(colors, state, (m_stateFlags & kDefaultFlag) != 0, level, pen);
            break;
        case 1:
        case 4:
            BevelEdges(colors, state, style == 1, level, pen);
            break;
        case 3:
            Style3Edges(colors, !enabled && !toggle, toggle, checked || m_leftHeld, face, level);
            break;
        default: // 6
            FlatBevelEdges(colors, state, pressed, level, pen);
            break;
        }
        DrawEdgeLines(points, colors, -1);
    }
    RequestRegionFrame(colors, proceed);
    bool around = style == 3;
    if (style == 3) pen = 0xCC9999;
    DrawFocusRectangle(pen, style == 3 || checked, around, points);
}

void QuiboButton::DrawStyle2(EdgePoints& points, EdgeColors& colors, std::int16_t& level,
                             std::int16_t& proceed) {
    const bool toggle = m_mode > 0;
    const bool checked = m_value;
    const bool enabled = Enabled();
    const ButtonColor E = toggle && checked ? m_colors.highlight : m_colors.workingBack;
    ButtonColor S = E;
    if (!toggle) {
        if (Pressed() && m_gradientMode == 0)
            S = m_colors.shadow;
        else if (!enabled)
            S = Sh(E, -24);
    }
    const ButtonColor C = enabled ? 0 : Sh(S, -104);
    ButtonColor gradient = m_buttonShape >= 7    ? 0
                           : m_gradientMode != 0 ? Sh(TranslateSysColor(m_gradientColor, palette()), 48)
                                                 : S;
    ButtonColor hover = m_colors.workingHoverBack;
    DrawBackground(S, level, proceed, gradient, hover);
    if (proceed == 0) return;
    bool single = true;
    DrawCaption(S, C, checked, single);

    if (m_buttonShape >= 4) {
        if ((m_stateFlags & kDefaultFlag) && !m_hover)
            colors[12] = 0xEF826B;
        else if (m_hover)
            colors[12] = 0x0096E7;
        else
            proceed = 1;
        // An outlined ellipse is left unclipped while not hovered, yet its default look is framed too.
        if (proceed == 1 && colors[12] != 0) proceed = 2;
        return;
    }
    ButtonColor ring = 0x733C00;
    if (!enabled) {
        Fill(colors, 1, 8, -1);
        ring = Sh(E, -84);
    } else {
        if (checked || (m_leftHeld && toggle)) level = (m_stateFlags & kDefaultFlag) ? 1 : 2;
        if ((m_stateFlags & kOverFlag) && !(m_stateFlags & kDownFlag))
            level = 3;
        else if (level == 1 && !m_showFocusRect)
            level = 0;
        switch (level) {
        case 0:
            colors = {0,         Sh(E, -10), Sh(E, 10),  Sh(E, -24), Sh(E, -32),
                      Sh(E, -5), Sh(E, 16),  Sh(E, -36), Sh(E, -48)};
            break;
        case 1:
            colors = {0, 0xF0D1B5, 0xF7D7BD, 0xF0D1B5, 0xE7AE8C, 0xE7AE8C, 0xFFDFBF, 0xE7AE8C, 0xEF826B};
            break;
        case 2:
            colors = {0, Sh(E, -22), Sh(E, -24), E, Sh(E, 10), Sh(E, -32), Sh(E, -32), Sh(E, 5), Sh(E, 16)};
            break;
        default:
            colors = {0, 0x6BCBFF, 0x8CDBFF, 0x6BCBFF, 0x31B2FF, 0x31B2FF, 0xA6E9FF, 0x31B2FF, 0x0096E7};
            break;
        }
    }
    Fill(colors, 9, 12, ring);
    DrawEdgeLines(points, colors, -1);
    const int w = width();
    const int h = height();
    const QRgb rgb = ToQRgb(ring);
    if (m_shapeLeft == 0) {
        Plot(1, 1, rgb);
        Plot(1, h - 2, rgb);
    }
    if (w == m_shapeRight) {
        Plot(w - 2, h - 2, rgb);
        Plot(w - 2, 1, rgb);
    }
}

void QuiboButton::DrawStyle5(EdgePoints& points, EdgeColors& colors, std::int16_t& level,
                             std::int16_t& proceed) {
    const bool toggle = m_mode > 0;
    const bool checked = m_value;
    const bool design = !Host().UserMode();
    const ButtonColor face = toggle && checked ? m_colors.highlight : m_colors.workingBack;
    const ButtonColor shade = ShiftColor(m_containerBackColor, -32);
    ButtonColor F = m_buttonShape > 0 && !(toggle && checked) ? shade : K;
    ButtonColor gradient = TranslateSysColor(m_gradientColor, palette());
    ButtonColor hover = m_colors.workingHoverBack;
    DrawBackground(face, level, proceed, gradient, hover);
    if (proceed == 0) return;
    const ButtonColor alt = !Enabled() && toggle ? G : -1;
    bool single = toggle;
    DrawCaption(face, alt, checked, single);

    if (design && m_buttonShape >= 4 && m_buttonShape <= 6) {
        // The outline a designer sees of a flat ellipse.
        m_clip = QRegion();
        SetDrawColors(true, 1, shade, false, 1, 2);
        QPainter painter(&m_buffer);
        QPen pen{QColor(ToQRgb(shade))};
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawEllipse(QRect(0, 0, width() - 1, height() - 1));
        m_clip = m_faceRegion;
    } else if (m_buttonShape <= 3) {
        Fill(colors, 1, 8, -1);
        if (!(m_stateFlags & kOverFlag) && !checked) {
            ButtonColor outline = -1;
            if (design) {
                outline = ShiftColor(m_containerBackColor, -64);
                if (outline == 0) outline = W;
            }
            Fill(colors, 9, 12, outline);
        } else {
            if (checked || (m_leftHeld && toggle))
                level = 2;
            else if (level < 2)
                level = 1;
            Fill(colors, 9, 10, level == 2 ? G : W);
            Fill(colors, 11, 12, level == 2 ? W : G);
        }
        DrawEdgeLines(points, colors, design ? 2 : 0);
    }
    RequestRegionFrame(colors, proceed);
    bool around = false;
    DrawFocusRectangle(F, checked, around, points);
}

void QuiboButton::DrawStyle7(EdgePoints& points, EdgeColors& colors, std::int16_t& level,
                             std::int16_t& proceed) {
    const bool toggle = m_mode > 0;
    const bool checked = m_value;
    const bool pressed = Pressed();
    const bool enabled = Enabled();
    ButtonColor face = toggle ? (checked ? m_colors.highlight : m_colors.workingBack)
                              : (pressed ? m_colors.shadow : m_colors.workingBack);
    ButtonColor gradient = face;
    if (!checked && m_gradientMode != 0) {
        gradient = ShiftColor(TranslateSysColor(m_gradientColor, palette()), 31);
        if (!toggle && pressed) face = m_colors.workingBack;
    }
    ButtonColor hover = m_colors.workingHoverBack;
    DrawBackground(face, level, proceed, gradient, hover);
    if (proceed == 0) return;

    ButtonColor T = 0;
    if ((!toggle && pressed) || checked)
        T = !enabled && checked ? Sh(face, -32) : m_colors.workingBack;
    else
        T = enabled ? TranslateSysColor(m_foreColor, palette()) : toggle ? G : -1;
    ButtonColor F = -1;
    bool single = toggle;
    if (m_foreColor == m_hoverForeColor || checked) {
        // The caption takes T even where it would take the hover colour; the property keeps its value.
        const ButtonColor saved = m_hoverForeColor;
        m_hoverForeColor = T;
        DrawCaption(face, T, checked, single);
        m_hoverForeColor = saved;
        F = saved;
    } else {
        DrawCaption(face, T, checked, single);
    }

    if (m_buttonShape <= 3) {
        if (checked || (m_leftHeld && toggle)) level = checked ? 2 : 0;
        ButtonColor X = face, A = W, B = Sh(face, 31), C = Sh(face, -64);
        if (level == 2) {
            X = m_gradientMode != 0 ? m_colors.workingBack : G;
            A = ShiftColor(X, -32);
            B = ShiftColor(X, -64);
            C = ShiftColor(X, -16);
        }
        colors = {0, A, A, X, X, B, B, C, C, K, K, K, K};
        DrawEdgeLines(points, colors, -1);
        const int w = width();
        const int h = height();
        if (m_shapeLeft == 0) {
            Plot(3, 3, ToQRgb(A));
            Plot(1, h - 3, ToQRgb(X));
            Plot(2, 2, ToQRgb(B));
            Plot(1, h - 2, ToQRgb(K));
            Plot(1, 1, ToQRgb(K));
        }
        if (w == m_shapeRight) {
            Plot(w - 4, h - 4, ToQRgb(X));
            Plot(w - 3, 1, ToQRgb(X));
            Plot(w - 3, h - 3, ToQRgb(C));
            Plot(w - 2, h - 2, ToQRgb(K));
            Plot(w - 2, 1, ToQRgb(K));
        }
    }
    RequestRegionFrame(colors, proceed);
    bool around = true;
    DrawFocusRectangle(F, checked, around, points);
}

} // namespace quibo
