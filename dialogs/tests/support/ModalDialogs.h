#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QTest>
#include <functional>

// Driving Qt's real dialogs from a test, and keeping a test from ever hanging in one.
//
// While a test program with a QApplication runs, a watch looks at the active modal widget
// every few milliseconds. A dialog that a whenShown() is waiting for gets its act; any other
// modal dialog fails the running test at once, naming it (class and window title), and is
// closed, so the code that opened it goes on as after a cancel. A progress dialog is left to
// its work, which closes it. At the end of each test
// (cleanup()) ZUKARO_VERIFY_NO_DIALOG_LEFT() closes whatever is still open and fails naming
// it, and fails for every whenShown() whose dialog never came.
namespace zukaro::testing {

// "QMessageBox 「ズカロ」: 変更を保存しますか？" — what a failure calls a dialog.
QString describeDialog(const QWidget& dialog);

namespace detail {
// Queues a wait for the next modal dialog that `matches`; `act` runs on it. `awaited` names
// the dialog type for the failure when it never comes (after five seconds, or at the end of
// the test, whichever is first).
void awaitDialog(const char* awaited, std::function<bool(QWidget&)> matches,
                 std::function<void(QWidget&)> act);
}  // namespace detail

// Runs `act` on the next modal dialog of type D once it is shown, as a user would act on it;
// one that `act` left open (a failed check) is cancelled. Waits queue in order: a second
// whenShown() waits for the dialog after the first one's.
template <typename D>
void whenShown(std::function<void(D&)> act) {
    detail::awaitDialog(
        D::staticMetaObject.className(), [](QWidget& w) { return qobject_cast<D*>(&w) != nullptr; },
        [act = std::move(act)](QWidget& w) { act(*qobject_cast<D*>(&w)); });
}

// What the user does in Qt's real print dialog to print into a PDF: 「PDF ファイルに出力」 (the
// last printer) and the file name, then 印刷.
void printToPdfFile(const QString& pdf);

// Closes every modal dialog still open and forgets every wait that never met its dialog;
// returns one line for each, empty when the test left nothing behind.
QStringList dialogsLeft();

}  // namespace zukaro::testing

// For the cleanup() of every test that opens windows.
#define ZUKARO_VERIFY_NO_DIALOG_LEFT()                                                   \
    do {                                                                                 \
        const QStringList zukaroDialogsLeft = ::zukaro::testing::dialogsLeft();          \
        QVERIFY2(zukaroDialogsLeft.isEmpty(), qPrintable(zukaroDialogsLeft.join("; "))); \
    } while (false)
