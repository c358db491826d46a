#include "XlsxReader.h"

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <QDir>
#include <functional>

#include "ShownText.h"
#include "XlsxParts.h"

namespace zukaro {

namespace {

const QString kWorkbook = QStringLiteral("xl/workbook.xml");
const QString kWorkbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");
const QString kFirstSheetFallback = QStringLiteral("xl/worksheets/sheet1.xml");
const QString kSharedStringsFallback = QStringLiteral("xl/sharedStrings.xml");

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

// No run of a part this long without a '<': a spreadsheet's cell holds at most 32,767
// characters, and the XML reader would hold such a run whole, twice its size.
constexpr qint64 kMaxRun = 1024 * 1024;

// A part of the zip as it is unpacked, read by the XML reader as it goes, so that a part is
// never held whole: never more than kMaxXlsxPartSize bytes, whatever the zip's directory
// claims, nor a run of more than kMaxRun bytes without a '<'.
class PartDevice : public QIODevice {
public:
    PartDevice(QuaZipFile& file, const QString& path) : file_(file), path_(path) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    // Why the part stopped before its end; empty when it did not.
    const QString& error() const { return error_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (!error_.isEmpty()) {
            return -1;
        }
        const qint64 got = file_.read(data, maxSize);
        if (got < 0) {
            error_ =
                QStringLiteral("%1 が壊れています。%2。").arg(path_, zipError(file_.getZipError()));
            return -1;
        }
        total_ += got;
        if (total_ > kMaxXlsxPartSize) {
            error_ = QStringLiteral("%1 が大きすぎます（展開すると %2 バイトを超えます）。")
                         .arg(path_, countText(kMaxXlsxPartSize));
            return -1;
        }
        for (qint64 i = 0; i < got; ++i) {
            run_ = data[i] == '<' ? 0 : run_ + 1;
            if (run_ > kMaxRun) {
                error_ = QStringLiteral(
                             "%1 には、区切りのないまま %2 バイトを超えて続く文字があります"
                             "（表計算ソフトの一つの欄は 32,767 文字まで）。そのような長さのものは"
                             "読みません。")
                             .arg(path_, countText(kMaxRun));
                return -1;
            }
        }
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QuaZipFile& file_;
    QString path_;
    QString error_;
    qint64 total_ = 0;
    qint64 run_ = 0;
};

// Hands the part at `path` to `read` as it is unpacked, with the size its zip entry claims.
// `found` says whether the zip has it; the result is why it could not be read through (a
// damaged zip, a limit), empty when it could: what `read` made of it then counts.
QString readPart(QuaZip& zip, const QString& path, bool& found,
                 const std::function<void(QIODevice&, qint64)>& read) {
    found = zip.setCurrentFile(path, QuaZip::csInsensitive);
    if (!found) {
        return {};
    }
    QuaZipFile file(&zip);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1 を開けません。%2。").arg(path, zipError(file.getZipError()));
    }
    PartDevice part(file, path);
    read(part, file.usize());
    // To its end, whatever the XML reader left: the zip checks the part's sum there.
    char rest[65536];
    while (part.read(rest, sizeof rest) > 0) {
    }
    file.close();
    if (!part.error().isEmpty()) {
        return part.error();
    }
    if (file.getZipError() != UNZ_OK) {
        return QStringLiteral("%1 が壊れています。%2。").arg(path, zipError(file.getZipError()));
    }
    return {};
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

    QByteArray data = QByteArray::fromRawData(bytes.data(), bytes.size());
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdUnzip)) {
        return fail(QStringLiteral("zip として開けません（壊れているようです）。"));
    }
    const auto cancelled = [&] {
        result = {};
        result.cancelled = true;
        return result;
    };

    // Missing or unreadable workbook parts only lose the way to the sheet: fall back.
    bool found = false;
    xlsx::Relationships relationships;
    if (!readPart(zip, kWorkbookRels, found, [&](QIODevice& part, qint64) {
             relationships = xlsx::parseRelationships(part, QStringLiteral("xl"));
         }).isEmpty()) {
        relationships = {};
    }
    QString sheetPath;
    xlsx::Workbook book;
    if (readPart(zip, kWorkbook, found, [&](QIODevice& part, qint64) {
            book = xlsx::readWorkbook(part);
        }).isEmpty()) {
        sheetPath = targetOf(relationships, book.firstSheet);
    }
    if (sheetPath.isEmpty() || !zip.setCurrentFile(sheetPath, QuaZip::csInsensitive)) {
        sheetPath = kFirstSheetFallback;
        if (!zip.setCurrentFile(sheetPath, QuaZip::csInsensitive)) {
            return fail(QStringLiteral("ワークシートが見つかりません。"));
        }
    }
    if (cancelledBy(progress)) {
        return cancelled();
    }

    QString sharedPath = targetOfType(relationships, u"/sharedStrings");
    if (sharedPath.isEmpty()) {
        sharedPath = kSharedStringsFallback;
    }
    xlsx::SharedStrings strings;
    const QString sharedError = readPart(zip, sharedPath, found, [&](QIODevice& part, qint64) {
        strings = xlsx::parseSharedStrings(part, progress);
    });
    if (cancelledBy(progress)) {
        return cancelled();
    }
    if (!sharedError.isEmpty()) {
        return fail(sharedError);
    }
    if (!strings.error.isEmpty()) {
        return fail(QStringLiteral("%1 を読めません（%2）。").arg(sharedPath, strings.error));
    }

    QString sheetError;
    const QString partError = readPart(zip, sheetPath, found, [&](QIODevice& part, qint64 size) {
        beginStep(progress, QStringLiteral("「%1」を読んでいます").arg(shown), size);
        sheetError = xlsx::parseSheetRows(
            part, strings,
            [&](SourceRow&& row) {
                row.days1904 = book.days1904;
                take(std::move(row));
            },
            progress);
    });
    if (cancelledBy(progress)) {
        return cancelled();
    }
    if (!partError.isEmpty()) {
        return fail(partError);
    }
    if (!sheetError.isEmpty()) {
        return fail(QStringLiteral("%1 を読めません（%2）。").arg(sheetPath, sheetError));
    }
    result.ok = true;
    return result;
}

}  // namespace zukaro
