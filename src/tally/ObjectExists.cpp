#include "tally/ObjectExists.h"

#include "base/Trap.h"
#include "tally/TallyLink.h"
#include "tally/XmlBuilders.h"

namespace quibo {

namespace {

// One element a line, CR LF before every line; PostToTally re-lays it out before sending.
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

bool Ask(TallyLink& link, const QString& type, const QString& name) {
    QString request = ObjectRequest(type, name);
    const QString reply = link.PostToTally(request);
    // "" is a failed exchange (or an empty answer): nothing is known of the object.
    if (reply.isEmpty()) return false;
    QString answer = reply;
    answer.remove(QLatin1String("&#4; "));
    answer.remove(QLatin1String("UDF:"));
    return !answer.contains(QLatin1String("<ERRORMSG>"));
}

} // namespace

bool TallyObjectExists(TallyLink& link, const QString& objectType, const QString& objectName, bool ask) {
    bool exists = false;
    if (!ask) return exists;
    Trap(link.errors(), "C03--0011",
         [&] { exists = Ask(link, EscapeXml(objectType), EscapeXml(objectName)); });
    return exists;
}

bool TallyObjectExistsRaw(TallyLink& link, const QString& objectType, const QString& objectName) {
    bool exists = false;
    Trap(link.errors(), "C03--0010", [&] { exists = Ask(link, objectType, objectName); });
    return exists;
}

} // namespace quibo
