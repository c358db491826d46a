#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "ColumnMapping.h"
#include "Cp932.h"
#include "DelimitedText.h"
#include "ProductListSource.h"
#include "ProductRows.h"
#include "TestZip.h"
#include "XlsxReader.h"

using namespace zukaro;

namespace {

QString shown(QString cell) {
    return cell.replace(u'\n', "\\n");
}

// Rows as "line:cell|cell", each note on a line of its own after "  note: ".
QString describe(const SourceTable& table) {
    QStringList lines;
    for (const SourceRow& row : table.rows) {
        QStringList cells;
        for (const QString& cell : row.cells) {
            cells << shown(cell);
        }
        lines << QString::number(row.line) + ':' + cells.join('|');
        for (const QString& note : row.notes) {
            lines << "  note: " + note;
        }
    }
    return lines.join('\n');
}

// Products as "line:jan|maker|product|spec|lot|price x copies tax", then the problems as
// "line! first sentence" (row left out) or "line? first sentence" (row kept).
QString describe(const ProductList& list) {
    QStringList lines;
    for (const ProductRow& r : list.rows) {
        const QStringList texts{r.jan, r.maker, r.product, r.spec, r.lot, r.price};
        lines << QString("%1:%2 x%3 %4")
                     .arg(r.line)
                     .arg(shown(texts.join('|')))
                     .arg(r.copies)
                     .arg(r.taxRate ? QString::number(*r.taxRate) + '%' : "-");
    }
    for (const RowProblem& p : list.problems) {
        lines << QString::number(p.line) + (p.kept ? "? " : "! ") + p.reason.section("。", 0, 0);
    }
    return lines.join('\n');
}

QString describe(const ColumnMapping& m) {
    QStringList parts{"header:" + QString::number(m.headerRow())};
    for (const ProductColumn what : kProductColumns) {
        if (m.column(what) >= 0) {
            parts << settingsKey(what) + ':' + QString::number(m.column(what));
        }
    }
    return parts.join(' ');
}

ProductList productsOf(const SourceResult& source) {
    return toProductRows(source.table, ColumnMapping::detect(source.table));
}

QString csv(const QString& text) {
    return describe(productsOf(readPastedRows(text)));
}

const QString kPositional = "header:-1 jan:0 maker:1 product:2 spec:3 lot:4 price:5";

// A workbook whose relationships point its first sheet at `target` (empty: no workbook.xml)
// with the sheet stored `at` (empty: nowhere), and a decoy in sheet1.xml when that is free.
QByteArray workbook(const QString& target, const QString& at, const QByteArray& sheetData,
                    const QByteArray& sharedStrings = {}) {
    const QByteArray main = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
    const QByteArray rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    const auto sheet = [&](const QByteArray& data) {
        return "<worksheet xmlns=\"" + main + "\"><sheetData>" + data + "</sheetData></worksheet>";
    };
    std::vector<std::pair<QString, QByteArray>> parts;
    if (!target.isEmpty()) {
        parts.push_back(
            {"xl/workbook.xml", "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                                    "\"><sheets><sheet name=\"一覧\" sheetId=\"3\" r:id=\"rId7\"/>"
                                    "</sheets></workbook>"});
        parts.push_back({"xl/_rels/workbook.xml.rels",
                         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
                         "relationships\"><Relationship Id=\"rId7\" Type=\"" +
                             rel + "/worksheet\" Target=\"" + target.toUtf8() +
                             "\"/></Relationships>"});
    }
    if (!at.isEmpty()) {
        parts.push_back({at, sheet(sheetData)});
        if (at != "xl/worksheets/sheet1.xml") {
            parts.push_back({"xl/worksheets/sheet1.xml",
                             sheet("<row><c t=\"inlineStr\"><is><t>decoy</t></is></c></row>")});
        }
    }
    if (!sharedStrings.isEmpty()) {
        parts.push_back(
            {"xl/sharedStrings.xml", "<sst xmlns=\"" + main + "\">" + sharedStrings + "</sst>"});
    }
    return zipOf(parts);
}

}  // namespace

class TestProductList : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;  // a fresh one for every row

private slots:
    void init() { dir_.emplace(); }

    void headers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mapping");
        const auto row = [](const char* name, const QString& text, const QString& mapping) {
            QTest::newRow(name) << text << mapping;
        };
        row("full-width letters, second names",
            "ＪＡＮコード,メーカー名,商品名,容量,品番,本体価格,部数,消費税率",
            "header:0 jan:0 maker:1 product:2 spec:3 lot:4 price:5 copies:6 taxRate:7");
        row("half-width katakana", "ﾊﾞｰｺｰﾄﾞ,ﾒｰｶｰ,品名,ｻｲｽﾞ,ﾛｯﾄ,単価,枚数,税率",
            "header:0 jan:0 maker:1 product:2 spec:3 lot:4 price:5 copies:6 taxRate:7");
        row("case and blanks, other order", "売価,Jan Code,　規格 ,ｊａｎ,価格,メモ",
            "header:0 jan:1 spec:2 price:0");
        row("商品コード and 価格", "商品コード\t価格", "header:0 jan:0 price:1");
        row("no header: positional", "4901234567894,カトー製菓,チップス,60g,L-1,100", kPositional);
        row("unknown names only: positional", "コード,名前,値段\n1,a,2", kPositional);
        row("title row above the header", "4月の特売\n\nJAN,品名,売価\n1,a,2",
            "header:1 jan:0 product:1 price:2");
        row("one name below the first row is data", "在庫表\n価格\n1,a,2", kPositional);
    }

    void headers() {
        QFETCH(QString, text);
        QFETCH(QString, mapping);
        QCOMPARE(describe(ColumnMapping::detect(readPastedRows(text).table)), mapping);
    }

    // Each file through readProductFile; the outcome is the format and the products, or the
    // error, which names the file.
    void encodings_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("outcome");
        const QString text = "JAN,メーカー,品名,売価\r\n4901234567894,髙島屋,①番の品,980\r\n";
        const QString product = "\n2:4901234567894|髙島屋|①番の品|||980 x1 -";
        const QByteArray sjis = cp932::encode(text).bytes;
        QTest::newRow("Shift_JIS") << sjis << "Shift_JIS・カンマ区切り" + product;
        QTest::newRow("UTF-8") << text.toUtf8() << "UTF-8・カンマ区切り" + product;
        QTest::newRow("UTF-8 with BOM")
            << "\xEF\xBB\xBF" + text.toUtf8() << "UTF-8 (BOM)・カンマ区切り" + product;
        const auto utf16 = [&](bool bom) {
            QByteArray b = bom ? QByteArray("\xFF\xFE") : QByteArray();
            return b + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
        };
        QTest::newRow("UTF-16 with BOM") << utf16(true) << "UTF-16 の文字のファイルのようです";
        QTest::newRow("UTF-16 without BOM") << utf16(false) << "UTF-16 の文字のファイルのようです";
        QTest::newRow("neither UTF-8 nor Shift_JIS")
            << sjis + "1,\x85\x40\r\n"
            << "UTF-8 でも Shift_JIS でもありません（Shift_JIS として読むと 3 行目";
        QTest::newRow("zero bytes") << QByteArray("JAN\0\0\x01\x02,x", 9) << "0 のバイトがあります";
        QTest::newRow("old Excel")
            << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest") << "古い Excel 形式 (.xls)";
        QTest::newRow("zip, not a workbook")
            << QByteArray("PK\x03\x04junk") << "zip として開けません";
    }

    void encodings() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        const QString path = dir_->filePath("一覧.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const SourceResult read = readProductFile(path);
        if (read.ok) {
            QCOMPARE(read.format + '\n' + describe(productsOf(read)), outcome);
        } else {
            QVERIFY2(read.error.contains(outcome) && read.error.contains(path),
                     qPrintable(read.error));
        }
    }

    void unreadableFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "ない.csv"
                                 << "が見つかりません";
        QTest::newRow("a folder") << ""
                                  << "は普通のファイルではありません";
    }

    void unreadableFile() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        const QString path = dir_->filePath(name);
        const SourceResult read = readProductFile(path);
        QVERIFY(!read.ok);
        QVERIFY2(read.error.contains(error) && read.error.contains(QDir::toNativeSeparators(path)),
                 qPrintable(read.error));
    }

    void delimited_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("table");  // the detected delimiter as [c], then the rows
        const auto row = [](const char* name, const QString& text, const QString& table) {
            QTest::newRow(name) << text << table;
        };
        row("comma, CR LF", "a,b,c\r\n1,2,3\r\n", "[,]\n1:a|b|c\n2:1|2|3");
        row("tab, CR only", "a\tb\r1\t2\r", "[\t]\n1:a|b\n2:1|2");
        row("semicolon with decimal commas", "JAN;品名;売価\n49;a,b;1,5\n4;c;2,5",
            "[;]\n1:JAN|品名|売価\n2:49|a,b|1,5\n3:4|c|2,5");
        row("tab with commas in names", "JAN\t品名\n1\tA, B\n2\tC, D, E",
            "[\t]\n1:JAN|品名\n2:1|A, B\n3:2|C, D, E");
        row("delimiters inside quotes not counted", "\"a,b,c\"\tx\n\"d,e\"\ty",
            "[\t]\n1:a,b,c|x\n2:d,e|y");
        row("RFC 4180 quoting", "JAN,品名\r\n1,\"カンマ, と\r\n改行\"\r\n2,\"say \"\"hi\"\"\"\r\n",
            "[,]\n1:JAN|品名\n2:1|カンマ, と\\n改行\n4:2|say \"hi\"");
        row("blank lines and empty rows skipped", "a,b\n\n\n1,2\n,,\n , \n3,4,\n",
            "[,]\n1:a|b\n4:1|2\n7:3|4|");
        row("quote inside a plain field kept", "12\"型,1", "[,]\n1:12\"型|1");
        row("text after a closing quote", "\"ab\"c,d",
            "[,]\n1:abc|d\n  note: "
            "引用符で囲んだ欄の後ろに「c」があります。続けて一つの欄として読みました。");
        row("unclosed quote", "a,b\nc,\"d\ne,f",
            "[,]\n1:a|b\n2:c|d\\ne,f\n  note: 2 行目で始まる引用符 (\") が閉じていません。"
            "ファイルの終わりまでを一つの欄として読みました。");
    }

    void delimited() {
        QFETCH(QString, text);
        QFETCH(QString, table);
        const QChar delimiter = detectDelimiter(text);
        const SourceResult read = parseDelimitedText(text, delimiter, "list.csv");
        QVERIFY(read.ok);
        QCOMPARE(QString("[%1]\n").arg(delimiter) + describe(read.table), table);
    }

    void pasted_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("products");
        QTest::newRow("spreadsheet cells") << "JAN\t品名\t売価\r\n4901234567894\t\"改行\nあり\"\t1,"
                                              "980\r\n49012348\t, と ;\t100\r\n"
                                           << "タブ区切り\n2:4901234567894||改行\\nあり|||1,980 x1 "
                                              "-\n4:49012348||, と ;|||100 x1 -";
        QTest::newRow("lines copied from a CSV file")
            << "4901234567894,カトー,チップス,60g,L1,128"
            << "カンマ区切り\n1:4901234567894|カトー|チップス|60g|L1|128 x1 -";
    }

    void pasted() {
        QFETCH(QString, text);
        QFETCH(QString, products);
        const SourceResult read = readPastedRows(text);
        QVERIFY(read.ok);
        QCOMPARE(read.format + '\n' + describe(productsOf(read)), products);
    }

    // The fixture made by tools/make_product_xlsx.py.
    void xlsxFixture() {
        const SourceResult read = readProductFile(TESTDATA "/product_list.xlsx");
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.format, "xlsx");
        QCOMPARE(describe(read.table),
                 "1:ＪＡＮコード|メーカー名|商品名|規格|ロット|売価|枚数|税率\n"
                 "2:4901234567894|カトー製菓|ポテトチップス　うすしお味|60g|L-0123|398|2|8%\n"
                 "3:49012348|髙橋食品①|のり塩||B-77|128||10|TRUE\n"
                 "5:4512345678906||おまけ|||0.3|1000");
        QCOMPARE(describe(productsOf(read)),
                 "2:4901234567894|カトー製菓|ポテトチップス　うすしお味|60g|L-0123|398 x2 8%\n"
                 "3:49012348|髙橋食品①|のり塩||B-77|128 x1 10%\n"
                 "5! 枚数「1000」は 0〜999 の整数ではありません");
    }

    void xlsxCells_data() {
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QString>("table");
        const auto row = [](const char* name, const QByteArray& cells, const QString& table) {
            QTest::newRow(name) << "<row r=\"4\">" + cells + "</row>" << table;
        };
        const auto n = [](const char* v) { return "<c><v>" + QByteArray(v) + "</v></c>"; };
        row("numbers as a person reads them",
            n("4.901234567894E+12") + n("398.0") + n("007") + n("-2.50") + n("1E-3") +
                n("0.30000000000000004") + n("1E+20"),
            "4:4901234567894|398|7|-2.5|0.001|0.3|100000000000000000000");
        row("missing cells empty, references in any column",
            "<c r=\"C4\" t=\"b\"><v>0</v></c><c r=\"AB4\" t=\"b\"><v>1</v></c>",
            "4:||FALSE" + QString("|").repeated(25) + "TRUE");
        row("formula text, inline rich text, shared string",
            "<c t=\"str\"><f>A1&amp;\"x\"</f><v>abc</v></c>"
            "<c t=\"inlineStr\"><is><r><t>の</t></r><r><t xml:space=\"preserve\">り "
            "</t></r></is></c>"
            "<c t=\"s\"><v>1</v></c>",
            "4:abc|のり |二");
        row("OOXML escapes and line breaks",
            "<c t=\"inlineStr\"><is><t>a_x000D_\nb_x005F_x0041_</t></is></c>", "4:a\\nb_x0041_");
        row("error value and unknown shared string",
            "<c r=\"A4\" t=\"e\"><v>#N/A</v></c><c r=\"B4\" t=\"s\"><v>9</v></c>",
            "4:#N/A|\n  note: セル A4 はエラー値 #N/A です。\n"
            "  note: セル B4 の共有文字列 9 がありません。空として読みました。");
    }

    void xlsxCells() {
        QFETCH(QByteArray, sheetData);
        QFETCH(QString, table);
        const QByteArray shared = "<si><t>一</t></si><si><t>二</t><rPh><t>ニ</t></rPh></si>";
        const SourceResult read = readXlsx(
            workbook("worksheets/sheet1.xml", "xl/worksheets/sheet1.xml", sheetData, shared),
            "book.xlsx");
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(describe(read.table), table);
    }

    void xlsxWorkbook_data() {
        QTest::addColumn<QString>("target");  // of the first sheet; empty: no workbook.xml
        QTest::addColumn<QString>("at");      // where the sheet is; empty: nowhere
        QTest::addColumn<QByteArray>("sheetData");
        QTest::addColumn<QString>("outcome");  // the table, or part of the error
        const QByteArray one = "<row r=\"2\"><c t=\"inlineStr\"><is><t>一覧</t></is></c></row>";
        const QString sheet1 = "xl/worksheets/sheet1.xml";
        QTest::newRow("relative target") << "worksheets/sheet7.xml"
                                         << "xl/worksheets/sheet7.xml" << one << "2:一覧";
        QTest::newRow("absolute target") << "/xl/other/first.xml"
                                         << "xl/other/first.xml" << one << "2:一覧";
        QTest::newRow("no workbook: sheet1.xml") << "" << sheet1 << one << "2:一覧";
        QTest::newRow("target missing: sheet1.xml")
            << "worksheets/gone.xml" << sheet1 << one << "2:一覧";
        QTest::newRow("no sheet") << "worksheets/gone.xml"
                                  << "" << one << "ワークシートが見つかりません";
        QTest::newRow("broken XML") << "" << sheet1 << QByteArray("<row><c>") << "XML の 1 行目";
    }

    void xlsxWorkbook() {
        QFETCH(QString, target);
        QFETCH(QString, at);
        QFETCH(QByteArray, sheetData);
        QFETCH(QString, outcome);
        const SourceResult read = readXlsx(workbook(target, at, sheetData), "book.xlsx");
        if (read.ok) {
            QCOMPARE(describe(read.table), outcome);
        } else {
            QVERIFY2(read.error.contains(outcome) && read.error.contains("「book.xlsx」"),
                     qPrintable(read.error));
        }
    }

    // Copies, tax rates and the rows that are questionable, with their line numbers.
    void rows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("products");
        const auto row = [](const char* name, const QString& text, const QString& products) {
            QTest::newRow(name) << text << products;
        };
        const QString head = "JAN,品名,枚数,税率\n";
        row("copies read", head + "1,a,,\n2,b,3,\n3,c,３,\n4,d,0,\n5,e,999,\n6,f, 007 ,",
            "2:1||a||| x1 -\n3:2||b||| x3 -\n4:3||c||| x3 -\n5:4||d||| x0 -\n6:5||e||| x999 -\n"
            "7:6||f||| x7 -");
        row("copies refused", head + "1,a,1000,\n2,b,-1,\n3,c,2.0,\n4,d,二,",
            "2! 枚数「1000」は 0〜999 の整数ではありません\n3! 枚数「-1」は 0〜999 "
            "の整数ではありません\n"
            "4! 枚数「2.0」は 0〜999 の整数ではありません\n5! 枚数「二」は 0〜999 "
            "の整数ではありません");
        row("tax rates read", head + "1,a,,10\n2,b,,10%\n3,c,,８％\n4,d,,8\n5,e,,軽減\n6,f,, 8 % ",
            "2:1||a||| x1 10%\n3:2||b||| x1 10%\n4:3||c||| x1 8%\n5:4||d||| x1 8%\n"
            "6:5||e||| x1 8%\n7:6||f||| x1 8%");
        row("tax rates refused", head + "1,a,,5\n2,b,,0.1\n3,c,,標準",
            "2! 税率「5」は読めません（8、10、8%、10%、軽減 のどれかです）\n"
            "3! 税率「0.1」は読めません（8、10、8%、10%、軽減 のどれかです）\n"
            "4! 税率「標準」は読めません（8、10、8%、10%、軽減 のどれかです）");
        row("line numbers count the breaks inside quotes", head + "1,\"a\nb\",x,\n2,c,1,8",
            "4:2||c||| x1 8%\n2! 枚数「x」は 0〜999 の整数ではありません");
        row("empty rows silent, text in unused columns only listed",
            "JAN,品名,備考\n,,\n1,a,\n,,メモ",
            "3:1||a||| x1 -\n4! 使う列がどれも空で、ほかの列にだけ文字があります");
        row("rows before the header listed", "4月の特売\nJAN,品名,売価\n1,a,100",
            "3:1||a|||100 x1 -\n1! 見出しの行より前にあるので、読み込みませんでした");
        row("JAN and price trimmed, JAN digits half-width, other texts whole",
            "JAN,メーカー,品名\n　４９０１２３４５６７８９４ ,  株式会社 ,\n,名前だけ,",
            "2:4901234567894|  株式会社 |||| x1 -\n3:|名前だけ|||| x1 -");
        row("a note from the source keeps its row", "JAN,品名\n1,\"open",
            "2:1||open||| x1 -\n2? 2 行目で始まる引用符 (\") が閉じていません");
    }

    void rows() {
        QFETCH(QString, text);
        QFETCH(QString, products);
        QCOMPARE(csv(text), products);
    }

    void longTextsKeptWhole() {
        const QString name = QString("ながい品名").repeated(200);
        const ProductList list = productsOf(readPastedRows("JAN,品名\n1," + name));
        QCOMPARE(list.rows.size(), std::size_t{1});
        QCOMPARE(list.rows.front().product, name);
    }

    // The user's columns for a header come back for the same header, however it is written.
    void mappingRemembered_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("mapping");
        QTest::newRow("same header") << "JAN,名前,値段,メモ"
                                     << "header:0 jan:0 product:1 price:2";
        QTest::newRow("full-width and case") << "ｊａｎ,名前,値段, メモ"
                                             << "header:0 jan:0 product:1 price:2";
        QTest::newRow("another header") << "JAN,名前,値段"
                                        << "header:0 jan:0";
        QTest::newRow("no header: nothing recalled") << "1,2,3,4" << kPositional;
    }

    void mappingRemembered() {
        QFETCH(QString, header);
        QFETCH(QString, mapping);
        const QString ini = dir_->filePath("zukaro.ini");
        {
            QSettings settings(ini, QSettings::IniFormat);
            const QStringList remembered{"JAN", "名前", "値段", "メモ"};
            ColumnMapping chosen = *ColumnMapping::fromHeader(remembered);
            chosen.setColumn(ProductColumn::Product, 1);
            chosen.setColumn(ProductColumn::Price, 2);
            chosen.remember(settings, remembered);
        }
        QSettings settings(ini, QSettings::IniFormat);
        const SourceTable table = readPastedRows(header + "\n1,a,2,x").table;
        QCOMPARE(describe(ColumnMapping::detect(table, &settings)), mapping);
    }
};

QTEST_GUILESS_MAIN(TestProductList)
#include "tst_productlist.moc"
