// The session without a window must give what a user gets from the real editor window after
// the same steps: start, open the file, print to a PDF printer (or look at the preview). Both
// run here side by side, with the same data.txt, and are compared state for state and pixel
// for pixel.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "BatchSession.h"
#include "CliFixture.h"
#include "EditorWindow.h"
#include "PreviewPane.h"
#include "PreviewSurface.h"
#include "PrintedSheet.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

using namespace zukaro;

namespace {

void copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    QVERIFY(QFile::copy(from, to));
}

// What a fresh start and an open leave in the Sheet state, item by item, so a difference
// names itself.
void compareSheets(const SheetState& batch, const SheetState& editor) {
    for (int n = 1; n <= kLabelCount; ++n) {
        QCOMPARE(batch.label(n), editor.label(n));
    }
    QCOMPARE(batch.layout, editor.layout);
    QCOMPARE(batch.sheetX, editor.sheetX);
    QCOMPARE(batch.sheetY, editor.sheetY);
    QCOMPARE(batch.zoom, editor.zoom);
    QCOMPARE(batch.BARCODE, editor.BARCODE);
    QCOMPARE(batch.倍率, editor.倍率);
    QCOMPARE(batch.currentLabel, editor.currentLabel);
    QCOMPARE(batch.fileName, editor.fileName);
}

}  // namespace

class TestBatchSession : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void sameSheetAsTheEditor_data();
    void sameSheetAsTheEditor();
    void samePrintedPageAsTheEditor_data();
    void samePrintedPageAsTheEditor();
    void samePreviewAsTheEditor_data();
    void samePreviewAsTheEditor();

private:
    void openEditor();
    void useDataTxt(const char* fixture);

    QTemporaryDir dir_;
    std::unique_ptr<QTemporaryDir> settingsDir_;
    SettingsLocations settings_;
    ScriptedCommonDialog1 dialogs_;
    ScriptedMessageBoxes messages_;
    std::unique_ptr<EditorWindow> editor_;
    QString err_;
    std::unique_ptr<QTextStream> errStream_;
};

void TestBatchSession::initTestCase() {
    QVERIFY2(printed::missingTools().isEmpty(), qPrintable(printed::missingTools().join(u' ')));
    QVERIFY(dir_.isValid());
}

void TestBatchSession::init() {
    settingsDir_ = std::make_unique<QTemporaryDir>();
    settings_ = {settingsDir_->path(), settingsDir_->filePath(QStringLiteral("user"))};
    dialogs_ = ScriptedCommonDialog1();
    messages_ = ScriptedMessageBoxes();
    err_.clear();
    errStream_ = std::make_unique<QTextStream>(&err_);
}

void TestBatchSession::cleanup() {
    editor_.reset();
}

void TestBatchSession::openEditor() {
    editor_ = std::make_unique<EditorWindow>(dialogs_, messages_, settings_);
    editor_->show();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
}

void TestBatchSession::useDataTxt(const char* name) {
    if (name[0] != '\0') {
        copyFile(fixture::path(name), settings_.programFile());
    }
}

void TestBatchSession::sameSheetAsTheEditor_data() {
    QTest::addColumn<QString>("dataTxt");
    QTest::addColumn<QString>("file");
    const QString full = fixture::path("full_sheet.csv");
    QTest::newRow("first start, full sheet") << "" << full;
    QTest::newRow("data.txt, labels only")
        << "layout_only_data.txt" << fixture::path("records_without_layout.csv");
    QTest::newRow("first start, damaged file")
        << "" << fixture::path("record_22_and_cut_after_10.csv");
    QTest::newRow("first start, hand-edited file")
        << "" << fixture::datafile("records_out_of_order.csv");
}

void TestBatchSession::sameSheetAsTheEditor() {
    QFETCH(QString, dataTxt);
    QFETCH(QString, file);
    useDataTxt(qPrintable(dataTxt));
    openEditor();
    QVERIFY(openSheetFile(*editor_, file));

    BatchSession batch(settings_, *errStream_);
    QVERIFY(batch.open(file));
    compareSheets(batch.sheet(), editor_->sheet());
    // The window told the user about a damaged file in a box, the session on the console.
    const bool editorWarned = !messages_.shown().isEmpty();
    QCOMPARE(err_.contains(QStringLiteral("一部を読み込めませんでした")), editorWarned);
}

void TestBatchSession::samePrintedPageAsTheEditor_data() {
    QTest::addColumn<QString>("file");
    QTest::newRow("full sheet") << fixture::path("full_sheet.csv");
    QTest::newRow("damaged file") << fixture::path("record_22_and_cut_after_10.csv");
}

void TestBatchSession::samePrintedPageAsTheEditor() {
    QFETCH(QString, file);
    openEditor();
    QVERIFY(openSheetFile(*editor_, file));
    // 印刷(&P) in the window, the user choosing a full-page 600-dpi PDF printer.
    const QString editorPdf = dir_.filePath(QStringLiteral("editor.pdf"));
    DialogAnswer answer;
    answer.choosePrinter = [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(editorPdf);
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
    };
    dialogs_.script(answer);
    editor_->controls().P_印刷->trigger();
    QCOMPARE(dialogs_.shownKinds(), QStringList{QStringLiteral("printer")});

    BatchSession batch(settings_, *errStream_);
    QVERIFY(batch.open(file));
    const QString batchPdf = dir_.filePath(QStringLiteral("batch.pdf"));
    QVERIFY2(batch.printPdf(batchPdf, 600), qPrintable(err_));
    // Printing leaves the preview scale as it was, in both.
    QCOMPARE(batch.sheet().zoom, 0.5);
    QCOMPARE(editor_->sheet().zoom, 0.5);

    const QImage editorPage =
        printed::rasterise(editorPdf, 150, dir_.filePath(QStringLiteral("editor.png")));
    const QImage batchPage =
        printed::rasterise(batchPdf, 150, dir_.filePath(QStringLiteral("batch.png")));
    QVERIFY(!editorPage.isNull());
    QCOMPARE(batchPage.size(), editorPage.size());
    QVERIFY2(batchPage == editorPage, "the pages differ");
}

void TestBatchSession::samePreviewAsTheEditor_data() {
    QTest::addColumn<int>("zoomPercent");
    QTest::newRow("50 %") << 50;
    QTest::newRow("100 %") << 100;
}

void TestBatchSession::samePreviewAsTheEditor() {
    QFETCH(int, zoomPercent);
    const QString file = fixture::path("full_sheet.csv");
    openEditor();
    QVERIFY(openSheetFile(*editor_, file));
    if (zoomPercent == 100) {
        QTest::mouseClick(editor_->controls().倍率, Qt::LeftButton);
    }
    // What showPreview leaves on picDraw, before the JAN field frames the current label.
    editor_->sheetCommands().showPreview();
    const QImage editorPreview = editor_->preview().picDraw().image();

    BatchSession batch(settings_, *errStream_);
    QVERIFY(batch.open(file));
    const QString png = dir_.filePath(QStringLiteral("preview.png"));
    QVERIFY(batch.savePreviewPng(png, zoomPercent));
    QCOMPARE(batch.sheet().zoom, zoomPercent / 100.0);
    QCOMPARE(batch.sheet().倍率, editor_->sheet().倍率);
    const QImage saved = QImage(png).convertToFormat(editorPreview.format());
    QCOMPARE(saved.size(), editorPreview.size());
    QVERIFY2(saved == editorPreview, "the previews differ");
}

QTEST_MAIN(TestBatchSession)
#include "tst_batchsession.moc"
