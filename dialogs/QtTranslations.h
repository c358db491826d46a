#pragma once

class QCoreApplication;

namespace zukaro {

// Installs Qt's own Japanese texts (qtbase_ja from the system's Qt translations) so that the
// print, file, font and colour dialogs and the standard buttons speak Japanese like the rest
// of the program. Returns false when the translation file is not installed; the dialogs then
// stay in English.
bool installQtJapanese(QCoreApplication& app);

}  // namespace zukaro
