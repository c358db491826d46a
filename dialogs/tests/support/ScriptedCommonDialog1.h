#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "CommonDialog1.h"

namespace zukaro {

// What the user does in the next dialog: confirm (outcome 0) with these choices, cancel
// (kCancelError), or fail with any other outcome.
struct DialogAnswer {
    int outcome = 0;
    FontChoice font{};
    WinColor color = 0;
    QString path{};
    // Print set-up: what the user picks, applied to the printer before confirming.
    std::function<void(QPrinter&)> choosePrinter{};
};

// CommonDialog1 for tests: answers from a script, in order, and records every dialog that
// was shown. A dialog shown with no answer left is cancelled.
class ScriptedCommonDialog1 final : public CommonDialog1 {
public:
    struct Shown {
        QString kind;     // "printer", "font", "color", "open" or "save"
        QString filter;   // file dialogs only
        FontChoice font;  // the preset of a font dialog
    };

    void script(DialogAnswer answer) { answers_.append(std::move(answer)); }
    void scriptCancel() { script(cancelled()); }
    static DialogAnswer cancelled();
    const QList<Shown>& shown() const { return shown_; }
    QStringList shownKinds() const;
    qsizetype answersLeft() const { return answers_.size(); }

    int showPrinter(QPrinter& printer) override;
    int showFont(FontChoice& font) override;
    int showColor(WinColor& color) override;
    int showOpen(const QString& filter, QString& path) override;
    int showSave(const QString& filter, QString& path) override;

private:
    DialogAnswer next(Shown shown);

    QList<DialogAnswer> answers_;
    QList<Shown> shown_;
};

}  // namespace zukaro
