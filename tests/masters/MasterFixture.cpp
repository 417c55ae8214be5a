#include "masters/MasterFixture.h"

#include "tally/XmlBuilders.h"

#include <pugixml.hpp>

namespace quibo::test {

namespace {

sim::Options TwoCompanies() {
    sim::Options options;
    options.companies = {Sharma.toStdString(), Mehta.toStdString()};
    return options;
}

QString Text(const pugi::xml_node& node) {
    return QString::fromUtf8(node.text().get());
}

} // namespace

MasterFixture::MasterFixture() : server(TwoCompanies()) {
    port = server.start();
    settings.set(settings::ServerAddress, QStringLiteral("127.0.0.1"));
    settings.set(settings::PortNo, QString::number(port));
}

void MasterFixture::Seed(const QString& element, const QString& name, const QString& children,
                         const QString& company) {
    const QString body = QStringLiteral("<ENVELOPE><HEADER><TALLYREQUEST>Import Data</TALLYREQUEST></HEADER>"
                                        "<BODY><IMPORTDATA><REQUESTDESC><REPORTNAME>All Masters</REPORTNAME>"
                                        "<STATICVARIABLES><SVCURRENTCOMPANY>%1</SVCURRENTCOMPANY>"
                                        "</STATICVARIABLES></REQUESTDESC><REQUESTDATA><TALLYMESSAGE>"
                                        "<%2 NAME=\"%3\" ACTION=\"Create\">%4</%2>"
                                        "</TALLYMESSAGE></REQUESTDATA></IMPORTDATA></BODY></ENVELOPE>")
                             .arg(EscapeXml(company), element, EscapeXml(name), children);
    const std::string reply = server.answer(body.toStdString());
    ASSERT_NE(reply.find("<CREATED>1</CREATED>"), std::string::npos) << reply;
}

QStringList MasterFixture::Requests() const {
    QStringList out;
    for (const sim::LoggedRequest& request : server.requestLog()) {
        pugi::xml_document doc;
        doc.load_string(request.body.c_str());
        const pugi::xml_node envelope = doc.child("ENVELOPE");
        const pugi::xml_node header = envelope.child("HEADER");
        if (QString::fromUtf8(header.child("TALLYREQUEST").text().get()).trimmed() ==
            QLatin1String("EXPORT")) {
            out << QStringLiteral("exists %1: %2")
                       .arg(Text(header.child("SUBTYPE")), Text(header.child("ID")));
            continue;
        }
        // Both import envelopes: the master under REQUESTDATA or under DATA.
        const pugi::xml_node master = doc.select_node("//TALLYMESSAGE").node().first_child();
        out << QStringLiteral("%1 %2 -> %3")
                   .arg(QString::fromUtf8(master.name()), QString::fromUtf8(master.attribute("NAME").value()),
                        Text(doc.select_node("//SVCURRENTCOMPANY").node()));
    }
    return out;
}

QString MasterFixture::Message(int n) const {
    int imports = 0;
    for (const sim::LoggedRequest& request : server.requestLog()) {
        const QString body = QString::fromStdString(request.body);
        const qsizetype open = body.indexOf(QLatin1String("<TALLYMESSAGE"));
        if (open < 0 || imports++ != n) continue;
        const qsizetype start = body.indexOf(QLatin1Char('\n'), open) + 1;
        const qsizetype end = body.indexOf(QLatin1String("</TALLYMESSAGE>"), start);
        QStringList lines = body.mid(start, end - start).split(QStringLiteral("\r\n"));
        lines.removeLast(); // the indentation before the closing tag
        // The master's depth differs between the two import envelopes.
        const qsizetype depth = lines.first().indexOf(QLatin1Char('<'));
        for (QString& line : lines)
            line = line.mid(depth);
        return lines.join(QLatin1Char('\n'));
    }
    ADD_FAILURE() << "no import request " << n;
    return {};
}

int MasterFixture::ImportCount() const {
    int imports = 0;
    for (const sim::LoggedRequest& request : server.requestLog())
        if (request.body.find("<TALLYMESSAGE") != std::string::npos) ++imports;
    return imports;
}

int32_t MasterFixture::Colour(int row) const {
    const int32_t first = form.GR1.CellColor(row, 1);
    for (int c = 2; c <= form.GR1.ColumnCount(); ++c)
        EXPECT_EQ(form.GR1.CellColor(row, c), first) << "row " << row << " column " << c;
    return first;
}

bool MasterFixture::InStore(const char* kind, const char* name, const QString& company) const {
    return server.objectExists(company.toStdString(), kind, name);
}

} // namespace quibo::test
