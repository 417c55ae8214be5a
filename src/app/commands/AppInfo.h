#pragma once

#include <QString>

namespace quibo {

// The program's own version information: what the captions, the splash and
// the about box show.
struct AppInfo {
    int major = 0;
    int minor = 0;
    int revision = 0;

    static AppInfo Program();
    // The application title, used as the caption of the plain message boxes.
    static QString Title();

    // "2.0.0": major, minor and revision as plain decimal numbers.
    QString VersionNumbers() const;
    // "Version 2.0.0", as the splash and the about box label it.
    QString VersionCaption() const;
    // "Quibo 2.0.0", the main window's caption.
    QString MainCaption() const;
};

} // namespace quibo
