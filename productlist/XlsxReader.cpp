#include "XlsxReader.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <QDir>

#include "ShownText.h"
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

// What an error number of the zip library means, for the user; the number follows.
QString zipError(int code) {
    QString what;
    switch (code) {
        case UNZ_BADZIPFILE:
            what = QStringLiteral("zip の形が壊れています");
            break;
        case UNZ_CRCERROR:
            what = QStringLiteral("中身が壊れています（チェックサムが合いません）");
            break;
        case Z_DATA_ERROR:
            what = QStringLiteral("圧縮されたデータが壊れています");
            break;
        case Z_MEM_ERROR:
            what = QStringLiteral("メモリが足りません");
            break;
        case UNZ_PARAMERROR:
            what = QStringLiteral("パスワード付きか、この形式の圧縮には対応していません");
            break;
        case UNZ_ERRNO:
            what = QStringLiteral("読み込みでエラーが起きました");
            break;
        default:
            what = QStringLiteral("zip として読めません");
            break;
    }
    return QStringLiteral("%1（zip のエラー %2）").arg(what).arg(code);
}

Part readPart(QuaZip& zip, const QString& path, WorkProgress* progress) {
    Part part;
    if (!zip.setCurrentFile(path, QuaZip::csInsensitive)) {
        return part;
    }
    part.found = true;
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        part.error =
            QStringLiteral("%1 を開けません。%2。").arg(path, zipError(file.getZipError()));
        return part;
    }
    // The size in the zip's directory may lie; count what actually comes out.
    char chunk[65536];
    qint64 got = 0;
    while ((got = file.read(chunk, sizeof chunk)) > 0) {
        part.bytes.append(chunk, got);
        if (part.bytes.size() > kMaxXlsxPartSize) {
            part.error = QStringLiteral("%1 が大きすぎます（展開すると %2 バイトを超えます）。")
                             .arg(path, countText(kMaxXlsxPartSize));
            return part;
        }
        if (cancelledBy(progress)) {
            part.bytes.clear();
            return part;
        }
    }
    file.close();
    if (got < 0 || file.getZipError() != UNZ_OK) {
        part.error =
            QStringLiteral("%1 が壊れています。%2。").arg(path, zipError(file.getZipError()));
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

SourceResult readXlsx(QByteArrayView bytes, const QString& name, WorkProgress* progress) {
    SourceTable table;
    SourceResult result = readXlsxRows(
        bytes, name, [&table](SourceRow&& row) { table.rows.push_back(std::move(row)); }, progress);
    if (result.ok) {
        result.table = std::move(table);
    }
    return result;
}

SourceResult readXlsxRows(QByteArrayView bytes, const QString& name, const RowSink& take,
                          WorkProgress* progress) {
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

    const auto part = [&zip, progress](const QString& path) {
        return readPart(zip, path, progress);
    };
    const auto cancelled = [&] {
        result = {};
        result.cancelled = true;
        return result;
    };

    // Missing or unreadable workbook parts only lose the way to the sheet: fall back.
    const Part rels = part(kWorkbookRels);
    const xlsx::Relationships relationships =
        rels.error.isEmpty() ? xlsx::parseRelationships(rels.bytes, QStringLiteral("xl"))
                             : xlsx::Relationships{};
    QString sheetPath;
    if (const Part workbook = part(kWorkbook); workbook.error.isEmpty()) {
        sheetPath = targetOf(relationships, xlsx::firstSheetRelationship(workbook.bytes));
    }
    Part sheet;
    if (!sheetPath.isEmpty()) {
        sheet = part(sheetPath);
    }
    if (!sheet.found) {
        sheetPath = kFirstSheetFallback;
        sheet = part(sheetPath);
    }
    if (cancelledBy(progress)) {
        return cancelled();
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
    const Part shared = part(sharedPath);
    if (!shared.error.isEmpty()) {
        return fail(shared.error);
    }
    xlsx::SharedStrings strings;
    if (shared.found) {
        strings = xlsx::parseSharedStrings(shared.bytes, progress);
        if (cancelledBy(progress)) {
            return cancelled();
        }
        if (!strings.error.isEmpty()) {
            return fail(QStringLiteral("%1 を読めません（%2）。").arg(sharedPath, strings.error));
        }
    }

    beginStep(progress, QStringLiteral("「%1」を読んでいます").arg(shown), sheet.bytes.size());
    const QString sheetError = xlsx::parseSheetRows(sheet.bytes, strings.strings, take, progress);
    if (cancelledBy(progress)) {
        return cancelled();
    }
    if (!sheetError.isEmpty()) {
        return fail(QStringLiteral("%1 を読めません（%2）。").arg(sheetPath, sheetError));
    }
    result.ok = true;
    return result;
}

}  // namespace zukaro
