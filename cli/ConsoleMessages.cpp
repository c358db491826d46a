#include "ConsoleMessages.h"

#include <QStringList>

#include "ShownText.h"

namespace zukaro {

bool ConsoleMessages::askYesNo(const QString& /*caption*/, const QString& text,
                               MessageIcon /*icon*/, bool /*yesIsDefault*/) {
    write(text + QStringLiteral("\n(いいえ として続けます)"));
    return false;
}

Answer ConsoleMessages::askYesNoCancel(const QString& /*caption*/, const QString& text,
                                       MessageIcon /*icon*/) {
    write(text + QStringLiteral("\n(キャンセル として続けます)"));
    return Answer::Cancel;
}

void ConsoleMessages::tell(const QString& /*caption*/, const QString& text, MessageIcon icon) {
    if (icon == MessageIcon::Critical) {
        failed_ = true;
        put(text);  // a failure is always told
        return;
    }
    write(text);
}

void ConsoleMessages::write(const QString& text) {
    if (written_ >= kShownNotes) {
        ++omitted_;
        return;
    }
    ++written_;
    put(text);
}

void ConsoleMessages::reportOmittedNotes() {
    if (omitted_ > 0) {
        put(QStringLiteral("ほか %1 行（最初の %2 行だけを書き出しました）")
                .arg(countText(omitted_))
                .arg(kShownNotes));
        omitted_ = 0;
    }
}

void ConsoleMessages::put(const QString& text) {
    const auto line = [](QStringView raw) {
        const QString shown = withoutControls(raw);
        return shown.size() <= kLongestLine
                   ? shown
                   : shown.first(kLongestLine) + QStringLiteral("…（ここまで）");
    };
    const QStringList lines = text.split(u'\n');
    err_ << "zukaro: " << line(lines.first()) << '\n';
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty()) {
            err_ << "  " << line(lines.at(i)) << '\n';
        }
    }
    err_.flush();
}

}  // namespace zukaro
