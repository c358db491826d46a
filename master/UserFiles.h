#pragma once

#include <QString>
#include <vector>

#include "IniFile.h"
#include "MasterLocation.h"

namespace zukaro {

// The names of the .ini files the windows keep in the user's configuration folder: the list
// window's next start position and the editor's size and place.
inline const QString kListSettingsFile = QStringLiteral("list.ini");
inline const QString kWindowPlaceFile = QStringLiteral("window.ini");

// The column mappings remembered per header: columns.ini in the user's configuration folder,
// beside a per-user data.txt. Refused, with the reason, when something other than a regular
// file stands there (IniFile.h).
IniFile rememberedColumns();

// The product master's database in the user's data folder (products.sqlite).
QString productMasterPath();

// The master chosen in 「商品マスター」: its address in master.ini in the user's configuration
// folder; empty when none was chosen (the SQLite file above), or master.ini cannot be read.
QString savedMasterAddress();
// Keeps the address (empty: back to the SQLite file); a Japanese error naming the file when it
// cannot be written. A password is never kept: the address has none (parseMasterLocation).
QString saveMasterAddress(const QString& address);
// The master to use: the command line's --master when given, else the saved one, else the
// SQLite file of this computer. An error naming master.ini when it cannot be read.
MasterLocationResult chosenMaster(const QString& commandLineAddress = {});

// One of the files the program keeps for itself, and how a message calls it.
struct OwnFile {
    QString path;
    QString what;  // 「商品マスタ」, 「覚えた列の割り当て」, ...
};
// The product master's files (the SQLite file of `commandLineAddress` or master.ini, and this
// computer's products.sqlite, each with SQLite's journal files beside it) and the .ini files:
// what an output must never replace. data.txt and printing.json are layout/'s.
std::vector<OwnFile> ownFiles(const QString& commandLineAddress = {});

}  // namespace zukaro
