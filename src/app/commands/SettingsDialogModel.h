#pragma once

#include <QString>

namespace quibo {

class SettingsStore;

// The settings dialog `dlgIPAddress` without its window: the five settings
// as the boxes show them, the defaults shown for empty values, and what OK
// and Cancel do to the store. The dialog widget only shows these fields.
class SettingsDialogModel {
public:
    static inline const QString Caption = QStringLiteral("Set Tally Server Address & port");
    static inline const QString DefaultServer = QStringLiteral("127.0.0.1");
    static inline const QString DefaultPort = QStringLiteral("9000");
    static inline const QString DefaultDateFormat = QStringLiteral("dd-MMM-yyyy");
    static inline const QString DefaultDecimalPlaces = QStringLiteral("#################0.000");
    // The fixed help text of `Text3`, every line ended by CR LF.
    static const QString HelpText;

    explicit SettingsDialogModel(SettingsStore& settings) : m_settings(settings) {}

    // Reads the store; each box left exactly empty gets its default (a text of
    // blanks stays); the check box is ticked only for a stored "Yes".
    void Form_Load();
    // Stores the five settings exactly as they stand ("Yes" / "No" for the check box).
    void OKButton_Click();
    // Stores nothing.
    void CancelButton_Click() {}

    QString txtServer;
    QString txtPort;
    QString txtDateFormat;
    QString txtDecPlaces;
    int chkOldTally = 0; // 0 cleared, 1 ticked, 2 grey

private:
    SettingsStore& m_settings;
};

} // namespace quibo
