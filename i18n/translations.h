#pragma once

#include <QHash>
#include <QString>

#include <vector>

namespace i18n {

struct TranslationPair
{
    const char *source;
    const char *translation;
};

// What one language's file holds: its pairs, and the English texts that read
// the same in that language and so need no pair (they are listed so that the
// table test can tell a deliberate omission from a forgotten one).
struct LanguageTexts
{
    std::vector<TranslationPair> pairs;
    std::vector<const char *> identical;
};

// The texts of a language as written; empty for English and unknown indexes.
const LanguageTexts &languageTexts(int language);

// Source text to translation, built once per language on first use and then
// reused; empty for English and unknown indexes.
const QHash<QString, QString> &translationTable(int language);

namespace detail {
const LanguageTexts &italianTexts();
const LanguageTexts &spanishTexts();
const LanguageTexts &frenchTexts();
const LanguageTexts &germanTexts();
} // namespace detail

} // namespace i18n
