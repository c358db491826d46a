#pragma once

#include <QSettings>
#include <QString>
#include <memory>

#include "MasterLocation.h"

namespace zukaro {

// The column mappings remembered per header: columns.ini in the user's configuration folder,
// beside a per-user data.txt.
std::unique_ptr<QSettings> rememberedColumns();

// The product master's database in the user's data folder (products.sqlite).
QString productMasterPath();

// The master chosen in 「商品マスター」: its address in master.ini in the user's configuration
// folder; empty when none was chosen (the SQLite file above).
QString savedMasterAddress();
// Keeps the address (empty: back to the SQLite file); a Japanese error naming the file when it
// cannot be written. A password is never kept: the address has none (parseMasterLocation).
QString saveMasterAddress(const QString& address);
// The master to use: the command line's --master when given, else the saved one, else the
// SQLite file of this computer.
MasterLocationResult chosenMaster(const QString& commandLineAddress = {});

}  // namespace zukaro
