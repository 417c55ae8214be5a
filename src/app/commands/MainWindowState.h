#pragma once

#include "app/commands/FormLayout.h"

#include <QList>
#include <QString>

#include <array>

namespace quibo {

// What the main window shows beyond the form model's controls: its caption,
// which frames and lists are visible, the layout in twips, where the focus
// goes, and whether the form has been closed. The commands decide it; the
// window reads it after every command and while commands yield.
struct MainWindowState {
    QString caption;
    // Image-list index of each tab of `TabSource`, in tab order.
    QList<int> tabSourceIcons;
    std::array<bool, 3> frSourceVisible{}; // Excel, Access, ODBC
    bool lstLedgerTreeVisible = false;
    bool lstItemTreeVisible = false;
    bool lstTransactionsVisible = false;
    FormLayout layout = FormLayout::Design();
    // The control a command put the focus on ("cmbCurrentCompanyList",
    // "cmbTableName"); the window moves the focus there and clears it.
    QString focusRequest;
    // The form was unloaded (Close, Exit, or the end of an unattended run).
    bool unloaded = false;
};

} // namespace quibo
