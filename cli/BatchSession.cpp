#include "BatchSession.h"

#include <unistd.h>
#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinterInfo>
#include <cerrno>

#include "CalibrationSheet.h"
#include "CupsJob.h"
#include "JanCompletion.h"
#include "LabelFile.h"
#include "LabelLayout.h"
#include "PreviewSurface.h"
#include "SafeFile.h"
#include "ScratchFile.h"
#include "SheetCommands.h"
#include "SheetRenderer.h"
#include "ShownText.h"
#include "StandardStreams.h"
#include "SystemError.h"
#include "UnattendedDialog.h"

namespace zukaro {
namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

QString availablePrinters() {
    const QStringList names = QPrinterInfo::availablePrinterNames();
    if (names.isEmpty()) {
        return QStringLiteral("使えるプリンターがありません。");
    }
    return QStringLiteral("使えるプリンター: ") + names.join(QStringLiteral("、"));
}

// Binary output on standard output ("-" as the output file).
QString writeStandardOutput(QByteArrayView bytes) {
    if (standardOutputWasClosed()) {
        return QStringLiteral(
            "標準出力が閉じられているため、書き出せません。出力を「-」にするときは、標準出力を"
            "ファイルかパイプにつないでください。");
    }
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(STDOUT_FILENO, data, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return QStringLiteral("標準出力に書き出せませんでした（%1）。")
                .arg(describeSystemError(written < 0 ? errno : EIO));
        }
        data += written;
        left -= written;
    }
    return {};
}

// The printer's file must end as a complete PDF; a full temporary folder cuts it short.
bool endsAsPdf(const QByteArray& bytes) {
    return bytes.right(16).contains("%%EOF");
}

}  // namespace

BatchSession::BatchSession(const SettingsLocations& settings, QTextStream& err) : messages_(err) {
    startUp_.clearAllLabels();
    startUp_.currentLabel = 1;
    const SettingsLoad load = loadSettings(settings);
    startUp_.layout = load.layout;
    if (load.damaged()) {
        messages_.write(shown(load.path) +
                        QStringLiteral(": 一部を読み込めませんでした。読み込めなかった設定は"
                                       "初期値のままです。\n") +
                        load.warnings().join(u'\n'));
    }
    startUp_.fileName = kUntitled;
    startUp_.zoom = 0.5;
    // Where the empty numbered sheet of a start-up puts the sheet (the shift the window's
    // buttons last set); nobody would see it drawn.
    const PrintingSettingsLoad printing = loadPrintingSettings(settings.userDir);
    if (!printing.error.isEmpty()) {
        messages_.write(printing.error);
    }
    printing_ = printing.settings;
    const SheetOrigin shift = printing_.shiftOrStartUp();
    startUp_.sheetX = shift.x;
    startUp_.sheetY = shift.y;
}

bool BatchSession::useCalibrationOf(const QString& printer) {
    if (printing_.calibrations.count(printer) == 0) {
        QStringList kept;
        for (const auto& [name, stored] : printing_.calibrations) {
            kept << name;
        }
        return failed(
            QStringLiteral("印刷"),
            QStringLiteral("プリンター「%1」の印刷位置の調整は保存されていません。\n")
                    .arg(printer) +
                (kept.isEmpty()
                     ? QStringLiteral("調整が保存されたプリンターはありません。")
                     : QStringLiteral("調整のあるプリンター: ") + kept.join(QStringLiteral("、"))));
    }
    pdfPrinter_ = printer;
    calibrationChosen_ = true;
    return true;
}

bool BatchSession::open(const QString& path) {
    SheetState sheet = startUp_;
    const LabelFileReport report = readLabelFile(path, sheet);
    if (!report.opened) {
        messages_.tell(QStringLiteral("エラー"), report.error, MessageIcon::Critical);
        return false;
    }
    sheet.currentLabel = 1;
    sheet.fileName = path;
    if (report.anythingSkipped()) {
        messages_.write(
            shown(path) +
            QStringLiteral(": 一部を読み込めませんでした。読み込めた分だけを使います。\n") +
            report.warnings().join(u'\n'));
    }
    if (pages_.empty()) {
        fileTitle_ = QFileInfo(path).fileName();
    }
    pages_.push_back(std::move(sheet));
    told_.push_back(false);
    return true;
}

void BatchSession::setMadePages(qint64 count, std::function<SheetState(qint64)> page,
                                const QString& title) {
    madeCount_ = count;
    madePage_ = std::move(page);
    fileTitle_ = title;
}

qint64 BatchSession::pageCount() const {
    return madePage_ ? madeCount_ : static_cast<qint64>(pages_.size());
}

bool BatchSession::printed(QPrinter& printer, const PrinterCalibration& calibration,
                           const QString& shownName) {
    // A list's pages are made as they are printed; the files' are there.
    const QString failure = printOn(
        printer, static_cast<std::size_t>(pageCount()),
        [&](draw::DrawTarget& target, std::size_t i) {
            const SheetState page = madePage_ ? madePage_(static_cast<qint64>(i)) : pages_[i];
            drawSheet(page, target, RenderOptions::onPaper(page, calibration));
        },
        shownName);
    if (!failure.isEmpty()) {
        messages_.tell(QStringLiteral("印刷"), failure, MessageIcon::Critical);
        return false;
    }
    reportLabelsWithoutBars();
    reportLabelLayouts();
    return true;
}

void BatchSession::reportLabelLayouts() {
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        if (told_[i]) {
            continue;
        }
        const int page = pages_.size() > 1 ? static_cast<int>(i) + 1 : 0;
        for (const QString& line : reportLines(checkSheet(pages_[i]), page)) {
            messages_.write(line);
        }
    }
}

void BatchSession::reportLabelsWithoutBars() {
    // A script sees on stderr which labels went out without bars; the run still succeeds.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const SheetState& page = pages_[i];
        if (told_[i] || page.BARCODE != caption::shown) {
            continue;
        }
        const QString where =
            pages_.size() > 1 ? QStringLiteral("%1 ページ目の").arg(i + 1) : QString();
        for (int n = 1; n <= kLabelCount; ++n) {
            const QString problem = janBarsProblem(page.janText[n]);
            if (!page.productText[n].isEmpty() && !problem.isEmpty()) {
                messages_.write(
                    QStringLiteral("%1ラベル %2 は JAN コード「%3」のバーコードなしで印刷しました"
                                   "（%4）。")
                        .arg(where)
                        .arg(n)
                        .arg(shownText(page.janText[n]), problem));
            }
        }
    }
}

bool BatchSession::failed(const QString& caption, const QString& message) {
    messages_.tell(caption, message, MessageIcon::Critical);
    return false;
}

bool BatchSession::printPdf(const QString& out, int dpi) {
    const PrinterCalibration calibration = printing_.calibrationFor(pdfPrinter_);
    return writePdf(out, dpi, [&](QPrinter& printer, const QString& shownName) {
        return printed(printer, calibration, shownName);
    });
}

bool BatchSession::printCalibrationSheet(const QString& out, int dpi) {
    CalibrationSheetInfo info;
    info.shift = printing_.shiftOrStartUp();
    info.printer = pdfPrinter_;
    info.date = QDate::currentDate().toString(Qt::ISODate);
    // The sheet to read is never calibrated; the check sheet is, as the printer's sheets are.
    if (calibrationChosen_) {
        info.calibration = printing_.calibrationFor(pdfPrinter_);
    }
    fileTitle_ = QStringLiteral("印刷位置の調整用シート");
    return writePdf(out, dpi, [&](QPrinter& printer, const QString& shownName) {
        const QString failure = printOn(
            printer, 1,
            [&](draw::DrawTarget& target, std::size_t) { drawCalibrationSheet(target, info); },
            shownName);
        return failure.isEmpty() || failed(QStringLiteral("印刷"), failure);
    });
}

bool BatchSession::writePdf(const QString& out, int dpi, const PrintJob& job) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(fileTitle_);
    printer.setCreator(QStringLiteral("zukaro"));
    const QString caption = QStringLiteral("印刷");
    if (out == kStandardOutput) {
        ScratchFile pdf;
        QString error;
        if (!pdf.create(error)) {
            return failed(caption, QStringLiteral("標準出力に書き出す PDF を作れません。") + error);
        }
        printer.setOutputFileName(pdf.path());
        if (!job(printer, QStringLiteral("（標準出力）"))) {
            return false;
        }
        error = writeStandardOutput(pdf.readAll());
        return error.isEmpty() || failed(caption, error);
    }
    // The PDF is made straight in the temporary file beside `out`, which it then replaces.
    AtomicFile file(out);
    const FileResult ready = file.begin();
    if (!ready.ok) {
        return failed(caption, ready.error);
    }
    printer.setOutputFileName(file.temporaryPath());
    if (!job(printer, shown(out))) {
        return false;
    }
    const FileResult written = file.commit();
    return written.ok || failed(caption, written.error);
}

bool BatchSession::savePreviewPng(const QString& out, int zoomPercent) {
    // The window's preview routines on an A4 picDraw (the sheet's paper, whatever the
    // default printer's): what the open command leaves, then at 100 % one press of 倍率,
    // which draws it again.
    PreviewSurface picDraw;
    UnattendedDialog dialog;
    QPrinter unused;
    SheetCommands commands(pages_.front(), picDraw, dialog, messages_, unused);
    commands.showPreview();
    if (zoomPercent == 100) {
        commands.倍率Click();
    }
    const QString caption = QStringLiteral("プレビュー");
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picDraw.image().save(&buffer, "PNG")) {
        return failed(caption, QStringLiteral("プレビューを PNG にできませんでした。"));
    }
    if (out == kStandardOutput) {
        const QString error = writeStandardOutput(png);
        return error.isEmpty() || failed(caption, error);
    }
    const FileResult written = writeFileAtomically(out, png);
    return written.ok || failed(caption, written.error);
}

bool BatchSession::print(const QString& printer, QTextStream& out) {
    const QString name = printer.isEmpty() ? QPrinterInfo::defaultPrinterName() : printer;
    if (name.isEmpty()) {
        messages_.tell(QStringLiteral("印刷"),
                       QStringLiteral("いつも使うプリンターが決まっていません。"
                                      "--printer でプリンターの名前を指定してください。\n") +
                           availablePrinters(),
                       MessageIcon::Critical);
        return false;
    }
    if (QPrinterInfo::printerInfo(name).isNull()) {
        messages_.tell(
            QStringLiteral("印刷"),
            QStringLiteral("プリンター「%1」が見つかりません。\n").arg(name) + availablePrinters(),
            MessageIcon::Critical);
        return false;
    }
    // Qt hands its file to CUPS without looking at the answer, so the page is printed into a
    // file for this printer and handed over here, where a refusal can be reported.
    ScratchFile job;
    QString error;
    if (!job.create(error)) {
        return failed(
            QStringLiteral("印刷"),
            QStringLiteral("プリンター「%1」に送る印刷データを作れません。").arg(name) + error);
    }
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::NativeFormat);
    device.setPrinterName(name);
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    // On a real printer too the sheet offsets count from the paper's edge, as in a PDF.
    device.setFullPage(true);
    device.setDocName(fileTitle_);
    device.setCreator(QStringLiteral("zukaro"));
    device.setOutputFileName(job.path());
    if (!printed(device, printing_.calibrationFor(name))) {
        return false;
    }
    if (!endsAsPdf(job.readAll())) {
        QString reason = whyCutShort(job.path());
        reason = reason.isEmpty() ? QStringLiteral("。空き容量を確かめてください。")
                                  : QStringLiteral("（%1）。").arg(reason);
        return failed(QStringLiteral("印刷"),
                      QStringLiteral("プリンター「%1」に送る印刷データを一時フォルダー「%2」に"
                                     "書き終えられませんでした%3シートは印刷されていません。")
                          .arg(name, shown(QDir::tempPath()), reason));
    }
    const CupsJob submitted =
        submitToCups(name, job.path(), fileTitle_,
                     {{QByteArrayLiteral("media"), device.pageLayout().pageSize().key().toUtf8()},
                      {QByteArrayLiteral("sides"), QByteArrayLiteral("one-sided")}});
    if (submitted.id == 0) {
        messages_.tell(QStringLiteral("印刷"),
                       QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。"
                                      "シートは印刷されていません。\n%2")
                           .arg(name, submitted.error),
                       MessageIcon::Critical);
        return false;
    }
    out << QStringLiteral("「%1」に印刷を送りました（ジョブ %2）。\n").arg(name).arg(submitted.id);
    out.flush();
    return true;
}

}  // namespace zukaro
