#pragma once

#include <functional>

#include "CommandLine.h"
#include "ProductRow.h"
#include "SourceTable.h"

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

// A product list file read row by row, as every command that takes a list reads it (the
// table of a long list is never held whole): each product handed to `keep`, what reading
// it had to say into `problems`. A file that is no product list (a register's sales journal,
// /etc/passwd) is refused, saying what one is. A sale's day written without its year (12/8) is
// in the year of `printDay` (null: today).
SourceResult readListFile(const QString& path, const std::function<void(ProductRow&&)>& keep,
                          ProductList& problems, const QDate& printDay = {});

}  // namespace zukaro
