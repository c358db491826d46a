// Any bytes as an .xlsx workbook: a zip as it is, or else the parts of one separated by "|||"
// (the sheet, the shared strings, the workbook and its relationships), zipped here so that the
// XML readers get far more of the inputs than a mutated zip would let through.
#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <cstddef>
#include <cstdint>

#include "ProductListChecks.h"
#include "XlsxReader.h"

using namespace zukaro;

namespace {

QByteArray zipped(const QByteArray& input) {
    static const char* const names[] = {"xl/worksheets/sheet1.xml", "xl/sharedStrings.xml",
                                        "xl/workbook.xml", "xl/_rels/workbook.xml.rels"};
    QByteArray data;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    const QList<QByteArray> parts = input.split('|');
    int part = 0;
    QByteArray current;
    // "|||" separates parts; a lone "|" is part of the XML.
    for (qsizetype i = 0; i < parts.size() && part < 4; ++i) {
        const bool separator =
            i + 2 < parts.size() && parts[i + 1].isEmpty() && parts[i + 2].isEmpty();
        current += parts[i];
        if (separator || i + 1 == parts.size()) {
            QuaZipFile file(&zip);
            if (file.open(QIODevice::WriteOnly, QuaZipNewInfo(QString::fromLatin1(names[part])),
                          nullptr, 0, 0)) {
                file.write(current);
            }
            current.clear();
            ++part;
            i += separator ? 2 : 0;
        } else {
            current += '|';
        }
    }
    zip.close();
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray workbook = input.startsWith("PK\x03\x04") ? input : zipped(input);
    fuzzing::checkList(readXlsx(workbook, QStringLiteral("一覧.xlsx")));
    return 0;
}
