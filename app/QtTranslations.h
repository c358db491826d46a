#pragma once

class QCoreApplication;

namespace zukaro {

// Loads Qt's own Japanese texts (buttons of message boxes, the file, font, colour and print
// dialogs) from the Qt translations folder. The program speaks Japanese whatever the
// desktop's language, so the locale is not asked. Returns false when the catalogue is not
// installed; Qt's dialogs then stay in English, which is no reason to stop.
bool installJapaneseQtTranslations(QCoreApplication& app);

}  // namespace zukaro
