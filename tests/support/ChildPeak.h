#pragma once

#include <cstdio>

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

} // namespace quibo::test
