#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace zukaro {
namespace {

// Texts of the print dialog that Qt's Japanese translation leaves in English.
class MissingJapanese final : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QPrintSettingsOutput") != 0 &&
            qstrcmp(context, "QPrintDialog") != 0) {
            return {};
        }
        static const struct {
            const char* english;
            const char16_t* japanese;
        } texts[] = {{"Double Sided Printing", u"両面印刷"},
                     {"&Off", u"しない(&O)"},
                     {"Off", u"しない"},
                     {"&Long side binding", u"長辺とじ(&L)"},
                     {"Long side binding", u"長辺とじ"},
                     {"&Short side binding", u"短辺とじ(&S)"},
                     {"Short side binding", u"短辺とじ"},
                     {"Pages", u"ページ指定"}};
        for (const auto& text : texts) {
            if (qstrcmp(sourceText, text.english) == 0) {
                return QString::fromUtf16(text.japanese);
            }
        }
        return {};
    }

    bool isEmpty() const override { return false; }
};

}  // namespace

bool installQtJapanese(QCoreApplication& app) {
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
