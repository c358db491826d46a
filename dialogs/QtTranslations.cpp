#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zukaro {
namespace {

// Texts of the dialogs that Qt's Japanese translation leaves in English, by the context Qt
// asks them in.
struct MissingText {
    const char* context;
    const char* english;
    const char16_t* japanese;
};

constexpr MissingText kMissing[] = {
    {"QPrintSettingsOutput", "Double Sided Printing", u"両面印刷"},
    {"QPrintSettingsOutput", "&Off", u"しない(&O)"},
    {"QPrintSettingsOutput", "Off", u"しない"},
    {"QPrintSettingsOutput", "&Long side binding", u"長辺とじ(&L)"},
    {"QPrintSettingsOutput", "Long side binding", u"長辺とじ"},
    {"QPrintSettingsOutput", "&Short side binding", u"短辺とじ(&S)"},
    {"QPrintSettingsOutput", "Short side binding", u"短辺とじ"},
    {"QPrintSettingsOutput", "Pages", u"ページ指定"},
    {"QPrintSettingsOutput",
     "Specify pages or ranges separated by commas. Ranges are specified by two numbers "
     "separated by a hyphen. E.g: 3,5-7,9 prints pages 3, 5, 6, 7 and 9.",
     u"印刷するページをカンマで区切って指定します。範囲は 2 つの数をハイフンでつなぎます。"
     u"例: 3,5-7,9 で 3、5、6、7、9 ページを印刷します。"},
    {"QPrintDialog", "Double Sided Printing", u"両面印刷"},
    {"QPrintDialog", "Pages", u"ページ指定"},
    // The properties of a printer (プロパティ): the tab of the driver's own options.
    {"QPrintPropertiesWidget", "Advanced", u"詳細設定"},
    // The file dialog's type column.
    {"QAbstractFileIconProvider", "Folder", u"フォルダー"},
    {"QAbstractFileIconProvider", "Drive", u"ドライブ"},
    {"QAbstractFileIconProvider", "File", u"ファイル"},
    {"QAbstractFileIconProvider", "%1 File", u"%1 ファイル"},
    {"QAbstractFileIconProvider", "Alias", u"エイリアス"},
    {"QAbstractFileIconProvider", "Shortcut", u"ショートカット"},
};

class MissingJapanese final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        for (const MissingText& text : kMissing) {
            if (qstrcmp(context, text.context) == 0 && qstrcmp(sourceText, text.english) == 0) {
                return QString::fromUtf16(text.japanese);
            }
        }
        return {};
    }

    bool isEmpty() const override { return false; }
};

}  // namespace

bool installQtJapanese(QCoreApplication& app) {
    // Sizes, dates and file types in the dialogs follow the default locale: Japanese, as the
    // program is, whatever the desktop's language.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    // Installed last, asked first: it answers only what Qt's own file leaves open.
    return QCoreApplication::installTranslator(translator) &&
           QCoreApplication::installTranslator(new MissingJapanese(&app));
}

}  // namespace zukaro
