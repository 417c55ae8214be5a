#include "app/commands/FormLayout.h"

namespace quibo {

namespace {

// The top that centres a control of `height` on `on`.
int CentredOn(const TwipsRect& on, int height) {
    return on.Top + on.Height / 2 - height / 2;
}

} // namespace

FormLayout FormLayout::Design() {
    FormLayout d;
    d.cmdRefresh = {0, 0, 1335, 435};
    d.Label17 = {60, 0, 1935, 255};
    d.cmbCurrentCompanyList = {0, 0, 0, 345};
    d.cmdPost = {0, 0, 1335, 435};
    d.cmdClose = {0, 0, 1335, 435};
    d.cmbTableName = {0, 0, 0, 345};
    d.chkChkMst = {0, 0, 3600, 285};
    d.chkSkipMst = {0, 0, 3600, 285};
    d.TabSource = {0, 0, 0, 1235};
    d.frSource = {TwipsRect{0, 0, 0, 735}, TwipsRect{0, 0, 0, 1215}, TwipsRect{0, 0, 0, 1215}};
    d.SBHeight = 375;
    return d;
}

int SourceFrameOf(const QString& tabCaption) {
    if (tabCaption == QLatin1String("Excel")) return 0;
    if (tabCaption == QLatin1String("Access")) return 1;
    if (tabCaption == QLatin1String("ODBC")) return 2;
    return -1;
}

FormLayout Form_Resize(FormLayout f, const QString& selectedSourceTab, bool minimized) {
    if (minimized) return f;
    if (f.Width < FormLayout::MinWidth) f.Width = FormLayout::MinWidth;
    if (f.Height < FormLayout::MinHeight) f.Height = FormLayout::MinHeight;

    f.cmdRefresh.Top = 50;
    f.cmdRefresh.Left = f.Width - f.cmdRefresh.Width - 275;

    f.Label17.Top = CentredOn(f.cmdRefresh, f.Label17.Height);
    f.Label17.Left = 60;

    f.cmbCurrentCompanyList.Top = CentredOn(f.cmdRefresh, f.cmbCurrentCompanyList.Height);
    f.cmbCurrentCompanyList.Left = f.Label17.Left + f.Label17.Width + 150;
    f.cmbCurrentCompanyList.Width = f.cmdRefresh.Left - f.cmbCurrentCompanyList.Left - 150;

    // The top is taken with the post button's own height before it becomes the refresh button's.
    f.cmdPost.Left = f.Label17.Left;
    f.cmdPost.Top = f.Height - f.cmdPost.Height - f.SBHeight - 1000;
    f.cmdPost.Width = f.cmdRefresh.Width;
    f.cmdPost.Height = f.cmdRefresh.Height;

    f.cmdClose.Left = f.cmdRefresh.Left;
    f.cmdClose.Top = f.cmdPost.Top;
    f.cmdClose.Width = f.cmdRefresh.Width;
    f.cmdClose.Height = f.cmdRefresh.Height;

    f.cmbTableName.Left = f.cmdPost.Left + f.cmdPost.Width + 500;
    f.cmbTableName.Top = CentredOn(f.cmdPost, f.cmbTableName.Height);

    f.chkChkMst.Top = CentredOn(f.cmdPost, f.chkChkMst.Height);
    f.chkSkipMst.Top = CentredOn(f.cmdPost, f.chkSkipMst.Height);

    f.cmbTableName.Width = f.cmdClose.Left - (f.cmdPost.Left + f.cmdPost.Width + 1000) - f.chkChkMst.Width;

    f.chkChkMst.Left = f.cmbTableName.Left + f.cmbTableName.Width + 500;
    f.chkSkipMst.Left = f.chkChkMst.Left;

    f.TabSource.Left = f.Label17.Left;
    f.TabSource.Top = f.cmbCurrentCompanyList.Top + f.cmbCurrentCompanyList.Height + 100;
    f.TabSource.Width = f.cmdRefresh.Left + f.cmdRefresh.Width - 50;

    const int shown = SourceFrameOf(selectedSourceTab);
    if (shown >= 0) f.TabSource.Height = f.frSource[size_t(shown)].Height + 500;

    for (TwipsRect& frame : f.frSource) {
        frame.Left = f.TabSource.Left + 150;
        frame.Top = f.TabSource.Top + 350;
        frame.Width = f.TabSource.Width - 300;
    }

    f.TabData.Left = f.TabSource.Left;
    f.TabData.Top = f.TabSource.Top + f.TabSource.Height + 100;
    f.TabData.Width = f.TabSource.Width;
    f.TabData.Height = f.cmdPost.Top - f.TabData.Top - 200;

    f.lstItemTree.Top = f.TabData.Top + 450;
    f.lstItemTree.Left = 225;
    f.lstItemTree.Width = f.TabData.Width - 300;
    f.lstItemTree.Height = f.TabData.Height - (f.lstItemTree.Top - f.TabData.Top) - 150;

    for (TwipsRect* grid : {&f.lstLedgerTree, &f.GR1, &f.lstTransactions})
        *grid = TwipsRect{225, f.lstItemTree.Top, f.TabData.Width - 300, f.lstItemTree.Height};
    return f;
}

} // namespace quibo
