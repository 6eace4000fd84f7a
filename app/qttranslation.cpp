#include "app/qttranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qv {

void useQtTranslation(const QString& language)
{
    static QTranslator* loaded = nullptr;
    static QString loadedLanguage;
    if (language == loadedLanguage && (loaded || language == QLatin1String("en")))
        return;
    if (loaded) {
        QCoreApplication::removeTranslator(loaded);
        delete loaded;
        loaded = nullptr;
    }
    loadedLanguage = language;
    // Qt's texts are English to begin with.
    if (language == QLatin1String("en"))
        return;
    auto* translator = new QTranslator;
    if (translator->load(QLatin1String("qt_") + language,
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        loaded = translator;
    } else {
        delete translator;
    }
}

} // namespace qv
