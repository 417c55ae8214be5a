// Random text into the expression evaluator: it must end in a value or a run-time error, never in a
// crash, a hang, undefined behaviour or any other exception, and give the same answer twice.

#include "vb/ScriptExpression.h"

#include "fuzz/FuzzText.h"
#include "vb/RuntimeError.h"

#include <cstdlib>

namespace {

struct Outcome {
    bool failed = false;
    int32_t number = 0;
    QString text;
    bool operator==(const Outcome&) const = default;
};

Outcome Run(const QString& text, bool bangEquals) {
    Outcome outcome;
    try {
        outcome.text = quibo::ScriptExpression::Evaluate(text, {.bangEqualsIsNotEqual = bangEquals}).text();
    } catch (const quibo::vb::RuntimeError& error) {
        outcome.failed = true;
        outcome.number = error.number();
    }
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = quibo::fuzz::TextOf(data, size);
    for (const bool bangEquals : {false, true}) {
        const Outcome first = Run(text, bangEquals);
        if (!(Run(text, bangEquals) == first)) std::abort();
    }
    try {
        quibo::IsTrueText(quibo::EvalExpression(text));
    } catch (const quibo::vb::RuntimeError&) {
    }
    return 0;
}
