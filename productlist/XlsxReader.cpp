#include "XlsxReader.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <QDir>

#include "XlsxParts.h"

namespace zukaro {

namespace {

const QString kWorkbook = QStringLiteral("xl/workbook.xml");
const QString kWorkbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");
const QString kFirstSheetFallback = QStringLiteral("xl/worksheets/sheet1.xml");
const QString kSharedStringsFallback = QStringLiteral("xl/sharedStrings.xml");

struct Part {
    bool found = false;
    QByteArray bytes;
    QString error;  // why a part that is there could not be read
};

Part readPart(QuaZip& zip, const QString& path) {
    Part part;
    if (!zip.setCurrentFile(path, QuaZip::csInsensitive)) {
        return part;
    }
    part.found = true;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        part.error = QStringLiteral("%1 を開けません（zip のエラー %2）。")
                         .arg(path)
                         .arg(file.getZipError());
        return part;
    }
    // The size in the zip's directory may lie; count what actually comes out.
    char chunk[65536];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        part.bytes.append(chunk, got);
        if (part.bytes.size() > kMaxXlsxPartSize) {
            part.error = QStringLiteral("%1 が大きすぎます（%2 バイトまで）。")
                             .arg(path)
                             .arg(kMaxXlsxPartSize);
            return part;
        }
    }
    file.close();
    if (got < 0 || file.getZipError() != UNZ_OK) {
        part.error = QStringLiteral("%1 が壊れています（zip のエラー %2）。")
                         .arg(path)
                         .arg(file.getZipError());
    }
    return part;
}

QString targetOf(const xlsx::Relationships& rels, const QString& id) {
    for (const xlsx::Relationship& r : rels.list) {
        if (r.id == id) {
            return r.target;
        }
    }
    return {};
}

QString targetOfType(const xlsx::Relationships& rels, QStringView typeEnd) {
    for (const xlsx::Relationship& r : rels.list) {
        if (r.type.endsWith(typeEnd)) {
            return r.target;
        }
    }
    return {};
}

}  // namespace

SourceResult readXlsx(QByteArrayView bytes, const QString& name) {
    SourceResult result;
    result.format = QStringLiteral("xlsx");
    const QString shown = QDir::toNativeSeparators(name);
    const auto fail = [&](const QString& reason) {
        result.error = QStringLiteral("「%1」を Excel のブック (.xlsx) として読めません。%2")
                           .arg(shown, reason);
        return result;
    };

    QByteArray data = bytes.toByteArray();
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip)) {
        return fail(QStringLiteral("zip として開けません（壊れているようです）。"));
    }

    // Missing or unreadable workbook parts only lose the way to the sheet: fall back.
    const Part rels = readPart(zip, kWorkbookRels);
    const xlsx::Relationships relationships =
        rels.error.isEmpty() ? xlsx::parseRelationships(rels.bytes, QStringLiteral("xl"))
                             : xlsx::Relationships{};
    QString sheetPath;
    if (const Part workbook = readPart(zip, kWorkbook); workbook.error.isEmpty()) {
        sheetPath = targetOf(relationships, xlsx::firstSheetRelationship(workbook.bytes));
    }
    Part sheet;
    if (!sheetPath.isEmpty()) {
        sheet = readPart(zip, sheetPath);
    }
    if (!sheet.found) {
        sheetPath = kFirstSheetFallback;
        sheet = readPart(zip, sheetPath);
    }
    if (!sheet.found) {
        return fail(QStringLiteral("ワークシートが見つかりません。"));
    }
    if (!sheet.error.isEmpty()) {
        return fail(sheet.error);
    }

    QString sharedPath = targetOfType(relationships, u"/sharedStrings");
    if (sharedPath.isEmpty()) {
        sharedPath = kSharedStringsFallback;
    }
    const Part shared = readPart(zip, sharedPath);
    if (!shared.error.isEmpty()) {
        return fail(shared.error);
    }
    xlsx::SharedStrings strings;
    if (shared.found) {
        strings = xlsx::parseSharedStrings(shared.bytes);
        if (!strings.error.isEmpty()) {
            return fail(QStringLiteral("%1 を読めません（%2）。").arg(sharedPath, strings.error));
        }
    }

    const QString sheetError = xlsx::parseSheet(sheet.bytes, strings.strings, result.table);
    if (!sheetError.isEmpty()) {
        result.table = {};
        return fail(QStringLiteral("%1 を読めません（%2）。").arg(sheetPath, sheetError));
    }
    result.ok = true;
    return result;
}

}  // namespace zukaro
