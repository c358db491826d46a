// The preview surface in its viewport, the scroll bars, and the preview, print and zoom
// commands with scripted dialogs and real PDF printers.
#include <QAction>
#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "CommandBindings.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "PrinterPage.h"
#include "SampleSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "ScrollRange.h"
#include "SheetCommands.h"

using namespace zukaro;

namespace {

constexpr TwipsSize kA4{11906, 16838};

// A window's worth of preview: the pane, a PDF printer, scripted dialogs and the commands,
// with a counter standing in for Text1's focus.
struct Fixture {
    explicit Fixture(QSize viewport = {600, 400}) {
        pane.resize(viewport +
                    QSize(pane.VScroll1().sizeHint().width(), pane.HScroll1().sizeHint().height()));
        pane.show();
        pane.sizeToPage(kA4);
        printer.setOutputFormat(QPrinter::PdfFormat);
        commands.setFocusText1([this] { ++focusCount; });
    }

    SheetState sheet = sample::fullSheet();
    PreviewPane pane;
    QPrinter printer{QPrinter::HighResolution};
    ScriptedCommonDialog1 dialog;
    ScriptedMessageBoxes messages;
    SheetCommands commands{sheet, pane.picDraw(), dialog, messages, printer};
    int focusCount = 0;
};

// What the viewport shows, as the screen would.
QImage shownInFrame(PreviewPane& pane) {
    return pane.picFrame().grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage pageImage(PreviewPane& pane) {
    return pane.picDraw().image().convertToFormat(QImage::Format_RGB32);
}

int countText(const QString& pdf, const QString& text) {
    QProcess p;
    p.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
            {pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).count(text);
}

}  // namespace

class TestPreview : public QObject {
    Q_OBJECT

private slots:
    void scrollRanges_data();
    void scrollRanges();
    void pageSizes_data();
    void pageSizes();
    void scrollingShowsKeptPixels();
    void maximumScrollShowsPageBottom_data();
    void maximumScrollShowsPageBottom();
    void rangesFollowTheViewport();
    void zoomTwiceReturns();
    void printCancelPrintsNothing();
    void printWritesTheSheet_data();
    void printWritesTheSheet();
    void printFailureIsReported_data();
    void printFailureIsReported();
    void otherDialogFailureStillPrints();
    void menusBehaveLikeButtons();
    void currentLabelFrameOnPreview();
};

void TestPreview::scrollRanges_data() {
    QTest::addColumn<double>("page");
    QTest::addColumn<double>("viewport");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("large");
    QTest::addColumn<int>("small");
    // A4 in a viewport as tall as a 768-pixel screen: 16838 - 11520.
    QTest::newRow("A4 on a 768-pixel screen") << 16838.0 << 11520.0 << 5318 << 532 << 53;
    QTest::newRow("difference half rounds to even") << 10000.5 << 0.0 << 10000 << 1000 << 100;
    QTest::newRow("difference half rounds up to even") << 10001.5 << 0.0 << 10002 << 1000 << 100;
    QTest::newRow("large 2.5 -> 2, small clamped") << 25.0 << 0.0 << 25 << 2 << 1;
    QTest::newRow("large 3.5 -> 4") << 35.0 << 0.0 << 35 << 4 << 1;
    QTest::newRow("small 1.5 -> 2") << 150.0 << 0.0 << 150 << 15 << 2;
    QTest::newRow("small 2.5 -> 2") << 250.0 << 0.0 << 250 << 25 << 2;
    QTest::newRow("range below 5: steps of 1") << 4.0 << 0.0 << 4 << 1 << 1;
    QTest::newRow("page fits exactly") << 16838.0 << 16838.0 << 0 << 1 << 1;
    QTest::newRow("page smaller than viewport") << 11906.0 << 18000.0 << 0 << 1 << 1;
    QTest::newRow("beyond 16 bits stops at 32767") << 50000.0 << 0.0 << 32767 << 3277 << 328;
}

void TestPreview::scrollRanges() {
    QFETCH(double, page);
    QFETCH(double, viewport);
    QFETCH(int, max);
    QFETCH(int, large);
    QFETCH(int, small);
    const ScrollRange r = scrollRange(page, viewport);
    QCOMPARE(int(r.max), max);
    QCOMPARE(int(r.largeChange), large);
    QCOMPARE(int(r.smallChange), small);
}

void TestPreview::pageSizes_data() {
    QTest::addColumn<QPageSize>("page");
    QTest::addColumn<QSize>("twips");
    QTest::addColumn<QSize>("pixels");  // picDraw at 15 twips per pixel
    // 210 x 297 mm = 11905.5 x 16837.8 twips = 793.7 x 1122.5 pixels.
    QTest::newRow("A4") << QPageSize(QPageSize::A4) << QSize(11906, 16838) << QSize(794, 1123);
    QTest::newRow("Letter, 8.5 x 11 in")
        << QPageSize(QPageSize::Letter) << QSize(12240, 15840) << QSize(816, 1056);
    QTest::newRow("B5 (JIS), 182 x 257 mm")
        << QPageSize(QPageSize::JisB5) << QSize(10318, 14570) << QSize(688, 971);
    QTest::newRow("landscape given, portrait kept")
        << QPageSize(QSizeF(297, 210), QPageSize::Millimeter) << QSize(11906, 16838)
        << QSize(794, 1123);
}

void TestPreview::pageSizes() {
    QFETCH(QPageSize, page);
    QFETCH(QSize, twips);
    QFETCH(QSize, pixels);
    const TwipsSize t = pageTwips(page);
    QCOMPARE(QSize(t.width, t.height), twips);
    PreviewSurface picDraw;
    picDraw.setPageTwips(t);
    QCOMPARE(picDraw.size(), pixels);
    QCOMPARE(picDraw.image().size(), pixels);
    QCOMPARE(picDraw.image().logicalDpiX(), 96);
}

void TestPreview::scrollingShowsKeptPixels() {
    Fixture f;
    f.commands.showPreview();
    const QImage drawn = pageImage(f.pane);
    // The state changes without a redraw: scrolling must keep showing the old drawing.
    f.sheet.clearAllLabels();
    for (const auto& [h, v] : {std::pair{0, 0}, {1500, 3000}, {2000, 7500}, {0, 10838}}) {
        f.pane.HScroll1().setValue(h);
        f.pane.VScroll1().setValue(v);
        const QPoint offset(qRound(h / 15.0), qRound(v / 15.0));
        QCOMPARE(f.pane.picDraw().pos(), -offset);
        const QImage shown = shownInFrame(f.pane);
        QCOMPARE(shown, drawn.copy(QRect(offset, shown.size())));
    }
    QCOMPARE(pageImage(f.pane), drawn);
}

void TestPreview::maximumScrollShowsPageBottom_data() {
    QTest::addColumn<QSize>("viewport");
    QTest::addColumn<int>("vMax");
    QTest::addColumn<int>("hMax");
    QTest::newRow("600 x 400") << QSize(600, 400) << 16838 - 6000 << 11906 - 9000;
    QTest::newRow("331 x 997") << QSize(331, 997) << 16838 - 14955 << 11906 - 4965;
    QTest::newRow("page fits") << QSize(800, 1130) << 0 << 0;
}

void TestPreview::maximumScrollShowsPageBottom() {
    QFETCH(QSize, viewport);
    QFETCH(int, vMax);
    QFETCH(int, hMax);
    Fixture f(viewport);
    QCOMPARE(f.pane.picFrame().size(), viewport);
    QCOMPARE(f.pane.VScroll1().maximum(), vMax);
    QCOMPARE(f.pane.HScroll1().maximum(), hMax);
    f.commands.showPreview();
    f.pane.VScroll1().setValue(f.pane.VScroll1().maximum());
    f.pane.HScroll1().setValue(f.pane.HScroll1().maximum());
    const QRect page = f.pane.picDraw().geometry();
    if (vMax > 0) {
        QCOMPARE(page.bottom(), viewport.height() - 1);
        QCOMPARE(page.right(), viewport.width() - 1);
        // The last rows and columns of the page are the ones on screen.
        const QImage shown = shownInFrame(f.pane);
        const QImage drawn = pageImage(f.pane);
        QCOMPARE(shown.copy(0, shown.height() - 40, shown.width(), 40),
                 drawn.copy(drawn.width() - shown.width(), drawn.height() - 40, shown.width(), 40));
    } else {
        QCOMPARE(page.topLeft(), QPoint(0, 0));
    }
    QVERIFY(f.pane.VScroll1().pageStep() >= 1 && f.pane.VScroll1().singleStep() >= 1);
}

void TestPreview::rangesFollowTheViewport() {
    Fixture f({600, 400});
    f.pane.VScroll1().setValue(f.pane.VScroll1().maximum());
    // A taller window: the range shrinks, the value with it, and the bottom stays in view.
    f.pane.resize(f.pane.width(), f.pane.height() + 300);
    QCOMPARE(f.pane.picFrame().height(), 700);
    QCOMPARE(f.pane.VScroll1().maximum(), 16838 - 700 * 15);
    QCOMPARE(f.pane.VScroll1().value(), f.pane.VScroll1().maximum());
    QCOMPARE(f.pane.picDraw().geometry().bottom(), 699);
    QCOMPARE(f.pane.VScroll1().pageStep(), 634);  // 6338 / 10 = 633.8
    QCOMPARE(f.pane.VScroll1().singleStep(), 63);
}

void TestPreview::zoomTwiceReturns() {
    Fixture f;
    QStringList captions;
    f.commands.setZoomCaptionChanged([&](const QString& c) { captions << c; });
    f.commands.showPreview();
    const QImage half = pageImage(f.pane);

    f.commands.倍率Click();
    QCOMPARE(f.sheet.zoom, 1.0);
    QCOMPARE(f.sheet.倍率, caption::zoomFull);
    const QImage full = pageImage(f.pane);
    QVERIFY(full != half);
    // At 100 % label 21's frame reaches (2.7 + 198.3, 12.6 + 266.7) mm: pixel (760, 1056).
    QCOMPARE(full.pixel(759, 1000), qRgb(128, 128, 128));
    QCOMPARE(half.pixel(759, 1000), qRgb(255, 255, 255));

    f.commands.倍率Click();
    QCOMPARE(f.sheet.zoom, 0.5);
    QCOMPARE(f.sheet.倍率, caption::zoomHalf);
    QCOMPARE(pageImage(f.pane), half);
    QCOMPARE(captions, QStringList({caption::zoomFull, caption::zoomHalf}));
    QVERIFY(f.focusCount >= 3);
}

void TestPreview::printCancelPrintsNothing() {
    Fixture f;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    f.printer.setOutputFileName(pdf);
    f.commands.showPreview();
    const QImage before = pageImage(f.pane);
    const int focusBefore = f.focusCount;
    f.dialog.scriptCancel();
    f.commands.printSheet();
    QCOMPARE(f.dialog.shownKinds(), QStringList{QStringLiteral("printer")});
    QVERIFY(!QFile::exists(pdf));
    QCOMPARE(f.sheet.printMode, QStringLiteral("0"));
    QCOMPARE(f.sheet.zoom, 0.5);
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.focusCount, focusBefore + 1);
    QCOMPARE(pageImage(f.pane), before);
}

void TestPreview::printWritesTheSheet_data() {
    QTest::addColumn<QString>("zoomCaption");
    QTest::addColumn<double>("zoom");
    QTest::newRow("from 50 %") << caption::zoomHalf << 0.5;
    QTest::newRow("from 100 %") << caption::zoomFull << 1.0;
}

void TestPreview::printWritesTheSheet() {
    QFETCH(QString, zoomCaption);
    QFETCH(double, zoom);
    Fixture f;
    f.sheet.倍率 = zoomCaption;
    f.sheet.zoom = zoom;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    f.commands.showPreview();
    const QImage preview = pageImage(f.pane);
    DialogAnswer ok;
    ok.choosePrinter = [&](QPrinter& p) { p.setOutputFileName(pdf); };
    f.dialog.script(ok);
    f.commands.printSheet();
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(f.sheet.zoom, zoom);
    QCOMPARE(f.sheet.printMode, QStringLiteral("1"));
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");
    QCOMPARE(countText(pdf, QStringLiteral("円")), 21);
    // The preview was not redrawn by printing.
    QCOMPARE(pageImage(f.pane), preview);
}

void TestPreview::printFailureIsReported_data() {
    QTest::addColumn<QString>("output");  // in a fresh folder unless absolute; empty: no printer
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing folder at 50 %") << "missing/sheet.pdf" << 0.5 << "作成できませんでした";
    QTest::newRow("missing folder at 100 %")
        << "missing/sheet.pdf" << 1.0 << "作成できませんでした";
    QTest::newRow("no printer and no file") << "" << 0.5 << "印刷できるプリンターがありません";
    // Every write fails after the drawing: Qt itself reports success.
    QTest::newRow("disk full after drawing") << "/dev/full" << 0.5 << "書き終えられませんでした";
}

void TestPreview::printFailureIsReported() {
    QFETCH(QString, output);
    QFETCH(double, zoom);
    QFETCH(QString, message);
    Fixture f;
    f.sheet.zoom = zoom;
    f.sheet.倍率 = zoom == 0.5 ? caption::zoomHalf : caption::zoomFull;
    QTemporaryDir dir;
    const QString path = output.isEmpty() || output.startsWith('/') ? output : dir.filePath(output);
    DialogAnswer ok;
    ok.choosePrinter = [&](QPrinter& p) { p.setOutputFileName(path); };
    f.dialog.script(ok);
    f.commands.printSheet();
    QCOMPARE(f.messages.shown().size(), 1);
    const ScriptedMessageBoxes::Shown& shown = f.messages.shown().front();
    QVERIFY(!shown.question);
    QCOMPARE(shown.icon, MessageIcon::Critical);
    QCOMPARE(shown.caption, QStringLiteral("印刷"));
    QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
    if (!path.isEmpty()) {
        QVERIFY2(shown.text.contains(path), qPrintable(shown.text));
    }
    QCOMPARE(f.sheet.zoom, zoom);
    QCOMPARE(f.focusCount, 1);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("missing"))));
}

void TestPreview::otherDialogFailureStillPrints() {
    // A dialog that fails for any reason other than cancel leaves the printer as it was,
    // and the sheet goes to it.
    Fixture f;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    f.printer.setOutputFileName(pdf);
    DialogAnswer failed;
    failed.outcome = 28663;
    f.dialog.script(failed);
    f.commands.printSheet();
    QVERIFY(f.messages.shown().isEmpty());
    QCOMPARE(countText(pdf, QStringLiteral("円")), 21);
}

void TestPreview::menusBehaveLikeButtons() {
    Fixture f;
    QPushButton preview, print, zoom(caption::zoomHalf);
    QAction previewMenu, printMenu;
    bindSheetCommands(f.commands, {preview, previewMenu, print, printMenu, zoom});

    f.sheet.printMode = QStringLiteral("1");
    preview.click();
    QCOMPARE(f.sheet.printMode, QStringLiteral("0"));
    QCOMPARE(f.focusCount, 1);
    const QImage byButton = pageImage(f.pane);
    f.sheet.printMode = QStringLiteral("1");
    f.pane.picDraw().paintPage([](draw::DrawTarget& t) { t.clear(); });
    previewMenu.trigger();
    QCOMPARE(f.sheet.printMode, QStringLiteral("0"));
    QCOMPARE(f.focusCount, 2);
    QCOMPARE(pageImage(f.pane), byButton);

    f.dialog.scriptCancel();
    f.dialog.scriptCancel();
    print.click();
    printMenu.trigger();
    QCOMPARE(f.dialog.shownKinds(), QStringList({"printer", "printer"}));
    QCOMPARE(f.focusCount, 4);

    zoom.click();
    QCOMPARE(zoom.text(), caption::zoomFull);
    QCOMPARE(f.sheet.zoom, 1.0);
    zoom.click();
    QCOMPARE(zoom.text(), caption::zoomHalf);
    QCOMPARE(f.sheet.zoom, 0.5);
}

void TestPreview::currentLabelFrameOnPreview() {
    Fixture f;
    f.sheet.zoom = 1.0;
    f.sheet.倍率 = caption::zoomFull;
    f.sheet.currentLabel = 5;
    f.commands.showPreview();
    f.commands.markCurrentLabel();
    const QImage drawn = pageImage(f.pane);
    // Label 5's left edge at 100 %: 68.8 mm = 260 pixels; the 5-pixel blue line covers it.
    const int y = qRound((50.7 + 19) / 25.4 * 96);
    int blue = 0;
    for (int x = 250; x < 270; ++x) {
        blue += drawn.pixel(x, y) == qRgb(0, 0, 255);
    }
    QCOMPARE(blue, 5);
    // The next preview takes it away again.
    f.commands.showPreview();
    QVERIFY(pageImage(f.pane).pixel(260, y) != qRgb(0, 0, 255));
}

QTEST_MAIN(TestPreview)
#include "tst_preview.moc"
