#include "vb/ScriptExpression.h"

#include "vb/CaseName.h"
#include "vb/RuntimeError.h"

#include <QString>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Type = ScriptValue::Type;

// ---- results and their text forms -----------------------------------------------------------------

struct ResultCase {
    const char* name;
    const char16_t* expression;
    Type type;
    const char16_t* text;
};

class ResultTable : public ::testing::TestWithParam<ResultCase> {};

TEST_P(ResultTable, EvaluatesToTypeAndText) {
    const ScriptValue value = ScriptExpression::Evaluate(GetParam().expression);
    EXPECT_EQ(value.type(), GetParam().type);
    EXPECT_EQ(value.text(), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ResultTable,
    ::testing::Values(ResultCase{"WholeNumber", u"1500", Type::Long, u"1500"},
                      ResultCase{"Decimal", u"2.50", Type::Double, u"2.5"},
                      ResultCase{"LeadingPoint", u".5", Type::Double, u"0.5"},
                      ResultCase{"Exponent", u"15E2", Type::Double, u"1500"},
                      ResultCase{"LargeIsEngineeringText", u"1E15", Type::Double, u"1E+15"},
                      ResultCase{"PastLongIsDouble", u"2147483648", Type::Double, u"2147483648"},
                      ResultCase{"String", u"\"Acme Traders\"", Type::String, u"Acme Traders"},
                      ResultCase{"DoubledQuote", u"\"a\"\"b\"", Type::String, u"a\"b"},
                      ResultCase{"EmptyString", u"\"\"", Type::String, u""},
                      ResultCase{"True", u"True", Type::Boolean, u"True"},
                      ResultCase{"FalseAnyCase", u"fALSE", Type::Boolean, u"False"},
                      ResultCase{"UndefinedNameIsEmpty", u"ACME", Type::Empty, u""},
                      ResultCase{"EmptyKeyword", u"Empty", Type::Empty, u""},
                      ResultCase{"NameWithDigitsAndUnderscore", u"A_1", Type::Empty, u""},
                      ResultCase{"Parentheses", u"((7))", Type::Long, u"7"},
                      ResultCase{"TabsAreBlanks", u"\t1\t", Type::Long, u"1"}),
    vb::test::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, ResultTable,
    ::testing::Values(ResultCase{"Add", u"1 + 2", Type::Long, u"3"},
                      ResultCase{"Precedence", u"1 + 2 * 3", Type::Long, u"7"},
                      ResultCase{"Grouping", u"(1 + 2) * 3", Type::Long, u"9"},
                      ResultCase{"DivideIsDouble", u"10 / 5", Type::Double, u"2"},
                      ResultCase{"DivideFraction", u"10 / 4", Type::Double, u"2.5"},
                      ResultCase{"IntegerDivide", u"10 \\ 4", Type::Long, u"2"},
                      ResultCase{"IntegerDivideTruncates", u"-7 \\ 2", Type::Long, u"-3"},
                      ResultCase{"IntegerDivideRoundsOperandsToEven", u"2.5 \\ 1", Type::Long, u"2"},
                      ResultCase{"Mod", u"7 Mod 3", Type::Long, u"1"},
                      ResultCase{"ModSignOfDividend", u"-7 mod 3", Type::Long, u"-1"},
                      ResultCase{"ModRoundsOperands", u"5.5 Mod 2", Type::Long, u"0"},
                      ResultCase{"ModBelowMultiply", u"7 Mod 2 * 2", Type::Long, u"3"},
                      ResultCase{"Power", u"2 ^ 10", Type::Double, u"1024"},
                      ResultCase{"NegationBelowPower", u"-2 ^ 2", Type::Double, u"-4"},
                      ResultCase{"SignedExponent", u"2 ^ -1", Type::Double, u"0.5"},
                      ResultCase{"PowerLeftToRight", u"2 ^ 3 ^ 2", Type::Double, u"64"},
                      ResultCase{"DoubleNegation", u"- -3", Type::Long, u"3"},
                      ResultCase{"UnaryPlus", u"+3", Type::Long, u"3"},
                      ResultCase{"IntegerWidens", u"32767 + 1", Type::Long, u"32768"},
                      ResultCase{"LongWidensToDouble", u"2147483647 + 1", Type::Double, u"2147483648"},
                      ResultCase{"ProductWidens", u"100000 * 100000", Type::Double, u"10000000000"},
                      ResultCase{"FifteenDigits", u"0.1 + 0.2", Type::Double, u"0.3"},
                      ResultCase{"TwoStringsConcatenate", u"\"1\" + \"2\"", Type::String, u"12"},
                      ResultCase{"NumericStringAddsToNumber", u"\"1\" + 2", Type::Double, u"3"},
                      ResultCase{"NumericStringSubtracts", u"3 - \"1\"", Type::Double, u"2"},
                      ResultCase{"GroupedStringIsANumber", u"\"1,500\" * 2", Type::Double, u"3000"},
                      ResultCase{"EmptyPlusEmptyIsZero", u"X + Y", Type::Long, u"0"},
                      ResultCase{"EmptyPlusNumber", u"X + 1", Type::Long, u"1"},
                      ResultCase{"EmptyPlusString", u"X + \"a\"", Type::String, u"a"},
                      ResultCase{"NegatedEmptyIsZero", u"-X", Type::Long, u"0"},
                      ResultCase{"BooleansAreMinusOne", u"True + True", Type::Long, u"-2"},
                      ResultCase{"NegatedTrue", u"-True", Type::Long, u"1"},
                      ResultCase{"NoNegativeZero", u"-0.0", Type::Double, u"0"}),
    vb::test::CaseName{});

INSTANTIATE_TEST_SUITE_P(Concatenation, ResultTable,
                         ::testing::Values(ResultCase{"Strings", u"\"A\" & \"B\"", Type::String, u"AB"},
                                           ResultCase{"NumbersAsText", u"1 & 2", Type::String, u"12"},
                                           ResultCase{"DecimalText", u"\"A\" & 1.5", Type::String, u"A1.5"},
                                           ResultCase{"BooleanText", u"True & \"\"", Type::String, u"True"},
                                           ResultCase{"EmptyIsNothing", u"X & X", Type::String, u""},
                                           ResultCase{"BelowAddition", u"1 + 2 & 3", Type::String, u"33"}),
                         vb::test::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    Comparison, ResultTable,
    ::testing::Values(ResultCase{"Greater", u"1500 > 0", Type::Boolean, u"True"},
                      ResultCase{"NotGreater", u"1500 > 5000", Type::Boolean, u"False"},
                      ResultCase{"NumericStringAgainstNumber", u"\"1500\" > 0", Type::Boolean, u"True"},
                      ResultCase{"NumberAgainstNumericString", u"10 = \"10\"", Type::Boolean, u"True"},
                      ResultCase{"NumericStringWithBlanks", u"\" 10 \" = 10", Type::Boolean, u"True"},
                      ResultCase{"TwoStringsCompareAsText", u"\"1500\" > \"2\"", Type::Boolean, u"False"},
                      ResultCase{"TextCompareIsBinary", u"\"abc\" = \"ABC\"", Type::Boolean, u"False"},
                      ResultCase{"CapitalsSortFirst", u"\"B\" < \"a\"", Type::Boolean, u"True"},
                      ResultCase{"EmptyEqualsEmpty", u"X = Y", Type::Boolean, u"True"},
                      ResultCase{"EmptyEqualsZero", u"X = 0", Type::Boolean, u"True"},
                      ResultCase{"EmptyEqualsEmptyString", u"X = \"\"", Type::Boolean, u"True"},
                      ResultCase{"EmptyBelowText", u"X < \"a\"", Type::Boolean, u"True"},
                      ResultCase{"EmptyNotAboveZero", u"X > 0", Type::Boolean, u"False"},
                      ResultCase{"NotEqual", u"1 <> 2", Type::Boolean, u"True"},
                      ResultCase{"LessOrEqual", u"2 <= 2", Type::Boolean, u"True"},
                      ResultCase{"GreaterOrEqual", u"1 >= 2", Type::Boolean, u"False"},
                      ResultCase{"LongAgainstDouble", u"3 = 3.0", Type::Boolean, u"True"},
                      ResultCase{"TrueIsMinusOne", u"True = -1", Type::Boolean, u"True"},
                      ResultCase{"ChainsLeftToRight", u"1 = 1 = True", Type::Boolean, u"True"},
                      ResultCase{"BelowConcatenation", u"\"a\" & \"b\" = \"ab\"", Type::Boolean, u"True"}),
    vb::test::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    Logic, ResultTable,
    ::testing::Values(ResultCase{"NotTrue", u"Not True", Type::Boolean, u"False"},
                      ResultCase{"NotBelowComparison", u"Not 1 = 2", Type::Boolean, u"True"},
                      ResultCase{"NotOfNumberIsBitwise", u"Not 0", Type::Long, u"-1"},
                      ResultCase{"NotOfEmpty", u"Not X", Type::Long, u"-1"},
                      ResultCase{"And", u"True And False", Type::Boolean, u"False"},
                      ResultCase{"Or", u"True Or False", Type::Boolean, u"True"},
                      ResultCase{"Xor", u"True Xor True", Type::Boolean, u"False"},
                      ResultCase{"AndOfNumbersIsBitwise", u"12 And 10", Type::Long, u"8"},
                      ResultCase{"OrOfNumbersIsBitwise", u"12 Or 3", Type::Long, u"15"},
                      ResultCase{"BooleanAndNumber", u"True And 6", Type::Long, u"6"},
                      ResultCase{"AndBeforeOr", u"True Or True And False", Type::Boolean, u"True"},
                      ResultCase{"OrBeforeXor", u"True Xor True Or True", Type::Boolean, u"False"},
                      ResultCase{"Comparisons", u"1 < 2 And 2 < 3", Type::Boolean, u"True"}),
    vb::test::CaseName{});

// ---- errors --------------------------------------------------------------------------------------

struct ErrorCase {
    const char* name;
    const char16_t* expression;
    int32_t number;
};

class ErrorTable : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTable, RaisesTheNumber) {
    try {
        ScriptExpression::Evaluate(GetParam().expression);
        FAIL() << "no error raised";
    } catch (const vb::RuntimeError& error) {
        EXPECT_EQ(error.number(), GetParam().number) << error.description().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    RunTime, ErrorTable,
    ::testing::Values(ErrorCase{"DivisionByZero", u"1 / 0", vb::err::DivisionByZero},
                      ErrorCase{"ZeroByZeroIsOverflow", u"0 / 0", vb::err::Overflow},
                      ErrorCase{"IntegerDivisionByZero", u"1 \\ 0", vb::err::DivisionByZero},
                      ErrorCase{"DivisorRoundsToZero", u"7 \\ 0.4", vb::err::DivisionByZero},
                      ErrorCase{"ModByZero", u"1 Mod 0", vb::err::DivisionByZero},
                      ErrorCase{"DivisionByEmpty", u"1 / X", vb::err::DivisionByZero},
                      ErrorCase{"TextAgainstNumber", u"\"abc\" > 0", vb::err::TypeMismatch},
                      ErrorCase{"EmptyStringAgainstNumber", u"\"\" = 0", vb::err::TypeMismatch},
                      ErrorCase{"TextMinusNumber", u"\"abc\" - 1", vb::err::TypeMismatch},
                      ErrorCase{"NegatedText", u"-\"abc\"", vb::err::TypeMismatch},
                      ErrorCase{"TextAnd", u"\"abc\" And 1", vb::err::TypeMismatch},
                      ErrorCase{"TextPlusNumber", u"\"abc\" + 1", vb::err::TypeMismatch},
                      ErrorCase{"LiteralPastDouble", u"1E400", vb::err::Overflow},
                      ErrorCase{"ProductPastDouble", u"1E308 * 10", vb::err::Overflow},
                      ErrorCase{"OperandPastLong", u"3000000000 \\ 1", vb::err::Overflow},
                      ErrorCase{"QuotientPastLong", u"(-2147483647 - 1) \\ -1", vb::err::Overflow},
                      ErrorCase{"NoRealRoot", u"(-8) ^ 0.5", vb::err::InvalidProcedureCall}),
    vb::test::CaseName{});

INSTANTIATE_TEST_SUITE_P(
    Syntax, ErrorTable,
    ::testing::Values(ErrorCase{"Nothing", u"", vb::err::SyntaxError},
                      ErrorCase{"MissingOperand", u"1 +", vb::err::SyntaxError},
                      ErrorCase{"OpenParenthesis", u"(1", vb::err::SyntaxError},
                      ErrorCase{"StrayParenthesis", u"1)", vb::err::SyntaxError},
                      ErrorCase{"UnterminatedString", u"\"abc", vb::err::SyntaxError},
                      ErrorCase{"TwoNames", u"ACME TRADERS", vb::err::SyntaxError},
                      ErrorCase{"FunctionCall", u"LEN(\"A\")", vb::err::SyntaxError},
                      ErrorCase{"ObjectCreation", u"CreateObject(\"Scripting.FileSystemObject\")",
                                vb::err::SyntaxError},
                      ErrorCase{"MemberAccess", u"A.B", vb::err::SyntaxError},
                      ErrorCase{"Statement", u"Dim", vb::err::SyntaxError},
                      ErrorCase{"NullIsNotInTheSubset", u"Null", vb::err::SyntaxError},
                      ErrorCase{"IsIsNotInTheSubset", u"1 Is 1", vb::err::SyntaxError},
                      ErrorCase{"Keyword", u"IF 1 = 1 THEN 2 ELSE 3", vb::err::SyntaxError},
                      ErrorCase{"BangEqualsOnlyInConditionals", u"1 != 2", vb::err::SyntaxError},
                      ErrorCase{"DateLiteral", u"#1/1/2000#", vb::err::SyntaxError},
                      ErrorCase{"HexLiteral", u"&H10", vb::err::SyntaxError},
                      ErrorCase{"ExponentWithoutDigits", u"1E", vb::err::SyntaxError},
                      ErrorCase{"LineBreak", u"1\n+ 1", vb::err::SyntaxError},
                      ErrorCase{"Comment", u"1 ' note", vb::err::SyntaxError},
                      ErrorCase{"StatementSeparator", u"1 : 2", vb::err::SyntaxError},
                      ErrorCase{"CheckedBeforeComputing", u"1 / 0 +", vb::err::SyntaxError}),
    vb::test::CaseName{});

TEST(ScriptExpression, BangEqualsIsNotEqualWhenAsked) {
    const ScriptExpression::Options options{.bangEqualsIsNotEqual = true};
    EXPECT_EQ(ScriptExpression::Evaluate(u"1 != 2", options).text(), QStringLiteral("True"));
    EXPECT_EQ(ScriptExpression::Evaluate(u"\"!=\" = \"!=\"", options).text(), QStringLiteral("True"));
}

TEST(ScriptExpression, SyntaxErrorCarriesItsText) {
    try {
        ScriptExpression::Evaluate(u"1 +");
        FAIL() << "no error raised";
    } catch (const vb::RuntimeError& error) {
        EXPECT_EQ(error.description(), QStringLiteral("Syntax error"));
    }
}

int32_t ErrorNumberOf(const QString& expression) {
    try {
        ScriptExpression::Evaluate(expression);
    } catch (const vb::RuntimeError& error) {
        return error.number();
    }
    return 0;
}

TEST(ScriptExpression, NestingIsBounded) {
    const int depth = ScriptExpression::MaxDepth;
    EXPECT_EQ(ErrorNumberOf(QString(depth, u'(') + u'1' + QString(depth, u')')), 0);
    EXPECT_EQ(ErrorNumberOf(QString(depth + 1, u'(') + u'1' + QString(depth + 1, u')')), 28);
    EXPECT_EQ(ErrorNumberOf(QString(60000, u'(')), 28);
    EXPECT_EQ(ErrorNumberOf(QString(depth + 1, u'-') + u'1'), 28);
    EXPECT_EQ(ErrorNumberOf(QStringLiteral("Not ").repeated(depth + 1) + u'1'), 28);
}

TEST(ScriptExpression, LongChainsDoNotNest) {
    const QString sum = QStringLiteral("1 + ").repeated(10000) + u'1';
    EXPECT_EQ(ScriptExpression::Evaluate(sum).text(), QStringLiteral("10001"));
}

TEST(ScriptExpression, LengthIsBounded) {
    const QString atLimit = QString(ScriptExpression::MaxLength, u' ') + u'1';
    EXPECT_EQ(ErrorNumberOf(atLimit), vb::err::OutOfMemory);
    EXPECT_EQ(ErrorNumberOf(QString(ScriptExpression::MaxLength - 1, u' ') + u'1'), 0);
}

// ---- EvalExpression and IsTrueText ------------------------------------------------------------------

TEST(EvalExpression, BlankGivesEmptyTextWithoutEvaluating) {
    EXPECT_EQ(EvalExpression(QString()), QString());
    EXPECT_EQ(EvalExpression(QStringLiteral("   ")), QString());
}

TEST(EvalExpression, GivesTheTextForm) {
    EXPECT_EQ(EvalExpression(QStringLiteral("1500 > 5000")), QStringLiteral("False"));
    EXPECT_EQ(EvalExpression(QStringLiteral("1500 * 2")), QStringLiteral("3000"));
    EXPECT_EQ(EvalExpression(QStringLiteral("UNDEFINED")), QString());
}

struct TruthCase {
    const char* name;
    const char16_t* value;
    bool expected;
};

class TruthTable : public ::testing::TestWithParam<TruthCase> {};

TEST_P(TruthTable, IsTrueText) {
    EXPECT_EQ(IsTrueText(QString::fromUtf16(GetParam().value)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Group, TruthTable,
    ::testing::Values(TruthCase{"No", u"No", false}, TruthCase{"NoCapitals", u"NO", false},
                      TruthCase{"NoSmall", u"no", false}, TruthCase{"False", u"False", false},
                      TruthCase{"FalseSmall", u"false", false}, TruthCase{"EmptyText", u"", true},
                      TruthCase{"BlankBeforeNo", u" NO", true}, TruthCase{"FalseWithBlank", u"FALSE ", true},
                      TruthCase{"Zero", u"0", true}, TruthCase{"True", u"True", true},
                      TruthCase{"Yes", u"YES", true}, TruthCase{"N", u"N", true}),
    vb::test::CaseName{});

} // namespace
} // namespace quibo
