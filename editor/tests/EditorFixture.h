#pragma once

// A real editor window on a temporary settings folder, with scripted dialogs and message
// boxes, and the few gestures the window tests need.
#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "EditorWindow.h"
#include "EntryField.h"
#include "ModalDialogs.h"
#include "PreviewPane.h"
#include "ScriptedCommonDialog1.h"
#include "ScriptedMessageBoxes.h"
#include "SheetCommands.h"

namespace zukaro::testing {

// Types like the keyboard does; Japanese text arrives as an input-method commit.
inline void typeText(QWidget* field, const QString& text) {
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QApplication::sendEvent(field, &commit);
}

inline void pressEnter() {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

// Types one label through the Enter chain: JAN, maker, product, spec, lot, price.
inline void typeLabel(const QStringList& texts) {
    for (const QString& text : texts) {
        typeText(QApplication::focusWidget(), text);
        pressEnter();
    }
}

struct EditorFixture {
    std::unique_ptr<QTemporaryDir> settingsDir = std::make_unique<QTemporaryDir>();
    ScriptedCommonDialog1 dialogs;
    ScriptedMessageBoxes messages;
    std::unique_ptr<EditorWindow> window;

    // Opens a fresh window (closing any previous one) and waits until it has the focus.
    bool open() {
        window.reset();
        window = std::make_unique<EditorWindow>(
            dialogs, messages, SettingsLocations{settingsDir->path(), settingsDir->path()});
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    void reset() {
        window.reset();
        dialogs = ScriptedCommonDialog1();
        messages = ScriptedMessageBoxes();
    }

    SheetState& sheet() { return window->sheet(); }
    EntryField* field(const char* name) const {
        return window->findChild<EntryField*>(QLatin1String(name));
    }
    QPushButton* button(const QString& name) const { return window->findChild<QPushButton*>(name); }
    void click(const QString& name, int times = 1) const {
        for (int i = 0; i < times; ++i) {
            QTest::mouseClick(button(name), Qt::LeftButton);
        }
    }
    void clickInto(const char* name) const { QTest::mouseClick(field(name), Qt::LeftButton); }
    QString counter() const { return window->controls().Label6->text(); }
    // 倍率 clicked until the preview is at `zoom` (0.5 or 1.0): a window too narrow for 50 %
    // opens at 全体, and a test that looks at pixels wants a scale of its own.
    void zoomTo(double zoom) const {
        for (int i = 0;
             i < 3 && (window->sheetCommands().zoom() != zoom || window->preview().wholePage());
             ++i) {
            click(QStringLiteral("倍率"));
        }
    }
    QString focused() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    }
    // Every message box shown so far, as "caption|text".
    QStringList shownTexts() const {
        QStringList out;
        for (const auto& box : messages.shown()) {
            out << box.caption + u'|' + box.text;
        }
        return out;
    }
};

}  // namespace zukaro::testing
