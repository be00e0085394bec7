#include "i18n/localization.h"

#include "i18n/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace i18n {

namespace {

const QString settingsKey = QStringLiteral("ui/language");

struct LanguageInfo
{
    const char *name;
    const char *code;
};

// Indexed by Language.
constexpr LanguageInfo languages[LanguageCount] = {
    {"English", "en"}, {"Italiano", "it"}, {"Espanol", "es"}, {"Francais", "fr"}, {"Deutsch", "de"},
};

bool isKnownLanguage(int index)
{
    return index >= 0 && index < LanguageCount;
}

} // namespace

Localization::Localization()
    : m_language(languageFromCode(QSettings().value(settingsKey, QStringLiteral("en")).toString()))
{
    loadQtTranslations();
}

void Localization::loadQtTranslations()
{
    if (m_qtTranslator) {
        QCoreApplication::removeTranslator(m_qtTranslator);
        delete m_qtTranslator;
        m_qtTranslator = nullptr;
    }
    if (m_language == English)
        return;
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_") + languageCode(m_language),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator))
        m_qtTranslator = translator;
    else
        delete translator;
}

Localization &Localization::instance()
{
    static Localization localization;
    return localization;
}

void Localization::setLanguage(int index)
{
    const int language = isKnownLanguage(index) ? index : English;
    if (language == m_language)
        return;
    m_language = language;
    QSettings().setValue(settingsKey, languageCode(language));
    loadQtTranslations();
    Q_EMIT languageChanged();
}

QString tr(const char *source)
{
    const QString key = QString::fromUtf8(source);
    return translationTable(Localization::instance().language()).value(key, key);
}

QString languageName(int index)
{
    return QString::fromLatin1(languages[isKnownLanguage(index) ? index : English].name);
}

QString languageCode(int index)
{
    return QString::fromLatin1(languages[isKnownLanguage(index) ? index : English].code);
}

int languageFromCode(const QString &code)
{
    const QString normalized = code.trimmed().toLower();
    // English is the fallback, so the search starts after it.
    for (int index = English + 1; index < LanguageCount; ++index) {
        if (normalized == QLatin1String(languages[index].code))
            return index;
    }
    return English;
}

} // namespace i18n
