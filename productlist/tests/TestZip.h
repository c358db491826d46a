#pragma once

#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

// A zip made in memory, to build workbooks part by part.
inline QByteArray zipOf(const std::vector<std::pair<QString, QByteArray>>& entries) {
    QByteArray data;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    if (!zip.open(QuaZip::mdCreate)) {
        return {};
    }
    for (const auto& [name, bytes] : entries) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name)) ||
            file.write(bytes) != bytes.size()) {
            return {};
        }
        file.close();
    }
    zip.close();
    return zip.getZipError() == UNZ_OK ? data : QByteArray();
}
