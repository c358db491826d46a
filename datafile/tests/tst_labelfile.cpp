#include <sys/stat.h>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "FailAfterDevice.h"
#include "LabelFile.h"
#include "TestLayouts.h"

using namespace zukaro;
using testlayouts::asText;
using testlayouts::fixture;

Q_DECLARE_METATYPE(zukaro::Layout)

namespace {

using Labels = QMap<int, QStringList>;  // label → six texts, only the labels that hold any

// The labels of full_sheet_custom_layout.csv.
Labels fullSheetLabels() {
    return {
        {1,
         {u"4901234567894"_qs, u"カトー製菓"_qs, u"ポテトチップス　うすしお味"_qs, u"60g"_qs,
          u"L-0123"_qs, u"128"_qs}},
        {3,
         {u"49012348"_qs, u"メーカー, 株式会社"_qs, u"品名に～と①と髙"_qs, u"規格\\ＭＳ"_qs,
          QString(), u"1980"_qs}},
        {21,
         {u"4512345678906"_qs, u"ﾊﾝｶｸ ｶﾅ"_qs, u"最後のラベル"_qs, QString(), u"ロット21"_qs,
          u"9999"_qs}},
    };
}

Labels labelsOf(const SheetState& sheet) {
    Labels labels;
    for (int n = 1; n <= kLabelCount; ++n) {
        const LabelRecord r = sheet.label(n);
        if (!r.isBlank()) {
            labels.insert(n, {r.jan, r.maker, r.product, r.spec, r.lot, r.price});
        }
    }
    return labels;
}

SheetState sheetWith(const Labels& labels, const Layout& layout) {
    SheetState sheet;
    sheet.layout = layout;
    for (auto it = labels.begin(); it != labels.end(); ++it) {
        const QStringList& t = it.value();
        sheet.setLabel(it.key(), {t[0], t[1], t[2], t[3], t[4], t[5]});
    }
    return sheet;
}

// What a sheet holds before a file is opened into it.
SheetState busySheet() {
    Labels labels;
    for (int n = 1; n <= kLabelCount; ++n) {
        labels.insert(n, QStringList(6, u"old"_qs));
    }
    SheetState sheet = sheetWith(labels, testlayouts::firstStart());
    applyDefaultPattern(sheet);
    sheet.currentLabel = 9;
    return sheet;
}

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace

class TestLabelFile : public QObject {
    Q_OBJECT

private slots:
    void neverFilledSheetIsByteExact();
    void fullSheetIsByteExact();
    void header_data();
    void header();
    void readFixture_data();
    void readFixture();
    void failedHeaderChangesNothing_data();
    void failedHeaderChangesNothing();
    void truncatedFiles();
    void warningsSayWhatWasSkipped();
    void roundTrip_data();
    void roundTrip();
    void unencodableCharactersAreListedBeforeWriting();
    void failedSaveLeavesOldFileByteIdentical_data();
    void failedSaveLeavesOldFileByteIdentical();
    void readOnlyTargetIsRefused();
};

void TestLabelFile::neverFilledSheetIsByteExact() {
    SheetState sheet;
    applyFirstStartValues(sheet.layout);
    const QByteArray bytes = labelFileBytes(sheet);
    QCOMPARE(bytes, fixture(u"never_filled_first_start.csv"_qs));
    QCOMPARE(bytes.count("\r\n"), 32);
    QVERIFY(bytes.startsWith(
        "\"\x83\x59\x83\x4a\x83\x8d\"\r\n\" 1\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QVERIFY(bytes.contains("\r\n\" 12\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QVERIFY(!bytes.endsWith("\r\n\r\n"));
}

void TestLabelFile::fullSheetIsByteExact() {
    const SheetState sheet = sheetWith(fullSheetLabels(), testlayouts::custom());
    QCOMPARE(labelFileBytes(sheet), fixture(u"full_sheet_custom_layout.csv"_qs));
}

void TestLabelFile::header_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("passes");
    const QByteArray word("\x83\x59\x83\x4a\x83\x8d");  // ズカロ
    QTest::newRow("quoted") << "\"" + word + "\"\r\n" << true;
    QTest::newRow("first field only") << "\"" + word + "\",\"x\"" << true;
    QTest::newRow("unquoted") << word + "\r\n" << true;
    QTest::newRow("blank lines before") << "\r\n\r\n\"" + word + "\"" << true;
    QTest::newRow("trailing blank inside quotes") << "\"" + word + " \"" << false;
    QTest::newRow("leading blank inside quotes") << "\" " + word + "\"" << false;
    QTest::newRow("half-width katakana") << QByteArray("\"\xbd\xde\xb6\xdb\"") << false;
    QTest::newRow("UTF-8") << QByteArray("\"\xe3\x82\xba\xe3\x82\xab\xe3\x83\xad\"") << false;
    QTest::newRow("byte-order mark") << "\xef\xbb\xbf\"" + word + "\"" << false;
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("longer word") << "\"" + word + "2\"" << false;
}

void TestLabelFile::header() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, passes);
    QCOMPARE(hasLabelFileHeader(bytes), passes);
    SheetState sheet = busySheet();
    QCOMPARE(readLabelData(bytes, sheet).opened, passes);
}

void TestLabelFile::readFixture_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<Labels>("labels");
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<QList<int>>("dropped");
    QTest::addColumn<QList<int>>("overwritten");
    QTest::addColumn<int>("settingsSkipped");
    QTest::addColumn<int>("trailing");
    QTest::addColumn<int>("invalidBytes");
    QTest::addColumn<int>("droppedAfterQuotes");

    const Layout custom = testlayouts::custom();
    const Layout first = testlayouts::firstStart();
    const QList<int> none;
    const auto empty = [](int n, const QString& jan, const QString& maker = {},
                          const QString& product = {}) {
        return std::pair<const int, QStringList>{
            n, {jan, maker, product, QString(), QString(), QString()}};
    };

    QTest::newRow("full sheet") << u"full_sheet_custom_layout.csv"_qs << fullSheetLabels() << custom
                                << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("LF-only line ends") << u"lf_only_line_ends.csv"_qs << fullSheetLabels() << custom
                                       << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("never filled") << u"never_filled_first_start.csv"_qs << Labels{} << first << none
                                  << none << 0 << 0 << 0 << 0;
    QTest::newRow("unquoted header") << u"header_unquoted.csv"_qs << fullSheetLabels() << custom
                                     << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("records out of order")
        << u"records_out_of_order.csv"_qs
        << Labels{empty(7, u"111"_qs, u"seven"_qs), empty(3, u"333"_qs, u"three"_qs)} << first
        << none << none << 0 << 0 << 0 << 0;

    Labels inRange{empty(5, u"555"_qs, u"five"_qs)};
    for (int n = 6; n <= 21; ++n) {
        inRange.insert(empty(n, QString::number(n)).first, empty(n, QString::number(n)).second);
    }
    QTest::newRow("0, 22, text and empty numbers dropped")
        << u"record_out_of_range.csv"_qs << inRange << first << QList<int>{1, 2, 3, 4} << none << 0
        << 0 << 0 << 0;
    QTest::newRow("later duplicate wins whole")
        << u"duplicate_record_numbers.csv"_qs
        << Labels{{5, {u"second"_qs, QString(), u"品名2"_qs, QString(), QString(), QString()}}}
        << first << none << QList<int>{5} << 0 << 0 << 0 << 0;
    QTest::newRow("numbers rounded half to even")
        << u"record_number_half_even.csv"_qs
        << Labels{empty(1, u"one"_qs), empty(2, u"one-and-half"_qs), empty(4, u"even-up"_qs),
                  empty(7, u"exp"_qs), empty(20, u"twenty-and-half"_qs)}
        << first << QList<int>{5, 6} << QList<int>{2} << 0 << 0 << 0 << 0;
    QTest::newRow("records split across lines")
        << u"record_split_across_lines.csv"_qs
        << Labels{{1,
                   {u"4901234567894"_qs, u"メーカー"_qs, u"品名"_qs, u"規格"_qs, u"ロット"_qs,
                    u"100"_qs}},
                  {2, {u"a"_qs, QString(), u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs}}}
        << first << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("unquoted numbers become decimal text")
        << u"unquoted_numbers.csv"_qs
        << Labels{{1, {u"4901234567894"_qs, u"7"_qs, u"-5"_qs, u"1.5"_qs, u"True"_qs, u"980"_qs}}}
        << custom << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("blank lines between records")
        << u"blank_lines_between_records.csv"_qs
        << Labels{{1, {u"a"_qs, u"b"_qs, u"c"_qs, u"d"_qs, u"e"_qs, u"f"_qs}},
                  {2, {u"g"_qs, u"h"_qs, u"i"_qs, u"j"_qs, u"k"_qs, u"l"_qs}}}
        << custom << none << none << 0 << 0 << 0 << 0;
    QTest::newRow("quote inside a text splits it")
        << u"quote_inside_text.csv"_qs
        << Labels{{1, {u"JAN"_qs, u"say "_qs, u"品名"_qs, u"規格"_qs, u"ロット"_qs, u"1"_qs}}}
        << custom << none << none << 0 << 0 << 0 << 7;

    Labels invalid = fullSheetLabels();
    invalid[1][1] = u"\uFFFD\uFFFDX\uFFFD"_qs;
    QTest::newRow("invalid bytes")
        << u"invalid_bytes.csv"_qs << invalid << custom << none << none << 0 << 0 << 4 << 0;
}

void TestLabelFile::readFixture() {
    QFETCH(QString, file);
    QFETCH(Labels, labels);
    QFETCH(Layout, layout);
    QFETCH(QList<int>, dropped);
    QFETCH(QList<int>, overwritten);
    QFETCH(int, settingsSkipped);
    QFETCH(int, trailing);
    QFETCH(int, invalidBytes);
    QFETCH(int, droppedAfterQuotes);

    SheetState sheet = busySheet();
    const LabelFileReport report = readLabelData(fixture(file), sheet);
    QVERIFY(report.opened);
    QVERIFY(report.error.isEmpty());
    QCOMPARE(labelsOf(sheet), labels);
    QCOMPARE(asText(sheet.layout), asText(layout));
    QVERIFY(sheet.layout == layout);
    QCOMPARE(QList<int>(report.droppedRecords.begin(), report.droppedRecords.end()), dropped);
    QCOMPARE(QList<int>(report.overwrittenLabels.begin(), report.overwrittenLabels.end()),
             overwritten);
    QCOMPARE(report.missingFields, 0);
    QCOMPARE(report.settingsFieldsSkipped, settingsSkipped);
    QCOMPARE(report.trailingFields, trailing);
    QCOMPARE(report.invalidBytes, invalidBytes);
    QCOMPARE(report.droppedAfterQuotes, droppedAfterQuotes);
    QVERIFY(!report.unclosedQuote);
    QCOMPARE(report.anythingSkipped(), !dropped.isEmpty() || !overwritten.isEmpty() ||
                                           invalidBytes > 0 || droppedAfterQuotes > 0);
    // Opening leaves the editing position to the open command.
    QCOMPARE(sheet.currentLabel, 9);

    // The same through the file system.
    SheetState viaFile = busySheet();
    QVERIFY(readLabelFile(QStringLiteral(TESTDATA "/") + file, viaFile).opened);
    QCOMPARE(labelsOf(viaFile), labels);
}

void TestLabelFile::failedHeaderChangesNothing_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    const QString data = QStringLiteral(TESTDATA "/");
    QTest::newRow("trailing blank") << data + u"header_trailing_blank.csv"_qs << u"ズカロ"_qs;
    QTest::newRow("other word") << data + u"header_wrong.csv"_qs << u"ズカロ"_qs;
    QTest::newRow("UTF-8 with byte-order mark") << data + u"header_utf8_bom.csv"_qs << u"ズカロ"_qs;
    QTest::newRow("missing file") << data + u"no_such_file.csv"_qs << u"見つかりません"_qs;
    QTest::newRow("folder") << data << u"普通のファイルではありません"_qs;
    QTest::newRow("named pipe") << u"fifo"_qs << u"普通のファイルではありません"_qs;
    QTest::newRow("over 16 MiB") << u"big"_qs << u"大きすぎます"_qs;
}

void TestLabelFile::failedHeaderChangesNothing() {
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    if (path == u"fifo") {
        path = dir.filePath(u"pipe.csv"_qs);
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (path == u"big") {
        path = dir.filePath(u"big.csv"_qs);
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fixture(u"full_sheet_custom_layout.csv"_qs));
        QVERIFY(f.resize(kMaxFileSize + 1));
    }
    SheetState sheet = busySheet();
    const SheetState before = busySheet();
    const LabelFileReport report = readLabelFile(path, sheet);
    QVERIFY(!report.opened);
    QVERIFY2(report.error.startsWith(u"ズカロ形式のデータではありません。"_qs),
             qPrintable(report.error));
    QVERIFY2(report.error.contains(reason), qPrintable(report.error));
    QVERIFY(report.warnings().isEmpty());
    QCOMPARE(labelsOf(sheet), labelsOf(before));
    QVERIFY(sheet.layout == before.layout);
}

void TestLabelFile::truncatedFiles() {
    SheetState sheet = busySheet();
    const Layout before = sheet.layout;
    LabelFileReport report = readLabelData(fixture(u"ends_after_record_3.csv"_qs), sheet);
    QVERIFY(report.opened);
    Labels expected = fullSheetLabels();
    expected[3] =
        QStringList{u"49012348"_qs, u"メーカー"_qs, QString(), QString(), QString(), QString()};
    expected.remove(21);
    QCOMPARE(labelsOf(sheet), expected);
    QCOMPARE(report.missingFields, 4 + 7 * 18);
    QCOMPARE(report.settingsFieldsSkipped, 100);
    QVERIFY(sheet.layout == before);
    QVERIFY(report.anythingSkipped());

    sheet = busySheet();
    report = readLabelData(fixture(u"ends_inside_settings.csv"_qs), sheet);
    QCOMPARE(labelsOf(sheet), fullSheetLabels());
    Layout partial = before;
    const Layout custom = testlayouts::custom();
    partial.x座標調整 = custom.x座標調整;
    partial.y座標調整 = custom.y座標調整;
    partial.縁取 = custom.縁取;
    partial.borderColor = custom.borderColor;
    partial.janFont = custom.janFont;
    partial.janColor = custom.janColor;
    partial.janX = custom.janX;
    partial.janY = custom.janY;
    partial.barX = custom.barX;
    partial.barY = custom.barY;
    partial.makerFont.Name = u"ＭＳ 明朝"_qs;
    partial.makerFont.Size = 10;
    QCOMPARE(asText(sheet.layout), asText(partial));
    QCOMPARE(report.settingsFieldsSkipped, 57);

    sheet = busySheet();
    report = readLabelData(fixture(u"unclosed_quote.csv"_qs), sheet);
    QVERIFY(report.unclosedQuote);
    QCOMPARE(sheet.label(1), sheetWith(fullSheetLabels(), {}).label(1));
    QCOMPARE(sheet.janText[2], u"abc,def\r\nghi\r\n"_qs);
    QCOMPARE(labelsOf(sheet).size(), 2);
    QCOMPARE(report.missingFields, 5 + 7 * 19);
    QVERIFY(sheet.layout == before);
    QVERIFY(report.warnings().contains(
        u"閉じていない \" があり、ファイルの終わりまでを一つの項目として読みました。"_qs));

    sheet = busySheet();
    report = readLabelData(fixture(u"extra_record_shifts_settings.csv"_qs), sheet);
    QCOMPARE(labelsOf(sheet), fullSheetLabels());
    QCOMPARE(report.trailingFields, 7);
    QVERIFY(report.settingsFieldsSkipped > 0);
    QVERIFY(report.anythingSkipped());
}

void TestLabelFile::warningsSayWhatWasSkipped() {
    SheetState sheet = busySheet();
    const LabelFileReport report = readLabelData(fixture(u"record_number_half_even.csv"_qs), sheet);
    QCOMPARE(
        report.warnings(),
        (QStringList{u"ラベル番号が 1 から 21 でない行を読み飛ばしました（5、6 件目の行）。"_qs,
                     u"同じラベル番号の行が複数あり、後の行を使いました（ラベル 2）。"_qs}));
    sheet = busySheet();
    QCOMPARE(readLabelData(fixture(u"full_sheet_custom_layout.csv"_qs), sheet).warnings(),
             QStringList{});
}

void TestLabelFile::roundTrip_data() {
    QTest::addColumn<Labels>("labels");
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<Labels>("readBack");

    QTest::newRow("full sheet") << fullSheetLabels() << testlayouts::custom() << fullSheetLabels();
    Labels all;
    for (int n = 1; n <= kLabelCount; ++n) {
        all.insert(n, {QString::number(4901234567000LL + n), u"株式会社カトー, 本店"_qs,
                       u"品名 %1 号"_qs.arg(n), u"1,000ml"_qs, u"ロット-%1"_qs.arg(n),
                       u"0%1"_qs.arg(n * 10)});
    }
    QTest::newRow("21 labels, commas, zero-padded prices")
        << all << testlayouts::firstStart() << all;
    Layout odd = testlayouts::custom();
    odd.品名表示 = u"知らない表示"_qs;
    odd.x座標調整 = QString();
    odd.makerX = -32768;
    QTest::newRow("only label 21, unknown caption, negative offsets")
        << Labels{{21, {QString(), QString(), u"x"_qs, QString(), QString(), QString()}}} << odd
        << Labels{{21, {QString(), QString(), u"x"_qs, QString(), QString(), QString()}}};
    QTest::newRow("quote and line break inside")
        << Labels{{2,
                   {u"\"4901\""_qs, u"a\r\nb"_qs, u"say \"hi\""_qs, QString(), QString(),
                    QString()}}}
        << testlayouts::firstStart()
        << Labels{
               {2, {u"”4901”"_qs, u"a\r\nb"_qs, u"say ”hi”"_qs, QString(), QString(), QString()}}};
    QTest::newRow("look-alikes saved in their code page form")
        << Labels{{4, {QString(), u"〜−‖"_qs, u"¥100"_qs, QString(), QString(), QString()}}}
        << testlayouts::firstStart()
        << Labels{{4, {QString(), u"～－∥"_qs, u"￥100"_qs, QString(), QString(), QString()}}};
}

void TestLabelFile::roundTrip() {
    QFETCH(Labels, labels);
    QFETCH(Layout, layout);
    QFETCH(Labels, readBack);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const SheetState sheet = sheetWith(labels, layout);
    const FileResult saved = writeLabelFile(path, sheet, UnencodablePolicy::Refuse);
    QVERIFY2(saved.ok, qPrintable(saved.error));
    const QByteArray bytes = readBytes(path);
    QCOMPARE(bytes, labelFileBytes(sheet));
    QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));

    SheetState opened = busySheet();
    const LabelFileReport report = readLabelFile(path, opened);
    QVERIFY(report.opened);
    QVERIFY(!report.anythingSkipped());
    QCOMPARE(labelsOf(opened), readBack);
    QCOMPARE(asText(opened.layout), asText(layout));
    QVERIFY(opened.layout == layout);
    // Writing what was read gives the same bytes again.
    QCOMPARE(labelFileBytes(opened), bytes);
}

void TestLabelFile::unencodableCharactersAreListedBeforeWriting() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const QByteArray old("keep me");
    writeBytes(path, old);

    SheetState sheet = sheetWith(fullSheetLabels(), testlayouts::custom());
    sheet.productText[3] = u"品♥名"_qs;
    sheet.priceText[21] = u"€9"_qs;
    sheet.layout.yenFont.Name = u"맑은"_qs;
    const std::vector<UnencodableText> found = findUnencodable(sheet);
    const std::vector<UnencodableText> expected{
        {3, u"品名"_qs, 2, U'♥'},
        {21, u"売価"_qs, 1, U'€'},
        {0, u"円のフォント名"_qs, 1, U'맑'},
        {0, u"円のフォント名"_qs, 2, U'은'},
    };
    QCOMPARE(found, expected);
    QCOMPARE(
        describeUnencodable(found, 2),
        u"ラベル 3 の品名、2 文字目「♥」(U+2665)\nラベル 21 の売価、1 文字目「€」(U+20AC)\nほか 2 文字"_qs);

    const FileResult refused = writeLabelFile(path, sheet, UnencodablePolicy::Refuse);
    QVERIFY(!refused.ok);
    QVERIFY(refused.error.contains(u"ラベル 3 の品名、2 文字目「♥」(U+2665)"_qs));
    QCOMPARE(readBytes(path), old);

    QVERIFY(writeLabelFile(path, sheet, UnencodablePolicy::WriteQuestionMark).ok);
    SheetState opened = busySheet();
    QVERIFY(readLabelFile(path, opened).opened);
    QCOMPARE(opened.productText[3], u"品?名"_qs);
    QCOMPARE(opened.priceText[21], u"?9"_qs);
    QCOMPARE(opened.layout.yenFont.Name, u"??"_qs);
    QCOMPARE(opened.makerText[3], u"メーカー, 株式会社"_qs);
}

void TestLabelFile::failedSaveLeavesOldFileByteIdentical_data() {
    QTest::addColumn<qint64>("failAfter");
    const qint64 size = fixture(u"full_sheet_custom_layout.csv"_qs).size();
    QTest::newRow("at once") << qint64{0};
    QTest::newRow("after the header") << qint64{10};
    QTest::newRow("halfway") << size / 2;
    QTest::newRow("one byte short") << size - 1;
}

void TestLabelFile::failedSaveLeavesOldFileByteIdentical() {
    QFETCH(qint64, failAfter);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const QByteArray old = fixture(u"never_filled_first_start.csv"_qs);
    writeBytes(path, old);
    const auto wrap = [failAfter](QIODevice& file) -> std::unique_ptr<QIODevice> {
        return std::make_unique<FailAfterDevice>(file, failAfter);
    };
    const SheetState sheet = sheetWith(fullSheetLabels(), testlayouts::custom());
    const FileResult saved = writeLabelFile(path, sheet, UnencodablePolicy::Refuse, wrap);
    QVERIFY(!saved.ok);
    QVERIFY(saved.error.contains(QDir::toNativeSeparators(path)));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"sheet.csv"_qs});
}

void TestLabelFile::readOnlyTargetIsRefused() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"sheet.csv"_qs);
    const QByteArray old = fixture(u"never_filled_first_start.csv"_qs);
    writeBytes(path, old);
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const FileResult saved =
        writeLabelFile(path, sheetWith(fullSheetLabels(), {}), UnencodablePolicy::Refuse);
    QVERIFY(!saved.ok);
    QVERIFY2(saved.error.contains(u"読み取り専用"_qs), qPrintable(saved.error));
    QCOMPARE(readBytes(path), old);
    QCOMPARE(QFileInfo(path).permissions() & QFileDevice::WriteOwner, QFileDevice::Permissions{});
}

QTEST_APPLESS_MAIN(TestLabelFile)
#include "tst_labelfile.moc"
