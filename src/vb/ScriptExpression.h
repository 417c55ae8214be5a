#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace quibo {

// A value as a VBScript expression yields it. Integer and Long are one kind here: VBScript widens
// them on overflow anyway, so the difference never shows in a result.
class ScriptValue {
public:
    enum class Type { Empty, Boolean, Long, Double, String };

    ScriptValue() = default;
    static ScriptValue FromBoolean(bool value);
    static ScriptValue FromLong(int32_t value);
    static ScriptValue FromDouble(double value);
    static ScriptValue FromString(QString value);

    Type type() const { return m_type; }
    bool isEmpty() const { return m_type == Type::Empty; }
    bool boolean() const { return m_boolean; }
    int32_t longValue() const { return m_long; }
    double doubleValue() const { return m_double; }
    const QString& string() const { return m_string; }

    // What the script engine hands back as text: "" for Empty, "True"/"False", plain decimal
    // numbers (vb::NumberText), strings unchanged.
    QString text() const;

    friend bool operator==(const ScriptValue&, const ScriptValue&) = default;

private:
    Type m_type = Type::Empty;
    bool m_boolean = false;
    int32_t m_long = 0;
    double m_double = 0;
    QString m_string;
};

// The stand-in for the script control: evaluates one VBScript expression of a small subset and
// nothing else. Literals (numbers, "strings" with "" inside, True, False, Empty), names (never
// defined, so Empty), parentheses, unary + -, ^ * / \ Mod + - &, = <> < > <= >=, Not And Or Xor,
// with VBScript's precedence and typing. No functions, objects or statements: it cannot reach
// anything outside the text it is given.
//
// Errors are raised as vb::RuntimeError with VBScript's numbers: 1002 syntax error (the whole text
// is checked before anything is computed), 13 type mismatch, 11 division by zero, 6 overflow,
// 5 invalid argument (a power with no real result), 28 for nesting deeper than MaxDepth and 7 for a
// text longer than MaxLength, so no input can exhaust the stack or run for long.
class ScriptExpression {
public:
    static constexpr qsizetype MaxLength = 65536;
    static constexpr int MaxDepth = 100;

    struct Options {
        // "!=" read as "<>" outside string literals, as the template conditionals allow.
        bool bangEqualsIsNotEqual = false;
    };

    static ScriptValue Evaluate(QStringView expression, Options options);
    static ScriptValue Evaluate(QStringView expression) { return Evaluate(expression, Options{}); }
};

// The text form of the evaluated expression; "" without evaluating when it is blank after trimming.
QString EvalExpression(const QString& expression);

// False only for "NO" and "FALSE" in any letter case; True for anything else, "" included.
bool IsTrueText(const QString& value);

} // namespace quibo
