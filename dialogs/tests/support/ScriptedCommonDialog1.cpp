#include "ScriptedCommonDialog1.h"

namespace zukaro {
namespace {

ScriptedCommonDialog1::Shown shownDialog(const char* kind, const QString& filter = {},
                                         const FontChoice& font = {}) {
    ScriptedCommonDialog1::Shown shown;
    shown.kind = QString::fromLatin1(kind);
    shown.filter = filter;
    shown.font = font;
    return shown;
}

}  // namespace

DialogAnswer ScriptedCommonDialog1::cancelled() {
    DialogAnswer answer;
    answer.outcome = kCancelError;
    return answer;
}

QStringList ScriptedCommonDialog1::shownKinds() const {
    QStringList kinds;
    for (const Shown& s : shown_) {
        kinds << s.kind;
    }
    return kinds;
}

DialogAnswer ScriptedCommonDialog1::next(Shown shown) {
    shown_.append(std::move(shown));
    if (answers_.isEmpty()) {
        return cancelled();
    }
    return answers_.takeFirst();
}

int ScriptedCommonDialog1::showPrinter(QPrinter& printer) {
    const DialogAnswer a = next(shownDialog("printer"));
    if (a.outcome == 0 && a.choosePrinter) {
        a.choosePrinter(printer);
    }
    return a.outcome;
}

int ScriptedCommonDialog1::showFont(FontChoice& font) {
    const DialogAnswer a = next(shownDialog("font", {}, font));
    if (a.outcome == 0) {
        font = a.font;
    }
    return a.outcome;
}

int ScriptedCommonDialog1::showColor(WinColor& color) {
    const DialogAnswer a = next(shownDialog("color"));
    if (a.outcome == 0) {
        color = a.color;
    }
    return a.outcome;
}

int ScriptedCommonDialog1::showOpen(const QString& filter, QString& path) {
    const DialogAnswer a = next(shownDialog("open", filter));
    if (a.outcome == 0) {
        path = a.path;
    }
    return a.outcome;
}

int ScriptedCommonDialog1::showSave(const QString& filter, QString& path) {
    const DialogAnswer a = next(shownDialog("save", filter));
    if (a.outcome == 0) {
        path = a.path;
    }
    return a.outcome;
}

}  // namespace zukaro
