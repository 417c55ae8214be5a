#include "vb/Conditional.h"

#include "vb/ScriptExpression.h"

#include "vb/RuntimeError.h"
#include "vb/Text.h"

namespace quibo {

namespace {

struct Keyword {
    qsizetype start = -1;
    qsizetype end = -1;
    bool found() const { return start >= 0; }
};

bool IsWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The end of a {placeholder} starting at `open`, or -1 when the brace opens none (no closing
// brace on the same line).
qsizetype PlaceholderEnd(QStringView text, qsizetype open) {
    for (qsizetype i = open + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'}') return i + 1;
        if (c == u'{' || c == u'\r' || c == u'\n') return -1;
    }
    return -1;
}

[[noreturn]] void Malformed() {
    vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
}

} // namespace

std::optional<Conditional> CutConditional(QStringView text) {
    Keyword ifWord, thenWord, elseWord;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            i = close < 0 ? text.size() : close + 1; // "" inside a text is two texts in a row
        } else if (c == u'{') {
            const qsizetype end = PlaceholderEnd(text, i);
            i = end < 0 ? i + 1 : end;
        } else if (IsWordChar(c)) {
            const qsizetype start = i;
            while (i < text.size() && IsWordChar(text[i]))
                ++i;
            const QStringView word = text.mid(start, i - start);
            Keyword* keyword = nullptr;
            if (word.compare(u"IF", Qt::CaseInsensitive) == 0)
                keyword = &ifWord;
            else if (word.compare(u"THEN", Qt::CaseInsensitive) == 0)
                keyword = &thenWord;
            else if (word.compare(u"ELSE", Qt::CaseInsensitive) == 0)
                keyword = &elseWord;
            if (keyword && !keyword->found()) *keyword = {start, i};
        } else {
            ++i;
        }
    }
    if (!ifWord.found() && !thenWord.found() && !elseWord.found()) return std::nullopt;
    if (!ifWord.found() || !thenWord.found() || !elseWord.found()) Malformed();
    if (thenWord.start < ifWord.end || elseWord.start < thenWord.end) Malformed();
    if (!vb::Trim(text.left(ifWord.start)).isEmpty()) Malformed();
    return Conditional{text.mid(ifWord.end, thenWord.start - ifWord.end).toString(),
                       text.mid(thenWord.end, elseWord.start - thenWord.end).toString(),
                       text.mid(elseWord.end).toString()};
}

QString EvalConditional(const QString& expression, const TemplateFill& fill) {
    const auto filled = [&](const QString& piece) { return vb::UCase(fill ? fill(piece) : piece); };
    const std::optional<Conditional> cut = CutConditional(expression);
    if (!cut) return EvalExpression(filled(expression));

    const QString condition = vb::Trim(filled(cut->condition));
    QString result;
    if (condition.contains(u'<') || condition.contains(u'>') || condition.contains(u'='))
        result = ScriptExpression::Evaluate(condition, {.bangEqualsIsNotEqual = true}).text();
    const QString upper = vb::UCase(result);
    if (upper == u"TRUE") return vb::Trim(filled(cut->thenPart));
    if (upper == u"FALSE") return vb::Trim(filled(cut->elsePart));
    return result;
}

} // namespace quibo
