// Time of one full preview redraw, the work behind every command: clear the page image and
// draw 21 full labels, at 100 % and 50 %, and fitted. And one sheet printed into a 600-dpi PDF.
#include <benchmark/benchmark.h>

#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include "PainterTarget.h"
#include "PreviewSurface.h"
#include "SampleSheet.h"
#include "SheetRenderer.h"

namespace {

using namespace zukaro;

void BM_PreviewRedraw(benchmark::State& state) {
    SheetState sheet = sample::fullSheet();
    PreviewSurface picDraw;
    const RenderOptions options = RenderOptions::onScreen(sheet, state.range(0) / 100.0);
    for (auto _ : state) {
        picDraw.paintPage([&](draw::DrawTarget& target) { drawSheet(sheet, target, options); });
    }
    benchmark::DoNotOptimize(picDraw.image().constBits());
}
BENCHMARK(BM_PreviewRedraw)->Arg(100)->Arg(50)->Unit(benchmark::kMicrosecond);

// The same with 価格を枠内に収める: every price and text fitted on the glyph outlines.
void BM_PreviewRedrawFitted(benchmark::State& state) {
    SheetState sheet = sample::fullSheet();
    sheet.layout.fitPrice = true;
    PreviewSurface picDraw;
    const RenderOptions options = RenderOptions::onScreen(sheet, 0.5);
    for (auto _ : state) {
        picDraw.paintPage([&](draw::DrawTarget& target) { drawSheet(sheet, target, options); });
    }
    benchmark::DoNotOptimize(picDraw.image().constBits());
}
BENCHMARK(BM_PreviewRedrawFitted)->Unit(benchmark::kMicrosecond);

void BM_PrintPdf600dpi(benchmark::State& state) {
    QTemporaryDir dir;
    SheetState sheet = sample::fullSheet();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("sheet.pdf")));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter(&printer);
        draw::PainterTarget target(painter, true);
        drawSheet(sheet, target, {PrintMode::Paper, 1.0, kStartUpOrigin});
        painter.end();
    }
}
BENCHMARK(BM_PrintPdf600dpi)->Unit(benchmark::kMillisecond);

}  // namespace
