#pragma once

#include "CommandLine.h"

namespace zukaro {

// Process exit codes of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // not a label data file, nothing written or printed
inline constexpr int kExitUsage = 2;

// Runs everything that needs no window: help, version, usage errors and the batch
// commands. The batch commands create their own application on the offscreen platform
// (unless QT_QPA_PLATFORM names another), so they run without a display. Returns the exit
// code.
int runCommandLine(const CommandLine& command, int& argc, char** argv);

}  // namespace zukaro
