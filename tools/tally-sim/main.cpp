// quibo-tally-sim: the simulated Tally server as a program, for the demo and for
// end-to-end tests. Options: see CommandLine::usage().

#include "tally-sim/CommandLine.h"
#include "tally-sim/Simulator.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

namespace {

volatile std::sig_atomic_t g_signal = 0;

extern "C" void onStopSignal(int number) {
    g_signal = number;
}

void installSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a client that hangs up must not end the server
}

} // namespace

int main(int argc, char** argv) {
    using quibo::sim::CommandLine;
    const auto commandLine = CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!commandLine.error.empty()) {
        std::cerr << "quibo-tally-sim: " << commandLine.error << "\nTry quibo-tally-sim --help.\n";
        return 2;
    }
    if (commandLine.help) {
        std::cout << CommandLine::usage();
        return 0;
    }
    installSignalHandlers();

    quibo::sim::Simulator simulator(commandLine.options);
    int port = 0;
    try {
        port = simulator.start(commandLine.port);
    } catch (const std::exception& error) {
        std::cerr << "quibo-tally-sim: " << error.what() << '\n';
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << port << std::endl;

    const auto idleLimit = std::chrono::seconds(commandLine.exitAfterIdleS);
    std::string reason;
    while (reason.empty()) {
        if (g_signal == SIGTERM)
            reason = "SIGTERM";
        else if (g_signal == SIGINT)
            reason = "SIGINT";
        else if (commandLine.exitAfterIdleS > 0 && simulator.idleTime() >= idleLimit)
            reason = "idle for " + std::to_string(commandLine.exitAfterIdleS) + " s";
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    simulator.stop();

    int status = 0;
    if (!commandLine.dumpPath.empty()) {
        std::ofstream dump(commandLine.dumpPath, std::ios::binary | std::ios::trunc);
        dump << simulator.dumpAll();
        if (!dump) {
            std::cerr << "quibo-tally-sim: cannot write " << commandLine.dumpPath << '\n';
            status = 1;
        }
    }
    std::cerr << "quibo-tally-sim: stopped (" << reason << ")\n";
    return status;
}
