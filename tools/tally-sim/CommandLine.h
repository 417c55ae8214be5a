#pragma once

#include "tally-sim/Simulator.h"

#include <string>
#include <vector>

namespace quibo::sim {

// The options of the quibo-tally-sim executable.
struct CommandLine {
    Options options;
    int port = 0;           // 0: any free port
    int exitAfterIdleS = 0; // 0: run until a signal
    std::string dumpPath;   // the store of every company, written at exit
    bool help = false;
    std::string error; // not empty: the arguments were refused, this says why

    static CommandLine parse(const std::vector<std::string>& arguments);
    static std::string usage();

    // The company a server started without --company holds.
    static inline const std::string DefaultCompany = "Demo Company";
};

} // namespace quibo::sim
