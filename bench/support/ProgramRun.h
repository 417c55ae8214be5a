#pragma once

// What the benchmarks that run the program itself share: a scratch folder for the generated sources
// and the program's home, the generator scripts, the run of the program as a child process with
// its own clock and CPU, and the CPU of the benchmark's own thread.

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

namespace quibo::bench {

inline QTemporaryDir* Folder() {
    static QTemporaryDir dir;
    return &dir;
}

// Runs a generator script with /usr/bin/python3 (the Debian one, which has xlwt) into the folder.
inline bool Generate(const QString& script, const QStringList& arguments) {
    QProcess python;
    python.setProcessChannelMode(QProcess::ForwardedChannels);
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{script, Folder()->path()} + arguments);
    return python.waitForFinished(-1) && python.exitStatus() == QProcess::NormalExit &&
           python.exitCode() == 0;
}

inline double Seconds(const timeval& t) {
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

inline double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

struct ChildRun {
    bool ok = false; // ended with status 0
    double wallSeconds = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
};

// Runs the program with the arguments in a private environment (home in the scratch folder, no
// display) and waits for it; CPU and peak memory are the child's own.
inline ChildRun RunProgram(const std::vector<std::string>& arguments) {
    const std::string home = Folder()->filePath(QStringLiteral("home")).toStdString();
    std::vector<std::string> environment = {"QT_QPA_PLATFORM=offscreen", "QUIBO20_HOME=" + home,
                                            "XDG_CONFIG_HOME=" + home + "/config",
                                            "XDG_RUNTIME_DIR=" + home + "/runtime", "HOME=" + home};
    if (const char* path = std::getenv("PATH")) environment.push_back(std::string("PATH=") + path);
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : environment)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return run;
    run.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakMiB = double(usage.ru_maxrss) / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The report lines that say CREATED: one per master or voucher posted; -1 without a report.
inline int CreatedInReport(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    return int(file.readAll().count("CREATED"));
}

} // namespace quibo::bench
