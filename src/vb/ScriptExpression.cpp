#include "vb/ScriptExpression.h"

#include "vb/Number.h"
#include "vb/RuntimeError.h"
#include "vb/Text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace quibo {

namespace {

constexpr int32_t OutOfStackSpace = 28;

[[noreturn]] void SyntaxError() {
    vb::Raise(vb::err::SyntaxError, QStringLiteral("Syntax error"));
}
[[noreturn]] void TypeMismatch() {
    vb::Raise(vb::err::TypeMismatch, QStringLiteral("Type mismatch"));
}
[[noreturn]] void Overflow() {
    vb::Raise(vb::err::Overflow, QStringLiteral("Overflow"));
}
[[noreturn]] void DivisionByZero() {
    vb::Raise(vb::err::DivisionByZero, QStringLiteral("Division by zero"));
}

// ---- conversions ------------------------------------------------------------------------------

// A number as arithmetic sees it: whole (Empty, Boolean, Long) or Double.
struct Number {
    bool isDouble = false;
    int64_t whole = 0;
    double real = 0;
    double value() const { return isDouble ? real : static_cast<double>(whole); }
};

Number NumberOf(const ScriptValue& v) {
    switch (v.type()) {
    case ScriptValue::Type::Empty:
        return {};
    case ScriptValue::Type::Boolean:
        return {false, v.boolean() ? -1 : 0, 0};
    case ScriptValue::Type::Long:
        return {false, v.longValue(), 0};
    case ScriptValue::Type::Double:
        return {true, 0, v.doubleValue()};
    case ScriptValue::Type::String:
        break;
    }
    const auto number = vb::ToNumber(v.string());
    if (!number) TypeMismatch();
    return {true, 0, *number};
}

ScriptValue FromWhole(int64_t value) {
    if (value >= std::numeric_limits<int32_t>::min() && value <= std::numeric_limits<int32_t>::max())
        return ScriptValue::FromLong(static_cast<int32_t>(value));
    return ScriptValue::FromDouble(static_cast<double>(value)); // VBScript widens instead of failing
}

ScriptValue FromReal(double value) {
    if (!std::isfinite(value)) Overflow();
    return ScriptValue::FromDouble(value);
}

// VB's CLng: half to even, Overflow outside the Long range.
int32_t LongOf(const ScriptValue& v) {
    const Number n = NumberOf(v);
    if (!n.isDouble) return static_cast<int32_t>(n.whole);
    const double rounded = std::nearbyint(n.real); // default rounding mode: half to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) Overflow();
    return static_cast<int32_t>(rounded);
}

int32_t CheckedLong(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        Overflow();
    return static_cast<int32_t>(value);
}

// ---- operators ----------------------------------------------------------------------------------

enum class Op { Add, Subtract, Multiply };

ScriptValue Arithmetic(Op op, const ScriptValue& a, const ScriptValue& b) {
    const Number x = NumberOf(a);
    const Number y = NumberOf(b);
    if (!x.isDouble && !y.isDouble) {
        // Both whole and within the Long range: the exact result fits in 64 bits.
        switch (op) {
        case Op::Add:
            return FromWhole(x.whole + y.whole);
        case Op::Subtract:
            return FromWhole(x.whole - y.whole);
        case Op::Multiply:
            return FromWhole(x.whole * y.whole);
        }
    }
    switch (op) {
    case Op::Add:
        return FromReal(x.value() + y.value());
    case Op::Subtract:
        return FromReal(x.value() - y.value());
    case Op::Multiply:
        break;
    }
    return FromReal(x.value() * y.value());
}

ScriptValue Add(const ScriptValue& a, const ScriptValue& b) {
    using T = ScriptValue::Type;
    if (a.type() == T::String && b.type() == T::String)
        return ScriptValue::FromString(a.string() + b.string());
    if (a.type() == T::String && b.isEmpty()) return a;
    if (a.isEmpty() && b.type() == T::String) return b;
    return Arithmetic(Op::Add, a, b);
}

ScriptValue Divide(const ScriptValue& a, const ScriptValue& b) {
    const double x = NumberOf(a).value();
    const double y = NumberOf(b).value();
    if (y == 0) {
        if (x == 0) Overflow(); // 0 / 0 is VB's Overflow, not a division by zero
        DivisionByZero();
    }
    return FromReal(x / y);
}

ScriptValue IntegerDivide(const ScriptValue& a, const ScriptValue& b) {
    const int64_t x = LongOf(a);
    const int64_t y = LongOf(b);
    if (y == 0) DivisionByZero();
    return ScriptValue::FromLong(CheckedLong(x / y));
}

ScriptValue Modulo(const ScriptValue& a, const ScriptValue& b) {
    const int64_t x = LongOf(a);
    const int64_t y = LongOf(b);
    if (y == 0) DivisionByZero();
    return ScriptValue::FromLong(CheckedLong(x % y)); // sign of the dividend, as VB's Mod
}

ScriptValue Power(const ScriptValue& a, const ScriptValue& b) {
    const double x = NumberOf(a).value();
    const double y = NumberOf(b).value();
    if (x == 0 && y < 0) DivisionByZero();
    const double result = std::pow(x, y);
    if (std::isnan(result))
        vb::Raise(vb::err::InvalidProcedureCall, QStringLiteral("Invalid procedure call or argument"));
    return FromReal(result);
}

ScriptValue Negate(const ScriptValue& a) {
    const Number x = NumberOf(a);
    if (!x.isDouble) return FromWhole(-x.whole);
    return FromReal(x.real == 0 ? 0.0 : -x.real); // no negative zero
}

ScriptValue Concatenate(const ScriptValue& a, const ScriptValue& b) {
    return ScriptValue::FromString(a.text() + b.text());
}

enum class Logic { And, Or, Xor };

ScriptValue Logical(Logic op, const ScriptValue& a, const ScriptValue& b) {
    using T = ScriptValue::Type;
    if (a.type() == T::Boolean && b.type() == T::Boolean) {
        switch (op) {
        case Logic::And:
            return ScriptValue::FromBoolean(a.boolean() && b.boolean());
        case Logic::Or:
            return ScriptValue::FromBoolean(a.boolean() || b.boolean());
        case Logic::Xor:
            return ScriptValue::FromBoolean(a.boolean() != b.boolean());
        }
    }
    const int32_t x = LongOf(a);
    const int32_t y = LongOf(b);
    switch (op) {
    case Logic::And:
        return ScriptValue::FromLong(x & y);
    case Logic::Or:
        return ScriptValue::FromLong(x | y);
    case Logic::Xor:
        break;
    }
    return ScriptValue::FromLong(x ^ y);
}

ScriptValue LogicalNot(const ScriptValue& a) {
    if (a.type() == ScriptValue::Type::Boolean) return ScriptValue::FromBoolean(!a.boolean());
    return ScriptValue::FromLong(~LongOf(a));
}

// -1, 0 or 1. Empty is "" beside a string and 0 beside anything else; a number beside a string
// compares as a number, so the string must be numeric; two strings compare by character codes.
int Compare(const ScriptValue& a, const ScriptValue& b) {
    using T = ScriptValue::Type;
    const bool aText = a.type() == T::String || a.isEmpty();
    const bool bText = b.type() == T::String || b.isEmpty();
    if (aText && bText && (a.type() == T::String || b.type() == T::String)) {
        const int c = QStringView(a.string()).compare(QStringView(b.string()), Qt::CaseSensitive);
        return (c > 0) - (c < 0);
    }
    const Number x = NumberOf(a);
    const Number y = NumberOf(b);
    if (!x.isDouble && !y.isDouble) return (x.whole > y.whole) - (x.whole < y.whole);
    return (x.value() > y.value()) - (x.value() < y.value());
}

// ---- lexer ----------------------------------------------------------------------------------------

enum class Tok {
    End,
    Literal, // number, string, True, False, Empty
    Name,
    Not,
    And,
    Or,
    Xor,
    Mod,
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Ampersand,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    LParen,
    RParen,
};

// Words of the language that this subset does not take: in value position VBScript reads them
// as syntax errors, not as undefined names.
constexpr const char16_t* kUnsupportedWords[] = {
    u"BYREF",    u"BYVAL",    u"CALL",   u"CASE",    u"CLASS", u"CONST",  u"DIM",    u"DO",
    u"EACH",     u"ELSE",     u"ELSEIF", u"END",     u"EQV",   u"ERASE",  u"EXIT",   u"FOR",
    u"FUNCTION", u"GOTO",     u"IF",     u"IMP",     u"IN",    u"IS",     u"LET",    u"LOOP",
    u"ME",       u"NEW",      u"NEXT",   u"NOTHING", u"NULL",  u"ON",     u"OPTION", u"PRESERVE",
    u"PRIVATE",  u"PROPERTY", u"PUBLIC", u"REDIM",   u"REM",   u"RESUME", u"SELECT", u"SET",
    u"SUB",      u"THEN",     u"TO",     u"UNTIL",   u"WEND",  u"WHILE",  u"WITH",
};

bool IsAsciiLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}
bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

class Parser {
public:
    Parser(QStringView text, ScriptExpression::Options options, bool evaluate)
        : m_text(text), m_options(options), m_evaluate(evaluate) {
        next();
    }

    ScriptValue parseWhole() {
        ScriptValue v = parseXor();
        if (m_tok != Tok::End) SyntaxError();
        return v;
    }

private:
    // Counts nesting (parentheses and unary operators): the only places the parser recurses.
    class Nest {
    public:
        explicit Nest(Parser& p) : m_p(p) {
            if (++m_p.m_depth > ScriptExpression::MaxDepth)
                vb::Raise(OutOfStackSpace, QStringLiteral("Out of stack space"));
        }
        ~Nest() { --m_p.m_depth; }
        Nest(const Nest&) = delete;
        Nest& operator=(const Nest&) = delete;

    private:
        Parser& m_p;
    };

    char16_t peek(qsizetype offset = 0) const {
        const qsizetype i = m_pos + offset;
        return i < m_text.size() ? m_text[i].unicode() : u'\0';
    }

    void next() {
        while (m_pos < m_text.size() && (m_text[m_pos] == u' ' || m_text[m_pos] == u'\t'))
            ++m_pos;
        if (m_pos >= m_text.size()) {
            m_tok = Tok::End;
            return;
        }
        const char16_t c = peek();
        if (IsDigit(c) || (c == u'.' && IsDigit(peek(1)))) return lexNumber();
        if (c == u'"') return lexString();
        if (IsAsciiLetter(c)) return lexWord();
        ++m_pos;
        switch (c) {
        case u'+':
            m_tok = Tok::Plus;
            return;
        case u'-':
            m_tok = Tok::Minus;
            return;
        case u'*':
            m_tok = Tok::Star;
            return;
        case u'/':
            m_tok = Tok::Slash;
            return;
        case u'\\':
            m_tok = Tok::Backslash;
            return;
        case u'^':
            m_tok = Tok::Caret;
            return;
        case u'&':
            m_tok = Tok::Ampersand;
            return;
        case u'(':
            m_tok = Tok::LParen;
            return;
        case u')':
            m_tok = Tok::RParen;
            return;
        case u'=':
            m_tok = Tok::Eq;
            return;
        case u'<':
            if (peek() == u'>') {
                ++m_pos;
                m_tok = Tok::Ne;
            } else if (peek() == u'=') {
                ++m_pos;
                m_tok = Tok::Le;
            } else {
                m_tok = Tok::Lt;
            }
            return;
        case u'>':
            if (peek() == u'=') {
                ++m_pos;
                m_tok = Tok::Ge;
            } else {
                m_tok = Tok::Gt;
            }
            return;
        case u'!':
            if (m_options.bangEqualsIsNotEqual && peek() == u'=') {
                ++m_pos;
                m_tok = Tok::Ne;
                return;
            }
            break;
        default:
            break;
        }
        SyntaxError();
    }

    void lexNumber() {
        std::string ascii;
        bool whole = true;
        while (IsDigit(peek()))
            ascii += char(peek()), ++m_pos;
        if (peek() == u'.') {
            whole = false;
            ascii += '.';
            ++m_pos;
            while (IsDigit(peek()))
                ascii += char(peek()), ++m_pos;
        }
        if (peek() == u'e' || peek() == u'E') {
            const qsizetype sign = (peek(1) == u'+' || peek(1) == u'-') ? 1 : 0;
            if (!IsDigit(peek(1 + sign))) SyntaxError();
            whole = false;
            ascii += 'e';
            if (sign) ascii += char(peek(1));
            m_pos += 1 + sign;
            // Long exponents are cut short: anything this far out is past the range anyway.
            int digits = 0;
            while (IsDigit(peek())) {
                if (++digits <= 6) ascii += char(peek());
                ++m_pos;
            }
        }
        if (ascii.front() == '.') ascii.insert(ascii.begin(), '0');
        double value = 0;
        const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
        if (result.ec == std::errc::result_out_of_range) {
            // Too small rounds to zero; too large is VBScript's Overflow.
            if (ascii.find('-') == std::string::npos && ascii.find_first_of("123456789") != std::string::npos)
                Overflow();
            value = 0;
        }
        if (!std::isfinite(value)) Overflow();
        m_tok = Tok::Literal;
        m_value = whole && value <= 2147483647.0 ? ScriptValue::FromLong(static_cast<int32_t>(value))
                                                 : ScriptValue::FromDouble(value);
    }

    void lexString() {
        QString text;
        ++m_pos; // opening quote
        for (;;) {
            if (m_pos >= m_text.size()) SyntaxError(); // unterminated
            const QChar c = m_text[m_pos++];
            if (c == u'"') {
                if (peek() != u'"') break;
                ++m_pos; // "" stands for one quote
            }
            text += c;
        }
        m_tok = Tok::Literal;
        m_value = ScriptValue::FromString(text);
    }

    void lexWord() {
        const qsizetype start = m_pos;
        while (IsAsciiLetter(peek()) || IsDigit(peek()) || peek() == u'_')
            ++m_pos;
        const QString word = m_text.mid(start, m_pos - start).toString().toUpper();
        m_tok = Tok::Literal;
        if (word == u"TRUE") {
            m_value = ScriptValue::FromBoolean(true);
        } else if (word == u"FALSE") {
            m_value = ScriptValue::FromBoolean(false);
        } else if (word == u"EMPTY") {
            m_value = ScriptValue();
        } else if (word == u"NOT") {
            m_tok = Tok::Not;
        } else if (word == u"AND") {
            m_tok = Tok::And;
        } else if (word == u"OR") {
            m_tok = Tok::Or;
        } else if (word == u"XOR") {
            m_tok = Tok::Xor;
        } else if (word == u"MOD") {
            m_tok = Tok::Mod;
        } else {
            for (const char16_t* reserved : kUnsupportedWords)
                if (word == QStringView(reserved)) SyntaxError();
            m_tok = Tok::Name;
        }
    }

    // In the checking pass nothing is computed: the operators are applied only once the whole
    // text is known to be well formed, as a compiled script would.
    template <class F> ScriptValue apply(F&& f) { return m_evaluate ? f() : ScriptValue(); }

    ScriptValue parseXor() {
        ScriptValue v = parseOr();
        while (m_tok == Tok::Xor) {
            next();
            const ScriptValue r = parseOr();
            v = apply([&] { return Logical(Logic::Xor, v, r); });
        }
        return v;
    }

    ScriptValue parseOr() {
        ScriptValue v = parseAnd();
        while (m_tok == Tok::Or) {
            next();
            const ScriptValue r = parseAnd();
            v = apply([&] { return Logical(Logic::Or, v, r); });
        }
        return v;
    }

    ScriptValue parseAnd() {
        ScriptValue v = parseNot();
        while (m_tok == Tok::And) {
            next();
            const ScriptValue r = parseNot();
            v = apply([&] { return Logical(Logic::And, v, r); });
        }
        return v;
    }

    ScriptValue parseNot() {
        if (m_tok != Tok::Not) return parseComparison();
        Nest nest(*this);
        next();
        const ScriptValue v = parseNot();
        return apply([&] { return LogicalNot(v); });
    }

    ScriptValue parseComparison() {
        ScriptValue v = parseConcatenation();
        for (;;) {
            const Tok op = m_tok;
            if (op != Tok::Eq && op != Tok::Ne && op != Tok::Lt && op != Tok::Gt && op != Tok::Le &&
                op != Tok::Ge)
                return v;
            next();
            const ScriptValue r = parseConcatenation();
            v = apply([&] {
                const int c = Compare(v, r);
                switch (op) {
                case Tok::Eq:
                    return ScriptValue::FromBoolean(c == 0);
                case Tok::Ne:
                    return ScriptValue::FromBoolean(c != 0);
                case Tok::Lt:
                    return ScriptValue::FromBoolean(c < 0);
                case Tok::Gt:
                    return ScriptValue::FromBoolean(c > 0);
                case Tok::Le:
                    return ScriptValue::FromBoolean(c <= 0);
                default:
                    return ScriptValue::FromBoolean(c >= 0);
                }
            });
        }
    }

    ScriptValue parseConcatenation() {
        ScriptValue v = parseAdditive();
        while (m_tok == Tok::Ampersand) {
            next();
            const ScriptValue r = parseAdditive();
            v = apply([&] { return Concatenate(v, r); });
        }
        return v;
    }

    ScriptValue parseAdditive() {
        ScriptValue v = parseModulo();
        while (m_tok == Tok::Plus || m_tok == Tok::Minus) {
            const bool plus = m_tok == Tok::Plus;
            next();
            const ScriptValue r = parseModulo();
            v = apply([&] { return plus ? Add(v, r) : Arithmetic(Op::Subtract, v, r); });
        }
        return v;
    }

    ScriptValue parseModulo() {
        ScriptValue v = parseIntegerDivision();
        while (m_tok == Tok::Mod) {
            next();
            const ScriptValue r = parseIntegerDivision();
            v = apply([&] { return Modulo(v, r); });
        }
        return v;
    }

    ScriptValue parseIntegerDivision() {
        ScriptValue v = parseMultiplicative();
        while (m_tok == Tok::Backslash) {
            next();
            const ScriptValue r = parseMultiplicative();
            v = apply([&] { return IntegerDivide(v, r); });
        }
        return v;
    }

    ScriptValue parseMultiplicative() {
        ScriptValue v = parseUnary();
        while (m_tok == Tok::Star || m_tok == Tok::Slash) {
            const bool star = m_tok == Tok::Star;
            next();
            const ScriptValue r = parseUnary();
            v = apply([&] { return star ? Arithmetic(Op::Multiply, v, r) : Divide(v, r); });
        }
        return v;
    }

    // Negation binds looser than "^": -2 ^ 2 is -4.
    ScriptValue parseUnary() {
        if (m_tok != Tok::Minus && m_tok != Tok::Plus) return parsePower();
        Nest nest(*this);
        const bool minus = m_tok == Tok::Minus;
        next();
        const ScriptValue v = parseUnary();
        return minus ? apply([&] { return Negate(v); }) : v;
    }

    ScriptValue parsePower() {
        ScriptValue v = parsePrimary();
        while (m_tok == Tok::Caret) {
            next();
            const ScriptValue r = parseExponent();
            v = apply([&] { return Power(v, r); });
        }
        return v;
    }

    // The right side of "^" may carry its own sign: 2 ^ -1.
    ScriptValue parseExponent() {
        if (m_tok != Tok::Minus && m_tok != Tok::Plus) return parsePrimary();
        Nest nest(*this);
        const bool minus = m_tok == Tok::Minus;
        next();
        const ScriptValue v = parseExponent();
        return minus ? apply([&] { return Negate(v); }) : v;
    }

    ScriptValue parsePrimary() {
        switch (m_tok) {
        case Tok::Literal: {
            ScriptValue v = m_value;
            next();
            return v;
        }
        case Tok::Name:
            next();
            return ScriptValue(); // no name is ever defined
        case Tok::LParen: {
            Nest nest(*this);
            next();
            ScriptValue v = parseXor();
            if (m_tok != Tok::RParen) SyntaxError();
            next();
            return v;
        }
        default:
            SyntaxError();
        }
    }

    QStringView m_text;
    ScriptExpression::Options m_options;
    bool m_evaluate;
    qsizetype m_pos = 0;
    Tok m_tok = Tok::End;
    ScriptValue m_value;
    int m_depth = 0;
};

} // namespace

ScriptValue ScriptValue::FromBoolean(bool value) {
    ScriptValue v;
    v.m_type = Type::Boolean;
    v.m_boolean = value;
    return v;
}

ScriptValue ScriptValue::FromLong(int32_t value) {
    ScriptValue v;
    v.m_type = Type::Long;
    v.m_long = value;
    return v;
}

ScriptValue ScriptValue::FromDouble(double value) {
    ScriptValue v;
    v.m_type = Type::Double;
    v.m_double = value;
    return v;
}

ScriptValue ScriptValue::FromString(QString value) {
    ScriptValue v;
    v.m_type = Type::String;
    v.m_string = std::move(value);
    return v;
}

QString ScriptValue::text() const {
    switch (m_type) {
    case Type::Empty:
        return QString();
    case Type::Boolean:
        return m_boolean ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Long:
        return QString::number(m_long);
    case Type::Double:
        return vb::NumberText(m_double);
    case Type::String:
        break;
    }
    return m_string;
}

ScriptValue ScriptExpression::Evaluate(QStringView expression, Options options) {
    if (expression.size() > MaxLength) vb::Raise(vb::err::OutOfMemory, QStringLiteral("Out of memory"));
    Parser(expression, options, false).parseWhole();
    return Parser(expression, options, true).parseWhole();
}

QString EvalExpression(const QString& expression) {
    if (vb::Trim(expression).isEmpty()) return QString();
    return ScriptExpression::Evaluate(expression).text();
}

bool IsTrueText(const QString& value) {
    const QString upper = vb::UCase(value);
    return upper != u"NO" && upper != u"FALSE";
}

} // namespace quibo
