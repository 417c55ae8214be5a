#include "base/ErrorReporter.h"

#include "base/Services.h"

#include <QFile>
#include <QSysInfo>

#include <sqlite3.h>

#include <cstring>

namespace quibo {

namespace {

const QString CrLf = QStringLiteral("\r\n");
const QChar Marker = QChar(8);
const QString ReportTemplate =
    QStringLiteral("%Descr% %nl%=> Computer='%Comp%' Time='%Time%' ADO-version='%ADOVersion%' %nl%");

QString StrError(uint32_t code) {
    const char* text = std::strerror(static_cast<int>(code));
    if (!text || std::strncmp(text, "Unknown error", 13) == 0) return {};
    return QString::fromLocal8Bit(text);
}

} // namespace

ErrorReporter::Platform ErrorReporter::SystemPlatform() {
    return Platform{
        [] { return QSysInfo::machineHostName(); },
        [] { return QString::fromLatin1(sqlite3_libversion()); },
        [](uint32_t code) { return StrError(code); },
    };
}

ErrorReporter::ErrorReporter(MessageBoxService& messages, ClockService& clock, QString logFolder,
                             Platform platform)
    : m_messages(messages), m_clock(clock), m_logFolder(std::move(logFolder)),
      m_platform(std::move(platform)) {}

QString ErrorReporter::logPath() const {
    return m_logFolder + QLatin1Char('/') + LogFileName;
}

QString ErrorReporter::ErrorIn(const QString& location) noexcept {
    return ErrorIn(location, PendingError{});
}

QString ErrorReporter::ErrorIn(const QString& location, const PendingError& pending) noexcept {
    try {
        m_preserved = pending;
        if (m_preserved.number == 0) {
            m_preserved.number = LostErrorNumber;
            m_preserved.description =
                QStringLiteral("ErrorIn: Error information was lost. "
                               "To fix: call ErrPreserve before doing anything in error handler.");
        }

        BuildReportHeader();
        const uint32_t sys = m_preserved.systemErrorCode;
        if (sys != 0 && sys != 203)
            AppendReportLine(QStringLiteral("  API Error: (") + QString::number(sys) + QStringLiteral(") ") +
                             SystemMessageText(QString::number(sys)));
        QString locationLine = QStringLiteral("=> LOCATION CODE: ") + location + QStringLiteral("()");
        if (m_preserved.line != 0)
            locationLine += QStringLiteral("  LINE# ") + QString::number(m_preserved.line);
        AppendReportLine(locationLine + QLatin1Char(' '));
        ++m_reportCount;
        m_lastLocation = location;

        MessageBoxRequest box;
        box.text = BoxHeader + CrLf + QLatin1Char('\n') + m_report;
        box.title = QStringLiteral("Quibo 1.0 Error = ") + QString::number(m_preserved.number);
        box.icon = MsgIcon::Critical;
        box.buttons = MsgButtons::OkOnly;
        m_messages.show(box);

        const bool logged = WriteErrorLog(LogFileName);
        if (m_listener) m_listener(location, m_preserved.description, logged);
        return m_report;
    } catch (...) {
        // The reporter is the last line: whatever fails here is swallowed.
        return m_report;
    }
}

void ErrorReporter::BuildReportHeader() {
    m_report = ReportTemplate;
    m_report.replace(QLatin1Char('%'), Marker);
    FillReportField(QStringLiteral("nl"), CrLf);
    FillReportField(QStringLiteral("Comp"), LocalComputerName());
    FillReportField(QStringLiteral("Time"), m_clock.now().toString(QStringLiteral("MM/dd/yy HH:mm:ss")));
    FillReportField(QStringLiteral("ADOVersion"), AdoVersionText());
    FillReportField(QStringLiteral("Descr"), m_preserved.description);
    m_report.replace(Marker, QLatin1Char('%'));
}

void ErrorReporter::FillReportField(const QString& field, const QString& value) {
    m_report.replace(Marker + field + Marker, value, Qt::CaseSensitive);
}

void ErrorReporter::AppendReportLine(const QString& text) {
    m_report += text + CrLf;
}

QString ErrorReporter::SystemMessageText(const QString& code) const {
    QString text = m_platform.systemMessage ? m_platform.systemMessage(code.toUInt()) : QString();
    text.remove(CrLf);
    text.remove(QChar(0));
    return text;
}

QString ErrorReporter::LocalComputerName() const {
    return m_platform.computerName ? m_platform.computerName() : QString();
}

QString ErrorReporter::AdoVersionText() const {
    const QString version = m_platform.adoVersion ? m_platform.adoVersion() : QString();
    return version.isEmpty() ? QStringLiteral("?") : version;
}

bool ErrorReporter::WriteErrorLog(const QString& fileName) {
    if (m_report.isEmpty()) return false;
    const bool hasFolder = fileName.contains(QLatin1Char('/')) || fileName.contains(QLatin1Char('\\'));
    const QString path = hasFolder ? fileName : m_logFolder + QLatin1Char('/') + fileName;
    QFile file(path);
    if (!OpenAppendRetry(path, file)) return false;
    const QByteArray bytes = (m_report + CrLf + CrLf + CrLf).toLocal8Bit();
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written;
}

bool ErrorReporter::OpenAppendRetry(const QString& path, QFile& file) {
    // Whole seconds, as the log's clock counts them: the window is one to two seconds.
    const qint64 start = m_clock.now().toSecsSinceEpoch();
    file.setFileName(path);
    for (;;) {
        if (file.open(QIODevice::WriteOnly | QIODevice::Append)) return true;
        m_clock.sleep(200);
        if (m_clock.now().toSecsSinceEpoch() - start > 1) return false;
    }
}

} // namespace quibo
