#pragma once

// A Tally server in a test: answers ledger queries from a list of missing ledgers, imports with
// CREATED, and keeps the import requests; and golden files for their bytes.

#include "tally/HttpTransport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace quibo::test {

class ScriptedServer final : public HttpTransport {
public:
    HttpReply post(const QString& url, const QByteArray& body, const QStringList& headers = {}) override;
    HttpReply getWithBody(const QString& url, const QByteArray& body) override;

    QStringList missing;             // object names, as the requests carry them, the server lacks
    bool mute = false;               // every exchange gets an empty answer
    QStringList asked;               // the object names asked for, in order
    std::vector<QByteArray> imports; // the import requests, in order
};

// Compares the bytes with tests/vouchers/golden/NAME; QUIBO_UPDATE_GOLDEN=1 writes the file instead.
void ExpectGolden(const QByteArray& bytes, const QString& name);

} // namespace quibo::test
