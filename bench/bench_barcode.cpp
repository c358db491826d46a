// Time to paint one EAN-13 symbol into a 600-dpi image, the printer's job per label.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "JanEncoder.h"
#include "PainterTarget.h"

namespace {

void BM_DrawJanBarcode600dpi(benchmark::State& state) {
    QImage image(1654, 378, QImage::Format_RGB32);  // 70 x 16 mm at 600 dpi
    image.setDotsPerMeterX(23622);
    image.setDotsPerMeterY(23622);
    image.fill(Qt::white);
    QPainter painter(&image);
    zukaro::draw::PainterTarget target(painter, true);
    target.setScaleMode(zukaro::draw::ScaleMode::Millimeters);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            zukaro::Module1::drawJanBarcode(target, "4901234567894", 10, 3, 65, 11));
    }
}
BENCHMARK(BM_DrawJanBarcode600dpi);

void BM_JanCheckDigit(benchmark::State& state) {
    for (auto _ : state) {
        std::string code = "4901234567894";
        std::int16_t check = 0;
        benchmark::DoNotOptimize(zukaro::Module1::janCheckDigit(code, check));
    }
}
BENCHMARK(BM_JanCheckDigit);

}  // namespace
