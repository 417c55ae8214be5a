// End to end: how an unattended run ends over good and broken sources. Each row runs the program once
// against a fresh simulated server and pins its exit status, the last line on standard error, the
// report file (or its absence) and the masters the server stored.

#include "support/UnattendedRun.h"

#include <QDir>
#include <QFile>

#include <optional>
#include <string>

#include <pugixml.hpp>

namespace quibo {
namespace {

// A source made in the run's folder; returns the path given to the program.
using MakeSource = QString (*)(const test::TempFolder& folder);

QString Write(const test::TempFolder& folder, const QString& name, const QByteArray& bytes) {
    const QString path = folder.file(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

// A report line of a row with neither name nor status.
const std::string Blank = std::string(75, ' ') + "\r\n";

struct Case {
    const char* name;
    MakeSource source;
    const char* importType;
    int exitCode;
    const char* lastError; // the last line on standard error, "" for none
    std::optional<std::string> report; // none: no report file
    const char* stored;    // the names of the masters stored, one per line
};

const Case Cases[] = {
    {"GoodText",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"), "NAME,ISSIMPLEUNIT,ORIGINALNAME,DECIMALPLACES\r\n"
                                                      "Nos,Yes,Numbers,0\r\n");
     },
     "UNITS", 0, "",
     "Nos                                                                        CREATED \r\n" + Blank + Blank, "Nos\n"},
    {"TextWithoutARequiredColumn",
     [](const test::TempFolder& f) {
         return Write(f, QStringLiteral("UNITS.txt"), "SYMBOL,ISSIMPLEUNIT\r\nNos,Yes\r\n");
     },
     // The report, which needs the NAME column too, stays empty.
     "UNITS", 2, "quibo: the run stopped at an error (F01-0018): Invalid column key: NAME", "", ""},
};

class UnattendedExit : public test::UnattendedRun, public ::testing::WithParamInterface<Case> {};

// The masters the run stored, without those every new company holds (they carry RESERVEDNAME).
QString StoredNames(const QByteArray& dump) {
    pugi::xml_document doc;
    doc.load_buffer(dump.constData(), size_t(dump.size()));
    QString names;
    for (pugi::xml_node company : doc.document_element().children("COMPANY"))
        for (pugi::xml_node master : company.children())
            if (!master.attribute("RESERVEDNAME"))
                names += QString::fromUtf8(master.attribute("NAME").value()) + QLatin1Char('\n');
    return names;
}

TEST_P(UnattendedExit, EndsAsPinned) {
    const Case& c = GetParam();
    const Ended ended = Run(QStringLiteral("XLS"), c.source(folder), QString::fromLatin1(c.importType),
                            QStringLiteral("report.txt"));
    EXPECT_EQ(ended.exitCode, c.exitCode) << ended.errors.toStdString();
    const QStringList lines = ended.errors.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.isEmpty() ? QString() : lines.last(), QString::fromUtf8(c.lastError))
        << ended.errors.toStdString();
    EXPECT_EQ(ended.reportWritten, c.report.has_value());
    if (c.report) {
        EXPECT_EQ(ended.report.toStdString(), *c.report);
    }
    EXPECT_EQ(StoredNames(StopServer()), QString::fromUtf8(c.stored));
}

INSTANTIATE_TEST_SUITE_P(Sources, UnattendedExit, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
