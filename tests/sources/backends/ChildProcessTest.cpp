// A child process's result comes back whole, or not at all: a child that is killed, exits with a
// failure or throws gives nothing, and the caller lives on.

#include "sources/backends/ChildProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include <unistd.h>

namespace quibo {
namespace {

struct ChildCase {
    const char* name;
    std::function<QByteArray()> work;
    std::optional<QByteArray> result;
};

class ChildProcess : public ::testing::TestWithParam<ChildCase> {};

TEST_P(ChildProcess, GivesTheWholeResultOrNone) {
    EXPECT_EQ(RunInChild(GetParam().work), GetParam().result);
}

// Far more than a pipe holds, so the child waits until it is read.
const QByteArray Big = QByteArray(3 << 20, 'x') + QByteArray("end");

INSTANTIATE_TEST_SUITE_P(
    Results, ChildProcess,
    ::testing::Values(ChildCase{"Empty", [] { return QByteArray(); }, QByteArray()},
                      ChildCase{"Big", [] { return Big; }, Big},
                      ChildCase{"Crashed",
                                [] {
                                    std::raise(SIGSEGV);
                                    return QByteArray("x");
                                },
                                std::nullopt},
                      ChildCase{"Aborted", []() -> QByteArray { std::abort(); }, std::nullopt},
                      ChildCase{"Failed", []() -> QByteArray { ::_exit(3); }, std::nullopt},
                      ChildCase{"Threw", []() -> QByteArray { throw std::runtime_error("no"); },
                                std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace quibo
