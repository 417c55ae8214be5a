// Random request text into PostToTally: text that does not pass the strict XML check is refused
// and never reaches the transport; text that does is sent once, and what is sent parses again.
// Neither may crash or hang.

#include "base/ErrorReporter.h"
#include "base/MemorySettingsStore.h"
#include "base/Services.h"
#include "tally/HttpTransport.h"
#include "tally/TallyLink.h"
#include "tally/XmlDocument.h"

#include "fuzz/FuzzText.h"

#include <cstdlib>

namespace {

using namespace quibo;

struct SilentBoxes final : MessageBoxService {
    MsgAnswer show(const MessageBoxRequest& request) override { return DefaultAnswer(request); }
};

// The error log's retry loop waits on this clock; it moves on at once so a refusal costs no time.
struct QuickClock final : ClockService {
    QDateTime now() const override { return QDateTime::fromSecsSinceEpoch(m_seconds); }
    void sleep(int milliseconds) override { m_seconds += milliseconds / 100 + 1; }
    mutable qint64 m_seconds = 0;
};

struct RecordingTransport final : HttpTransport {
    HttpReply post(const QString&, const QByteArray& body, const QStringList&) override {
        ++posts;
        sentBody = body;
        HttpReply reply;
        reply.sent = true;
        reply.status = 200;
        reply.body = "<RESPONSE><CREATED>1</CREATED></RESPONSE>";
        return reply;
    }
    HttpReply getWithBody(const QString&, const QByteArray&) override { return {}; }
    int posts = 0;
    QByteArray sentBody;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilentBoxes boxes;
    QuickClock clock;
    // No such folder: the log of every refusal fails to open instead of growing over a long run.
    ErrorReporter errors(boxes, clock, QStringLiteral("/nonexistent/quibo-fuzz"),
                         ErrorReporter::Platform{[] { return QStringLiteral("fuzz"); },
                                                 [] { return QStringLiteral("0"); },
                                                 [](uint32_t) { return QString(); }});
    MemorySettingsStore settings;
    settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
    settings.set(settings::PortNo, QStringLiteral("9000"));
    RecordingTransport transport;
    TallyLink link(settings, errors, transport);

    QString xml = quibo::fuzz::TextOf(data, size);
    link.PostToTally(xml);

    // The caller's text now holds the special values rewritten: it is what was checked.
    XmlDocument check;
    const bool parses = check.loadXml(xml, XmlDocument::Blanks::KeepValues);
    if (transport.posts != (parses ? 1 : 0)) std::abort();
    if (link.RequestsPosted() != quint64(transport.posts)) std::abort();
    if (parses && !check.loadXml(QString::fromUtf8(transport.sentBody), XmlDocument::Blanks::KeepValues))
        std::abort();
    return 0;
}
