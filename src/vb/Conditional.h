#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace quibo {

// Puts the cell values into one piece of template text (see TemplatePlaceholders.h).
using TemplateFill = std::function<QString(const QString&)>;

// A template conditional "IF condition THEN value ELSE value" cut at its keywords: the three
// pieces of template text between them, untrimmed and not yet filled.
struct Conditional {
    QString condition;
    QString thenPart;
    QString elsePart;
    friend bool operator==(const Conditional&, const Conditional&) = default;
};

// Finds IF, THEN and ELSE in template text, before any cell value is put in, as whole words in any
// letter case, passing over "quoted texts" and {placeholders}: a value such as CLIFF or a key
// such as {ELSEWHERE} is not a keyword. No keyword: not a conditional. A conditional must start
// with IF (blanks before it aside) and have THEN and ELSE after it, in that order; otherwise it is
// malformed and raises error 5. The first THEN and the first ELSE count, so the ELSE part may hold
// further keywords.
std::optional<Conditional> CutConditional(QStringView text);

// A template expression, given as template text with the step that fills in the cell values:
// not a conditional, it is filled, upper-cased and evaluated whole (blank gives ""). A conditional
// is cut first; each piece is then filled, upper-cased and trimmed; the condition is evaluated
// only when it holds "<", ">" or "=" ("!=" reads as "<>"), else the result is "". "TRUE" gives
// the THEN piece, "FALSE" the ELSE piece, anything else the condition's own text form. The
// pieces are returned as text, never evaluated. Errors of ScriptExpression pass through.
QString EvalConditional(const QString& expression, const TemplateFill& fill = {});

} // namespace quibo
