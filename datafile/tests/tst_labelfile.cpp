#include <sys/stat.h>
#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "Cp932.h"
#include "FailingFileSystem.h"
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
        if (!r.isBlank()) {
            const QStringList texts{
                QString::number(n) + ':' + r.jan, r.maker, r.product, r.spec, r.lot, r.price};
            labels << texts.join('|').remove(emptyAtEnd);
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

SheetState busySheet() {
    SheetState sheet = sheetWith(u"1:old|old|old|old|old|old;21:old"_qs, firstStart());
    applyDefaultPattern(sheet);
    return sheet;
}

}  // namespace

class TestLabelFile : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;  // a fresh one for every row
    QString path_;

private slots:
    void init() { path_ = dir_.emplace().filePath("sheet.csv"); }

    // A sheet saved over an older file (unencodable characters as ?), read into a busy sheet
    // and written again: the same bytes, the goldens where given. A save that is to fail
    // refuses unencodable characters, and leaves the old file as it was and no temporary file.
    void save_data() {
        QTest::addColumn<QString>("labels");
        QTest::addColumn<Layout>("layout");
        QTest::addColumn<qint64>("failAfter");  // bytes the disk lets through
        QTest::addColumn<QString>("outcome");   // the labels read back, or "error: " and why
        QTest::addColumn<QString>("golden");
        const auto row = [](const char* name, const QString& labels, const Layout& layout,
                            qint64 failAfter, const QString& outcome, const QString& golden = {}) {
            QTest::newRow(name) << labels << layout << failAfter << outcome << golden;
        };
        row("never filled", "", firstStart(), kMaxFileSize, "", "never_filled_first_start.csv");
        row("full sheet", kFullSheet, custom(), kMaxFileSize, kFullSheet,
            "full_sheet_custom_layout.csv");
        Layout odd = custom();
        odd.品名表示 = false;
        odd.x座標調整 = QString();
        odd.makerX = -32768;
        row("quotes, line break, blanks, hidden name, empty box",
            u"21:\"4901\"|a\r\nb|say \"hi\"|  x  |#TRUE#|0128"_qs, odd, kMaxFileSize,
            u"21:”4901”|a\r\nb|say ”hi”|  x  |#TRUE#|0128"_qs);
        row("unencodable as ?", u"3:||品♥名;21:|||||€9"_qs, firstStart(), kMaxFileSize,
            u"3:||品?名;21:|||||?9"_qs);
        row("unencodable refused", u"3:||品♥名;21:|||||€9"_qs, firstStart(), kMaxFileSize,
            u"error: 「FILE」に保存できませんでした。シフトJISで書けない文字があります。\n"
            u"ラベル 3 の品名、2 文字目「♥」(U+2665)\nラベル 21 の売価、1 文字目「€」(U+20AC)"_qs);
        row("disk full one byte short", kFullSheet, custom(),
            fixture(u"full_sheet_custom_layout.csv"_qs).size() - 1,
            u"error: 「FILE」に保存できませんでした。書き込みの途中でエラーが起きました"
            u"（ディスクの空きがありません）。"_qs);
    }

    void save() {
        QFETCH(QString, labels);
        QFETCH(Layout, layout);
        QFETCH(qint64, failAfter);
        QFETCH(QString, outcome);
        QFETCH(QString, golden);
        const QByteArray old = fixture(u"never_filled_first_start.csv"_qs);
        writeBytes(path_, old);
        FailingFileSystem disk(FailingFileSystem::Call::Write, int(failAfter), ENOSPC);
        const FileResult saved =
            writeLabelFile(path_, sheetWith(labels, layout),
                           outcome.startsWith("error: ") ? UnencodablePolicy::Refuse
                                                         : UnencodablePolicy::WriteQuestionMark,
                           disk);
        if (!saved.ok) {
            QCOMPARE(
                "error: " + QString(saved.error).replace(QDir::toNativeSeparators(path_), "FILE"),
                outcome);
            QCOMPARE(readBytes(path_), old);
            QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
                     QStringList{"sheet.csv"});
            return;
        }
        const QByteArray bytes = readBytes(path_);
        QVERIFY(golden.isEmpty() || bytes == fixture(golden));
        SheetState opened = busySheet();
        const LabelFileReport report = readLabelFile(path_, opened);
        QVERIFY(report.opened && !report.anythingSkipped());
        QCOMPARE(labelsOf(opened), outcome);
        QCOMPARE(labelFileBytes(opened), bytes);
    }

    // A file read into a busy sheet: what it warns of, or why it is refused (the file named
    // FILE, "unreadable: " when it could not be read at all), and the labels and layout after.
    void open_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("size");  // grown to this size; 0: as it is; -1: a named pipe;
                                           // -2: none; -3: links that go round in a circle
        QTest::addColumn<QString>("sheet");
        QTest::addColumn<QString>("outcome");
        const auto file = [](const char* name, const QString& labels, const QString& layout,
                             const QString& outcome = {}) {
            QTest::newRow(name) << fixture(QString::fromLatin1(name) + ".csv") << qint64{0}
                                << labels + '\n' + layout << outcome;
        };
        const QString before = asText(busySheet().layout);
        const auto refused = [&](const char* name, const QByteArray& bytes, const QString& error,
                                 qint64 size = 0) {
            QTest::newRow(name) << bytes << size << labelsOf(busySheet()) + '\n' + before << error;
        };
        const QString customText = asText(custom()), firstText = asText(firstStart());
        const QString cut = u"ファイルが途中で終わっています。足りない項目は空のままです。\n"_qs;
        const QString noSettings =
            u"レイアウト設定のうち 100 項目を読めなかったため、元の設定のままにしました。"_qs;
        const QString later = u"同じラベル番号の行が複数あり、後の行を使いました"_qs;
        const QString notOurs = u"「FILE」はズカロ形式のデータではありません。"_qs;
        const auto savedAs = [&](const char* encoding) {
            return notOurs + "このファイルは " + encoding +
                   " で保存されているようです。ズカロのファイルは Shift_JIS です。";
        };
        file("lf_only_line_ends", kFullSheet, customText);
        file("record_out_of_range",
             "5:555|five;6:6;7:7;8:8;9:9;10:10;11:11;12:12;13:13;14:14;15:15;16:16;17:17;18:18;"
             "19:19;20:20;21:21",
             firstText,
             "ラベル番号が 1 から 21 でない行を読み飛ばしました（1、2、3、4 件目の行）。");
        file("record_number_half_even", "1:one;2:one-and-half;4:even-up;7:exp;20:twenty-and-half",
             firstText,
             "ラベル番号が 1 から 21 でない行を読み飛ばしました（5、6 件目の行）。\n" + later +
                 "（ラベル 2）。");
        file("record_split_across_lines",
             "1:4901234567894|メーカー|品名|規格|ロット|100;2:a||b|c|d|e", firstText);
        file("unquoted_numbers", "1:4901234567894|7|-5|1.5|True|980", customText);
        file("quote_inside_text", "1:JAN|say |品名|規格|ロット|1", customText,
             "\" の後ろにあった 7 文字を読み飛ばしました。");
        file("invalid_bytes", QString(kFullSheet).replace("カトー製菓", "\uFFFD\uFFFDX\uFFFD"),
             customText, "シフトJISとして読めないバイトが 4 個あり、「\uFFFD」にしました。");
        file("unclosed_quote", kLabel1 + ";2:abc,def\r\nghi\r\n", before,
             cut + "閉じていない \" があり、ファイルの終わりまでを一つの項目として読みました。\n" +
                 noSettings);
        // The later record empties the label before it refills it, even when it is cut short.
        file("duplicate_cut_short", "5:second", before,
             later + "（ラベル 5）。\n" + cut + noSettings);
        file("records_out_of_order", "3:333|three;7:111|seven", firstText);
        file("ends_after_record_3", kLabel1 + ";3:49012348|メーカー", before, cut + noSettings);
        // Font size 0 and colours -1 and 0x1000000 keep what the sheet had.
        Layout kept = firstStart();
        kept.janFont.Size = busySheet().layout.janFont.Size;
        file("nul_and_out_of_range_settings", "1:4901234567894|メーカー|品名|規格|ロット|100",
             asText(kept),
             "レイアウト設定のうち 3 項目を読めなかったため、元の設定のままにしました。\n"
             "ラベルの文字に混じっていた NUL 文字 2 個を取り除きました。");
        // A line after the block that this program does not know is skipped, and said.
        QTest::newRow("unknown line after the block")
            << fixture("full_sheet_custom_layout.csv") +
                   cp932::encode(u"\"将来の設定\",1,2,3\r\n"_qs).bytes
            << qint64{0} << kFullSheet + '\n' + customText
            << "33 行目（「将来の設定」で始まる行）は、この版では使わない設定のため"
               "読み飛ばしました。";
        refused("header_trailing_blank", fixture("header_trailing_blank.csv"),
                notOurs + "1 行目が \"ズカロ\" ではありません。");
        refused("empty", {}, notOurs + "1 行目が \"ズカロ\" ではありません。");
        refused("header_utf8_bom", fixture("header_utf8_bom.csv"), savedAs("UTF-8"));
        refused("utf-16 without byte-order mark",
                QByteArray::fromRawData(reinterpret_cast<const char*>(u"\"ズカロ\"\r\n\" 1\""), 22),
                savedAs("UTF-16"));
        // A file that cannot be read says why, not that it is not ours.
        refused("over 16 MiB", fixture("lf_only_line_ends.csv"),
                "unreadable: 「FILE」は大きすぎます（16777216 バイトまで）。", kMaxFileSize + 1);
        refused("named pipe", {},
                "unreadable: 「FILE」は普通のファイルではありません（名前付きパイプ）。", -1);
        refused("missing", {}, "unreadable: 「FILE」が見つかりません。", -2);
        refused("symbolic link loop", {},
                "unreadable: 「FILE」を開けません（シンボリックリンクが循環しています）。", -3);
    }

    void open() {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, size);
        QFETCH(QString, sheet);
        QFETCH(QString, outcome);
        if (size == -1) {
            QCOMPARE(mkfifo(QFile::encodeName(path_).constData(), 0600), 0);
        } else if (size == -3) {
            QVERIFY(QFile::link(path_, path_ + ".other") && QFile::link(path_ + ".other", path_));
        } else if (size >= 0) {
            writeBytes(path_, bytes);
            QVERIFY(size == 0 || QFile::resize(path_, size));
        }
        SheetState opened = busySheet();
        const LabelFileReport read = readLabelFile(path_, opened);
        QCOMPARE(read.opened
                     ? read.warnings().join('\n')
                     : (read.unreadable ? "unreadable: " : "") +
                           QString(read.error).replace(QDir::toNativeSeparators(path_), "FILE"),
                 outcome);
        QCOMPARE(labelsOf(opened) + '\n' + asText(opened.layout), sheet);
    }

    // Prices with tax travel in lines after the block: every setting comes back; the first 32
    // lines are those of the same sheet without them, so a reader that knows only those still
    // opens the file.
    // The tax kinds of a register's list (内税, 非課税) come after the rates, and 単位価格
    // last, so a reader that stops at a line it does not know has everything else.
    void priceSettingsAfterTheBlock() {
        SheetState sheet = sheetWith(kFullSheet, withPrices());
        std::tie(sheet.taxRate[3], sheet.taxRate[21]) = std::pair("8", "10");
        std::tie(sheet.taxKind[3], sheet.taxKind[1]) = std::pair("内税", "非課税");
        sheet.layout.unitPriceShown = true;
        sheet.layout.unitPriceRounding = UnitPriceRounding::TenthYen;
        QVERIFY(writeLabelFile(path_, sheet, UnencodablePolicy::Refuse).ok);
        const QByteArray bytes = readBytes(path_);
        SheetState withoutKinds = sheet;
        withoutKinds.taxKind.clear();
        withoutKinds.layout.unitPriceShown = false;
        withoutKinds.layout.unitPriceRounding = UnitPriceRounding::WholeYen;
        QVERIFY(bytes.startsWith(labelFileBytes(withoutKinds)));
        QCOMPARE(bytes.mid(labelFileBytes(withoutKinds).size()),
                 cp932::encode(u"\"税区分\",\"非課税\",\"\",\"内税\""_qs +
                               QString(",\"\"").repeated(18) +
                               "\r\n\"単位価格\",#TRUE#,\"0.1円\",\"ＭＳ 明朝\",6,#FALSE#,"
                               "#FALSE#,0,0,0\r\n")
                     .bytes);
        SheetState plain = sheet;
        resetLinesAfterBlock(plain.layout);
        plain.taxRate.clear();
        plain.taxKind.clear();
        QVERIFY(bytes.startsWith(labelFileBytes(plain)));
        QCOMPARE(bytes.mid(labelFileBytes(plain).size()).count("\r\n"), 6);

        SheetState opened = busySheet();
        const LabelFileReport report = readLabelFile(path_, opened);
        QVERIFY2(report.opened && !report.anythingSkipped(),
                 qPrintable(report.warnings().join('\n')));
        QCOMPARE(labelFileBytes(opened), bytes);  // every setting and rate written came back

        // A file without those lines, opened over this sheet, leaves none of its settings behind.
        writeBytes(path_, labelFileBytes(plain));
        QVERIFY(readLabelFile(path_, opened).opened);
        QCOMPARE(labelFileBytes(opened), labelFileBytes(plain));
    }

    // A sale week and a rate change: the sale's settings, the rate changes and the labels'
    // sales in lines after the others, each only when there is something in it, so the file
    // without them is today's golden byte for byte. Read back into a busy sheet, the file is
    // written again byte for byte; a day that is no day stays as written (its sale off) and
    // is told.
    void saleLinesAfterTheBlock() {
        SheetState sheet = sheetWith(kFullSheet, withSale());
        std::tie(sheet.salePrice[1], sheet.saleFrom[1], sheet.saleTo[1]) =
            std::tuple("98", "2026-12-08", "2026-12-14");
        std::tie(sheet.salePrice[21], sheet.regularPrice[21], sheet.saleTo[21]) =
            std::tuple("8,980", "\\12,800", "2026-12-31");
        QVERIFY(writeLabelFile(path_, sheet, UnencodablePolicy::Refuse).ok);
        const QByteArray bytes = readBytes(path_);
        SheetState plain = sheet;
        resetLinesAfterBlock(plain.layout);
        for (LabelTexts* texts :
             {&plain.salePrice, &plain.regularPrice, &plain.saleFrom, &plain.saleTo}) {
            texts->clear();
        }
        QCOMPARE(labelFileBytes(plain), fixture(u"full_sheet_custom_layout.csv"_qs));
        QVERIFY(bytes.startsWith(labelFileBytes(plain)));
        const auto labels = [](const QString& section, const QString& first, const QString& last) {
            return u"\""_qs + section + "\",\"" + first + '"' + QString(",\"\"").repeated(19) +
                   ",\"" + last + "\"\r\n";
        };
        QCOMPARE(
            cp932::decode(bytes.mid(labelFileBytes(plain).size())).text,
            u"\"特売表示\",#FALSE#,0,0,0,0,0,0,0,0\r\n"
            "\"特価の字\",\"ＭＳ ゴシック\",12,#TRUE#,#FALSE#,255,\"表示しない\",0,2,0\r\n"
            "\"通常価格の行\",\"ＭＳ 明朝\",7,#FALSE#,#FALSE#,16711680,\"表示しない\",0,0,-1\r\n"
            "\"税率改定\",\"軽減\",0,\"2026-10-01\"\r\n"
            "\"税率改定\",\"標準\",12,\"2028-04-01\"\r\n"_qs +
                labels("特売価格", "98", "8,980") + labels("通常価格", "", "\\12,800") +
                labels("特売開始日", "2026-12-08", "") +
                labels("特売終了日", "2026-12-14", "2026-12-31"));

        SheetState opened = busySheet();
        const LabelFileReport report = readLabelFile(path_, opened);
        QVERIFY2(report.opened && !report.anythingSkipped(),
                 qPrintable(report.warnings().join('\n')));
        QVERIFY(opened.label(21) == sheet.label(21));
        QCOMPARE(labelFileBytes(opened), bytes);

        // A last day that is no day: kept, its sale off, and told.
        writeBytes(path_, QByteArray(bytes).replace("2026-12-31", "2026-13-31"));
        const LabelFileReport damaged = readLabelFile(path_, opened);
        QCOMPARE(opened.saleTo[21], u"2026-13-31"_qs);
        QCOMPARE(damaged.warnings(),
                 QStringList{u"レイアウト設定のうち 1 項目を読めなかったため、元の設定のまま"
                             "にしました。"_qs});

        // A file without those lines, opened over this sheet, leaves no sale behind.
        writeBytes(path_, labelFileBytes(plain));
        QVERIFY(readLabelFile(path_, opened).opened);
        QCOMPARE(labelFileBytes(opened), labelFileBytes(plain));
    }

    // A later version's lines among ours: each is skipped alone and named by its line and first
    // field, the lines after it are still read (the 税率 line: label 1 stays at 8 %), a line of
    // ours with fields added at its end keeps its own, and a line cut short takes nothing from
    // the next one.
    void readingGoesOnPastUnknownLines() {
        SheetState sheet = sheetWith(u"1:4901234567894|花王|品|規格|L|398"_qs, withPrices());
        sheet.taxRate[1] = u"10"_qs;  // the layout's default is 8 %
        QVERIFY(writeLabelFile(path_, sheet, UnencodablePolicy::Refuse).ok);
        const QByteArray saved = readBytes(path_);
        // 32 lines, then 総額表示, 本体, 税込 and 税率 (indexes 32 to 35).
        QList<QByteArray> lines = saved.split('\n');
        QCOMPARE(lines.size(), 37);
        lines[32].insert(lines[32].size() - 1, ",\"later\",7");  // 総額表示 grows two fields
        lines.insert(35, cp932::encode(u"\"拡張\",1,2\r"_qs).bytes);  // before 税率
        lines.insert(34, "9,#TRUE#\r");                               // after 本体
        writeBytes(path_, lines.join('\n'));
        SheetState opened;
        const LabelFileReport report = readLabelFile(path_, opened);
        QCOMPARE(
            report.warnings(),
            QStringList({u"33 行目の後ろにある 2 項目（「later」から）は読み込んでいません。"_qs,
                         u"35 行目（「9」で始まる行）は、この版では使わない設定のため"
                         "読み飛ばしました。"_qs,
                         u"37 行目（「拡張」で始まる行）は、この版では使わない設定のため"
                         "読み飛ばしました。"_qs}));
        QCOMPARE(labelFileBytes(opened), saved);  // every setting and the rate came back

        // 200,000 of them (a file of megabytes): the first twenty named, the rest counted.
        lines = saved.split('\n');
        writeBytes(path_, lines.mid(0, 35).join('\n') + '\n' +
                              cp932::encode(u"\"拡張\",1,2\r\n"_qs).bytes.repeated(200'000) +
                              lines.mid(35).join('\n'));
        const LabelFileReport many = readLabelFile(path_, opened);
        QCOMPARE(many.skippedLines.size(), kKeptSkippedLines);
        QCOMPARE(many.warnings().size(), int(kKeptSkippedLines) + 1);
        QCOMPARE(many.warnings().last(), u"ほかに 199,980 行を読み飛ばしました。"_qs);
        QCOMPARE(labelFileBytes(opened), saved);

        // A 総額表示 line cut after its mode: its other fields keep the defaults (8 of them
        // missing), and the 本体 line after it is still its own.
        lines = saved.split('\n');
        lines[32] = cp932::encode(u"\"総額表示\",\"本体+税込\"\r"_qs).bytes;
        writeBytes(path_, lines.join('\n'));
        QCOMPARE(readLabelFile(path_, opened).warnings(),
                 QStringList{u"レイアウト設定のうち 8 項目を読めなかったため、元の設定のまま"
                             "にしました。"_qs});
        QCOMPARE(opened.layout.priceMode, PriceMode::NetAndTaxIncluded);
        QVERIFY(opened.layout.netFont == withPrices().netFont);
        QCOMPARE(opened.taxRate[1], u"10"_qs);
    }
};

QTEST_APPLESS_MAIN(TestLabelFile)
#include "tst_labelfile.moc"
