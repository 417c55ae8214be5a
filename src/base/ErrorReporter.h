#pragma once

#include "vb/RuntimeError.h"

#include <QString>

#include <functional>

class QFile;

namespace quibo {

class ClockService;
class MessageBoxService;

using PendingError = vb::ErrorInfo;

// The one channel for run-time errors. A trap hands the caught error and its
// location code to ErrorIn, which shows the report in a critical box, appends
// it to "Quibo20Errors.txt" and returns; nothing is re-raised.
class ErrorReporter {
public:
    // What the report says of the machine. Defaults read the real machine;
    // tests replace them to get a fixed report.
    struct Platform {
        std::function<QString()> computerName;
        std::function<QString()> adoVersion;
        std::function<QString(uint32_t)> systemMessage;
    };
    static Platform SystemPlatform();

    static constexpr int32_t LostErrorNumber = -2147216306; // 8004144E
    static inline const QString LogFileName = QStringLiteral("Quibo20Errors.txt");
    static inline const QString BoxHeader =
        QStringLiteral("An Error has occured in Quibo 1.0. Please check the following details or call the "
                       "Help Desk for support.");

    ErrorReporter(MessageBoxService& messages, ClockService& clock, QString logFolder,
                  Platform platform = SystemPlatform());

    // Reports the error and returns the report text. Never throws.
    QString ErrorIn(const QString& location, const PendingError& pending) noexcept;
    // Called with no error at hand: reports that the error information was lost.
    QString ErrorIn(const QString& location) noexcept;

    const QString& lastReport() const { return m_report; }
    int reportCount() const { return m_reportCount; }
    // The location code of the last report made.
    const QString& lastLocation() const { return m_lastLocation; }
    QString logPath() const;

    // Called after each report with its location code, its description and whether it went into
    // the error log; one at a time, for a caller that must tell what stopped its run (the unattended
    // start-up). Empty: nobody listens.
    using Listener = std::function<void(const QString& location, const QString& description, bool logged)>;
    void setListener(Listener listener) { m_listener = std::move(listener); }

private:
    void BuildReportHeader();
    void FillReportField(const QString& field, const QString& value);
    void AppendReportLine(const QString& text);
    QString SystemMessageText(const QString& code) const;
    QString LocalComputerName() const;
    QString AdoVersionText() const;
    bool WriteErrorLog(const QString& fileName);
    bool OpenAppendRetry(const QString& path, QFile& file);

    MessageBoxService& m_messages;
    ClockService& m_clock;
    QString m_logFolder;
    Platform m_platform;
    PendingError m_preserved;
    QString m_report;
    QString m_lastLocation;
    int m_reportCount = 0;
    Listener m_listener;
};

} // namespace quibo
