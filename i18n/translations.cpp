#include "i18n/translations.h"

#include "i18n/localization.h"

namespace i18n {

namespace {

QHash<QString, QString> buildTable(const LanguageTexts &texts)
{
    QHash<QString, QString> table;
    table.reserve(int(texts.pairs.size()));
    for (const TranslationPair &pair : texts.pairs)
        table.insert(QString::fromUtf8(pair.source), QString::fromUtf8(pair.translation));
    return table;
}

// Each language's table is built the first time it is needed; switching back
// and forth later costs nothing.
template <int Index> const QHash<QString, QString> &cachedTable()
{
    static const QHash<QString, QString> table = buildTable(languageTexts(Index));
    return table;
}

} // namespace

const LanguageTexts &languageTexts(int language)
{
    static const LanguageTexts none;
    switch (language) {
    case Italian: return detail::italianTexts();
    case Spanish: return detail::spanishTexts();
    case French: return detail::frenchTexts();
    case German: return detail::germanTexts();
    default: return none;
    }
}

const QHash<QString, QString> &translationTable(int language)
{
    static const QHash<QString, QString> none;
    switch (language) {
    case Italian: return cachedTable<Italian>();
    case Spanish: return cachedTable<Spanish>();
    case French: return cachedTable<French>();
    case German: return cachedTable<German>();
    default: return none;
    }
}

} // namespace i18n
