#include "SheetCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <exception>
#include <stdexcept>

#include "CommonDialog1.h"
#include "MessageBoxes.h"
#include "PainterTarget.h"
#include "PreviewSurface.h"
#include "PrintingSettings.h"
#include "SheetRenderer.h"
#include "SheetState.h"
#include "SystemError.h"

namespace zukaro {
namespace {

const QString kPrintCaption = QStringLiteral("印刷");

// What the messages call the output: the PDF file or the printer, unless the caller names
// it (a PDF written into a temporary file first is called by its final name).
QString outputName(const QPrinter& printer, const QString& shownName) {
    if (!shownName.isEmpty()) {
        return shownName;
    }
    return printer.outputFormat() == QPrinter::PdfFormat
               ? QDir::toNativeSeparators(printer.outputFileName())
               : printer.printerName();
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
            .arg(outputName(printer, shownName));
    }
    return QStringLiteral(
               "プリンター「%1」で印刷を始められませんでした。\n"
               "プリンターの電源、接続、用紙を確かめてから、もう一度印刷してください。")
        .arg(outputName(printer, shownName));
}

QString refusedMessage(const QPrinter& printer, const QString& shownName) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        // A full disk or a file-size limit says so; else what to look at.
        const QString reason = whyCutShort(printer.outputFileName());
        return reason.isEmpty()
                   ? QStringLiteral(
                         "PDF ファイル「%1」を書き終えられませんでした。\n"
                         "保存先の空き容量と書き込みの権限を確かめてください。")
                         .arg(outputName(printer, shownName))
                   : QStringLiteral("PDF ファイル「%1」を書き終えられませんでした（%2）。")
                         .arg(outputName(printer, shownName), reason);
    }
    return QStringLiteral(
               "プリンター「%1」が印刷を受け付けませんでした。シートは印刷されていません。\n"
               "プリンターの状態を確かめてから、もう一度印刷してください。")
        .arg(outputName(printer, shownName));
}

// Qt reports a PDF as printed even when its file could not be written (a full disk): the
// file must really end with the PDF end marker.
bool pdfWritten(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.size() < 16) {
        return false;
    }
    file.seek(file.size() - 16);
    return file.readAll().contains("%%EOF");
}

}  // namespace

QString printOn(QPrinter& printer, std::size_t pageCount, const PagePainter& paint,
                const QString& shownName, const std::function<bool(std::size_t)>& keepGoing) {
    const bool toPdf = printer.outputFormat() == QPrinter::PdfFormat;
    if (toPdf ? printer.outputFileName().isEmpty() : !printer.isValid()) {
        return noPrinterMessage();
    }
    // Every way of printing counts from the paper's top-left edge: page margins set in a
    // dialog (or Qt's own default ones) never move the labels.
    printer.setFullPage(true);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return cannotStartMessage(printer, shownName);
    }
    try {
        draw::PainterTarget target(painter, true);
        for (std::size_t i = 0; i < pageCount; ++i) {
            if (keepGoing && !keepGoing(i)) {
                printer.abort();
                painter.end();
                return printCancelledMessage();
            }
            if (i > 0 && !printer.newPage()) {
                throw std::runtime_error("new page");
            }
            target.setScaleMode(draw::ScaleMode::Millimeters);
            paint(target, i);
        }
    } catch (const std::exception&) {
        printer.abort();
        painter.end();
        if (toPdf) {
            return refusedMessage(printer, shownName);
        }
        return QStringLiteral(
                   "プリンター「%1」への印刷中にエラーが起きたため、印刷を取り消しました。")
            .arg(outputName(printer, shownName));
    }
    // Ending the document sends the pages; a printer that refuses them says so here.
    if (!painter.end() || printer.printerState() == QPrinter::Error ||
        (toPdf && !pdfWritten(printer.outputFileName()))) {
        return refusedMessage(printer, shownName);
    }
    return {};
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

SheetCommands::SheetCommands(SheetState& sheet, PreviewSurface& picDraw, CommonDialog1& dialog,
                             MessageBoxes& messages, QPrinter& printer)
    : sheet_(sheet), picDraw_(picDraw), dialog_(dialog), messages_(messages), printer_(printer) {}

void SheetCommands::focusText1() const {
    if (focusText1_) {
        focusText1_();
    }
}

void SheetCommands::showPreview() {
    redraw();
    focusText1();
}

void SheetCommands::redraw() {
    sheet_.printMode = PrintMode::Preview;
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        const RenderOptions options = RenderOptions::of(sheet_);
        report_ = drawSheet(sheet_, target, options);
        drawLabelMarks(report_, target, options);
        if (previewNotes_) {
            drawPreviewNotes(previewNotes_(), target, options);
        }
    });
    if (reportChanged_) {
        reportChanged_(report_);
    }
}

void SheetCommands::printSheet() {
    if (printCheck_ && !printCheck_()) {
        focusText1();
        return;
    }
    dialog_.suggestPdfFile(suggestedPdfFile(sheet_.fileName));
    if (dialog_.showPrinter(printer_) == kCancelError) {
        focusText1();
        return;
    }
    // Any other dialog outcome still prints on the printer as it stands, with its calibration.
    QString warning;
    const PrinterCalibration calibration = calibrationOf(printer_, settingsFolder_, warning);
    if (!warning.isEmpty()) {
        messages_.tell(kPrintCaption, warning, MessageIcon::Exclamation);
    }
    const QString failure = printPagesOn({&sheet_}, printer_, calibration);
    if (!failure.isEmpty()) {
        messages_.tell(kPrintCaption, failure, MessageIcon::Critical);
    }
    focusText1();
    if (failure.isEmpty() && printed_) {
        printed_(printedMessage(printer_));
    }
}

QString printPagesOn(const std::vector<const SheetState*>& pages, QPrinter& printer,
                     const PrinterCalibration& calibration, const QString& shownName) {
    return printOn(
        printer, pages.size(),
        [&](draw::DrawTarget& target, std::size_t i) {
            drawSheet(*pages[i], target, RenderOptions::onPaper(*pages[i], calibration));
        },
        shownName);
}

QString printCancelledMessage() {
    return QStringLiteral("印刷を取り消しました。");
}

QString printedMessage(const QPrinter& printer) {
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        return QStringLiteral("%1 に印刷しました。")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    }
    return QStringLiteral("プリンター「%1」に印刷を送りました。").arg(printer.printerName());
}

void SheetCommands::倍率Click() {
    if (sheet_.倍率 != caption::zoomHalf) {
        sheet_.倍率 = caption::zoomHalf;
        sheet_.zoom = 0.5;
    } else {
        sheet_.倍率 = caption::zoomFull;
        sheet_.zoom = 1.0;
    }
    if (zoomCaptionChanged_) {
        zoomCaptionChanged_(sheet_.倍率);
    }
    showPreview();
    focusText1();
}

void SheetCommands::showLayoutGuide(SheetOrigin origin) {
    sheet_.sheetX = origin.x;
    sheet_.sheetY = origin.y;
    picDraw_.paintPage([this, origin](draw::DrawTarget& target) {
        drawLayoutGuide(target, {PrintMode::Preview, sheet_.zoom, origin});
    });
}

void SheetCommands::markCurrentLabel() {
    picDraw_.paintPage([this](draw::DrawTarget& target) {
        drawCurrentLabelFrame(sheet_.currentLabel, target, RenderOptions::of(sheet_));
    });
}

QString suggestedPdfFile(const QString& file) {
    const QFileInfo info(file);
    if (file.isEmpty() || file == kUntitled || info.completeBaseName().isEmpty()) {
        return QDir::home().filePath(kUntitled + QStringLiteral(".pdf"));
    }
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

int labelAtPreviewPoint(const SheetState& sheet, double x, double y) {
    if (sheet.zoom <= 0) {
        return 0;
    }
    constexpr double kPixelsPerMm = 96 / 25.4;
    return labelAt({x / kPixelsPerMm / sheet.zoom, y / kPixelsPerMm / sheet.zoom},
                   {sheet.sheetX, sheet.sheetY});
}

}  // namespace zukaro
