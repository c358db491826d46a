#include "CupsJob.h"

#include <cups/cups.h>
#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>

#include <vector>

namespace zukaro {

CupsJob submitToCups(const QString& printer, const QString& file, const QString& title,
                     const QList<QPair<QByteArray, QByteArray>>& options) {
    std::vector<cups_option_t> cupsOptions;
    cupsOptions.reserve(static_cast<std::size_t>(options.size()));
    for (const auto& [name, value] : options) {
        cupsOptions.push_back(
            {const_cast<char*>(name.constData()), const_cast<char*>(value.constData())});
    }
    const QByteArray printerName = printer.toLocal8Bit();
    const QByteArray fileName = file.toLocal8Bit();
    const QByteArray jobTitle = title.toUtf8();
    CupsJob job;
    job.id = cupsPrintFile2(CUPS_HTTP_DEFAULT, printerName.constData(), fileName.constData(),
                            jobTitle.constData(), static_cast<int>(cupsOptions.size()),
                            cupsOptions.data());
    if (job.id == 0) {
        job.error = QString::fromUtf8(cupsLastErrorString());
    }
    return job;
}

QList<QPair<QByteArray, QByteArray>> cupsOptionsOf(QPrinter& printer) {
    QList<QPair<QByteArray, QByteArray>> options{
        {QByteArrayLiteral("media"), printer.pageLayout().pageSize().key().toUtf8()}};
    if (printer.copyCount() > 1) {
        options.append({QByteArrayLiteral("copies"), QByteArray::number(printer.copyCount())});
        if (printer.collateCopies()) {
            options.append({QByteArrayLiteral("Collate"), QByteArrayLiteral("True")});
        }
    }
    const bool portrait = printer.pageLayout().orientation() == QPageLayout::Portrait;
    QByteArray sides = QByteArrayLiteral("one-sided");
    switch (printer.duplex()) {
        case QPrinter::DuplexAuto:
            sides = portrait ? "two-sided-long-edge" : "two-sided-short-edge";
            break;
        case QPrinter::DuplexLongSide:
            sides = "two-sided-long-edge";
            break;
        case QPrinter::DuplexShortSide:
            sides = "two-sided-short-edge";
            break;
        default:
            break;
    }
    options.append({QByteArrayLiteral("sides"), sides});
    if (!portrait) {
        options.append({QByteArrayLiteral("landscape"), QByteArray()});
    }
    // The job options of the dialog's "プロパティ" (page set, banners, hold): name, value, ...
    constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    const QStringList pairs = printer.printEngine()->property(kCupsOptions).toStringList();
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2) {
        options.append({pairs.at(i).toUtf8(), pairs.at(i + 1).toUtf8()});
    }
    return options;
}

}  // namespace zukaro
