#include "PrintJob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <exception>
#include <optional>
#include <stdexcept>

#include "CupsJob.h"
#include "PainterTarget.h"
#include "PrintingSettings.h"
#include "SafeFile.h"
#include "ScratchFile.h"
#include "SheetRenderer.h"
#include "SystemError.h"
#include "WorkProgress.h"

namespace zukaro {
namespace {

using Status = PrintOutcome::Status;

PrintOutcome failure(const QString& message) {
    return {Status::Failed, message, 0};
}

QString noPrinterMessage() {
    return QStringLiteral(
        "印刷できるプリンターがありません。\n"
        "プリンターを接続して設定するか、「PDF ファイルに出力」を選んでから、"
        "もう一度印刷してください。");
}

QString cannotStartMessage(const QPrinter& printer, const QString& shownName) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return QStringLiteral(
                   "PDF ファイル「%1」を作成できませんでした。\n"
                   "保存先のフォルダーがあるか、書き込みできるかを確かめてください。")
            .arg(shownName);
    }
    return QStringLiteral(
               "プリンター「%1」で印刷を始められませんでした。\n"
               "プリンターの電源、接続、用紙を確かめてから、もう一度印刷してください。")
        .arg(shownName);
}

QString refusedMessage(const QPrinter& printer, const QString& shownName) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A full disk or a file-size limit says so; else what to look at.
        const QString reason = whyCutShort(printer.outputFileName());
        return reason.isEmpty()
                   ? QStringLiteral(
                         "PDF ファイル「%1」を書き終えられませんでした。\n"
                         "保存先の空き容量と書き込みの権限を確かめてください。")
                         .arg(shownName)
                   : QStringLiteral("PDF ファイル「%1」を書き終えられませんでした（%2）。")
                         .arg(shownName, reason);
    }
    return QStringLiteral(
               "プリンター「%1」が印刷を受け付けませんでした。シートは印刷されていません。\n"
               "プリンターの状態を確かめてから、もう一度印刷してください。")
        .arg(shownName);
}

// Qt reports a PDF as printed even when its file could not be written (a full disk): the
// file must really end with the PDF end marker.
bool endsAsPdf(const QByteArray& bytes) {
    return bytes.right(16).contains("%%EOF");
}

bool pdfWritten(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() < 16) {
        return false;
    }
    file.seek(file.size() - 16);
    return endsAsPdf(file.readAll());
}

// Puts the printer's output file back as it was when the job ends, however it ends.
class OutputFileKept {
public:
    explicit OutputFileKept(QPrinter& printer)
        : printer_(printer), file_(printer.outputFileName()), format_(printer.outputFormat()) {}
    ~OutputFileKept() {
        printer_.setOutputFileName(file_);
        if (printer_.outputFormat() != format_) {
            printer_.setOutputFormat(format_);
        }
    }
    OutputFileKept(const OutputFileKept&) = delete;
    OutputFileKept& operator=(const OutputFileKept&) = delete;

private:
    QPrinter& printer_;
    QString file_;
    QPrinter::OutputFormat format_;
};

}  // namespace

PrintJob::PrintJob(QPrinter& printer, QString title)
    : printer_(printer), title_(std::move(title)) {}

PrintOutcome PrintJob::run(std::size_t pageCount, const PagePainter& paint) {
    const bool pdf = printer_.outputFormat() == QPrinter::PdfFormat;
    if (pdf ? printer_.outputFileName().isEmpty() : !printer_.isValid()) {
        return failure(noPrinterMessage());
    }
    // Every way of printing counts from the paper's top-left edge: page margins set in a
    // dialog (or Qt's own default ones) never move the labels.
    printer_.setFullPage(true);
    return pdf ? toPdf(pageCount, paint) : toPrinter(pageCount, paint);
}

// The pages painted into `path`; the printer keeps the file it was given.
PrintOutcome PrintJob::paintInto(const QString& path, std::size_t pageCount,
                                 const PagePainter& paint, const QString& shownName) {
    const OutputFileKept kept(printer_);
    printer_.setOutputFileName(path);
    return paintPages(pageCount, paint, shownName);
}

PrintOutcome PrintJob::toPdf(std::size_t pageCount, const PagePainter& paint) {
    const QString chosen = printer_.outputFileName();
    const QString shownName = shownName_.isEmpty() ? QDir::toNativeSeparators(chosen) : shownName_;
    if (inPlace_) {
        return paintPages(pageCount, paint, shownName);
    }
    AtomicFile file(chosen);
    if (const FileResult ready = file.begin(); !ready.ok) {
        return failure(ready.error);
    }
    PrintOutcome outcome = paintInto(file.temporaryPath(), pageCount, paint, shownName);
    if (outcome.status == Status::Cancelled) {
        outcome.message =
            QStringLiteral("印刷を取り消しました。「%1」は前のままです。").arg(shownName);
    }
    if (!outcome.printed()) {
        return outcome;
    }
    if (const FileResult written = file.commit(); !written.ok) {
        return failure(written.error);
    }
    return outcome;
}

PrintOutcome PrintJob::toPrinter(std::size_t pageCount, const PagePainter& paint) {
    const QString name = printer_.printerName();
    ScratchFile job;
    QString error;
    if (!job.create(error)) {
        return failure(QStringLiteral("プリンター「%1」に送る印刷データを作れません。").arg(name) +
                       error);
    }
    PrintOutcome outcome = paintInto(job.path(), pageCount, paint, name);
    if (outcome.status == Status::Cancelled) {
        outcome.message =
            QStringLiteral("印刷を取り消しました。プリンター「%1」には何も送っていません。")
                .arg(name);
    }
    if (!outcome.printed()) {
        return outcome;
    }
    // A full temporary folder cuts the job short: CUPS gets only a complete one.
    if (!endsAsPdf(job.readAll())) {
        QString reason = whyCutShort(job.path());
        reason = reason.isEmpty() ? QStringLiteral("。空き容量を確かめてください。")
                                  : QStringLiteral("（%1）。").arg(reason);
        return failure(QStringLiteral("プリンター「%1」に送る印刷データを一時フォルダー「%2」に"
                                      "書き終えられませんでした%3シートは印刷されていません。")
                           .arg(name, QDir::toNativeSeparators(QDir::tempPath()), reason));
    }
    // CUPS wants the queue's name without an instance ("queue/instance").
    const CupsJob submitted =
        submitToCups(name.section(u'/', 0, 0), job.path(), title_, cupsOptionsOf(printer_));
    if (submitted.id == 0) {
        return failure(QStringLiteral("プリンター「%1」が印刷を受け付けませんでした。"
                                      "シートは印刷されていません。\n%2")
                           .arg(name, submitted.error));
    }
    outcome.cupsJob = submitted.id;
    return outcome;
}

PrintOutcome PrintJob::paintPages(std::size_t pageCount, const PagePainter& paint,
                                  const QString& shownName) {
    QPainter painter;
    if (!painter.begin(&printer_)) {
        return failure(cannotStartMessage(printer_, shownName));
    }
    beginStep(progress_, QStringLiteral("「%1」に印刷しています").arg(shownName),
              static_cast<qint64>(pageCount));
    try {
        draw::PainterTarget target(painter, true);
        for (std::size_t i = 0; i < pageCount; ++i) {
            reportDone(progress_, static_cast<qint64>(i));
            if (cancelledBy(progress_)) {
                printer_.abort();
                painter.end();
                return {Status::Cancelled, QStringLiteral("印刷を取り消しました。"), 0};
            }
            if (i > 0 && !printer_.newPage()) {
                throw std::runtime_error("new page");
            }
            target.setScaleMode(draw::ScaleMode::Millimeters);
            paint(target, i);
        }
    } catch (const std::exception&) {
        printer_.abort();
        painter.end();
        if (printer_.outputFormat() == QPrinter::PdfFormat) {
            return failure(refusedMessage(printer_, shownName));
        }
        return failure(
            QStringLiteral("プリンター「%1」への印刷中にエラーが起きたため、印刷を取り消しました。")
                .arg(shownName));
    }
    // Ending the document writes the last page; a file cut short says so here.
    if (!painter.end() || printer_.printerState() == QPrinter::Error ||
        (printer_.outputFormat() == QPrinter::PdfFormat &&
         !pdfWritten(printer_.outputFileName()))) {
        return failure(refusedMessage(printer_, shownName));
    }
    return {Status::Printed, {}, 0};
}

PagePainter sheetPages(std::function<SheetState(std::size_t)> page,
                       const PrinterCalibration& calibration, QDate asOf) {
    return [page = std::move(page), calibration, asOf](draw::DrawTarget& target, std::size_t i) {
        const SheetState sheet = page(i);
        RenderOptions options = RenderOptions::onPaper(sheet, calibration);
        options.asOf = asOf;
        drawSheet(sheet, target, options);
    };
}

QString calibrationKey(const QPrinter& printer) {
    return printer.outputFormat() == QPrinter::PdfFormat ? kPdfFilePrinter : printer.printerName();
}

PrinterCalibration calibrationOf(const QPrinter& printer, const QString& settingsFolder,
                                 QString& warning) {
    const PrintingSettingsLoad load = loadPrintingSettings(settingsFolder);
    warning = load.error;
    return load.settings.calibrationFor(calibrationKey(printer));
}

QString suggestedPdfFile(const QString& file) {
    const QFileInfo info(file);
    if (file.isEmpty() || file == kUntitled || info.completeBaseName().isEmpty()) {
        return QDir::home().filePath(kUntitled + QStringLiteral(".pdf"));
    }
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

QString printedMessage(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return QStringLiteral("%1 に印刷しました。")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    }
    return QStringLiteral("プリンター「%1」に印刷を送りました。").arg(printer.printerName());
}

}  // namespace zukaro
