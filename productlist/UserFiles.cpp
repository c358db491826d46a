#include "UserFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zukaro {
namespace {

const QString kAddressKey = QStringLiteral("master/address");

std::unique_ptr<QSettings> masterSettings() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return std::make_unique<QSettings>(QDir(folder).filePath(QStringLiteral("master.ini")),
                                       QSettings::IniFormat);
}

}  // namespace

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

QString savedMasterAddress() {
    return masterSettings()->value(kAddressKey).toString().trimmed();
}

QString saveMasterAddress(const QString& address) {
    const std::unique_ptr<QSettings> settings = masterSettings();
    QDir().mkpath(QFileInfo(settings->fileName()).absolutePath());
    if (address.trimmed().isEmpty()) {
        settings->remove(kAddressKey);
    } else {
        settings->setValue(kAddressKey, address.trimmed());
    }
    settings->sync();
    if (settings->status() != QSettings::NoError) {
        return QStringLiteral("商品マスタの接続先を「%1」に保存できませんでした。")
            .arg(QDir::toNativeSeparators(settings->fileName()));
    }
    return {};
}

MasterLocationResult chosenMaster(const QString& commandLineAddress) {
    const QString address =
        commandLineAddress.isEmpty() ? savedMasterAddress() : commandLineAddress;
    if (address.isEmpty()) {
        return {MasterLocation::sqlite(productMasterPath()), {}};
    }
    return parseMasterLocation(address);
}

}  // namespace zukaro
