// Every command of the editor window, row by row from the list its menus are built from: each
// control of the window has its line; a change of the sheet is one step that 元に戻す takes
// back and やり直し puts again; 新規作成 and ファイルを開く ask first and start the steps anew;
// every other command leaves the sheet as it was. What is compared is what the disk and the
// user see: the label file the sheet would be saved as, the bars' state, where the sheet sits,
// and the captions, choices and texts of the controls.
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

#include "Cp932.h"
#include "EditorCommands.h"
#include "EditorFixture.h"
#include "LabelFile.h"
#include "SwitchCaptions.h"

using namespace zukaro;
using namespace zukaro::testing;

Q_DECLARE_METATYPE(zukaro::SheetEffect)

namespace {

// A control of the window, as against Qt's own widgets inside the combo boxes, scroll areas
// and the menu bar.
bool isOwnControl(const QObject* o) {
    const bool control =
        qobject_cast<const QAbstractButton*>(o) || qobject_cast<const QComboBox*>(o) ||
        qobject_cast<const QLineEdit*>(o) || qobject_cast<const QAbstractSlider*>(o) ||
        qobject_cast<const QAction*>(o) || qobject_cast<const QAbstractSpinBox*>(o);
    return control && !o->objectName().isEmpty() && !o->objectName().startsWith("qt_");
}

// A realistic entry for each field, none of them what the sample labels hold.
QString typedInto(const QString& field) {
    static const QMap<QString, QString> texts{{"Text1", "4512345678906"},
                                              {"Text2", "キッコーマン"},
                                              {"Text3", "こいくちしょうゆ"},
                                              {"Text4", "1L"},
                                              {"Text6", "L-0412"},
                                              {"Text5", "128000"},
                                              {"特価", "98,000"},
                                              {"通常価格", "128,000"},
                                              {"特売開始日", "2026/12/08"},
                                              {"特売終了日", "20261214"},
                                              {"税率改定", "軽減 0% 2026-10-01"}};
    return texts.value(field);
}

}  // namespace

class TestCommands : public QObject {
    Q_OBJECT
    EditorFixture ui_;
    QTemporaryDir dir_;
    int listsOpened_ = 0;

    // A label file of `count` labels, each product named after `name` and its number.
    QString sampleFile(const QString& file, int count, const QString& name) const {
        SheetState sheet;
        for (int n = 1; n <= count; ++n) {
            sheet.setLabel(n,
                           {n % 2 ? "4901234567894" : "49123456", "メーカー" + QString::number(n),
                            name + QString::number(n), QString::number(n) + "00ml",
                            "L-" + QString::number(n), QString::number(98 * n)});
        }
        const QString path = dir_.filePath(file);
        return writeLabelFile(path, sheet, UnencodablePolicy::Refuse).ok ? path : QString();
    }

    // What the disk sees of the sheet: the label file it would be saved as, the bars' state,
    // which no file keeps, and where it sits on the page.
    QStringList document() const {
        const SheetState& s = ui_.window->sheet();
        QStringList lines = cp932::decode(labelFileBytes(s)).text.split("\r\n");
        lines << "バーコード " + caption::ofShown(s.BARCODE)
              << QString("位置 %1, %2").arg(s.sheetX).arg(s.sheetY);
        return lines;
    }

    // What the user sees on the controls: each button's caption and each box's choice or text.
    QStringList controls() const {
        QStringList out;
        for (QObject* o : ui_.window->findChildren<QObject*>()) {
            const auto sale = ui_.window->controls().saleFields();
            if (!isOwnControl(o) || qobject_cast<EntryField*>(o) ||
                std::find(sale.begin(), sale.end(), o) != sale.end()) {
                continue;  // the label's fields: see shownLabel()
            }
            if (auto* check = qobject_cast<QCheckBox*>(o)) {
                out << o->objectName() + (check->isChecked() ? " ☑" : " ☐");
            } else if (auto* button = qobject_cast<QAbstractButton*>(o)) {
                out << o->objectName() + ' ' + button->text();
            } else if (auto* combo = qobject_cast<QComboBox*>(o)) {
                out << o->objectName() + ' ' + combo->currentText();
            } else if (auto* box = qobject_cast<QLineEdit*>(o)) {
                out << o->objectName() + ' ' + box->text();
            }
        }
        return out;
    }

    // The counter, and the six fields and the sale's four when they show the current label
    // (else what they show).
    QString shownLabel() const {
        const SheetState& s = ui_.window->sheet();
        const LabelRecord r = s.label(s.currentLabel);
        const QStringList label{r.jan,   r.maker,     r.product,      r.spec,     r.lot,
                                r.price, r.salePrice, r.regularPrice, r.saleFrom, r.saleTo};
        QStringList fields;
        for (EntryField* f : ui_.window->controls().fieldsInTabOrder()) {
            fields << f->text();
        }
        for (QLineEdit* f : ui_.window->controls().saleFields()) {
            fields << f->text();
        }
        return ui_.counter() + (fields == label ? "" : " fields: " + fields.join('|'));
    }

    QStringList seen() const { return document() + controls() + QStringList{shownLabel()}; }

    QObject* control(const QString& name) const {
        for (QObject* o : ui_.window->findChildren<QObject*>(name)) {
            if (isOwnControl(o)) {
                return o;
            }
        }
        return nullptr;
    }

    // What a user does with a control: clicks a button or menu entry, types into a field and
    // presses Enter, types into a box, picks the next choice, scrolls.
    void use(const QString& name) {
        QObject* o = control(name);
        QVERIFY2(o != nullptr, qPrintable("no control " + name));
        if (name.startsWith("印刷位置の調整")) {  // the printer's calibration, closed unchanged
            whenShown<QDialog>([](QDialog& d) { d.reject(); });
        }
        if (auto* action = qobject_cast<QAction*>(o)) {
            action->trigger();
        } else if (auto* field = qobject_cast<EntryField*>(o)) {
            QTest::mouseClick(field, Qt::LeftButton);  // selects the label's text
            typeText(field, typedInto(name));
            pressEnter();
        } else if (auto* entry = qobject_cast<QLineEdit*>(o); entry && !typedInto(name).isEmpty()) {
            // The sale's fields and the rate changes store what is typed on Enter.
            QTest::mouseClick(entry, Qt::LeftButton);
            entry->selectAll();
            typeText(entry, typedInto(name));
            pressEnter();
        } else if (auto* box = qobject_cast<QLineEdit*>(o)) {
            box->selectAll();
            QTest::keyClicks(box, "3");
        } else if (auto* combo = qobject_cast<QComboBox*>(o)) {
            QTest::keyClick(combo, Qt::Key_Down);
        } else if (auto* day = qobject_cast<QAbstractSpinBox*>(o)) {
            day->setFocus(Qt::TabFocusReason);
            QTest::keyClick(day, Qt::Key_Up);
        } else if (auto* slider = qobject_cast<QAbstractSlider*>(o)) {
            slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        } else if (auto* button = qobject_cast<QAbstractButton*>(o)) {
            QVERIFY2(button->isEnabled(), qPrintable(name + " is disabled"));
            // A button shown only when it has something to do (枠内に収める) is clicked all the
            // same.
            button->isVisible() ? QTest::mouseClick(button, Qt::LeftButton) : button->click();
        }
    }

    void trigger(const char* action) { ui_.window->findChild<QAction*>(action)->trigger(); }

    // What a command that leaves the sheet alone does instead, where it shows; true for a
    // command not named here.
    bool didItsWork(const QString& name) const {
        const SheetState& s = ui_.window->sheet();
        const auto exists = [](const QString& file) {
            return [file] { return QFile::exists(file); };
        };
        const auto opened = [this] { return listsOpened_ == 1; };
        const auto closed = [this] { return !ui_.window->isVisible(); };
        const QMap<QString, std::function<bool()>> work{
            {"cmdfirst", [&] { return s.currentLabel == 1; }},
            {"cmdprevious", [&] { return s.currentLabel == 2; }},
            {"Cmdnext", [&] { return s.currentLabel == 4; }},
            {"Cmdlast", [&] { return s.currentLabel == kLabelCount; }},
            {"倍率", [&] { return ui_.window->sheetCommands().zoom() == 1.0; }},
            {"全体", [&] { return ui_.window->sheetCommands().zoom() != 0.5; }},
            {"印刷", exists(dir_.filePath("printed.pdf"))},
            {"P_印刷", exists(dir_.filePath("printed.pdf"))},
            {"N_SAVE", exists(dir_.filePath("chosen.csv"))},
            {"U_SAVE", [this] { return !ui_.window->isModified(); }},
            {"pt保存", exists(ui_.settingsDir->filePath("data.txt"))},
            {"商品リスト", opened},
            {"商品リストボタン", opened},
            {"印刷日",
             [this] {
                 return ui_.window->statusBar()->currentMessage().endsWith(
                     "の特価・税率で表示しています。印刷もこの日の分です。");
             }},
            {"MNUEXIT", closed},
            {"Command1", closed}};
        return !work.contains(name) || work[name]();
    }

private slots:
    void init() {
        QFile::remove(dir_.filePath("printed.pdf"));
        QFile::remove(dir_.filePath("chosen.csv"));
        QFile::remove(ui_.settingsDir->filePath("data.txt"));
        listsOpened_ = 0;
        ui_.reset();
        QVERIFY(ui_.open());
        ui_.window->setProductListOpener([this] { ++listsOpened_; });
        QVERIFY(openSheetFile(*ui_.window, sampleFile("sample.csv", 20, "品")));
        ui_.click("Cmdnext", 2);  // label 3: labels before it to copy from, label 21 free
        // A user who says yes and picks something new in every dialog.
        for (int i = 0; i < 3; ++i) {
            ui_.messages.scriptAnswer(Answer::Yes);
        }
        ui_.dialogs.script({.font = {"ＭＳ ゴシック", 20, true, false},
                            .color = 0x123456,
                            .path = dir_.filePath("chosen.csv"),
                            .choosePrinter = [this](QPrinter& printer) {
                                printer.setOutputFormat(QPrinter::PdfFormat);
                                printer.setOutputFileName(dir_.filePath("printed.pdf"));
                            }});
    }

    void cleanup() {
        ZUKARO_VERIFY_NO_DIALOG_LEFT();
        ui_.reset();
    }

    // The list and the window agree: every control has its line, and every line its control.
    void everyControlIsListed() {
        QStringList listed, unlisted;
        for (const EditorCommand& command : editorCommands()) {
            listed << command.designName;
        }
        for (QObject* o : ui_.window->findChildren<QObject*>()) {
            if (isOwnControl(o) && !listed.contains(o->objectName())) {
                unlisted << o->objectName();
            }
        }
        QVERIFY2(unlisted.isEmpty(),
                 qPrintable("give these a line in editorCommands() (editor/EditorCommands.cpp): " +
                            unlisted.join(", ")));
        QStringList missing;
        for (const QString& name : listed) {
            if (control(name) == nullptr) {
                missing << name;
            }
        }
        QCOMPARE(missing, QStringList());
        QCOMPARE(listed.removeDuplicates(), 0);
    }

    void command_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<SheetEffect>("effect");
        for (const EditorCommand& command : editorCommands()) {
            QTest::newRow(qPrintable(command.designName)) << command.designName << command.effect;
        }
    }

    void command() {
        QFETCH(QString, name);
        QFETCH(SheetEffect, effect);
        QUndoStack& steps = ui_.window->undoStack();
        switch (effect) {
            case SheetEffect::Undoable: {
                if (name == "前候補") {
                    ui_.clickInto("Text2");  // the item it takes from the label before
                }
                const QStringList before = seen(), documentBefore = document();
                use(name);
                const QStringList after = document() + controls();
                QVERIFY2(document() != documentBefore,
                         "the command changed nothing: give it a sheet on which it does");
                QCOMPARE(steps.count(), 1);
                trigger("元に戻す");
                QCOMPARE(seen(), before);
                trigger("やり直し");
                QCOMPARE(document() + controls(), after);
                // Redo shows the label it changed, counter and fields alike.
                QVERIFY2(!shownLabel().contains("fields"), qPrintable(shownLabel()));
                break;
            }
            case SheetEffect::NewSheet: {
                ui_.click("maker_上");  // unsaved work
                const QStringList before = document();
                ui_.messages = ScriptedMessageBoxes();
                ui_.messages.scriptAnswer(Answer::No);  // not saved
                ui_.dialogs = ScriptedCommonDialog1();
                ui_.dialogs.script({.path = sampleFile("other.csv", 5, "別の品")});
                use(name);
                QCOMPARE(ui_.shownTexts().value(0), "ズカロ|変更を保存しますか？");
                QVERIFY(document() != before);
                QCOMPARE(steps.count(), 0);
                QVERIFY(!ui_.window->isModified());
                QCOMPARE(ui_.window->sheet().currentLabel, 1);
                QVERIFY2(!shownLabel().contains("fields"), qPrintable(shownLabel()));
                break;
            }
            case SheetEffect::History: {
                const QStringList before = seen();
                ui_.click("maker_上");
                const QStringList after = seen();
                if (name == "やり直し") {
                    trigger("元に戻す");
                }
                use(name);
                QCOMPARE(seen(), name == "やり直し" ? after : before);
                break;
            }
            case SheetEffect::None: {
                const QStringList before = document();
                ui_.click("maker_上");  // one step to undo, which stays
                const QStringList changed = document();
                use(name);
                QCOMPARE(document(), changed);
                QCOMPARE(steps.count(), 1);
                QCOMPARE(steps.index(), 1);
                QVERIFY(before != changed);
                QVERIFY2(didItsWork(name), qPrintable("the command did not do its work; status: " +
                                                      ui_.window->statusBar()->currentMessage()));
                break;
            }
        }
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
