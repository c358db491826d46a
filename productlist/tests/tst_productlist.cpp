#include <quazip/quazip.h>
#include <quazip/quazipfile.h>
#include <QBuffer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "ColumnMapping.h"
#include "Cp932.h"
#include "ProductListSource.h"
#include "ProductRows.h"

using namespace zukaro;

namespace {

// Rows as "line:cell|cell", each note on a line of its own after "  note: ".
QString describe(const SourceTable& table) {
    QStringList lines;
    for (const SourceRow& row : table.rows) {
        lines << QString::number(row.line) + ':' + row.cells.join('|').replace('\n', "\\n");
        for (const QString& note : row.notes) {
            lines << "  note: " + note;
        }
    }
    return lines.join('\n');
}

// Products as "line:jan|maker|product|spec|lot|price x copies tax" (and " 内税" or " 非課税"
// for a price that holds its tax or has none, " 外税" for one the row says does not; a sale as
// " 特価128 通常158 2026-12-08〜2026-12-14"), then the problems as "line! first sentence" (row
// left out) or "line? first sentence" (row kept).
QString describe(const ProductList& list) {
    QStringList lines;
    for (const ProductRow& r : list.rows) {
        const QStringList texts{r.jan, r.maker, r.product, r.spec, r.lot, r.price};
        const QString kind = !r.taxKindSaid                     ? ""
                             : r.taxKind == PriceTax::Inclusive ? " 内税"
                             : r.taxKind == PriceTax::Exempt    ? " 非課税"
                                                                : " 外税";
        const QString sale = r.salePrice.isEmpty() && r.regularPrice.isEmpty() &&
                                     r.saleFrom.isEmpty() && r.saleTo.isEmpty()
                                 ? ""
                                 : QString(" 特価%1 通常%2 %3〜%4")
                                       .arg(r.salePrice, r.regularPrice, r.saleFrom, r.saleTo);
        lines << QString("%1:%2 x%3 %4%5%6")
                     .arg(r.line)
                     .arg(texts.join('|').replace('\n', "\\n"))
                     .arg(r.copies)
                     .arg(r.taxRate ? QString::number(*r.taxRate) + '%' : "-")
                     .arg(kind, sale);
    }
    for (const RowProblem& p : list.problems) {
        lines << QString::number(p.line) + (p.kept ? "? " : "! ") + p.reason.section("。", 0, 0);
    }
    return lines.join('\n');
}

// The parts as a zip, deflated or (`stored`) as they are.
QByteArray zipped(const std::vector<std::pair<QString, QByteArray>>& parts, bool stored = false) {
    QByteArray data;
    QBuffer buffer(&data);
    QuaZip zip(&buffer);
    zip.open(QuaZip::mdCreate);
    for (const auto& [name, bytes] : parts) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0,
                       stored ? 0 : Z_DEFLATED) ||
            file.write(bytes) != bytes.size()) {
            return {};
        }
    }
    zip.close();
    return zip.getZipError() == UNZ_OK ? data : QByteArray();
}

// A workbook with the shared strings "一" and "二" whose relationships point its first sheet
// at `target` (empty: no workbook.xml); the sheet, stored `at`, holds row 4 with `cells`.
QByteArray workbook(const QString& target, const QString& at, const QByteArray& cells) {
    std::vector<std::pair<QString, QByteArray>> parts{
        {"xl/sharedStrings.xml",
         "<sst><si><t>一</t></si><si><t>二</t><rPh><t>ニ</t></rPh></si></sst>"},
        {at, "<worksheet><sheetData><row r=\"4\">" + cells + "</row></sheetData></worksheet>"}};
    if (!target.isEmpty()) {
        parts.push_back(
            {"xl/workbook.xml",
             "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/"
             "relationships\"><sheets><sheet r:id=\"rId7\"/></sheets></workbook>"});
        parts.push_back(
            {"xl/_rels/workbook.xml.rels", "<Relationships><Relationship Id=\"rId7\" Target=\"" +
                                               target.toUtf8() + "\"/></Relationships>"});
    }
    return zipped(parts);
}

}  // namespace

class TestProductList : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> dir_;  // a fresh one for every row

private slots:
    void init() { dir_.emplace(); }

    // A file through readProductFile: the format and the cells, or part of the error, which
    // names the file (no bytes: no file).
    void files_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("outcome");
        const auto row = [](const char* name, const QByteArray& bytes, const QString& outcome) {
            QTest::newRow(name) << bytes << outcome;
        };
        const QString text = "JAN,メーカー,品名\r\n4901234567894,髙島屋,①番の品\r\n";
        const QString table = "・カンマ区切り\n1:JAN|メーカー|品名\n2:4901234567894|髙島屋|①番の品";
        const QByteArray sjis = cp932::encode(text).bytes;
        row("Shift_JIS", sjis, "Shift_JIS" + table);
        row("UTF-8", text.toUtf8(), "UTF-8" + table);
        row("UTF-8 with BOM", "\xEF\xBB\xBF" + text.toUtf8(), "UTF-8 (BOM)" + table);
        row("UTF-16", QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2),
            "UTF-16 の文字のファイルのようです");
        row("neither UTF-8 nor Shift_JIS", sjis + "1,\x85\x40\r\n",
            "UTF-8 でも Shift_JIS でもありません（Shift_JIS として読むと 3 行目");
        row("zero bytes", QByteArray("JAN\0\0\x01\x02,x", 9), "0 のバイトがあります");
        row("old Excel", "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1rest", "古い Excel 形式 (.xls)");
        row("zip, not a workbook", "PK\x03\x04junk", "zip として開けません");
        row("no file", "", "が見つかりません");
        // A line pasted in from a list of the other encoding is read in its own, and noted.
        const QByteArray utf8Line = "4512345678906,カトー製菓,のり塩\r\n";
        row("Shift_JIS with a line in UTF-8", sjis + utf8Line,
            "Shift_JIS（UTF-8 の行あり）" + table +
                "\n3:4512345678906|カトー製菓|のり塩\n  note: この行は UTF-8 で書かれていたため、"
                "UTF-8 として読みました（ほかの行は Shift_JIS）。文字化けしていないか確かめて"
                "ください。");
        row("UTF-8 with a line in Shift_JIS",
            text.toUtf8() + cp932::encode(QString::fromUtf8(utf8Line)).bytes + utf8Line,
            "UTF-8（Shift_JIS の行あり）" + table +
                "\n3:4512345678906|カトー製菓|のり塩\n  note: この行は Shift_JIS で書かれていた"
                "ため、Shift_JIS として読みました（ほかの行は UTF-8）。文字化けしていないか"
                "確かめてください。\n4:4512345678906|カトー製菓|のり塩");
        row("UTF-8 with its mark and a line in Shift_JIS",
            "\xEF\xBB\xBF" + text.toUtf8() + cp932::encode(QString::fromUtf8(utf8Line)).bytes,
            "UTF-8 の印 (BOM) がありますが、3 行目が正しい UTF-8 ではありません。");

        row("tab, CR only, commas in names", "JAN\t品名\r1\tA, B\r2\tC, D, E",
            "UTF-8・タブ区切り\n1:JAN|品名\n2:1|A, B\n3:2|C, D, E");
        row("semicolon, commas in a name and in prices",
            "JAN;品名, 規格, 色;売価\n49;a;1,5\n4;c;2,5",
            "UTF-8・セミコロン区切り\n1:JAN|品名, 規格, 色|売価\n2:49|a|1,5\n3:4|c|2,5");
        row("delimiters inside quotes not counted", "\"a,b\"\tx\ty\n\"c,d\"\tz",
            "UTF-8・タブ区切り\n1:a,b|x|y\n2:c,d|z");
        row("RFC 4180 quoting", "JAN,品名\r\n1,\"カンマ, と\r\n改行\"\r\n2,\"say \"\"hi\"\"\"\r\n",
            "UTF-8・カンマ区切り\n1:JAN|品名\n2:1|カンマ, と\\n改行\n4:2|say \"hi\"");
        row("blank lines and empty rows skipped", "a,b\n\n\n1,2\n,,\n , \n3,4,\n",
            "UTF-8・カンマ区切り\n1:a|b\n4:1|2\n7:3|4|");
        row("quotes inside and after a field", "12\"型,\"ab\"c",
            "UTF-8・カンマ区切り\n1:12\"型|abc\n  note: 引用符で囲んだ欄の後ろに「c」があります。"
            "続けて一つの欄として読みました。");

        // A cell holds 4,096 characters; the rest of a longer one is counted and said.
        const QString salmon(4096, QChar(u'鮭'));
        row("a cell longer than a cell's limit, plain and quoted",
            "JAN,品名,規格\n4901234567894," + QString(5000, QChar(u'鮭')).toUtf8() + ",\"" +
                QString(4093, QChar(u'鮭')).toUtf8() + "\"\"\"\"\n\"\"\n\"\n",
            "UTF-8・カンマ区切り\n1:JAN|品名|規格\n2:4901234567894|" + salmon + '|' +
                QString(4093, QChar(u'鮭')) + "\"\"\\n" +
                "\n  note: 2 列目の文字が 4,096 文字を超えるため、最初の 4,096 文字だけを"
                "読みました（全 5,000 文字）。\n  note: 3 列目の文字が 4,096 文字を超えるため、"
                "最初の 4,096 文字だけを読みました（全 4,098 文字）。");
        const QString sheet1 = "xl/worksheets/sheet1.xml";
        const QByteArray one = "<c t=\"inlineStr\"><is><t>一覧</t></is></c>";
        row("xlsx: absolute target", workbook("/xl/other/first.xml", "xl/other/first.xml", one),
            "xlsx\n4:一覧");
        row("xlsx: target missing, sheet1.xml", workbook("worksheets/gone.xml", sheet1, one),
            "xlsx\n4:一覧");
        row("xlsx: no sheet there",
            workbook("worksheets/gone.xml", "xl/worksheets/sheet2.xml", one),
            "ワークシートが見つかりません");
        row("xlsx: broken XML", workbook("", sheet1, "<c>"),
            "XML の 1 行目: XML の書き方が正しくありません（");
        // A few bytes of entities can expand into gigabytes; no workbook declares any.
        row("xlsx: entities refused",
            zipped({{sheet1,
                     "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a \"aaaaaaaaaa\">"
                     "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><worksheet><sheetData>"
                     "<row r=\"1\"><c t=\"inlineStr\"><is><t>&b;</t></is></c></row></sheetData>"
                     "</worksheet>"}}),
            "xl/worksheets/sheet1.xml を読めません（XML の 1 行目: 文書型宣言 (DOCTYPE) があり"
            "ます。");
        // The zip's own error numbers say nothing to a clerk.
        QByteArray damaged = zipped({{sheet1,
                                      "<worksheet><sheetData><row r=\"1\"><c><v>1</v>"
                                      "</c></row></sheetData></worksheet>"}},
                                    true);
        damaged.replace("<v>1</v>", "<v>7</v>");
        row("xlsx: a part damaged", damaged,
            "xl/worksheets/sheet1.xml "
            "が壊れています。中身が壊れています（チェックサムが合いません）"
            "（zip のエラー -105）。");
        QByteArray numbers;
        for (const char* v : {"4.901234567894E+12", "398.0", "-007", "-2.50", "1E-3",
                              "0.30000000000000004", "1E+20"}) {
            numbers += "<c><v>" + QByteArray(v) + "</v></c>";
        }
        // The row numbers a worksheet can have; others (an int overflowing) follow the row before.
        row("xlsx: row numbers out of range",
            workbook("", sheet1,
                     "<c t=\"s\"><v>0</v></c></row><row r=\"2147483647\"><c t=\"s\"><v>1</v>"
                     "</c></row><row><c><v>3</v></c></row><row r=\"-5\"><c><v>4</v></c>"),
            "xlsx\n4:一\n5:二\n  note: 行番号「2147483647」は 1 から 1,048,576 までではないため、"
            "前の行の次の行として読みました。\n6:3\n7:4\n  note: 行番号「-5」は 1 から 1,048,576 "
            "までではないため、前の行の次の行として読みました。");
        row("xlsx: numbers as a person reads them", workbook("", sheet1, numbers),
            "xlsx\n4:4901234567894|398|-7|-2.5|0.001|0.3|100000000000000000000");
        row("xlsx: cell types, references, notes",
            workbook("", sheet1,
                     "<c t=\"str\"><f>A1&amp;\"x\"</f><v>abc</v></c>"
                     "<c t=\"inlineStr\"><is><r><t>の</t></r>"
                     "<r><t xml:space=\"preserve\">り </t></r></is></c><c t=\"s\"><v>1</v></c>"
                     "<c t=\"inlineStr\"><is><t>a_x000D_\nb_x005F_x0041_</t></is></c>"
                     "<c r=\"F4\" t=\"e\"><v>#N/A</v></c><c r=\"G4\" t=\"s\"><v>9</v></c>"
                     "<c t=\"b\"><v>0</v></c><c r=\"AB4\" t=\"b\"><v>1</v></c>"),
            "xlsx\n4:abc|のり |二|a\\nb_x0041_||#N/A||FALSE" + QString("|").repeated(20) +
                "TRUE\n  note: セル F4 はエラー値 #N/A です。\n"
                "  note: セル G4 の共有文字列 9 がありません。空として読みました。");
        // A shared string is counted as often as it is used: 2,000 rows of one 4,096-character
        // name are 8 MB whatever the file's size, 17,000 of them more than a part may hold.
        const QByteArray longName = QString(5000, QChar(u'鮭')).toUtf8();
        row("xlsx: long shared and inline strings cut",
            zipped({{"xl/sharedStrings.xml", "<sst><si><t>" + longName + "</t></si></sst>"},
                    {sheet1,
                     "<worksheet><sheetData><row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v>"
                     "</c><c t=\"inlineStr\"><is><r><t>" +
                         longName.left(3 * 3000) + "</t></r><r><t>" + longName.left(3 * 3006) +
                         "</t></r></is></c></row></sheetData></worksheet>"}}),
            "xlsx\n2:" + salmon + '|' + salmon +
                "\n  note: セル A2 の文字が 4,096 文字を超えるため、最初の 4,096 "
                "文字だけを読みました"
                "（全 5,000 文字）。\n  note: セル B2 の文字が 4,096 文字を超えるため、最初の "
                "4,096 文字だけを読みました（全 6,006 文字）。");
        QByteArray uses;
        for (int i = 0; i < 17000; ++i) {
            uses += "<row><c t=\"s\"><v>0</v></c></row>";
        }
        row("xlsx: a shared string used beyond a part's size",
            zipped({{"xl/sharedStrings.xml",
                     "<sst><si><t>" + QString(4096, QChar(u'鮭')).toUtf8() + "</t></si></sst>"},
                    {sheet1, "<worksheet><sheetData>" + uses + "</sheetData></worksheet>"}}),
            "xl/worksheets/sheet1.xml を読めません（共有文字列を使う欄が多すぎます（欄に書き入れた"
            "とすると、展開して 67,108,864 バイトを超えます））。");
        row("xlsx: megabytes without a tag",
            zipped({{"xl/sharedStrings.xml",
                     "<sst><si><t>" + QByteArray(2 * 1024 * 1024, 'a') + "</t></si></sst>"},
                    {sheet1, "<worksheet/>"}}),
            "xl/sharedStrings.xml には、区切りのないまま 1,048,576 "
            "バイトを超えて続く文字があります");
    }

    void files() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, outcome);
        const QString path = dir_->filePath("一覧.csv");
        QFile file(path);
        QVERIFY(bytes.isEmpty() ||
                (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()));
        file.close();
        const SourceResult read = readProductFile(path);
        if (read.ok) {
            QCOMPARE(read.format + '\n' + describe(read.table), outcome);
        } else {
            QVERIFY2(read.error.contains(outcome) && read.error.contains(path),
                     qPrintable(read.error));
        }
    }

    // The fixture made by tools/make_product_xlsx.py.
    void xlsxFixture() {
        const SourceResult read = readProductFile(TESTDATA "/product_list.xlsx");
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(read.format + '\n' + describe(read.table),
                 "xlsx\n1:ＪＡＮコード|メーカー名|商品名|規格|ロット|売価|枚数|税率\n"
                 "2:4901234567894|カトー製菓|ポテトチップス　うすしお味|60g|L-0123|398|2|8%\n"
                 "3:49012348|髙橋食品①|のり塩||B-77|128||10|TRUE\n"
                 "5:4512345678906||おまけ|||0.3|1000");
        QCOMPARE(describe(toProductRows(read.table, ColumnMapping::detect(read.table))),
                 "2:4901234567894|カトー製菓|ポテトチップス　うすしお味|60g|L-0123|398 x2 8%\n"
                 "3:49012348|髙橋食品①|のり塩||B-77|128 x1 10%\n"
                 "3? 見出しのない列にも文字があります（9 列目「TRUE」）\n"
                 "5! 枚数「1000」は 0〜999 の整数ではありません");
    }

    // Pasted rows to products: the columns by header name (or as remembered for the header,
    // here "JAN,名前,値段,メモ"; or by position), copies, tax rates, sales, and the rows that
    // are questionable, with their line numbers. Printed for 2026-12-07 unless a row says.
    void rows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("products");
        QTest::addColumn<QDate>("printDay");
        const auto row = [](const char* name, const QString& text, const QString& products,
                            QDate printDay = QDate(2026, 12, 7)) {
            QTest::newRow(name) << text << products << printDay;
        };
        row("full-width letters, second names",
            "ＪＡＮコード,メーカー名,商品名,容量,品番,本体価格,部数,消費税率\n1,2,3,4,5,6,7,8",
            "2:1|2|3|4|5|6 x7 8%");
        row("half-width katakana", "ﾊﾞｰｺｰﾄﾞ,ﾒｰｶｰ,品名,ｻｲｽﾞ,ﾛｯﾄ,単価,枚数,税率\n1,2,3,4,5,6,7,8",
            "2:1|2|3|4|5|6 x7 8%");
        row("case and blanks, other order, the first of two",
            "価格,Jan Code,　規格 ,商品コード,売価\n1,2,3,4,5", "2:2|||3||1 x1 -");
        row("remembered for the header however written", "ｊａｎ,名前,値段, メモ\n1,a,2,x",
            "2:1||a|||2 x1 -");
        row("another header", "JAN,名前,値段\n1,a,2", "2:1||||| x1 -");
        // Remembered before the sale columns were read: those come from their names.
        row("remembered before sale columns", "JAN,商品,値段,特価,開始日\n1,a,398,298,2026/12/8",
            "2:1||a|||398 x1 - 特価298 通常398 2026-12-08〜");
        row("spreadsheet cells, tab-separated",
            "JAN\t品名\t売価\r\n4901234567894\t\"改行\nあり\"\t1,980\r\n49012348\t, と ;\t100\r\n",
            "2:4901234567894||改行\\nあり|||1980 x1 -\n4:49012348||, と ;|||100 x1 -");
        row("no header: by position", "4901234567894,カトー,チップス,60g,L1,128",
            "1:4901234567894|カトー|チップス|60g|L1|128 x1 -");
        // A table that is no product list is refused, saying what one looks like.
        const QString notAList = "refused: 「貼り付けた行」は商品リストではないようです";
        row("unknown names only, no code in the first column", "コード,名前\n1,a", notAList);
        row("one name below the first row is data", "在庫表\n価格", notAList);
        row("no header, codes of 7, 8, 12 and 13 digits",
            "a,b\n4901234,c\n４９０１２３４５６７８９,d",
            "1:a|b|||| x1 -\n2:4901234|c|||| x1 -\n3:490123456789|d|||| x1 -");
        row("a header naming neither JAN nor product name", "単価,数量,税率\n100,2,10",
            "refused: 「貼り付けた行」の見出しには、JAN コードの列も商品名の列もありません");
        row("a register's own code gives way to its barcode column",
            "商品コード,商品名,バーコード\nA-01,a,4901234567894\n4901234567894,b,",
            "2:4901234567894||a||| x1 -\n3:||b||| x1 -");
        row("rows before the header listed", "4月の特売\n\nJAN,品名,売価\n1,a,100",
            "4:1||a|||100 x1 -\n1! 見出しの行より前にあるので、読み込みませんでした");
        const QString head = "JAN,品名,枚数,税率\n";
        row("copies",
            head + "1,a,,\n2,b,3,\n3,c,３,\n4,d,0,\n5,e,999,\n6,f, 007 ,\n7,g,1000,\n8,h,-1,",
            "2:1||a||| x1 -\n3:2||b||| x3 -\n4:3||c||| x3 -\n5:4||d||| x0 -\n6:5||e||| x999 -\n"
            "7:6||f||| x7 -\n8! 枚数「1000」は 0〜999 の整数ではありません\n"
            "9! 枚数「-1」は 0〜999 の整数ではありません");
        row("tax rates",
            head + "1,a,,10\n2,b,,10%\n3,c,,８％\n4,d,,8\n5,e,,軽減\n6,f,, 8 % \n7,g,,5",
            "2:1||a||| x1 10%\n3:2||b||| x1 10%\n4:3||c||| x1 8%\n5:4||d||| x1 8%\n"
            "6:5||e||| x1 8%\n7:6||f||| x1 8%\n"
            "8! 税率「5」は読めません（8、10、8%、10%、標準税率、軽減税率、非課税 のどれかです）");
        // Registers write the rate and whether the price holds the tax in words, in one column
        // or two; empty cells say nothing of it (the master keeps what it knows).
        row("tax columns",
            "JAN,品名,売価,税区分,適用税率\n1,a,100,内税,標準税率\n2,b,100,税込,軽減税率(8%)\n"
            "3,c,100,外税10%,\n4,d,100,,非課税\n5,e,100,非課税,10%\n6,f,100,内税,5%\n"
            "7,g,100,税別,\n8,h,100,込み,\n9,i,100,,０％\n10,j,100,,100\n11,k,100,内税,標準8%\n"
            "12,l,100,,",
            "2:1||a|||100 x1 10% 内税\n3:2||b|||100 x1 8% 内税\n4:3||c|||100 x1 10% 外税\n"
            "5:4||d|||100 x1 - 非課税\n8:7||g|||100 x1 - 外税\n10:9||i|||100 x1 - 非課税\n"
            "13:12||l|||100 x1 -\n"
            "6! 税率「10%」と税区分「非課税」が食い違っています（非課税に税率はありません）\n"
            "7! 税率「5%」は読めません（8、10、8%、10%、標準税率、軽減税率、非課税 のどれかです）\n"
            "9! 税区分「込み」は読めません（外税、内税、税抜、税込、非課税 のどれかです）\n"
            "11! 税率「100」は読めません（8、10、8%、10%、標準税率、軽減税率、非課税 "
            "のどれかです）\n"
            "12! 税率「標準8%」は読めません（8、10、8%、10%、標準税率、軽減税率、非課税 "
            "のどれかです）");
        // Half-width katakana of receipts made full-width, voiced marks joined; a mark with no
        // kana before it stays a mark; full-width letters and ㈱ stay.
        row("half-width katakana widened",
            "JAN,メーカー,品名,規格,ロット\n1,ｶﾌﾞｼｷｶﾞｲｼｬ ＡＢＣ㈱,ﾊﾟﾝ｢ﾒﾛﾝ｣･ﾐﾙｸ,ﾞｱ,A-ｰﾟ",
            "2:1|カブシキガイシャ ＡＢＣ㈱|パン「メロン」・ミルク|゛ア|A-ー゜| x1 -");
        row("empty rows silent, text in unused columns only listed",
            "JAN,品名,備考\n,,\n1,a,\n,,メモ",
            "3:1||a||| x1 -\n4! 使う列がどれも空で、ほかの列にだけ文字があります");
        row("JAN and price trimmed, JAN digits half-width, other texts whole",
            "JAN,メーカー,品名,売価\n　４９０１２３４５６７８９４ ,  株式会社 ,, 100 \n,名前だけ,,",
            "2:4901234567894|  株式会社 ||||100 x1 -\n3:|名前だけ|||| x1 -");
        // Prices as registers and shops write them are whole yen; the label prints its own 円.
        row("prices as shops write them",
            "JAN\t品名\t売価\n1\ta\t￥398\n2\tb\t¥1,280\n3\tc\t398円\n4\td\t1,280 円\n"
            "5\te\t３９８\n6\tf\t\\12,800\n7\tg\t￥1,280-\n8\th\tオープン価格\n9\ti\t398.5\n"
            "10\tj\t1,28\n11\tk\t円",
            "2:1||a|||398 x1 -\n3:2||b|||1280 x1 -\n4:3||c|||398 x1 -\n5:4||d|||1280 x1 -\n"
            "6:5||e|||398 x1 -\n7:6||f|||12800 x1 -\n8:7||g|||1280 x1 -\n"
            "9:8||h|||オープン価格 x1 -\n10:9||i|||398.5 x1 -\n11:10||j|||1,28 x1 -\n"
            "12:11||k|||円 x1 -\n"
            "9? 売価「オープン価格」は円の整数ではないため、書いてあるとおりに印刷します"
            "（税込の計算もしません）\n"
            "10? 売価「398.5」は円の整数ではないため、書いてあるとおりに印刷します（税込の計算も"
            "しません）\n"
            "11? 売価「1,28」は円の整数ではないため、書いてあるとおりに印刷します（税込の計算も"
            "しません）\n"
            "12? 売価「円」は円の整数ではないため、書いてあるとおりに印刷します（税込の計算も"
            "しません）");
        // A price written with a comma and not quoted moves every cell after it; the cells
        // are read by the header all the same, so the row says so.
        row("cells beyond the header told",
            "JAN,品名,売価\n1,a,¥12,800\n2,b,\"¥12,800\"\n3,c,398,\n",
            "2:1||a|||12 x1 -\n3:2||b|||12800 x1 -\n4:3||c|||398 x1 -\n"
            "2? 見出しのない列にも文字があります（4 列目「800」）");
        row("long texts kept whole", "JAN,品名\n1," + QString("ながい品名").repeated(200),
            "2:1||" + QString("ながい品名").repeated(200) + "||| x1 -");
        // A NUL (a workbook's _x0000_) or half a surrogate pair is no character a label or the
        // master keeps: such a row is left out, saying which cell; unused columns do not count.
        row("characters no label or master keeps",
            "JAN,品名,規格,備考\n1,のり" + QString(QChar(0)) + "塩,60g,\n2,のり," +
                QString(QChar(0xD800)) + ",\n3,梅,,a" + QString(QChar(0)) + "\n",
            "4:3||梅||| x1 -\n2! 品名に文字でないもの（\\x00）があります\n"
            "3! 規格に文字でないもの（\\uD800）があります");
        // A register's sale: its price, the 通常価格 it replaces and its days, under each name
        // registers give them; a sale without a 通常価格 replaces the row's 売価.
        row("sale columns: 特売価格, 特売開始日, 特売終了日",
            "JAN,品名,売価,特売価格,特売開始日,特売終了日\n1,a,158,128,2026/12/08,2026/12/14",
            "2:1||a|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14");
        row("sale columns: セール価格, 開始日, 終了日, 通常価格 and no 売価",
            "JAN,品名,通常価格,セール価格,開始日,終了日\n1,a,158,128,2026/12/08,\n2,b,198,,,",
            "2:1||a|||158 x1 - 特価128 通常158 2026-12-08〜\n3:2||b|||198 x1 -");
        row("sale columns: 特価, セール開始日, セール終了日, 通常売価 beside 売価",
            "ｾｰﾙ開始日,JAN,品名,売価,特価,セール終了日,通常売価\n12/8,1,a,128,￥98,12/14,¥158",
            "2:1||a|||128 x1 - 特価98 通常158 2026-12-08〜2026-12-14");
        // Days as registers write them; a day without its year is in the year printed for
        // (2026 here). A day that does not read, or a period that ends before it starts,
        // leaves the row out, naming the column.
        row("sale days as registers write them",
            "JAN,品名,売価,特売価格,特売開始日,特売終了日\n"
            "1,a,158,128,2026/12/08,2026/12/14\n2,b,158,128,2026-12-8,20261214\n"
            "3,c,158,128,12/8,12/14\n4,d,158,128,2026年12月8日,12月14日\n"
            "5,e,158,128,2026/12/08 0:00:00,2026-12-14T23:59\n6,f,158,128,46364,46370.9993\n"
            "7,g,158,128,,\n8,h,158,,2026/12/08,2026/12/14\n9,i,158,128,2026/2/30,\n"
            "10,j,158,128,12/14,12/8\n11,k,158,128.5,,\n12,l,158,128,13/45,\n"
            "13,m,158,128,2026/12/08,2026/12/08\n14,n,158,128,来週,\n"
            "15,o,158,128,２０２６／１２／０８,\n16,p,158,128,,1208",
            "2:1||a|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "3:2||b|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "4:3||c|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "5:4||d|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "6:5||e|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "7:6||f|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-14\n"
            "8:7||g|||158 x1 - 特価128 通常158 〜\n9:8||h|||158 x1 -\n"
            "14:13||m|||158 x1 - 特価128 通常158 2026-12-08〜2026-12-08\n"
            "16:15||o|||158 x1 - 特価128 通常158 2026-12-08〜\n"
            "9? 特売の期間がありますが特売価格が空のため、特売にしません（通常の売価で印刷"
            "します）\n"
            "10! 特売開始日（5 列目）「2026/2/30」は日付として読めません（2026/12/08、"
            "2026-12-08、20261208、12/8 のように書いてください）\n"
            "11! 特売の期間が終わる日（2026-12-08）が始まる日（2026-12-14）より前です\n"
            "12! 特売価格（4 列目）「128.5」は円の整数ではありません\n"
            "13! 特売開始日（5 列目）「13/45」は日付として読めません（2026/12/08、2026-12-08、"
            "20261208、12/8 のように書いてください）\n"
            "15! 特売開始日（5 列目）「来週」は日付として読めません（2026/12/08、2026-12-08、"
            "20261208、12/8 のように書いてください）\n"
            "17! 特売終了日（6 列目）「1208」は日付として読めません（2026/12/08、2026-12-08、"
            "20261208、12/8 のように書いてください）");
        row("a day without its year, printed for another year",
            "JAN,品名,売価,特売価格,特売開始日,特売終了日\n1,a,158,128,3/1,3月7日",
            "2:1||a|||158 x1 - 特価128 通常158 2031-03-01〜2031-03-07", QDate(2031, 2, 24));
        // 軽減税率対象 says the class (○ 軽減 8 %, × 標準 10 %); 税率区分 says it in words. The
        // two must agree, and 非課税 has no class.
        row("軽減税率対象 and 税率区分",
            "JAN,品名,売価,軽減税率対象,税率区分\n1,a,100,○,\n2,b,100,〇,\n3,c,100,×,\n"
            "4,d,100,1,\n5,e,100,0,\n6,f,100,対象,\n7,g,100,対象外,\n8,h,100,,軽減\n"
            "9,i,100,,標準\n10,j,100,,非課税\n11,k,100,×,非課税\n12,l,100,○,標準\n"
            "13,m,100,○,非課税\n14,n,100,△,\n15,o,100,１,\n16,p,100,○,軽減\n17,q,100,,",
            "2:1||a|||100 x1 8%\n3:2||b|||100 x1 8%\n4:3||c|||100 x1 10%\n"
            "5:4||d|||100 x1 8%\n6:5||e|||100 x1 10%\n7:6||f|||100 x1 8%\n"
            "8:7||g|||100 x1 10%\n9:8||h|||100 x1 8%\n10:9||i|||100 x1 10%\n"
            "11:10||j|||100 x1 - 非課税\n12:11||k|||100 x1 - 非課税\n"
            "16:15||o|||100 x1 8%\n17:16||p|||100 x1 8%\n18:17||q|||100 x1 -\n"
            "13! 軽減税率対象「○」と税率「標準」が食い違っています\n"
            "14! 軽減税率対象「○」と税率「非課税」が食い違っています\n"
            "15! 軽減税率対象「△」は読めません（○、×、1、0、対象、対象外 のどれかです）");
        row("a note from the source keeps its row", "JAN,品名\n1,\"open\nend",
            "2:1||open\\nend||| x1 -\n2? 2 行目で始まる引用符 (\") が閉じていません");
    }

    void rows() {
        QFETCH(QString, text);
        QFETCH(QString, products);
        QFETCH(QDate, printDay);
        const QString ini = dir_->filePath("zukaro.ini");
        {
            QSettings settings(ini, QSettings::IniFormat);
            const QStringList header{"JAN", "名前", "値段", "メモ"};
            ColumnMapping chosen = *ColumnMapping::fromHeader(header);
            chosen.setColumn(ProductColumn::Product, 1);
            chosen.setColumn(ProductColumn::Price, 2);
            chosen.remember(settings, header);
            // The same choice for another header, as a version that read no sales kept it.
            const QStringList older{"JAN", "商品", "値段", "特価", "開始日"};
            chosen.remember(settings, older);
            settings.beginGroup("productListColumns");
            for (const QString& group : settings.childGroups()) {
                settings.beginGroup(group);
                if (settings.value("header").toString().contains("開始日")) {
                    for (const ProductColumn sale :
                         {ProductColumn::SalePrice, ProductColumn::SaleFrom, ProductColumn::SaleTo,
                          ProductColumn::RegularPrice, ProductColumn::ReducedRate}) {
                        settings.remove(settingsKey(sale));
                    }
                }
                settings.endGroup();
            }
            settings.endGroup();
        }
        QSettings settings(ini, QSettings::IniFormat);
        const SourceTable table = readPastedRows(text).table;
        const ColumnMapping mapping = ColumnMapping::detect(table, &settings);
        const QString refused = notAProductList(table, mapping, "貼り付けた行");
        RowOptions options;
        options.printDay = printDay;
        QCOMPARE(refused.isEmpty() ? describe(toProductRows(table, mapping, options))
                                   : "refused: " + refused.section("。", 0, 0),
                 products);
    }

    // Registers' product exports as they come (made up by us, in both encodings): the JAN
    // from the barcode column over the register's own code, the price and whether it holds
    // the tax from the tax columns, half-width katakana widened, every other column ignored.
    void posExports_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("products");
        QTest::newRow("UTF-8 with BOM: 税設定 and 適用税率")
            << "pos_tax_columns_utf8_bom.csv"
            << "UTF-8 (BOM)・カンマ区切り\n"
               "2:4569999000010||ワイヤレスイヤホン ブラック|1個||1100 x1 10% 内税\n"
               "3:4569999000027||幕の内弁当|1食||1000 x1 8% 内税\n"
               "4:4569999000034||ポテトチップス ウスシオ味|60g||398 x1 8% 外税\n"
               "5:4569999000041||業務用電子レンジ　単機能２０Ｌ　高出力１０００Ｗ　ステンレス庫内"
               "フラットテーブル|20L||128000 x1 10% 外税\n"
               "6:4569999000058||収入印紙 200円|||200 x1 - 非課税";
        QTest::newRow("Shift_JIS: 税区分 税込/税抜 and 税率 in percent") << "pos_tax_kind_shift_"
                                                                            "jis.csv"
                                                                         << "Shift_"
                                                                            "JIS・カンマ区切り\n"
                                                                            "2:4569999000065|"
                                                                            "サンプル食品|"
                                                                            "カップラーメン "
                                                                            "ショウユ|77g||298 x1 "
                                                                            "8% 外税\n"  // ￥298
                                                                            "3:4569999000072|"
                                                                            "サンプル電機|"
                                                                            "ＬＥＤ電球　６０形相当"
                                                                            "|E26||1100 x1 10% "
                                                                            "内税\n"
                                                                            "4:4569999000089||"
                                                                            "指定ごみ袋 45L "
                                                                            "10枚|45L||500 x1 - "
                                                                            "非課税\n"
                                                                            "5:4569999000096|"
                                                                            "サンプル飲料|"
                                                                            "ミネラルウォーター "
                                                                            "2L|2L||1000 x1 8% "
                                                                            "内税";
        // 外税 takes 税抜価格; 内税 and an unsaid kind take 税込価格, what the register charges.
        QTest::newRow("税込価格 and 税抜価格 side by side")
            << "pos_gross_and_net_prices.csv"
            << "UTF-8・カンマ区切り\n"
               "2:4569999000102|サンプル電機|加湿器 スチーム式|2.5L||1000 x1 10% 外税\n"
               "3:4569999000119|サンプル園|緑茶ティーバッグ|50袋||1000 x1 8% 内税\n"
               "4:4569999000126|サンプル食品|ミックスナッツ|200g||540 x1 8% 内税";
        // Days as date cells (one with a time of day), as texts, and without a year; the JAN
        // from JANコード over the register's 商品コード.
        const QString saleWeek =
            "xlsx\n"
            "2:4901234567894||ポテトチップス うすしお味|60g||158 x1 8% 特価128 通常158 "
            "2026-12-14〜2026-12-20\n"
            "3:49012348||焼のり|10枚||298 x1 8% 特価248 通常298 2026-12-14〜2026-12-20\n"
            "4:4512345678906||衣料用洗剤|900g||498 x1 10%\n"
            "5! 特売の期間が終わる日（2026-12-14）が始まる日（2026-12-21）より前です";
        QTest::newRow("xlsx: a register's sale with date cells") << "sale_week.xlsx" << saleWeek;
        // The same workbook saved by an old Mac Excel: its date cells count from 1904-01-01,
        // 1,462 days fewer for the same day.
        QTest::newRow("xlsx: the same sale, days counted from 1904")
            << "sale_week_1904.xlsx" << saleWeek;
    }

    void posExports() {
        QFETCH(QString, file);
        QFETCH(QString, products);
        const SourceResult read = readProductFile(TESTDATA "/" + file);
        QVERIFY2(read.ok, qPrintable(read.error));
        const ColumnMapping mapping = ColumnMapping::detect(read.table);
        QCOMPARE(notAProductList(read.table, mapping, file), QString());
        RowOptions options;
        options.printDay = QDate(2026, 12, 7);
        QCOMPARE((read.format + '\n' + describe(toProductRows(read.table, mapping, options)))
                     .split('\n'),
                 products.split('\n'));
    }

    // Any number of columns a label does not use, before and after the ones it does.
    void extraColumnsIgnored() {
        QStringList header, cells;
        for (int i = 0; i < 600; ++i) {
            header << QString("項目%1").arg(i);
            cells << QString::number(i);
        }
        header[250] = "バーコード", header[251] = "商品名", header[599] = "税込価格";
        cells[250] = "4569999000010", cells[251] = "イヤホン", cells[599] = "\"1,100\"";
        const SourceTable table = readPastedRows(header.join(',') + '\n' + cells.join(',')).table;
        QCOMPARE(describe(toProductRows(table, ColumnMapping::detect(table))),
                 "2:4569999000010||イヤホン|||1100 x1 - 内税");
    }

    // A file that is no product list (a register's sales journal) is refused, saying what a
    // product list looks like.
    void salesJournalRefused() {
        const QString path = TESTDATA "/sales_journal_not_a_list.csv";
        const SourceResult read = readProductFile(path);
        QVERIFY2(read.ok, qPrintable(read.error));
        QCOMPARE(notAProductList(read.table, ColumnMapping::detect(read.table), "売上.csv"),
                 "「売上.csv」は商品リストではないようです。見出しの行がなく、1 列目に JAN コードが"
                 "一つもありません。商品リストは、見出しの行（JAN コード・商品コード・バーコード、"
                 "商品名・品名、売価・価格・商品単価、税率・税区分 など）のある表か、見出しなしで "
                 "1 列目から JAN コード、メーカー、品名、規格、ロット、売価の順に並んだ表です。");
    }
};

QTEST_GUILESS_MAIN(TestProductList)
#include "tst_productlist.moc"
