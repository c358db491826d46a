#include "UserFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zukaro {
namespace {

const QString kAddressKey = QStringLiteral("master/address");

QString configFile(const QString& name) {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(name);
}

QString masterPathIn(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral("products.sqlite"));
}

IniFile masterSettings() {
    return openIniFile(configFile(QStringLiteral("master.ini")));
}

// The saved address, or the reason master.ini cannot be read.
QString savedAddress(QString& error) {
    const IniFile settings = masterSettings();
    error = settings.error;
    return settings.settings ? settings.settings->value(kAddressKey).toString().trimmed()
                             : QString();
}

}  // namespace

IniFile rememberedColumns() {
    return openIniFile(configFile(QStringLiteral("columns.ini")));
}

QString productMasterPath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return masterPathIn(folder);
}

QString savedMasterAddress() {
    QString error;
    return savedAddress(error);
}

QString saveMasterAddress(const QString& address) {
    const QString path = configFile(QStringLiteral("master.ini"));
    const QString failed = QStringLiteral("商品マスタの接続先を「%1」に保存できませんでした。")
                               .arg(QDir::toNativeSeparators(path));
    const IniFile file = masterSettings();
    if (!file.settings) {
        return failed + file.error;
    }
    QSettings& settings = *file.settings;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (address.trimmed().isEmpty()) {
        settings.remove(kAddressKey);
    } else {
        settings.setValue(kAddressKey, address.trimmed());
    }
    settings.sync();
    return settings.status() == QSettings::NoError ? QString() : failed;
}

MasterLocationResult chosenMaster(const QString& commandLineAddress) {
    QString error;
    const QString address = commandLineAddress.isEmpty() ? savedAddress(error) : commandLineAddress;
    if (!error.isEmpty()) {
        return {std::nullopt, QStringLiteral("商品マスタの接続先を読めません。") + error};
    }
    if (address.isEmpty()) {
        return {MasterLocation::sqlite(productMasterPath()), {}};
    }
    return parseMasterLocation(address);
}

std::vector<OwnFile> ownFiles(const QString& commandLineAddress) {
    std::vector<OwnFile> files;
    const QString master = QStringLiteral("商品マスタ");
    QStringList masters{
        masterPathIn(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))};
    if (const MasterLocationResult chosen = chosenMaster(commandLineAddress);
        chosen.location && !chosen.location->isPostgres()) {
        masters.prepend(chosen.location->path);
    }
    for (const QString& path : masters) {
        for (const char* journal : {"", "-journal", "-wal", "-shm"}) {
            files.push_back({path + QLatin1String(journal), master});
        }
    }
    files.push_back(
        {configFile(QStringLiteral("master.ini")), QStringLiteral("商品マスターの接続先の設定")});
    files.push_back(
        {configFile(QStringLiteral("columns.ini")), QStringLiteral("覚えた列の割り当て")});
    files.push_back({configFile(kListSettingsFile), QStringLiteral("商品リストの設定")});
    files.push_back({configFile(kWindowPlaceFile), QStringLiteral("画面の位置の設定")});
    return files;
}

}  // namespace zukaro
