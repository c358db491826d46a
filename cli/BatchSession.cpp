#include "BatchSession.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <limits>

#include "CupsJob.h"
#include "LabelFile.h"
#include "PreviewSurface.h"
#include "RecordingTarget.h"
#include "SafeFile.h"
#include "SheetCommands.h"
#include "SheetRenderer.h"
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

// A temporary file for the printer to write into; nothing of it is left behind.
std::unique_ptr<QTemporaryFile> printFile(const QString& suffix) {
    auto file = std::make_unique<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("zukaro-XXXXXX") + suffix));
    if (!file->open()) {
        return nullptr;
    }
    file->close();
    return file;
}

}  // namespace

BatchSession::BatchSession(const SettingsLocations& settings, QTextStream& err) : messages_(err) {
    sheet_.clearAllLabels();
    sheet_.currentLabel = 1;
    const SettingsLoad load = loadSettings(settings);
    sheet_.layout = load.layout;
    if (load.damaged()) {
        QString text = shown(load.path) + QStringLiteral(
                                              ": 一部を読み込めませんでした。読み込めなかった設定は"
                                              "初期値のままです。");
        if (!load.error.isEmpty()) {
            text += u'\n' + load.error;
        }
        messages_.write(text);
    }
    sheet_.fileName = QStringLiteral("無題");
    sheet_.zoom = 0.5;
    // The empty numbered sheet; only the sheet offsets it fixes outlive it.
    draw::RecordingTarget emptySheet;
    drawLayoutGuide(sheet_, emptySheet);
}

bool BatchSession::open(const QString& path) {
    const LabelFileReport report = readLabelFile(path, sheet_);
    if (!report.opened) {
        messages_.tell(QStringLiteral("エラー"), shown(path) + QStringLiteral(": ") + report.error,
                       MessageIcon::Critical);
        return false;
    }
    sheet_.currentLabel = 1;
    sheet_.fileName = path;
    fileTitle_ = QFileInfo(path).fileName();
    if (report.anythingSkipped()) {
        messages_.write(
            shown(path) +
            QStringLiteral(": 一部を読み込めませんでした。読み込めた分だけを使います。\n") +
            report.warnings().join(u'\n'));
    }
    return true;
}

bool BatchSession::printed(QPrinter& printer) {
    const QString failure = printSheetOn(sheet_, printer);
    if (!failure.isEmpty()) {
        messages_.tell(QStringLiteral("印刷"), failure, MessageIcon::Critical);
        return false;
    }
    return true;
}

bool BatchSession::printPdf(const QString& out, int dpi) {
    const std::unique_ptr<QTemporaryFile> pdf = printFile(QStringLiteral(".pdf"));
    if (!pdf) {
        messages_.tell(QStringLiteral("印刷"),
                       QStringLiteral("一時ファイルを作れないため、PDF を書き出せません（%1）。")
                           .arg(shown(QDir::tempPath())),
                       MessageIcon::Critical);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf->fileName());
    printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setDocName(fileTitle_);
    printer.setCreator(QStringLiteral("zukaro"));
    if (!printed(printer)) {
        return false;
    }
    const ReadResult bytes = readFileBounded(pdf->fileName(), std::numeric_limits<qint64>::max());
    const FileResult written =
        bytes.ok() ? writeFileAtomically(out, bytes.bytes) : FileResult{false, out, bytes.error};
    if (!written.ok) {
        messages_.tell(QStringLiteral("印刷"), written.error, MessageIcon::Critical);
        return false;
    }
    return true;
}

bool BatchSession::savePreviewPng(const QString& out, int zoomPercent) {
    // The window's preview routines on an A4 picDraw (the sheet's paper, whatever the
    // default printer's): what the open command leaves, then at 100 % one press of 倍率,
    // which draws it again.
    PreviewSurface picDraw;
    UnattendedDialog dialog;
    QPrinter unused;
    SheetCommands commands(sheet_, picDraw, dialog, messages_, unused);
    commands.showPreview();
    if (zoomPercent == 100) {
        commands.倍率Click();
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!picDraw.image().save(&buffer, "PNG")) {
        messages_.tell(QStringLiteral("プレビュー"),
                       QStringLiteral("プレビューを PNG にできませんでした。"),
                       MessageIcon::Critical);
        return false;
    }
    const FileResult written = writeFileAtomically(out, png);
    if (!written.ok) {
        messages_.tell(QStringLiteral("プレビュー"), written.error, MessageIcon::Critical);
        return false;
    }
    return true;
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
    const std::unique_ptr<QTemporaryFile> job = printFile(QStringLiteral(".job"));
    if (!job) {
        messages_.tell(QStringLiteral("印刷"),
                       QStringLiteral("一時ファイルを作れないため、印刷できません（%1）。")
                           .arg(shown(QDir::tempPath())),
                       MessageIcon::Critical);
        return false;
    }
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::NativeFormat);
    device.setPrinterName(name);
    device.setPageSize(QPageSize(QPageSize::A4));
    device.setPageOrientation(QPageLayout::Portrait);
    // On a real printer the sheet offsets count from the printable area's corner.
    device.setFullPage(false);
    device.setDocName(fileTitle_);
    device.setCreator(QStringLiteral("zukaro"));
    device.setOutputFileName(job->fileName());
    if (!printed(device)) {
        return false;
    }
    const CupsJob submitted =
        submitToCups(name, job->fileName(), fileTitle_,
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
