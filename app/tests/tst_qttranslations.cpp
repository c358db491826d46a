#include <QtTest>

#include "QtTranslations.h"

// Qt's own dialogs must speak Japanese: the editor's questions are answered with はい/いいえ,
// and the print, font, colour and file dialogs come from Qt.
class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Untranslated before, so the checks below prove the loader did the work.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
        QVERIFY(zukaro::installJapaneseQtTranslations(*QCoreApplication::instance()));
    }

    void dialogTextsAreJapanese_data() {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("japanese");
        QTest::newRow("yes") << "QPlatformTheme"
                             << "&Yes"
                             << "はい(&Y)";
        QTest::newRow("no") << "QPlatformTheme"
                            << "&No"
                            << "いいえ(&N)";
        QTest::newRow("print dialog") << "QPrintDialog"
                                      << "Print"
                                      << "印刷";
        QTest::newRow("print to PDF") << "QPrintDialog"
                                      << "Print to File (PDF)"
                                      << "PDF ファイルに出力";
        QTest::newRow("font dialog") << "QFontDialog"
                                     << "Select Font"
                                     << "フォントの選択";
        QTest::newRow("colour dialog") << "QColorDialog"
                                       << "Select Color"
                                       << "色を選択";
        QTest::newRow("file dialog") << "QFileDialog"
                                     << "Open"
                                     << "開く";
    }

    void dialogTextsAreJapanese() {
        QFETCH(QString, context);
        QFETCH(QString, source);
        QFETCH(QString, japanese);
        QCOMPARE(QCoreApplication::translate(qPrintable(context), qPrintable(source)), japanese);
    }
};

QTEST_GUILESS_MAIN(QtTranslationsTest)
#include "tst_qttranslations.moc"
