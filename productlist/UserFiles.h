#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace zukaro {

// The column mappings remembered per header: columns.ini in the user's configuration folder,
// beside a per-user data.txt.
std::unique_ptr<QSettings> rememberedColumns();

// The product master's database in the user's data folder (products.sqlite).
QString productMasterPath();

}  // namespace zukaro
