#pragma once

namespace quibo {

// The two modal dialogs the main window opens. The window shows the real
// dialogs; a run without a display and the tests answer otherwise.
class FormDialogs {
public:
    virtual ~FormDialogs() = default;
    // `dlgIPAddress`, owned by the main window; returns when it is closed.
    virtual void ShowOptionsDialog() = 0;
    // `frmAbout`, owned by the main window; returns when it is closed.
    virtual void ShowAboutBox() = 0;
};

} // namespace quibo
