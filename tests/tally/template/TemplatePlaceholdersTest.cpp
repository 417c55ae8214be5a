#include "tally/template/TemplatePlaceholders.h"

#include "base/WorkGrid.h"
#include "vb/CaseName.h"

#include <QString>

#include <gtest/gtest.h>

namespace quibo {
namespace {

using Use = PlaceholderUse;

struct FillCase {
    const char* name;
    const char16_t* text;
    Use use;
    const char16_t* expected;
};

class FillTable : public ::testing::TestWithParam<FillCase> {
protected:
    void SetUp() override {
        for (const char* key : {"NAME", "PARENT", "OPENINGBALANCE", "GSTIN", "NOTE", "CODE", "LIMIT"})
            grid.AddColumn(QString::fromLatin1(key), QString::fromLatin1(key));
        grid.AddRow();
        const QStringList cells{QStringLiteral("Smith & Sons"), QStringLiteral("{NOTE}"),
                                QStringLiteral("1500"),         QStringLiteral("  "),
                                QStringLiteral("{NAME}"),       QStringLiteral("12abc"),
                                QStringLiteral("1,25,000")};
        for (int c = 0; c < cells.size(); ++c)
            grid.SetCellText(1, c + 1, cells[c]);
    }
    WorkGrid grid;
};

TEST_P(FillTable, Replaces) {
    EXPECT_EQ(FillPlaceholders(grid, 1, QString::fromUtf16(GetParam().text), GetParam().use, 2, 3),
              QString::fromUtf16(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, FillTable,
    ::testing::Values(
        // "N" texts know only the cell numbers.
        FillCase{"ValueNumber", u"{#3}/{#1}", Use::ValueText, u"1500/Smith & Sons"},
        FillCase{"ValueIgnoresOthers", u"{NAME}{$3}{#REC}{#SET}", Use::ValueText, u"{NAME}{$3}{#REC}{#SET}"},
        FillCase{"ValueEveryOccurrence", u"{#3}{#3}", Use::ValueText, u"15001500"},
        // "C" expressions: keys and cell numbers.
        FillCase{"ExpressionKeyAndNumber", u"{OPENINGBALANCE} + {#3}", Use::Expression, u"1500 + 1500"},
        FillCase{"ExpressionIgnoresOthers", u"{$3} {#REC} {#SET}", Use::Expression, u"{$3} {#REC} {#SET}"},
        FillCase{"ExpressionRawCell", u"{#6}", Use::Expression, u"12abc"},
        FillCase{"KeysAreCaseSensitive", u"{name}", Use::Expression, u"{name}"},
        FillCase{"UnknownKeyStays", u"{ALIAS}", Use::Expression, u"{ALIAS}"},
        FillCase{"LaterColumnReplacedInTurn", u"{PARENT}", Use::Expression, u"{NAME}"},
        FillCase{"LaterColumnOfACellReplacedInTurn", u"{NAME}|{NOTE}", Use::Expression,
                 u"Smith & Sons|{NAME}"},
        // "G" pieces: keys only, escaped for XML.
        FillCase{"PieceKeyEscaped", u"{NAME}", Use::FragmentPiece, u"Smith &amp; Sons"},
        FillCase{"PieceIgnoresNumbers", u"{#3}{$3}{#REC}", Use::FragmentPiece, u"{#3}{$3}{#REC}"},
        // Group conditions: everything; {#k} is the leading number.
        FillCase{"ConditionNumber", u"{#3} > 5000", Use::GroupCondition, u"1500 > 5000"},
        FillCase{"ConditionBlankIsZero", u"{#4}", Use::GroupCondition, u"0"},
        FillCase{"ConditionLeadingNumber", u"{#6}", Use::GroupCondition, u"12"},
        FillCase{"ConditionTextIsZero", u"{#1}", Use::GroupCondition, u"0"},
        FillCase{"ConditionAmountWithGroupingCommas", u"{#7} > 100000", Use::GroupCondition,
                 u"125000 > 100000"},
        FillCase{"ConditionDollarIsTheCell", u"\"{$1}\"", Use::GroupCondition, u"\"Smith & Sons\""},
        FillCase{"ConditionKeyIsTheCell", u"\"{GSTIN}\"", Use::GroupCondition, u"\"  \""},
        FillCase{"ConditionRecordAndSet", u"{#REC}-{#SET}", Use::GroupCondition, u"2-3"}),
    vb::test::CaseName{});

TEST(FillPlaceholders, NumbersInPlainDecimal) {
    WorkGrid grid;
    grid.AddColumn(QStringLiteral("A"), QStringLiteral("A"));
    grid.AddRow();
    grid.SetCellText(1, 1, QStringLiteral(" -0012.50 "));
    EXPECT_EQ(FillPlaceholders(grid, 1, QStringLiteral("{#1}"), Use::GroupCondition),
              QStringLiteral("-12.5"));
}

} // namespace
} // namespace quibo
