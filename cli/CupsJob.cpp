#include "CupsJob.h"

#include <cups/cups.h>

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

}  // namespace zukaro
