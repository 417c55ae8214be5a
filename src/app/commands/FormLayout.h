#pragma once

#include <QString>

#include <array>

namespace quibo {

// The main window's geometry in twips, the unit the layout rules are written
// in; the screen has 15 twips to a pixel.
inline constexpr int TwipsPerPixel = 15;

struct TwipsRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

// The positions and sizes of the controls that `Form_Resize` places, and the
// window's outer size. Sizes the rules do not set (the buttons', the labels',
// the frames' heights, the status bar's) are read from here as they stand.
struct FormLayout {
    static constexpr int MinWidth = 10110;
    static constexpr int MinHeight = 8460;

    int Width = MinWidth;
    int Height = MinHeight;
    TwipsRect cmdRefresh;
    TwipsRect Label17;
    TwipsRect cmbCurrentCompanyList;
    TwipsRect cmdPost;
    TwipsRect cmdClose;
    TwipsRect cmbTableName;
    TwipsRect chkChkMst;
    TwipsRect chkSkipMst;
    TwipsRect TabSource;
    std::array<TwipsRect, 3> frSource; // Excel, Access, ODBC
    TwipsRect TabData;
    TwipsRect lstItemTree;
    TwipsRect lstLedgerTree;
    TwipsRect GR1;
    TwipsRect lstTransactions;
    int SBHeight = 0;

    // The window as designed, before its first resize.
    static FormLayout Design();
    friend bool operator==(const FormLayout&, const FormLayout&) = default;
};

// The window's resize rules: a minimised window keeps its layout; a window
// smaller than 10110 x 8460 twips grows to it; the company row along the top,
// the command row above the status bar, the source tab strip as high as the
// selected source's frame plus 500, and the data area between them.
// `selectedSourceTab` is the caption of the selected tab of `TabSource`.
FormLayout Form_Resize(FormLayout layout, const QString& selectedSourceTab, bool minimized);

// The frame of `frSource` that a source tab's caption shows: 0 "Excel", 1 "Access", 2 "ODBC", -1 any other.
int SourceFrameOf(const QString& tabCaption);

} // namespace quibo
