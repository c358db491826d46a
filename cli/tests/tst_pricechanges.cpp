// The weekly price change from the command line, as a shop's script runs it: registers'
// exports printed as they come (read back from the PDF by poppler and zbar), and only what
// changed since the labels recorded in the product master.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "CliFixture.h"
#include "PrintedSheet.h"
#include "SettingsFile.h"

using namespace zukaro;

namespace {

QString posFixture(const char* name) {
    return QStringLiteral(POS_FIXTURES "/") + QLatin1String(name);
}

// 税込表示 with thousands separators, at 10 % rounded down: what a shop shows its customers.
Layout taxIncludedLayout() {
    Layout layout;
    layout.priceMode = PriceMode::TaxIncluded;
    layout.thousandsSeparators = true;
    return layout;
}

// The words printed inside label n, in reading order, joined by blanks. The big price starts
// at the label's left edge: a word counts from a millimetre before it.
QString labelText(const QList<printed::Word>& words, const SheetState& sheet, int n) {
    const double left = printed::labelLeft(sheet, n), top = printed::labelTop(sheet, n);
    QList<printed::Word> inside;
    for (const printed::Word& w : words) {
        if (w.x >= left - 1 && w.x < left + kLabelPitchX - 1 && w.y >= top &&
            w.y < top + kLabelPitchY) {
            inside << w;
        }
    }
    std::sort(inside.begin(), inside.end(), [](const printed::Word& a, const printed::Word& b) {
        return std::pair(std::lround(a.y), a.x) < std::pair(std::lround(b.y), b.x);
    });
    QStringList texts;
    for (const printed::Word& w : inside) {
        texts << w.text;
    }
    return texts.join(u' ');
}

}  // namespace

class TestPriceChanges : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QProcessEnvironment env_ = QProcessEnvironment::systemEnvironment();
    SheetState sheet_;  // where the labels of a fresh start land

    QString temp(const QString& name) const { return dir_.filePath(name); }
    fixture::Run zukaro(const QStringList& args) const { return fixture::runZukaro(args, env_); }

private slots:
    void initTestCase() {
        env_.remove("DISPLAY");
        env_.remove("QT_QPA_PLATFORM");
        env_.insert("XDG_CONFIG_HOME", temp("config"));
        env_.insert("XDG_DATA_HOME", temp("data"));
        env_.insert("TMPDIR", temp("tmp"));
        QVERIFY(QDir().mkpath(temp("config/zukaro")) && QDir().mkpath(temp("tmp")));
        QFile data(temp("config/zukaro/data.txt"));
        QVERIFY(data.open(QIODevice::WriteOnly) &&
                data.write(settingsBytes(taxIncludedLayout())) > 0);
        sheet_.layout = taxIncludedLayout();
    }

    // Each label of a register's export as printed in 税込表示: a price that holds its tax
    // (内税) is the big price and its 本体 is worked back (1,100 at 10 % holds 100, 1,000 at
    // 8 % holds 74.07, rounded down), never taxed again; 軽減税率 rows take 8 %; 非課税
    // prints as it stands, without a 本体 line. JAN codes land where their names do.
    void posExportsOnPaper_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("labels");  // the texts each label must hold
        QTest::newRow("UTF-8 with BOM")
            << posFixture("pos_tax_columns_utf8_bom.csv")
            << QStringList{"4569999000010 ワイヤレスイヤホン ブラック 1,100 (本体 1,000円)",
                           "4569999000027 幕の内弁当 1,000 (本体 926円)",
                           "4569999000034 ポテトチップス ウスシオ味 429 (本体 398円)",
                           "4569999000041 140,800 (本体 128,000円)",
                           "4569999000058 収入印紙 200円 200 円"};
        QTest::newRow("Shift_JIS")
            << posFixture("pos_tax_kind_shift_jis.csv")
            << QStringList{"4569999000065 サンプル食品 カップラーメン ショウユ 321 (本体 298円)",
                           "4569999000072 サンプル電機 ＬＥＤ電球 ６０形相当 1,100 (本体 1,000円)",
                           "4569999000089 指定ごみ袋 45L 10枚 500 円",
                           "4569999000096 サンプル飲料 ミネラルウォーター 2L 1,000 (本体 926円)"};
        QTest::newRow("税込価格 and 税抜価格")
            << posFixture("pos_gross_and_net_prices.csv")
            << QStringList{"4569999000102 サンプル電機 加湿器 スチーム式 1,100 (本体 1,000円)",
                           "4569999000119 サンプル園 緑茶ティーバッグ 1,000 (本体 926円)",
                           "4569999000126 サンプル食品 ミックスナッツ 540 (本体 500円)"};
    }

    void posExportsOnPaper() {
        QFETCH(QString, file);
        QFETCH(QStringList, labels);
        const QString pdf = temp(QTest::currentDataTag()) + ".pdf";
        const auto run = zukaro({"--print-list", file, pdf});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QList<printed::Word> words = printed::pdfWords(pdf);
        QStringList codes;
        for (int n = 1; n <= labels.size(); ++n) {
            const QString printed = labelText(words, sheet_, n);
            const QString label = QString("label %1: %2").arg(n).arg(printed);
            for (const QString& expected : labels[n - 1].split(u' ')) {
                QVERIFY2(printed.contains(expected), qPrintable(label + " lacks " + expected));
            }
            // A 内税 price is never taxed again, and 非課税 gets no 本体 line.
            QVERIFY2(!printed.contains("1,210") && !printed.contains("1,080"), qPrintable(label));
            QCOMPARE(printed.contains("(本体"), labels[n - 1].contains("(本体"));
            codes << "EAN-13:" + labels[n - 1].section(u' ', 0, 0);
        }
        QCOMPARE(labelText(words, sheet_, labels.size() + 1), QString());
        QVERIFY(QDir().mkpath(temp("pages")));
        codes.sort();
        QCOMPARE(printed::codesOnEveryPage(pdf, 300, temp("pages")), codes);
    }

    // A register's sales journal is no product list: refused, saying what one is.
    void salesJournalRefused() {
        const QString pdf = temp("journal.pdf");
        const auto run = zukaro({"--print-list", posFixture("sales_journal_not_a_list.csv"), pdf});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("は商品リストではないようです") &&
                     run.err.contains("見出しの行（JAN コード・商品コード・バーコード"),
                 qPrintable(run.err));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestPriceChanges)
#include "tst_pricechanges.moc"
