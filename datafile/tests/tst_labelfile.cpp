#include <sys/stat.h>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "FailAfterDevice.h"
#include "LabelFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using namespace testlayouts;

Q_DECLARE_METATYPE(zukaro::Layout)

namespace {

// Labels as "n:jan|maker|product|spec|lot|price" joined by ';', empty texts at the end left off.
const QString kLabel1 = u"1:4901234567894|カトー製菓|ポテトチップス　うすしお味|60g|L-0123|128"_qs;
const QString kFullSheet = kLabel1 +
                           u";3:49012348|メーカー, 株式会社|品名に～と①と髙|規格\\ＭＳ||1980"
                           u";21:4512345678906|ﾊﾝｶｸ ｶﾅ|最後のラベル||ロット21|9999"_qs;

QString labelsOf(const SheetState& sheet) {
    static const QRegularExpression emptyAtEnd(u"\\|+$"_qs);
    QStringList labels;
    for (int n = 1; n <= kLabelCount; ++n) {
        const LabelRecord r = sheet.label(n);
        const QStringList texts{r.jan, r.maker, r.product, r.spec, r.lot, r.price};
        if (!r.isBlank()) {
            labels << u"%1:%2"_qs.arg(n).arg(texts.join(u'|').remove(emptyAtEnd));
        }
    }
    return labels.join(u';');
}

SheetState sheetWith(const QString& labels, const Layout& layout) {
    SheetState sheet;
    sheet.layout = layout;
    for (const QString& label : labels.split(u';', Qt::SkipEmptyParts)) {
        const QStringList t = label.section(u':', 1).split(u'|');
        sheet.setLabel(label.section(u':', 0, 0).toInt(),
                       {t.value(0), t.value(1), t.value(2), t.value(3), t.value(4), t.value(5)});
    }
    return sheet;
}

// What a sheet holds before a file is opened into it.
SheetState busySheet() {
    SheetState sheet = sheetWith(u"1:old|old|old|old|old|old;21:old"_qs, firstStart());
    applyDefaultPattern(sheet);
    sheet.currentLabel = 9;
    return sheet;
}

}  // namespace

class TestLabelFile : public QObject {
    Q_OBJECT

private slots:
    // Write (unencodable characters as ?), read into a busy sheet, write again: the same bytes.
    void roundTrip_data() {
        QTest::addColumn<QString>("labels");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QString>("golden");
        QTest::newRow("never filled")
            << QString() << firstStart() << QString() << u"never_filled_first_start.csv"_qs;
        QTest::newRow("full sheet")
            << kFullSheet << custom() << kFullSheet << u"full_sheet_custom_layout.csv"_qs;
        Layout odd = custom();
        odd.品名表示 = u"知らない表示"_qs;
        odd.x座標調整 = QString();
        odd.makerX = -32768;
        QTest::newRow("quotes, line break, blanks, unknown caption, empty box")
            << u"21:\"4901\"|a\r\nb|say \"hi\"|  x  |#TRUE#|0128"_qs << odd
            << u"21:”4901”|a\r\nb|say ”hi”|  x  |#TRUE#|0128"_qs << QString();
        QTest::newRow("unencodable") << u"3:||品♥名;21:|||||€9"_qs << firstStart()
                                     << u"3:||品?名;21:|||||?9"_qs << QString();
    }

    void roundTrip() {
        QFETCH(QString, labels);
        QFETCH(Layout, layout);
        QFETCH(QString, readBack);
        QFETCH(QString, golden);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sheet.csv"_qs);
        const FileResult saved =
            writeLabelFile(path, sheetWith(labels, layout), UnencodablePolicy::WriteQuestionMark);
        QVERIFY2(saved.ok, qPrintable(saved.error));
        const QByteArray bytes = readBytes(path);
        if (!golden.isEmpty()) {
            QCOMPARE(bytes, fixture(golden));
        }
        SheetState opened = busySheet();
        const LabelFileReport report = readLabelFile(path, opened);
        QVERIFY(report.opened && !report.anythingSkipped());
        QCOMPARE(labelsOf(opened), readBack);
        QCOMPARE(labelFileBytes(opened), bytes);
    }

    void open_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size");  // grown to this size; 0: as it is; -1: a named pipe
        QTest::addColumn<QString>("labels");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<bool>("skipped");   // the open command must warn
        QTest::addColumn<QString>("error");  // part of the reason; empty when the file opens
        const auto file = [](const char* name, const QString& labels, const QString& layout,
                             bool skipped = false) {
            QTest::newRow(name) << fixture(QString::fromLatin1(name) + u".csv"_qs) << qint64{0}
                                << labels << layout << skipped << QString();
        };
        // A file that is not opened leaves the sheet as it was.
        const QString before = asText(busySheet().layout);
        const auto refused = [&](const char* name, const QByteArray& bytes, const QString& error,
                                 qint64 size = 0) {
            QTest::newRow(name) << bytes << size << labelsOf(busySheet()) << before << false
                                << error;
        };
        const QString customText = asText(custom()), firstText = asText(firstStart());
        QString inRange = u"5:555|five"_qs;
        for (int n = 6; n <= kLabelCount; ++n) {
            inRange += u";%1:%1"_qs.arg(n);
        }
        file("lf_only_line_ends", kFullSheet, customText);
        file("record_out_of_range", inRange, firstText, true);
        file("record_number_half_even",
             u"1:one;2:one-and-half;4:even-up;7:exp;20:twenty-and-half"_qs, firstText, true);
        file("record_split_across_lines",
             u"1:4901234567894|メーカー|品名|規格|ロット|100;2:a||b|c|d|e"_qs, firstText);
        file("unquoted_numbers", u"1:4901234567894|7|-5|1.5|True|980"_qs, customText);
        file("quote_inside_text", u"1:JAN|say |品名|規格|ロット|1"_qs, customText, true);
        file("invalid_bytes",
             QString(kFullSheet).replace(u"カトー製菓"_qs, u"\uFFFD\uFFFDX\uFFFD"_qs), customText,
             true);
        file("unclosed_quote", kLabel1 + u";2:abc,def\r\nghi\r\n"_qs, before, true);
        const QString wrong = u"1 行目が"_qs;
        refused("header_trailing_blank", fixture(u"header_trailing_blank.csv"_qs), wrong);
        refused("over 16 MiB", fixture(u"full_sheet_custom_layout.csv"_qs), u"大きすぎます"_qs,
                kMaxFileSize + 1);
        refused("named pipe", {}, u"普通のファイルではありません"_qs, -1);
    }

    void open() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, labels);
        QFETCH(QString, layout);
        QFETCH(bool, skipped);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sheet.csv"_qs);
        if (size < 0) {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            writeBytes(path, bytes);
            QVERIFY(size == 0 || QFile::resize(path, size));
        }
        SheetState sheet = busySheet();
        const LabelFileReport read = readLabelFile(path, sheet);
        QCOMPARE(read.opened, error.isEmpty());
        QVERIFY2(read.error.contains(error), qPrintable(read.error));
        QCOMPARE(labelsOf(sheet), labels);
        QCOMPARE(asText(sheet.layout), layout);
        QCOMPARE(read.anythingSkipped(), skipped);
    }

    // A refused or failed save leaves the old file as it was, and no temporary file.
    void failedSaveLeavesOldFile_data() {
        QTest::addColumn<QString>("labels");
        QTest::addColumn<qint64>("failAfter");  // bytes the device lets through
        QTest::addColumn<QString>("error");
        const qint64 oneShort = fixture(u"full_sheet_custom_layout.csv"_qs).size() - 1;
        QTest::newRow("device fails one byte short") << kFullSheet << oneShort << u"sheet.csv"_qs;
        QTest::newRow("unencodable refused") << u"3:||品♥名;21:|||||€9"_qs << kMaxFileSize
                                             << u"ラベル 3 の品名、2 文字目「♥」(U+2665)\n"
                                                u"ラベル 21 の売価、1 文字目「€」(U+20AC)"_qs;
    }

    void failedSaveLeavesOldFile() {
        QFETCH(QString, labels);
        QFETCH(qint64, failAfter);
        QFETCH(QString, error);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"sheet.csv"_qs);
        const QByteArray old = fixture(u"never_filled_first_start.csv"_qs);
        writeBytes(path, old);
        const FileResult saved =
            writeLabelFile(path, sheetWith(labels, custom()), UnencodablePolicy::Refuse,
                           [failAfter](QIODevice& file) -> std::unique_ptr<QIODevice> {
                               return std::make_unique<FailAfterDevice>(file, failAfter);
                           });
        QVERIFY(!saved.ok);
        QVERIFY2(saved.error.contains(error), qPrintable(saved.error));
        QCOMPARE(readBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"sheet.csv"_qs});
    }
};

QTEST_APPLESS_MAIN(TestLabelFile)
#include "tst_labelfile.moc"
