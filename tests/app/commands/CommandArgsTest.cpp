#include "app/commands/CommandArgs.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(CommandArgsTest, ArgumentsAreCountedFromOneAndMissingOnesAreEmpty) {
    const CommandArgs args = CommandArgs::FromProcessArguments(
        {QStringLiteral("/opt/quibo/quibo"), QStringLiteral("XLS"), QStringLiteral("C:/My Books/a b.xls"),
         QString(), QStringLiteral("LEDGERS")});
    EXPECT_EQ(args.GetCommandArgCount(), 4);
    EXPECT_EQ(args.GetCommandArg(1), QStringLiteral("XLS"));
    EXPECT_EQ(args.GetCommandArg(2),
              QStringLiteral("C:/My Books/a b.xls")); // blanks stay inside one argument
    EXPECT_EQ(args.GetCommandArg(3), QString());      // an empty argument keeps the numbering
    EXPECT_EQ(args.GetCommandArg(4), QStringLiteral("LEDGERS"));
    EXPECT_EQ(args.GetCommandArg(5), QString());
    EXPECT_EQ(args.GetCommandArg(0), QString());
    EXPECT_EQ(args.GetCommandArg(-3), QString());
}

TEST(CommandArgsTest, NoArgumentsCountZero) {
    const CommandArgs args = CommandArgs::FromProcessArguments({QStringLiteral("quibo")});
    EXPECT_EQ(args.GetCommandArgCount(), 0);
    EXPECT_EQ(args.GetCommandArg(1), QString());
}

} // namespace
} // namespace quibo
