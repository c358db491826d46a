#include "UserFiles.h"

#include <QDir>
#include <QStandardPaths>

namespace zukaro {

std::unique_ptr<QSettings> rememberedColumns() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("columns.ini")),
                                       QSettings::IniFormat);
}

QString productMasterPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("products.sqlite"));
}

}  // namespace zukaro
