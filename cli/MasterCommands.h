#pragma once

#include <QTextStream>

#include "CommandLine.h"

namespace zukaro {

// The product master from the command line, without a window (a chain's head office can run
// them from cron): --import-list puts a list into the master, --master-import-from copies an
// SQLite master into the one in use (a shop moving onto the chain's server). The master is
// --master's, else the one chosen in 商品マスター. One line on stdout says what was done; what
// the list would change (新規, 売価が変わる, 変更なし), rows left out and every failure go to
// stderr. A product whose stored price came from a newer list than this one (by the list
// file's time) is left out and told, unless --replace-newer. Returns the exit code.
int importListIntoMaster(const CommandLine& command, QTextStream& out, QTextStream& err);
int copyMasterFrom(const CommandLine& command, QTextStream& out, QTextStream& err);

// A list is not read without the columns the user chose for its header (a list read by guess
// could take a price for a count): what is said when columns.ini cannot be read.
QString columnsRefused(const QString& why);

}  // namespace zukaro
