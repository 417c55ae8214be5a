#include "app/commands/CommandArgs.h"

#include <gtest/gtest.h>

namespace quibo {
namespace {

TEST(CommandArgsTest, ArgumentsAreCountedFromOneAndMissingOnesAreEmpty) {
    const CommandArgs args = CommandArgs::FromProcessArguments(
        {QStringLiteral("/opt/quibo/quibo"), QStringLiteral("XLS"), QStringLiteral("C:/My Books/a b.xls"),
         QString(), QStringLiteral("LEDGERS")});
    EXPECT_EQ(args.GetCommandArgCount(), 4);
    EXPECT_EQ(args.GetCommandArg(2),
              QStringLiteral("C:/My Books/a b.xls")); // blanks stay inside one argument
    EXPECT_EQ(args.GetCommandArg(3), QString());      // an empty argument keeps the numbering
    EXPECT_EQ(args.GetCommandArg(4), QStringLiteral("LEDGERS"));
    for (int n : {5, 0, -3})
        EXPECT_EQ(args.GetCommandArg(n), QString()) << n;
    EXPECT_EQ(CommandArgs::FromProcessArguments({QStringLiteral("quibo")}).GetCommandArgCount(), 0);
}

} // namespace
} // namespace quibo
