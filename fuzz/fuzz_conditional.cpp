// Random template text and a random cell value into the conditional: the template is cut before the
// value goes in, so whatever the value holds (keywords, quotes, braces) it must not change the cut;
// and nothing may end in anything but a result or a run-time error.

#include "vb/Conditional.h"

#include "fuzz/FuzzText.h"
#include "vb/RuntimeError.h"

#include <cstdlib>

namespace {

// The error number of cutting the template; 0 when it cuts (or is no conditional).
int32_t CutError(const QString& text) {
    try {
        quibo::CutConditional(text);
    } catch (const quibo::vb::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The text before the first "|" is the template, the rest the cell that {A} stands for.
    const QString input = quibo::fuzz::TextOf(data, size);
    const qsizetype bar = input.indexOf(u'|');
    const QString templateText = bar < 0 ? input : input.left(bar);
    const QString cell = bar < 0 ? QString() : input.mid(bar + 1);

    const int32_t cutError = CutError(templateText);
    try {
        quibo::EvalConditional(templateText, [&](const QString& piece) {
            return QString(piece).replace(QStringLiteral("{A}"), cell);
        });
    } catch (const quibo::vb::RuntimeError& error) {
        // A malformed conditional is told apart before any value is filled in.
        if (cutError != 0 && error.number() != cutError) std::abort();
        return 0;
    }
    if (cutError != 0) std::abort(); // a malformed template must not give a result
    return 0;
}
