#include "sources/backends/ChildProcess.h"

#include <QtEndian>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quibo {

namespace {

constexpr qsizetype HeaderSize = sizeof(quint64);

bool WriteAll(int fd, const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

[[noreturn]] void RunChild(int fd, const std::function<QByteArray()>& work) {
    // A crash handler the program installed must not run for the child's fault: the signal ends it.
    for (const int signal : {SIGSEGV, SIGBUS, SIGABRT, SIGFPE, SIGILL})
        std::signal(signal, SIG_DFL);
    int status = 1;
    try {
        const QByteArray result = work();
        // The size first, so that a result cut short is told from a whole one.
        char header[HeaderSize];
        qToLittleEndian(static_cast<quint64>(result.size()), header);
        if (WriteAll(fd, header, HeaderSize) && WriteAll(fd, result.constData(), result.size())) status = 0;
    } catch (...) {
    }
    // _exit, not exit: the parent's atexit handlers and stdio buffers are not the child's to run.
    ::_exit(status);
}

} // namespace

std::optional<QByteArray> RunInChild(const std::function<QByteArray()>& work) {
    int fds[2];
    // Close-on-exec, so that a program another thread starts meanwhile holds no end open.
    if (::pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(fds[0]);
        ::close(fds[1]);
        return std::nullopt;
    }
    if (pid == 0) {
        ::close(fds[0]);
        RunChild(fds[1], work);
    }
    ::close(fds[1]);

    // Read to the end before waiting: a big result fills the pipe and the child waits on it.
    QByteArray received;
    bool readFailed = false;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            readFailed = true;
            break;
        }
    }
    ::close(fds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return std::nullopt;
    }
    if (readFailed || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    if (received.size() < HeaderSize || qFromLittleEndian<quint64>(received.constData()) !=
                                            static_cast<quint64>(received.size() - HeaderSize))
        return std::nullopt;
    received.remove(0, HeaderSize);
    return received;
}

} // namespace quibo
