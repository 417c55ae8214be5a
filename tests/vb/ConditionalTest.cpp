#include "vb/Conditional.h"

#include "vb/CaseName.h"
#include "vb/RuntimeError.h"

#include <QHash>
#include <QString>

#include <gtest/gtest.h>

#include <optional>

namespace quibo {
namespace {

// ---- cutting ---------------------------------------------------------------------------------------

struct CutCase {
    const char* name;
    const char16_t* text;
    std::optional<Conditional> expected;
};

class CutTable : public ::testing::TestWithParam<CutCase> {};

TEST_P(CutTable, CutsAtTheKeywords) {
    EXPECT_EQ(CutConditional(GetParam().text), GetParam().expected);
}

Conditional Parts(const char16_t* condition, const char16_t* thenPart, const char16_t* elsePart) {
    return {QString::fromUtf16(condition), QString::fromUtf16(thenPart), QString::fromUtf16(elsePart)};
}

INSTANTIATE_TEST_SUITE_P(
    Conditional, CutTable,
    ::testing::Values(CutCase{"BillWiseCondition", u"IF {OPENINGBALANCE} > 0 THEN Yes ELSE No",
                              Parts(u" {OPENINGBALANCE} > 0 ", u" Yes ", u" No")},
                      CutCase{"SmallLetters", u"if {#3}>0 then a else b", Parts(u" {#3}>0 ", u" a ", u" b")},
                      CutCase{"BlanksBeforeIf", u"  IF 1=1 THEN A ELSE B", Parts(u" 1=1 ", u" A ", u" B")},
                      CutCase{"KeywordsAgainstPunctuation", u"IF(1=1)THEN\"A\"ELSE\"B\"",
                              Parts(u"(1=1)", u"\"A\"", u"\"B\"")},
                      CutCase{"LaterKeywordsStayInTheElsePart", u"IF A=1 THEN X ELSE IF B THEN Y ELSE Z",
                              Parts(u" A=1 ", u" X ", u" IF B THEN Y ELSE Z")},
                      CutCase{"KeywordsInsideQuotesAreText", u"IF {A} = \"THEN ELSE\" THEN \"IF\" ELSE B",
                              Parts(u" {A} = \"THEN ELSE\" ", u" \"IF\" ", u" B")},
                      CutCase{"NoKeyword", u"{#3} * 2", std::nullopt},
                      CutCase{"KeywordInsideAWord", u"\"CLIFF\" & {NAME}", std::nullopt},
                      CutCase{"KeywordsInsideWords", u"AUTHENTIC & ELSEWHERE & THENCE & IFFY", std::nullopt},
                      CutCase{"KeywordAsPlaceholderKey", u"{ELSE} & {IF}", std::nullopt},
                      CutCase{"KeywordInQuotes", u"\"IF\" & \"\"\"THEN\"", std::nullopt},
                      CutCase{"Blank", u"", std::nullopt}),
    vb::test::CaseName{});

struct MalformedCase {
    const char* name;
    const char16_t* text;
};

class MalformedTable : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedTable, RaisesInvalidProcedureCall) {
    try {
        CutConditional(GetParam().text);
        FAIL() << "no error raised";
    } catch (const vb::RuntimeError& error) {
        EXPECT_EQ(error.number(), vb::err::InvalidProcedureCall);
    }
}

INSTANTIATE_TEST_SUITE_P(Conditional, MalformedTable,
                         ::testing::Values(MalformedCase{"NoElse", u"IF A THEN B"},
                                           MalformedCase{"NoThen", u"IF A ELSE B"},
                                           MalformedCase{"OutOfOrder", u"IF A ELSE B THEN C"},
                                           MalformedCase{"NoIf", u"A THEN B ELSE C"},
                                           MalformedCase{"TextBeforeIf", u"X IF A THEN B ELSE C"},
                                           MalformedCase{"ThenAlone", u"1 THEN"},
                                           MalformedCase{"ElseAlone", u"else"}),
                         vb::test::CaseName{});

// ---- evaluating ------------------------------------------------------------------------------------

// Stands in for the grid: {KEY} placeholders from a table of cells.
TemplateFill Cells(QHash<QString, QString> cells) {
    return [cells](const QString& text) {
        QString filled = text;
        for (auto it = cells.begin(); it != cells.end(); ++it)
            filled.replace(QLatin1Char('{') + it.key() + QLatin1Char('}'), it.value());
        return filled;
    };
}

struct EvalCase {
    const char* name;
    const char16_t* expression;
    QHash<QString, QString> cells;
    const char16_t* expected;
};

class EvalTable : public ::testing::TestWithParam<EvalCase> {};

TEST_P(EvalTable, GivesTheText) {
    EXPECT_EQ(EvalConditional(QString::fromUtf16(GetParam().expression), Cells(GetParam().cells)),
              QString::fromUtf16(GetParam().expected));
}

const QString Balance = QStringLiteral("OPENINGBALANCE");
const char16_t* const BillWise = u"IF {OPENINGBALANCE} > 0 THEN Yes ELSE No";

INSTANTIATE_TEST_SUITE_P(
    Conditional, EvalTable,
    ::testing::Values(
        EvalCase{"ThenPartUpperCased", BillWise, {{Balance, QStringLiteral("1500")}}, u"YES"},
        EvalCase{"ElsePartUpperCased", BillWise, {{Balance, QStringLiteral("-5")}}, u"NO"},
        EvalCase{"PartsAreTrimmedNotEvaluated", u"IF 1 = 1 THEN  1 + 1  ELSE 0", {}, u"1 + 1"},
        EvalCase{"ValuesUpperCasedBeforeComparing",
                 u"IF \"{NAME}\" = \"Acme Traders\" THEN Y ELSE N",
                 {{QStringLiteral("NAME"), QStringLiteral("acme traders")}},
                 u"Y"},
        EvalCase{"NoComparisonGivesEmpty",
                 u"IF {FLAG} THEN A ELSE B",
                 {{QStringLiteral("FLAG"), QStringLiteral("1")}},
                 u""},
        EvalCase{"ComparisonOnlyFromTheCellStillCounts",
                 u"IF {FLAG} THEN A ELSE B",
                 {{QStringLiteral("FLAG"), QStringLiteral("2 > 1")}},
                 u"A"},
        EvalCase{"BangEqualsIsNotEqual", u"IF 1 != 2 THEN A ELSE B", {}, u"A"},
        EvalCase{"OtherResultsPassThrough", u"IF 1 = 1 And 6 THEN A ELSE B", {}, u"6"},
        EvalCase{"NotAConditionalIsEvaluatedWhole",
                 u"{AMOUNT} * 2",
                 {{QStringLiteral("AMOUNT"), QStringLiteral("1500")}},
                 u"3000"},
        EvalCase{"WholeExpressionUpperCased",
                 u"\"{NAME}\"",
                 {{QStringLiteral("NAME"), QStringLiteral("Cliff")}},
                 u"CLIFF"},
        EvalCase{
            "BlankExpressionGivesEmpty", u"{GSTIN}", {{QStringLiteral("GSTIN"), QStringLiteral("  ")}}, u""},
        // Keywords are found before the cells go in: a value holding them is only a value.
        EvalCase{"CellHoldingCliff",
                 u"IF \"{NAME}\" = \"CLIFF\" THEN {NAME} ELSE OTHER",
                 {{QStringLiteral("NAME"), QStringLiteral("Cliff")}},
                 u"CLIFF"},
        EvalCase{"CellHoldingAuthentic",
                 u"IF {#3} > 0 THEN {NARRATION} ELSE NONE",
                 {{QStringLiteral("#3"), QStringLiteral("1500")},
                  {QStringLiteral("NARRATION"), QStringLiteral("Authentic copy, then else if")}},
                 u"AUTHENTIC COPY, THEN ELSE IF"},
        EvalCase{"CellHoldingAllThreeKeywords",
                 u"\"{NOTE}\"",
                 {{QStringLiteral("NOTE"), QStringLiteral("if then else")}},
                 u"IF THEN ELSE"}),
    vb::test::CaseName{});

TEST(EvalConditional, WithoutFillTakesTheTextAsItIs) {
    EXPECT_EQ(EvalConditional(QStringLiteral("IF 2 > 1 THEN on ELSE off")), QStringLiteral("ON"));
}

TEST(EvalConditional, ErrorsOfTheConditionPassThrough) {
    for (const char16_t* expression :
         {u"IF 1 / 0 = 1 THEN A ELSE B", u"IF A B = 1 THEN A ELSE B", u"IF A THEN B"}) {
        EXPECT_THROW(EvalConditional(QString::fromUtf16(expression)), vb::RuntimeError)
            << QString::fromUtf16(expression).toStdString();
    }
}

TEST(EvalConditional, FillsOnlyThePartItReturns) {
    QStringList filled;
    const TemplateFill fill = [&](const QString& piece) {
        filled.append(piece);
        return piece;
    };
    EXPECT_EQ(EvalConditional(QStringLiteral("IF 1 = 2 THEN a ELSE b"), fill), QStringLiteral("B"));
    EXPECT_EQ(filled, (QStringList{QStringLiteral(" 1 = 2 "), QStringLiteral(" b")}));
}

} // namespace
} // namespace quibo
