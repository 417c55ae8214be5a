#pragma once

#include <cstdio>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quibo::test {

// What reading a table costs at its peak, measured in a child process whose peak resident size is its
// own: `open()` makes the source, then `read(source)` reads and says whether the table came out right.
// The child starts with its parent's peak, so the peak is first brought down to what it holds now.
// 0 when it did and the peak grew by at most `limitKiB` while it read, 1 when the table read wrong, 2
// when the peak passed the limit, -1 when the child did not end by itself.
template <class Open, class Read> int ReadInChild(long limitKiB, Open open, Read read) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        auto source = open();
        if (std::FILE* refs = std::fopen("/proc/self/clear_refs", "w")) {
            std::fputs("5", refs); // the peak resident size starts again from the present one
            std::fclose(refs);
        }
        rusage before{};
        ::getrusage(RUSAGE_SELF, &before);
        const bool right = read(source);
        rusage after{};
        ::getrusage(RUSAGE_SELF, &after);
        ::_exit(!right ? 1 : after.ru_maxrss - before.ru_maxrss <= limitKiB ? 0 : 2);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The resident size, in KiB, of this process now.
inline long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// What a step leaves resident once it is over, measured in a child process, whose heap the step can
// change without the test's: `prepare()` runs first and makes what the step works on, then the
// resident size is taken, `step(state)` runs and says whether it went as meant, and the resident
// size is taken again. The growth in KiB (less than 0 when the step gave memory back), or
// `StepWentWrong` when it did not go as meant, or `ChildFailed` when the child did not end by itself.
inline constexpr long StepWentWrong = -(1L << 40);
inline constexpr long ChildFailed = -(1L << 41);
template <class Prepare, class Step> long ResidueInChild(Prepare prepare, Step step) {
    int channel[2];
    if (::pipe(channel) != 0) return ChildFailed;
    const pid_t child = ::fork();
    if (child < 0) return ChildFailed;
    if (child == 0) {
        ::close(channel[0]);
        auto state = prepare();
        const long before = ResidentKiB();
        const bool right = step(state);
        const long growth = right ? ResidentKiB() - before : StepWentWrong;
        const bool written = ::write(channel[1], &growth, sizeof growth) == sizeof growth;
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    long growth = ChildFailed;
    if (::read(channel[0], &growth, sizeof growth) != sizeof growth) growth = ChildFailed;
    ::close(channel[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ChildFailed;
    return growth;
}

} // namespace quibo::test
