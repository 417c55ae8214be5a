#include "tally/TallyOutcome.h"

#include "tally/TallyLink.h"

#include <utility>

namespace quibo {

TallyOutcome PostRecord(TallyLink& link, const std::function<QString()>& post) {
    // The builders give "" both when they stop before sending and when no reply came: only the link
    // knows whether a request went out.
    const quint64 before = link.RequestsPosted();
    QString text = post();
    return {std::move(text), link.RequestsPosted() != before};
}

} // namespace quibo
