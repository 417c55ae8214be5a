#pragma once

// The small interfaces through which the program reaches the user and the
// machine. The form model and every procedure take them as references; the
// window answers with dialogs, unattended runs and tests with policies and
// scripts. Nothing here is a singleton.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace quibo {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { OkOnly, OkCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
// The answers keep the numbers message boxes have always returned (Yes is 6, No 7).
enum class MsgAnswer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageBoxRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::OkOnly;
    int defaultButton = 0; // 0: first button, 1: second, 2: third
};

// The answer the box gives when nobody clicks: its default button.
MsgAnswer DefaultAnswer(const MessageBoxRequest& request);
QString IconName(MsgIcon icon);

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Modal: returns when the user has answered.
    virtual MsgAnswer show(const MessageBoxRequest& request) = 0;
};

struct FileDialogRequest {
    QString title;
    QString filter;           // "Excel Files (*.xls)|*.xls|..." as the form passes it
    QString initialPath;      // file or folder to start in
    QString defaultExtension; // ".xls": completes a name typed without one
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
};

// Told whenever a status-bar panel changes, so a view can repaint it.
class StatusLineService {
public:
    virtual ~StatusLineService() = default;
    virtual void panelChanged(const QString& key, const QString& text) = 0;
};

// Called once per row by every long loop: lets the window repaint and take input.
class RowYieldService {
public:
    virtual ~RowYieldService() = default;
    virtual void yield() = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual QDateTime now() const = 0;
    virtual void sleep(int milliseconds) = 0;
};

// The per-user settings store: application "Quibo20", section "Config". A key
// never written reads as "".
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual QString get(const QString& key) const = 0;
    virtual void set(const QString& key, const QString& value) = 0;
};

// Setting keys, spelled as stored.
namespace settings {
inline const QString ServerAddress = QStringLiteral("ServerAddress");
inline const QString PortNo = QStringLiteral("PortNo");
inline const QString DateFormat = QStringLiteral("DateFormat");
inline const QString DecimalPlaces = QStringLiteral("DecimalPlaces");
inline const QString UseOldTally = QStringLiteral("UseOldTally");
} // namespace settings

// Plain implementations used by the program outside the window.
class SystemClock final : public ClockService {
public:
    QDateTime now() const override;
    void sleep(int milliseconds) override;
};

class NoYield final : public RowYieldService {
public:
    void yield() override {}
};

class NoStatusLine final : public StatusLineService {
public:
    void panelChanged(const QString&, const QString&) override {}
};

} // namespace quibo
