#pragma once

#include <QObject>
#include <QString>

class QTranslator;

// Every window text is written in English and goes through i18n::tr. Call it
// qualified, always with a string literal: inside a Q_OBJECT class a bare tr()
// is QObject::tr, which returns the English text, and the table test finds the
// keys of the program by looking for i18n::tr("...") in the sources.
namespace i18n {

enum Language { English = 0, Italian = 1, Spanish = 2, French = 3, German = 4, LanguageCount = 5 };

// The current interface language, remembered in the setting "ui/language".
class Localization : public QObject
{
    Q_OBJECT

public:
    // Created on first call and alive until the program ends.
    static Localization &instance();

    int language() const { return m_language; }
    // Stores the language and its code and emits languageChanged; choosing the
    // current language again does nothing. An index outside the list means English.
    void setLanguage(int index);

Q_SIGNALS:
    // Emitted after the switch, so that tr() already answers in the new language.
    void languageChanged();

private:
    Localization();
    // Qt's own texts (file dialogs, standard buttons) follow the language when
    // Qt's translations are installed; English needs none.
    void loadQtTranslations();

    int m_language = English;
    QTranslator *m_qtTranslator = nullptr;
};

// The English source text (UTF-8) in the current language, or unchanged when
// the language has no translation for it.
QString tr(const char *source);

// Native display name, never translated; "English" outside 0..4.
QString languageName(int index);
// Settings code ("en", "it", "es", "fr", "de"); "en" outside 0..4.
QString languageCode(int index);
// The index of a code, ignoring surrounding blanks and letter case; English for anything unknown.
int languageFromCode(const QString &code);

} // namespace i18n
