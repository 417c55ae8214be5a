#include "support/UnattendedRun.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>

#include <pugixml.hpp>

#include <sstream>

namespace quibo::test {

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ExpectFile(const QByteArray& actual, const QString& folder, const QString& name) {
    const QString path = folder + QStringLiteral("/expected/") + name;
    if (qEnvironmentVariableIntValue("QUIBO_WRITE_EXPECTED") == 1) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(actual);
        return;
    }
    EXPECT_EQ(actual.toStdString(), ReadFile(path).toStdString()) << name.toStdString();
}

QByteArray DumpKeeping(const QByteArray& dump, bool (*keep)(const pugi::xml_node& child)) {
    pugi::xml_document doc;
    if (!doc.load_buffer(dump.constData(), size_t(dump.size()))) {
        ADD_FAILURE() << "the server's dump is not XML:\n" << dump.toStdString();
        return {};
    }
    for (pugi::xml_node company : doc.document_element().children("COMPANY")) {
        for (pugi::xml_node child = company.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (!keep(child)) company.remove_child(child);
            child = next;
        }
    }
    std::ostringstream out;
    doc.save(out, "  ", pugi::format_indent | pugi::format_no_declaration);
    return QByteArray::fromStdString(out.str());
}

void UnattendedRun::SetUp() {
    QDir(folder.path()).mkpath(QStringLiteral("home/config"));
    QDir(folder.path()).mkpath(QStringLiteral("home/runtime"));
    QFile::setPermissions(folder.file(QStringLiteral("home/runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    server.setProgram(QStringLiteral(QUIBO_TALLY_SIM_EXE));
    server.setArguments({"--port", "0", "--company", "Sharma Traders", "--company", "Mehta Exports",
                         "--exit-after-idle", "120", "--dump", folder.file(QStringLiteral("store.xml"))});
    server.start();
    ASSERT_TRUE(server.waitForStarted(10000));
    ASSERT_TRUE(server.waitForReadyRead(10000));
    const QString line = QString::fromUtf8(server.readLine()).trimmed();
    const auto match =
        QRegularExpression(QStringLiteral("^listening on 127\\.0\\.0\\.1:(\\d+)$")).match(line);
    ASSERT_TRUE(match.hasMatch()) << line.toStdString();
    port = match.captured(1);
}

void UnattendedRun::TearDown() {
    if (server.state() != QProcess::NotRunning) {
        server.kill();
        server.waitForFinished(10000);
    }
}

UnattendedRun::Ended UnattendedRun::Run(const QString& kind, const QString& source, const QString& importType,
                                        const QString& reportName) {
    const QString report = folder.file(reportName);
    QProcess quibo;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = folder.file(QStringLiteral("home"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QUIBO20_HOME"), home);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    quibo.setProcessEnvironment(environment);
    QStringList arguments{kind,   source,      importType, "Sharma Traders",
                          report, "127.0.0.1", port,       "POSTSILENT"};
    if (launcher.isEmpty()) {
        quibo.start(QStringLiteral(QUIBO_EXE), arguments);
    } else {
        arguments.prepend(QStringLiteral(QUIBO_EXE));
        quibo.start(launcher.first(), launcher.mid(1) + arguments);
    }
    EXPECT_TRUE(quibo.waitForFinished(60000)) << importType.toStdString();
    EXPECT_EQ(quibo.exitStatus(), QProcess::NormalExit);
    Ended ended;
    ended.exitCode = quibo.exitCode();
    ended.errors = QString::fromLocal8Bit(quibo.readAllStandardError());
    ended.reportWritten = QFile::exists(report);
    ended.report = ReadFile(report);
    return ended;
}

QByteArray UnattendedRun::Post(const QString& workbook, const QString& sheet, const QString& reportName) {
    const Ended ended = Run(QStringLiteral("XLS"), workbook, sheet, reportName);
    EXPECT_EQ(ended.exitCode, 0) << ended.errors.toStdString();
    // No message box was shown: nothing failed along the way.
    EXPECT_EQ(ended.errors.toStdString(), "") << sheet.toStdString();
    return ended.report;
}

QByteArray UnattendedRun::StopServer() {
    server.terminate();
    EXPECT_TRUE(server.waitForFinished(10000));
    EXPECT_EQ(server.exitCode(), 0) << server.readAllStandardError().toStdString();
    return ReadFile(folder.file(QStringLiteral("store.xml")));
}

} // namespace quibo::test
