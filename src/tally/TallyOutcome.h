#pragma once

#include <QString>

#include <functional>

namespace quibo {

class TallyLink;

// What became of one record's request to the server.
struct TallyOutcome {
    // What the record's post returned: the reduced reply; "" when none came back or none was sent.
    QString text;
    // Whether the request went to the server, answered or not. A record whose request could not be
    // built (no format, an unusable element name, a company the envelope cannot hold, a bill total out
    // of range, request text that does not parse...) never does; what stopped it has reported why.
    bool sent = false;
};

// Runs one record's post (a sender, a template record: whatever builds one request and posts it
// through the link) and tells what became of it. Sends and reports nothing of its own; a run-time
// error of the post leaves by exception.
TallyOutcome PostRecord(TallyLink& link, const std::function<QString()>& post);

} // namespace quibo
