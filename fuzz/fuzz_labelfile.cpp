// Any bytes: the label data file reader must not crash, hang or leak, and whatever it reads
// must come back the same through a save and a second read.
#include <cstddef>
#include <cstdint>

#include "Cp932.h"
#include "LabelFile.h"

using namespace zukaro;

namespace {

// What the writer turns a text into: ” for ", look-alikes mapped, '?' for the rest.
QString asSaved(QString text) {
    text.replace(u'"', QChar(u'\u201D'));
    return cp932::decode(cp932::encode(text).bytes).text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    SheetState sheet;
    const LabelFileReport report = readLabelData(bytes, sheet);
    if (report.opened != hasLabelFileHeader(bytes)) {
        __builtin_trap();
    }
    if (!report.opened) {
        return 0;
    }
    (void)report.warnings();

    const QByteArray saved = labelFileBytes(sheet);
    SheetState again;
    const LabelFileReport second = readLabelData(saved, again);
    if (!second.opened || second.anythingSkipped() || labelFileBytes(again) != saved) {
        __builtin_trap();
    }
    for (int n = 1; n <= kLabelCount; ++n) {
        if (again.janText[n] != asSaved(sheet.janText[n]) ||
            again.productText[n] != asSaved(sheet.productText[n]) ||
            again.priceText[n] != asSaved(sheet.priceText[n])) {
            __builtin_trap();
        }
    }
    return 0;
}
