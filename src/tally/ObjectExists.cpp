#include "tally/ObjectExists.h"

#include "base/Trap.h"
#include "tally/TallyLink.h"
#include "tally/TallyOutcome.h"
#include "tally/XmlBuilders.h"

namespace quibo {

namespace {

// One element a line, CR LF before every line; PostQuery re-lays it out before sending.
QString ObjectRequest(const QString& type, const QString& name) {
    const QString lines[] = {
        QStringLiteral("<ENVELOPE>"),
        QStringLiteral("<HEADER>"),
        QStringLiteral("<VERSION>1</VERSION>"),
        QStringLiteral("<TALLYREQUEST>EXPORT</TALLYREQUEST>"),
        QStringLiteral("<TYPE>OBJECT</TYPE>"),
        QStringLiteral("<SUBTYPE>") + type + QStringLiteral("</SUBTYPE>"),
        QStringLiteral("<ID TYPE=\"Name\">") + name + QStringLiteral("</ID>"),
        QStringLiteral("</HEADER>"),
        QStringLiteral("<BODY>"),
        QStringLiteral("<DESC>"),
        QStringLiteral("<STATICVARIABLES>"),
        QStringLiteral("<SVEXPORTFORMAT>$$SysName:XML</SVEXPORTFORMAT>"),
        QStringLiteral("</STATICVARIABLES>"),
        QStringLiteral("<FETCHLIST>"),
        QStringLiteral("<FETCH>Name</FETCH>"),
        QStringLiteral("</FETCHLIST>"),
        QStringLiteral("</DESC>"),
        QStringLiteral("</BODY>"),
        QStringLiteral("</ENVELOPE>"),
    };
    QString text;
    for (const QString& line : lines)
        text += QLatin1String("\r\n") + line;
    return text;
}

// What the server said of the object.
enum class Answer {
    NotSent, // no request went out
    Empty,   // the exchange failed, or the server answered nothing
    Missing, // the answer carries "<ERRORMSG>"
    Found,
};

Answer Ask(TallyLink& link, const QString& type, const QString& name) {
    QString request = ObjectRequest(type, name);
    const TallyOutcome reply = PostRecord(link, [&] { return link.PostQuery(request); });
    if (!reply.sent) return Answer::NotSent;
    if (reply.text.isEmpty()) return Answer::Empty;
    QString answer = reply.text;
    answer.remove(QLatin1String("&#4; "));
    answer.remove(QLatin1String("UDF:"));
    return answer.contains(QLatin1String("<ERRORMSG>")) ? Answer::Missing : Answer::Found;
}

bool TakenToExist(Answer answer) {
    return answer == Answer::Found || answer == Answer::Empty;
}

} // namespace

bool TallyObjectExists(TallyLink& link, const QString& objectType, const QString& objectName, bool ask) {
    bool exists = false;
    if (!ask) return exists;
    Trap(link.errors(), "C03--0011",
         [&] { exists = TakenToExist(Ask(link, EscapeXml(objectType), EscapeXml(objectName))); });
    return exists;
}

bool TallyObjectExistsRaw(TallyLink& link, const QString& objectType, const QString& objectName) {
    bool exists = false;
    Trap(link.errors(), "C03--0010", [&] { exists = TakenToExist(Ask(link, objectType, objectName)); });
    return exists;
}

bool TallyObjectKnownToExist(TallyLink& link, const QString& objectType, const QString& objectName,
                             bool ask) {
    bool known = false;
    if (!ask) return known;
    Trap(link.errors(), "C03--0011",
         [&] { known = Ask(link, EscapeXml(objectType), EscapeXml(objectName)) == Answer::Found; });
    return known;
}

} // namespace quibo
