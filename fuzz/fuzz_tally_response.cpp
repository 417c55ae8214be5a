// A random server reply into the reply reduction: it must end in a text, never a crash or a hang,
// and reducing its outcome again must give that outcome back.

#include "tally/TallyLink.h"

#include "fuzz/FuzzText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString reply = quibo::fuzz::TextOf(data, size);
    const QString outcome = quibo::ParseTallyResponse(reply);
    if (quibo::ParseTallyResponse(outcome) != outcome) std::abort();
    return 0;
}
