#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "QtTranslations.h"

// Qt's own dialogs must speak Japanese: the questions of the editor are answered with
// はい/いいえ, and the print, font, colour and file dialogs come from Qt.
class QtTranslationsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Untranslated before, so the checks below prove the loader did the work.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
        QVERIFY(zukaro::installJapaneseQtTranslations(*QCoreApplication::instance()));
    }

    void messageBoxButtonsAreJapanese_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << int(QMessageBox::Yes) << "はい(&Y)";
        QTest::newRow("no") << int(QMessageBox::No) << "いいえ(&N)";
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << "キャンセル";
    }

    void messageBoxButtonsAreJapanese() {
        QFETCH(int, button);
        QFETCH(QString, text);
        QMessageBox box(QMessageBox::Question, QStringLiteral("削除"),
                        QStringLiteral("削除しますか?。"), QMessageBox::StandardButtons(button));
        QAbstractButton* b = box.button(QMessageBox::StandardButton(button));
        QVERIFY(b);
        QCOMPARE(b->text(), text);
    }

    void dialogTextsAreJapanese_data() {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("japanese");
        QTest::newRow("print dialog") << "QPrintDialog"
                                      << "Print"
                                      << "印刷";
        QTest::newRow("print to PDF") << "QPrintDialog"
                                      << "Print to File (PDF)"
                                      << "PDF ファイルに出力";
        QTest::newRow("paper") << "QPageSetupWidget"
                               << "Paper"
                               << "用紙";
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
        QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(),
                                             source.toLatin1().constData()),
                 japanese);
    }
};

QTEST_MAIN(QtTranslationsTest)
#include "tst_qttranslations.moc"
