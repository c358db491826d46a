#include "PrintingSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <cmath>
#include <functional>

#include "ShownText.h"

namespace zukaro {
namespace {

const QString kFileName = QStringLiteral("printing.json");
const QString kDamagedSuffix = QStringLiteral(".damaged");
const QString kShiftKey = QStringLiteral("sheetShift");
const QString kPrintersKey = QStringLiteral("printers");

// Hand edits are trusted this far: the sheet on an A4 page, a printer within 5 %.
constexpr double kLargestShift = 300;  // mm
constexpr double kLargestOffset = 50;  // mm
constexpr double kLargestScaleError = 0.05;

std::optional<double> number(const QJsonObject& object, const QString& key, double limit,
                             double centre = 0) {
    const QJsonValue value = object.value(key);
    if (!value.isDouble() || !std::isfinite(value.toDouble()) ||
        std::abs(value.toDouble() - centre) > limit) {
        return std::nullopt;
    }
    return value.toDouble();
}

std::optional<SheetOrigin> readShift(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const auto x = number(object, QStringLiteral("x"), kLargestShift);
    const auto y = number(object, QStringLiteral("y"), kLargestShift);
    if (!x || !y) {
        return std::nullopt;
    }
    return SheetOrigin{*x, *y};
}

std::optional<StoredCalibration> readCalibration(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    const auto ox = number(object, QStringLiteral("offsetX"), kLargestOffset);
    const auto oy = number(object, QStringLiteral("offsetY"), kLargestOffset);
    const auto sx = number(object, QStringLiteral("scaleX"), kLargestScaleError, 1);
    const auto sy = number(object, QStringLiteral("scaleY"), kLargestScaleError, 1);
    if (!ox || !oy || !sx || !sy) {
        return std::nullopt;
    }
    return StoredCalibration{{*ox, *oy, *sx, *sy},
                             object.value(QStringLiteral("measured")).toString()};
}

QJsonObject toJson(const StoredCalibration& stored) {
    const PrinterCalibration& c = stored.calibration;
    return {{QStringLiteral("offsetX"), c.offsetX},
            {QStringLiteral("offsetY"), c.offsetY},
            {QStringLiteral("scaleX"), c.scaleX},
            {QStringLiteral("scaleY"), c.scaleY},
            {QStringLiteral("measured"), stored.measured}};
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The file as a JSON object; an empty one when there is no file.
struct Parsed {
    QJsonObject root;
    bool exists = false;
    bool readable = true;  // false: a folder, pipe, oversized or unreadable file
    QByteArray bytes;
    QString error;  // the file exists but is no JSON object (or could not be read)
};

// What Qt's JSON reader found, in our words; its own follow them.
QString jsonProblem(QJsonParseError::ParseError error) {
    switch (error) {
        case QJsonParseError::IllegalNumber:
            return QStringLiteral("数の書き方が正しくありません");
        case QJsonParseError::UnterminatedString:
        case QJsonParseError::UnterminatedObject:
        case QJsonParseError::UnterminatedArray:
            return QStringLiteral("途中で終わっています");
        case QJsonParseError::IllegalValue:
            return QStringLiteral("値の書き方が正しくありません");
        case QJsonParseError::MissingNameSeparator:
        case QJsonParseError::MissingValueSeparator:
        case QJsonParseError::MissingObject:
            return QStringLiteral("区切りの「:」か「,」が足りません");
        case QJsonParseError::IllegalEscapeSequence:
        case QJsonParseError::IllegalUTF8String:
            return QStringLiteral("文字の書き方が正しくありません");
        case QJsonParseError::DeepNesting:
            return QStringLiteral("入れ子が深すぎます");
        case QJsonParseError::DocumentTooLarge:
            return QStringLiteral("大きすぎます");
        case QJsonParseError::GarbageAtEnd:
            return QStringLiteral("設定の後ろに余計なものがあります");
        default:
            return QStringLiteral("書き方が正しくありません");
    }
}

Parsed parse(const QString& path) {
    Parsed parsed;
    const ReadResult read = readFileBounded(path);
    if (read.status == ReadResult::Status::Missing) {
        return parsed;
    }
    parsed.exists = true;
    if (!read.ok()) {
        parsed.readable = false;
        parsed.error = read.error;
        return parsed;
    }
    parsed.bytes = read.bytes;
    QJsonParseError problem{};
    const QJsonDocument document = QJsonDocument::fromJson(read.bytes, &problem);
    if (problem.error != QJsonParseError::NoError) {
        parsed.error =
            QStringLiteral("「%1」は %2 バイト目から JSON として読めません（%3。原文: %4）。")
                .arg(shown(path))
                .arg(problem.offset + 1)
                .arg(jsonProblem(problem.error), problem.errorString());
    } else if (!document.isObject()) {
        parsed.error =
            QStringLiteral("「%1」の中身が { } で囲まれた設定ではありません。").arg(shown(path));
    } else {
        parsed.root = document.object();
    }
    return parsed;
}

FileResult change(const QString& folder, const std::function<void(QJsonObject&)>& edit) {
    if (folder.isEmpty()) {
        return {false, {}, QStringLiteral("設定フォルダーが決まっていないため、保存できません。")};
    }
    const QString path = printingSettingsPath(folder);
    if (!QDir().mkpath(folder)) {
        return {false, path,
                QStringLiteral("設定フォルダー「%1」を作れませんでした。").arg(shown(folder))};
    }
    Parsed parsed = parse(path);
    if (!parsed.readable) {
        return {false, path, parsed.error};  // what cannot be read is not written over either
    }
    if (!parsed.error.isEmpty()) {
        // What cannot be read is kept beside, never thrown away.
        const FileResult kept = writeFileAtomically(path + kDamagedSuffix, parsed.bytes);
        if (!kept.ok) {
            return kept;
        }
        parsed.root = {};
    }
    edit(parsed.root);
    return writeFileAtomically(path, QJsonDocument(parsed.root).toJson(QJsonDocument::Indented));
}

}  // namespace

PrinterCalibration PrintingSettings::calibrationFor(const QString& printer) const {
    const auto found = calibrations.find(printer);
    return found == calibrations.end() ? PrinterCalibration{} : found->second.calibration;
}

QString printingSettingsPath(const QString& folder) {
    return QDir(folder).filePath(kFileName);
}

PrintingSettingsLoad loadPrintingSettings(const QString& folder) {
    PrintingSettingsLoad load;
    if (folder.isEmpty()) {
        return load;
    }
    load.path = printingSettingsPath(folder);
    const Parsed parsed = parse(load.path);
    if (!parsed.error.isEmpty()) {
        load.error = parsed.error +
                     QStringLiteral("用紙の位置と印刷位置の調整は、ないものとして印刷します。");
        if (parsed.readable) {
            load.error += QStringLiteral("次に保存するとき、今のファイルは「%1」として残します。")
                              .arg(QFileInfo(load.path + kDamagedSuffix).fileName());
        }
        return load;
    }
    QStringList skipped;
    if (parsed.root.contains(kShiftKey)) {
        load.settings.sheetShift = readShift(parsed.root.value(kShiftKey));
        if (!load.settings.sheetShift) {
            skipped << QStringLiteral("用紙の位置");
        }
    }
    const QJsonObject printers = parsed.root.value(kPrintersKey).toObject();
    for (auto it = printers.begin(); it != printers.end(); ++it) {
        if (const auto stored = readCalibration(it.value())) {
            load.settings.calibrations[it.key()] = *stored;
        } else {
            // The name as written by hand or by anyone: quoted short, without control characters.
            skipped << QStringLiteral("「%1」の印刷位置の調整").arg(shownText(it.key()));
        }
    }
    if (!skipped.isEmpty()) {
        load.error = QStringLiteral("「%1」の %2 は、値が正しくないため使いません。")
                         .arg(shown(load.path), skipped.join(QStringLiteral("、")));
    }
    return load;
}

FileResult rememberSheetShift(const QString& folder, SheetOrigin shift) {
    return change(folder, [shift](QJsonObject& root) {
        root.insert(kShiftKey,
                    QJsonObject{{QStringLiteral("x"), shift.x}, {QStringLiteral("y"), shift.y}});
    });
}

FileResult storeCalibration(const QString& folder, const QString& printer,
                            const StoredCalibration& stored) {
    return change(folder, [&](QJsonObject& root) {
        QJsonObject printers = root.value(kPrintersKey).toObject();
        printers.insert(printer, toJson(stored));
        root.insert(kPrintersKey, printers);
    });
}

FileResult forgetCalibration(const QString& folder, const QString& printer) {
    return change(folder, [&](QJsonObject& root) {
        QJsonObject printers = root.value(kPrintersKey).toObject();
        printers.remove(printer);
        root.insert(kPrintersKey, printers);
    });
}

SheetState freshStartSheet(const SettingsLocations& settings) {
    SheetState sheet;
    sheet.layout = loadSettings(settings).layout;
    const SheetOrigin shift = loadPrintingSettings(settings.userDir).settings.shiftOrStartUp();
    sheet.sheetX = shift.x;
    sheet.sheetY = shift.y;
    return sheet;
}

}  // namespace zukaro
