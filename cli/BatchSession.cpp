#include "BatchSession.h"

#include <unistd.h>
#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <cerrno>

#include "CalibrationSheet.h"
#include "JanCompletion.h"
#include "LabelFile.h"
#include "LabelLayout.h"
#include "PreviewSurface.h"
#include "PrintJob.h"
#include "SafeFile.h"
#include "ScratchFile.h"
#include "SheetCommands.h"
#include "SheetRenderer.h"
#include "ShownText.h"
#include "StandardStreams.h"
#include "SystemError.h"
#include "TaxPrice.h"

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
    addKnownTaxRateChanges(sheet.layout.taxRateChanges, startUp_.layout.taxRateChanges);
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

PagePainter BatchSession::pages(const PrinterCalibration& calibration) const {
    // A list's pages are made as they are printed; the files' are there.
    return sheetPages(
        [this](std::size_t i) { return madePage_ ? madePage_(static_cast<qint64>(i)) : pages_[i]; },
        calibration, asOf_);
}

bool BatchSession::finished(const PrintOutcome& outcome) {
    if (!outcome.printed()) {
        return failed(QStringLiteral("印刷"), outcome.message);
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
        for (const QString& line : reportLines(checkSheet(pages_[i], asOf_), page)) {
            messages_.write(line);
        }
    }
}

void BatchSession::reportLabelsWithoutBars() {
    // A script sees on stderr which labels went out without bars; the run still succeeds.
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        const SheetState& page = pages_[i];
        if (told_[i] || !page.BARCODE) {
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
    return writePdf(out, dpi, static_cast<std::size_t>(pageCount()),
                    pages(printing_.calibrationFor(pdfPrinter_)));
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
    return writePdf(out, dpi, 1, [&](draw::DrawTarget& target, std::size_t) {
        drawCalibrationSheet(target, info);
    });
}

bool BatchSession::writePdf(const QString& out, int dpi, std::size_t count,
                            const PagePainter& paint) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(fileTitle_);
    printer.setCreator(QStringLiteral("zukaro"));
    PrintJob job(printer, fileTitle_);
    if (out != kStandardOutput) {
        printer.setOutputFileName(out);
        return finished(job.run(count, paint));
    }
    const QString caption = QStringLiteral("印刷");
    ScratchFile pdf;
    QString error;
    if (!pdf.create(error)) {
        return failed(caption, QStringLiteral("標準出力に書き出す PDF を作れません。") + error);
    }
    printer.setOutputFileName(pdf.path());
    job.setShownName(QStringLiteral("（標準出力）"));
    job.writePdfInPlace();
    if (!finished(job.run(count, paint))) {
        return false;
    }
    error = writeStandardOutput(pdf.readAll());
    return error.isEmpty() || failed(caption, error);
}

bool BatchSession::savePreviewPng(const QString& out, int zoomPercent) {
    // The window's preview routines on an A4 picDraw (the sheet's paper, whatever the
    // default printer's): what the open command leaves, then at 100 % one press of 倍率,
    // which draws it again.
    PreviewSurface picDraw;
    SheetCommands commands(pages_.front(), picDraw);
    commands.setAsOf(asOf_);
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
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::NativeFormat);
    device.setPrinterName(name);
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    // One side, whatever the queue's default: a sheet of labels has no back.
    device.setDuplex(QPrinter::DuplexNone);
    device.setDocName(fileTitle_);
    device.setCreator(QStringLiteral("zukaro"));
    const PrintOutcome outcome =
        PrintJob(device, fileTitle_)
            .run(static_cast<std::size_t>(pageCount()), pages(printing_.calibrationFor(name)));
    if (!finished(outcome)) {
        return false;
    }
    out << QStringLiteral("「%1」に印刷を送りました（ジョブ %2）。\n")
               .arg(name)
               .arg(outcome.cupsJob);
    out.flush();
    return true;
}

}  // namespace zukaro
