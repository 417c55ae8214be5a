#pragma once

#include "app/commands/AppInfo.h"

#include <QString>

namespace quibo {

class MessageBoxService;

// The about box `frmAbout` without its window: captions, the contact text and
// the Ctrl-flag rules of its text box (any key empties it; a double click with
// Ctrl held brings the text back).
class AboutBoxModel {
public:
    static inline const QString Description =
        QStringLiteral("It is a software utility for end-users that allows you to Import data into Tally "
                       "Software from various "
                       "sources like Excel, SQL-Server, MySQL, Access, Visual Foxpro, DBase etc.");
    static inline const QString Unavailable =
        QStringLiteral("System Information Is Unavailable At This Time");
    // The shift-state bit of the Ctrl key.
    static constexpr int CtrlMask = 2;

    explicit AboutBoxModel(AppInfo app = AppInfo::Program()) : m_app(app) {}

    // The contact text: lines that each begin with five blanks and end with CR LF.
    static QString ContactText();

    void Form_Load();
    void Text1_KeyDown(int keyCode, int shift);
    void Text1_KeyUp(int keyCode, int shift);
    void Text1_DblClick();
    // The system-information program is looked up in the registry; this
    // platform has none, so the user is told that it is unavailable.
    void StartSysInfo(MessageBoxService& messages);

    QString caption;
    QString lblTitle;
    QString lblVersion;
    QString lblDescription;
    QString Text1;
    bool ctrlFlag = false;

private:
    AppInfo m_app;
};

} // namespace quibo
