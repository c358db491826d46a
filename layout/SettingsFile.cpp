#include "SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "BuiltInValues.h"
#include "Cp932.h"
#include "FieldReader.h"
#include "FieldWriter.h"
#include "SettingsBlock.h"

namespace zukaro {

namespace {

const QString kFileName = QStringLiteral("data.txt");

}  // namespace

SettingsLocations SettingsLocations::standard() {
    return {QCoreApplication::applicationDirPath(),
            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)};
}

QString SettingsLocations::programFile() const {
    return QDir(programDir).filePath(kFileName);
}

QString SettingsLocations::userFile() const {
    return QDir(userDir).filePath(kFileName);
}

SettingsLoad readSettingsData(QByteArrayView bytes) {
    SettingsLoad load;
    applyFirstStartValues(load.layout);
    const cp932::Decoded decoded = cp932::decode(bytes);
    load.invalidBytes = decoded.invalidBytes;
    FieldReader reader(decoded.text);
    load.skippedFields = readSettingsBlock(reader, load.layout);
    const LinesAfterBlock after = readLinesAfterBlock(reader, load.layout);
    load.skippedFields += after.skipped;
    load.skippedLines = after.lines;
    load.moreSkippedLines = after.moreLines;
    return load;
}

QStringList SettingsLoad::warnings() const {
    QStringList lines;
    if (!error.isEmpty()) {
        lines << error;
    }
    if (skippedFields > 0) {
        lines << QStringLiteral(
                     "%1 項目が足りないか読めない値だったため、その設定は初期値のままです。")
                     .arg(skippedFields);
    }
    for (const SkippedLine& skipped : skippedLines) {
        lines << skipped.text();
    }
    if (moreSkippedLines > 0) {
        lines << moreSkippedLinesText(moreSkippedLines);
    }
    if (invalidBytes > 0) {
        lines << QStringLiteral("シフトJISとして読めないバイトが %1 個ありました。")
                     .arg(invalidBytes);
    }
    return lines;
}

SettingsLoad loadSettings(const SettingsLocations& locations) {
    QString path;
    if (!locations.userDir.isEmpty() && QFileInfo::exists(locations.userFile())) {
        path = locations.userFile();
    } else if (QFileInfo::exists(locations.programFile())) {
        path = locations.programFile();
    }
    if (path.isEmpty()) {
        SettingsLoad load;
        applyNewUserValues(load.layout);
        return load;
    }
    const ReadResult read = readFileBounded(path);
    SettingsLoad load;
    if (read.ok()) {
        load = readSettingsData(read.bytes);
    } else {
        applyFirstStartValues(load.layout);
        load.error = read.error;
    }
    load.path = path;
    return load;
}

QByteArray settingsBytes(const Layout& layout) {
    FieldWriter writer;
    writeSettingsBlock(writer, layout);
    writeLinesAfterBlock(writer, layout);
    return cp932::encode(writer.result()).bytes;
}

FileResult saveSettings(const SettingsLocations& locations, const Layout& layout,
                        UnencodablePolicy policy, FileSystem& fs) {
    const bool userCopyExists =
        !locations.userDir.isEmpty() && QFileInfo::exists(locations.userFile());
    const QString firstTarget = userCopyExists ? locations.userFile() : locations.programFile();

    if (policy == UnencodablePolicy::Refuse) {
        const std::vector<UnencodableText> found = findUnencodable(layout);
        if (!found.empty()) {
            return unencodableRefusal(firstTarget, found);
        }
    }
    const QByteArray bytes = settingsBytes(layout);

    const FileResult first = writeFileAtomically(firstTarget, bytes, fs);
    if (first.ok || userCopyExists || locations.userDir.isEmpty()) {
        return first;
    }
    QDir().mkpath(locations.userDir);
    const FileResult second = writeFileAtomically(locations.userFile(), bytes, fs);
    if (second.ok) {
        return second;
    }
    return {false, locations.userFile(), first.error + u'\n' + second.error};
}

}  // namespace zukaro
