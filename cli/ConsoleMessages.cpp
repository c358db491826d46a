#include "ConsoleMessages.h"

#include <QStringList>

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
    }
    write(text);
}

void ConsoleMessages::write(const QString& text) {
    const QStringList lines = text.split(u'\n');
    err_ << "zukaro: " << lines.first() << '\n';
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines.at(i).isEmpty()) {
            err_ << "  " << lines.at(i) << '\n';
        }
    }
    err_.flush();
}

}  // namespace zukaro
