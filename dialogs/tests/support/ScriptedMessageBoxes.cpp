#include "ScriptedMessageBoxes.h"

namespace zukaro {

bool ScriptedMessageBoxes::askYesNo(const QString& caption, const QString& text, MessageIcon icon,
                                    bool yesIsDefault) {
    shown_.append({true, caption, text, icon, yesIsDefault, {}, {}});
    return answers_.isEmpty() ? yesIsDefault : answers_.takeFirst() == Answer::Yes;
}

Answer ScriptedMessageBoxes::askYesNoCancel(const QString& caption, const QString& text,
                                            MessageIcon icon) {
    shown_.append({true, caption, text, icon, true, {}, {}});
    return answers_.isEmpty() ? Answer::Yes : answers_.takeFirst();
}

bool ScriptedMessageBoxes::askToDo(const QString& caption, const QString& text, MessageIcon icon,
                                   const QString& doText, const QString& dontText) {
    shown_.append({true, caption, text, icon, true, doText, dontText});
    return answers_.isEmpty() || answers_.takeFirst() == Answer::Yes;
}

void ScriptedMessageBoxes::tell(const QString& caption, const QString& text, MessageIcon icon) {
    shown_.append({false, caption, text, icon, false, {}, {}});
}

}  // namespace zukaro
