#include <sys/stat.h>
#include <QDir>
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
    QStringList labels;
    for (int n = 1; n <= kLabelCount; ++n) {
        const LabelRecord r = sheet.label(n);
        QString label = u"%1:"_qs.arg(n) +
                        QStringList{r.jan, r.maker, r.product, r.spec, r.lot, r.price}.join(u'|');
        while (label.endsWith(u'|')) {
            label.chop(1);
        }
        if (!r.isBlank()) {
            labels << label;
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

// The report in short, e.g. "drop5 drop6 dup2 missing4 settings100 unclosed1".
QString summaryOf(const LabelFileReport& r) {
    QStringList s;
    for (int n : r.droppedRecords) {
        s << u"drop%1"_qs.arg(n);
    }
    for (int n : r.overwrittenLabels) {
        s << u"dup%1"_qs.arg(n);
    }
    const std::pair<const char*, qsizetype> counts[] = {
        {"missing", r.missingFields},     {"settings", r.settingsFieldsSkipped},
        {"trailing", r.trailingFields},   {"invalid", r.invalidBytes},
        {"quotes", r.droppedAfterQuotes}, {"unclosed", r.unclosedQuote}};
    for (const auto& [name, count] : counts) {
        if (count > 0) {
            s << QString::fromLatin1(name) + QString::number(count);
        }
    }
    return s.join(u' ');
}

}  // namespace

class TestLabelFile : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void open_data();
    void open();
    void warningsSayWhatWasSkipped();
    void unencodableCharactersAreListedBeforeWriting();
    void failedSaveLeavesOldFile();
};

void TestLabelFile::roundTrip_data() {
    QTest::addColumn<QString>("labels");
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<QString>("readBack");
    QTest::addColumn<QString>("golden");  // the fixture the file must equal byte for byte

    QTest::newRow("never filled") << QString() << firstStart() << QString()
                                  << u"never_filled_first_start.csv"_qs;
    QTest::newRow("full sheet") << kFullSheet << custom() << kFullSheet
                                << u"full_sheet_custom_layout.csv"_qs;
    Layout odd = custom();
    odd.品名表示 = u"知らない表示"_qs;
    odd.x座標調整 = QString();
    odd.y座標調整 = u"10"_qs;
    odd.makerFont.Name = u"Font, with comma"_qs;
    odd.makerX = -32768;
    odd.makerY = 32767;
    odd.priceColor = 2147483647;
    QTest::newRow("label 21 only, odd layout") << u"21:||x"_qs << odd << u"21:||x"_qs << QString();
    QTest::newRow("quotes, line break, blanks, Boolean, leading zero")
        << u"2:\"4901\"|a\r\nb|say \"hi\"|  x  |#TRUE#|0128"_qs << firstStart()
        << u"2:”4901”|a\r\nb|say ”hi”|  x  |#TRUE#|0128"_qs << QString();
    QTest::newRow("look-alikes in their code page form")
        << u"4:|〜−‖|¥100"_qs << firstStart() << u"4:|～－∥|￥100"_qs << QString();
}

void TestLabelFile::roundTrip() {
    QFETCH(QString, labels);
    QFETCH(Layout, layout);
    QFETCH(QString, readBack);
    QFETCH(QString, golden);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const SheetState sheet = sheetWith(labels, layout);
    const FileResult saved = writeLabelFile(path, sheet, UnencodablePolicy::Refuse);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes, golden.isEmpty() ? labelFileBytes(sheet) : fixture(golden));

    SheetState opened = busySheet();
    const LabelFileReport report = readLabelFile(path, opened);
    QVERIFY(report.opened);
    QCOMPARE(report.warnings(), QStringList{});
    QCOMPARE(labelsOf(opened), readBack);
    QCOMPARE(asText(opened.layout), asText(layout));
    QCOMPARE(labelFileBytes(opened), bytes);
}

void TestLabelFile::open_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("size");  // grown to this size; 0: as it is; -1: a named pipe
    QTest::addColumn<QString>("labels");
    QTest::addColumn<QString>("layout");  // empty: not checked
    QTest::addColumn<QString>("report");
    QTest::addColumn<QString>("error");  // part of the reason; empty when the file opens
    const auto row = [](const char* name, const QByteArray& bytes, const QString& labels,
                        const QString& layout, const QString& report, const QString& error = {},
                        qint64 size = 0) {
        QTest::newRow(name) << bytes << size << labels << layout << report << error;
    };
    const auto file = [&row](const char* name, const QString& labels, const QString& layout,
                             const QString& report = {}) {
        row(name, fixture(QString::fromLatin1(name) + u".csv"_qs), labels, layout, report);
    };
    // A file that is not opened leaves the sheet as it was.
    const QString beforeText = asText(busySheet().layout);
    const auto refused = [&](const char* name, const QByteArray& bytes, const QString& error,
                             qint64 size = 0) {
        row(name, bytes, labelsOf(busySheet()), beforeText, {}, error, size);
    };
    const QString customText = asText(custom());
    const QString firstText = asText(firstStart());
    const Layout before = busySheet().layout;
    QString inRange = u"5:555|five"_qs;
    for (int n = 6; n <= kLabelCount; ++n) {
        inRange += u";%1:%1"_qs.arg(n);
    }
    file("lf_only_line_ends", kFullSheet, customText);
    file("header_unquoted", kFullSheet, customText);
    file("records_out_of_order", u"3:333|three;7:111|seven"_qs, firstText);
    file("record_out_of_range", inRange, firstText, u"drop1 drop2 drop3 drop4"_qs);
    file("duplicate_record_numbers", u"5:second||品名2"_qs, firstText, u"dup5"_qs);
    file("record_number_half_even", u"1:one;2:one-and-half;4:even-up;7:exp;20:twenty-and-half"_qs,
         firstText, u"drop5 drop6 dup2"_qs);
    file("record_split_across_lines",
         u"1:4901234567894|メーカー|品名|規格|ロット|100;2:a||b|c|d|e"_qs, firstText);
    file("unquoted_numbers", u"1:4901234567894|7|-5|1.5|True|980"_qs, customText);
    file("blank_lines_between_records", u"1:a|b|c|d|e|f;2:g|h|i|j|k|l"_qs, customText);
    file("quote_inside_text", u"1:JAN|say |品名|規格|ロット|1"_qs, customText, u"quotes7"_qs);
    file("invalid_bytes", QString(kFullSheet).replace(u"カトー製菓"_qs, u"\uFFFD\uFFFDX\uFFFD"_qs),
         customText, u"invalid4"_qs);
    file("ends_after_record_3", kLabel1 + u";3:49012348|メーカー"_qs, beforeText,
         u"missing130 settings100"_qs);
    file("ends_inside_settings", kFullSheet, splice(custom(), 4, before), u"settings57"_qs);
    file("unclosed_quote", kLabel1 + u";2:abc,def\r\nghi\r\n"_qs, beforeText,
         u"missing138 settings100 unclosed1"_qs);
    file("extra_record_shifts_settings", kFullSheet, QString(), u"settings21 trailing7"_qs);

    const QByteArray never = fixture(u"never_filled_first_start.csv"_qs);
    const QByteArray records = never.mid(never.indexOf('\n') + 1);
    const QByteArray word("\x83\x59\x83\x4a\x83\x8d");  // ズカロ
    row("blank lines before the header", "\r\n\r\n" + never, QString(), firstText, {});
    const QByteArray full = fixture(u"full_sheet_custom_layout.csv"_qs);
    row("exactly 16 MiB is read", full, kFullSheet, customText, u"trailing1"_qs, {}, kMaxFileSize);
    const QString wrong = u"1 行目が"_qs;
    refused("header_trailing_blank", fixture(u"header_trailing_blank.csv"_qs), wrong);
    refused("header_wrong", fixture(u"header_wrong.csv"_qs), wrong);
    refused("header_utf8_bom", fixture(u"header_utf8_bom.csv"_qs), wrong);
    refused("UTF-8 header", "\"\xe3\x82\xba\xe3\x82\xab\xe3\x83\xad\"\r\n" + records, wrong);
    refused("byte-order mark", "\xef\xbb\xbf\"" + word + "\"\r\n" + records, wrong);
    refused("empty", QByteArray(), wrong);
    refused("over 16 MiB", full, u"大きすぎます"_qs, kMaxFileSize + 1);
    refused("named pipe", {}, u"普通のファイルではありません"_qs, -1);
}

void TestLabelFile::open() {
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, size);
    QFETCH(QString, labels);
    QFETCH(QString, layout);
    QFETCH(QString, report);
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
    QVERIFY2(error.isEmpty() ? read.error.isEmpty()
                             : read.error.startsWith(u"ズカロ形式のデータではありません。"_qs) &&
                                   read.error.contains(error),
             qPrintable(read.error));
    QCOMPARE(labelsOf(sheet), labels);
    if (!layout.isEmpty()) {
        QCOMPARE(asText(sheet.layout), layout);
    }
    QCOMPARE(summaryOf(read), report);
    QCOMPARE(read.anythingSkipped(), !report.isEmpty());
    QCOMPARE(sheet.currentLabel, 9);  // left to the open command
}

void TestLabelFile::warningsSayWhatWasSkipped() {
    SheetState sheet = busySheet();
    QCOMPARE(
        readLabelData(fixture(u"record_number_half_even.csv"_qs), sheet).warnings(),
        (QStringList{u"ラベル番号が 1 から 21 でない行を読み飛ばしました（5、6 件目の行）。"_qs,
                     u"同じラベル番号の行が複数あり、後の行を使いました（ラベル 2）。"_qs}));
}

void TestLabelFile::unencodableCharactersAreListedBeforeWriting() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    writeBytes(path, "keep me");
    SheetState sheet = sheetWith(kFullSheet, custom());
    sheet.productText[3] = u"品♥名"_qs;
    sheet.priceText[21] = u"€9"_qs;
    sheet.layout.yenFont.Name = u"맑은"_qs;
    QCOMPARE(describeUnencodable(findUnencodable(sheet), 3),
             u"ラベル 3 の品名、2 文字目「♥」(U+2665)\nラベル 21 の売価、1 文字目「€」(U+20AC)\n"
             u"レイアウトの円のフォント名、1 文字目「맑」(U+B9D1)\nほか 1 文字"_qs);

    const FileResult refused = writeLabelFile(path, sheet, UnencodablePolicy::Refuse);
    QVERIFY(!refused.ok);
    QVERIFY(refused.error.contains(u"ラベル 3 の品名、2 文字目「♥」(U+2665)"_qs));
    QCOMPARE(readBytes(path), QByteArray("keep me"));

    QVERIFY(writeLabelFile(path, sheet, UnencodablePolicy::WriteQuestionMark).ok);
    SheetState opened = busySheet();
    QVERIFY(readLabelFile(path, opened).opened);
    QCOMPARE(labelsOf(opened), QString(kFullSheet)
                                   .replace(u"品名に～と①と髙"_qs, u"品?名"_qs)
                                   .replace(u"9999"_qs, u"?9"_qs));
    QCOMPARE(opened.layout.yenFont.Name, u"??"_qs);
}

void TestLabelFile::failedSaveLeavesOldFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const QByteArray old = fixture(u"never_filled_first_start.csv"_qs);
    writeBytes(path, old);
    const qint64 oneShort = fixture(u"full_sheet_custom_layout.csv"_qs).size() - 1;
    const FileResult saved =
        writeLabelFile(path, sheetWith(kFullSheet, custom()), UnencodablePolicy::Refuse,
                       [oneShort](QIODevice& file) -> std::unique_ptr<QIODevice> {
                           return std::make_unique<FailAfterDevice>(file, oneShort);
                       });
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(QDir::toNativeSeparators(path)), qPrintable(saved.error));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"sheet.csv"_qs});
}

QTEST_APPLESS_MAIN(TestLabelFile)
#include "tst_labelfile.moc"
