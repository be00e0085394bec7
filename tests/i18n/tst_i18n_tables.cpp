#include "i18n/localization.h"
#include "i18n/translations.h"
#include "tests/i18n/sourcescan.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>
#include <vector>

using sourcescan::TrCall;

namespace {

const QList<int> translatedLanguages = {i18n::Italian, i18n::Spanish, i18n::French, i18n::German};

// The top-level menu titles; their translations carry the accelerator.
const QStringList menuTitles = {QStringLiteral("File"), QStringLiteral("Graph"), QStringLiteral("Edit"),
                                QStringLiteral("Language"), QStringLiteral("Info")};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

QSet<QString> identicalTexts(int language)
{
    QSet<QString> texts;
    for (const char *source : i18n::languageTexts(language).identical)
        texts.insert(text(source));
    return texts;
}

// Every English text the language accounts for, by a pair or as identical.
QSet<QString> coveredTexts(int language)
{
    QSet<QString> texts = identicalTexts(language);
    for (const i18n::TranslationPair &pair : i18n::languageTexts(language).pairs)
        texts.insert(text(pair.source));
    return texts;
}

bool covers(int language, const QString &source)
{
    return i18n::translationTable(language).contains(source) || identicalTexts(language).contains(source);
}

QStringList placeholders(const QString &s)
{
    static const QRegularExpression pattern(QStringLiteral("%[1-9]"));
    QStringList found;
    for (auto it = pattern.globalMatch(s); it.hasNext();)
        found.append(it.next().captured());
    return found;
}

// "...", ':', '.' or '?' at the end, else nothing.
QString ending(const QString &s)
{
    if (s.endsWith(QLatin1String("...")))
        return QStringLiteral("...");
    if (s.endsWith(u':') || s.endsWith(u'.') || s.endsWith(u'?'))
        return s.right(1);
    return QString();
}

bool printableAscii(const QString &s)
{
    return std::all_of(s.cbegin(), s.cend(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() < 0x7f; });
}

// French sets a blank before : ; ? and !; the other languages never do.
bool blanksBeforePunctuation(int language, const QString &s)
{
    for (int i = 0; i < s.size(); ++i) {
        // The colon of a time (12:30) is no punctuation.
        if (s.at(i) == u':' && i > 0 && i + 1 < s.size() && s.at(i - 1).isDigit() && s.at(i + 1).isDigit())
            continue;
        if (QStringLiteral(":;?!").contains(s.at(i)) &&
            (i > 0 && s.at(i - 1) == u' ') != (language == i18n::French))
            return false;
    }
    return true;
}

// The "(*.pmdb *.sqlite)" of a file-dialog filter is what the dialog filters by.
QString filterPattern(const QString &s)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*[^)]*\\)$"));
    return pattern.match(s).captured();
}

bool acceleratorsRight(const QString &source, const QString &translation)
{
    static const QRegularExpression oneAccelerator(QStringLiteral("^[^&]*&[A-Za-z][^&]*$"));
    if (menuTitles.contains(source))
        return oneAccelerator.match(translation).hasMatch();
    // Elsewhere an '&' would turn the next letter into a shortcut by accident.
    return translation.count(u'&') == source.count(u'&');
}

struct PairRule
{
    const char *name;
    std::function<bool(int language, const QString &source, const QString &translation)> holds;
};

const std::vector<PairRule> &pairRules()
{
    static const std::vector<PairRule> rules = {
        {"empty", [](int, const QString &, const QString &t) { return !t.trimmed().isEmpty(); }},
        {"same as English, list it as identical",
         [](int, const QString &s, const QString &t) { return s != t; }},
        {"placeholders",
         [](int, const QString &s, const QString &t) { return placeholders(s) == placeholders(t); }},
        {"not plain ASCII",
         [](int, const QString &s, const QString &t) { return printableAscii(s) && printableAscii(t); }},
        {"blank before punctuation",
         [](int l, const QString &, const QString &t) { return blanksBeforePunctuation(l, t); }},
        // A label stays a label, an entry that opens a dialog keeps its dots, a question stays a question.
        {"ending", [](int, const QString &s, const QString &t) { return ending(s) == ending(t); }},
        {"file filter",
         [](int, const QString &s, const QString &t) { return filterPattern(s) == filterPattern(t); }},
        {"accelerator", [](int, const QString &s, const QString &t) { return acceleratorsRight(s, t); }},
    };
    return rules;
}

QString describe(int language, const i18n::TranslationPair &pair)
{
    return QStringLiteral("%1: \"%2\" -> \"%3\"")
        .arg(i18n::languageName(language), text(pair.source), text(pair.translation));
}

void addLanguageRows()
{
    QTest::addColumn<int>("language");
    for (int language : translatedLanguages)
        QTest::newRow(qPrintable(i18n::languageName(language))) << language;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

class TranslationTablesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scannerFindsCalls_data();
    void scannerFindsCalls();
    void scannerReportsLines();
    void treeScanSkipsTestsAndBuilds();
    void sourceTextsHaveTranslations();

    void lookupTableMatchesPairs_data() { addLanguageRows(); }
    void lookupTableMatchesPairs();
    void englishAndUnknownHaveNoTable();
    void tablesCoverTheSameTexts_data() { addLanguageRows(); }
    void tablesCoverTheSameTexts();
    void noDuplicatesOrContradictions_data() { addLanguageRows(); }
    void noDuplicatesOrContradictions();
    void pairsFollowTheRules_data() { addLanguageRows(); }
    void pairsFollowTheRules();
};

void TranslationTablesTest::scannerFindsCalls_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<int>("nonLiteral");

    QTest::newRow("plain call") << QStringLiteral("label->setText(i18n::tr(\"File\"));")
                                << QStringList{"File"} << 0;
    QTest::newRow("blanks and line breaks")
        << QStringLiteral("i18n :: tr (\n   \"Save\"\n)") << QStringList{"Save"} << 0;
    QTest::newRow("global qualifier") << QStringLiteral("::i18n::tr(\"Edit\")") << QStringList{"Edit"} << 0;
    QTest::newRow("u8 literal") << QStringLiteral("i18n::tr(u8\"Graph\")") << QStringList{"Graph"} << 0;
    QTest::newRow("escaped quotes") << QStringLiteral("i18n::tr(\"Say \\\"hi\\\"\")")
                                    << QStringList{"Say \"hi\""} << 0;
    QTest::newRow("escaped backslash before the closing quote")
        << QStringLiteral("i18n::tr(\"a\\\\\"), i18n::tr(\"b\")") << QStringList{"a\\", "b"} << 0;
    QTest::newRow("escaped line break")
        << QStringLiteral("i18n::tr(\"one\\ntwo\")") << QStringList{"one\ntwo"} << 0;
    QTest::newRow("adjacent literals")
        << QStringLiteral("i18n::tr(\"Keep calibration axes horizontal and vertical. \"\n"
                          "         \"Turn this off only for tilted source images.\")")
        << QStringList{"Keep calibration axes horizontal and vertical. Turn this off only for tilted source "
                       "images."}
        << 0;
    QTest::newRow("comment between literals")
        << QStringLiteral("i18n::tr(\"a\" /* joined */ \"b\")") << QStringList{"ab"} << 0;
    QTest::newRow("several calls on a line") << QStringLiteral("f(i18n::tr(\"X min\"), i18n::tr(\"X max\"));")
                                             << QStringList{"X min", "X max"} << 0;
    QTest::newRow("line comment") << QStringLiteral("// i18n::tr(\"Ghost\")\ni18n::tr(\"Real\")")
                                  << QStringList{"Real"} << 0;
    QTest::newRow("block comment") << QStringLiteral("/* i18n::tr(\"Ghost\")\n */ i18n::tr(\"Real\")")
                                   << QStringList{"Real"} << 0;
    QTest::newRow("inside another string")
        << QStringLiteral("auto s = \"i18n::tr(\\\"Ghost\\\")\"; i18n::tr(\"Real\")") << QStringList{"Real"}
        << 0;
    QTest::newRow("inside a raw string")
        << QStringLiteral("auto s = R\"x(i18n::tr(\"Ghost\"))x\"; i18n::tr(\"Real\")") << QStringList{"Real"}
        << 0;
    QTest::newRow("quote as a character")
        << QStringLiteral("c == '\"' ? i18n::tr(\"Real\") : QString()") << QStringList{"Real"} << 0;
    QTest::newRow("digit separator") << QStringLiteral("int n = 1'000; i18n::tr(\"Real\"); char c = 'x';")
                                     << QStringList{"Real"} << 0;
    QTest::newRow("other tr functions")
        << QStringLiteral("tr(\"A\"); QObject::tr(\"B\"); xi18n::tr(\"C\"); i18n::translationTable(1);")
        << QStringList{} << 0;
    QTest::newRow("variable argument") << QStringLiteral("i18n::tr(source)") << QStringList{} << 1;
    QTest::newRow("conditional argument")
        << QStringLiteral("i18n::tr(on ? \"On\" : \"Off\")") << QStringList{} << 1;
    QTest::newRow("literal followed by a macro")
        << QStringLiteral("i18n::tr(\"Text\" SUFFIX)") << QStringList{} << 1;
    QTest::newRow("taken as a function value") << QStringLiteral("auto f = &i18n::tr;") << QStringList{} << 1;
}

void TranslationTablesTest::scannerFindsCalls()
{
    QFETCH(QString, source);
    QFETCH(QStringList, keys);
    QFETCH(int, nonLiteral);

    QStringList found;
    int unreadable = 0;
    for (const TrCall &call : sourcescan::findTrCalls(source)) {
        if (call.literal)
            found.append(call.key);
        else
            ++unreadable;
    }
    QCOMPARE(found, keys);
    QCOMPARE(unreadable, nonLiteral);
}

void TranslationTablesTest::scannerReportsLines()
{
    const QString source = QStringLiteral("/* one\n two */\n\"three\\\n\";\ni18n::tr(\n\"Five\")");
    const QList<TrCall> calls = sourcescan::findTrCalls(source);
    QCOMPARE(calls.size(), 1);
    QCOMPARE(calls.first().line, 5);
}

void TranslationTablesTest::treeScanSkipsTestsAndBuilds()
{
    const QString root = testsupport::sandbox().filePath(QStringLiteral("tree"));
    const QByteArray call = "void f() { i18n::tr(\"Found\"); }\n";
    writeFile(root + QStringLiteral("/ui/window.cpp"), call);
    writeFile(root + QStringLiteral("/ui/window.h"), call);
    writeFile(root + QStringLiteral("/ui/notes.txt"), call);
    writeFile(root + QStringLiteral("/tests/ui/tst_window.cpp"), call);
    writeFile(root + QStringLiteral("/build-asan/moc_window.cpp"), call);
    writeFile(root + QStringLiteral("/out/CMakeCache.txt"), QByteArray());
    writeFile(root + QStringLiteral("/out/moc_window.cpp"), call);
    writeFile(root + QStringLiteral("/.git/hook.cpp"), call);
    writeFile(root + QStringLiteral("/regenerated/tests/inner.cpp"), "i18n::tr(\"Nested\")");

    const sourcescan::TreeScan scan = sourcescan::scanTree(root);
    // Only the top-level tests folder holds tests; a nested one is program code.
    QCOMPARE(scan.files, (QStringList{"regenerated/tests/inner.cpp", "ui/window.cpp", "ui/window.h"}));
    QStringList keys;
    for (const sourcescan::TreeCall &found : scan.calls)
        keys.append(found.file + u':' + found.call.key);
    QCOMPARE(keys,
             (QStringList{"regenerated/tests/inner.cpp:Nested", "ui/window.cpp:Found", "ui/window.h:Found"}));
}

void TranslationTablesTest::sourceTextsHaveTranslations()
{
    const QString root = qEnvironmentVariable("PLOTMASON_SOURCE_DIR");
    QVERIFY2(!root.isEmpty(), "PLOTMASON_SOURCE_DIR is not set");
    QVERIFY2(QFileInfo::exists(QDir(root).filePath(QStringLiteral("i18n/localization.h"))), qPrintable(root));

    const sourcescan::TreeScan scan = sourcescan::scanTree(root);
    // Proof that the walk reached the program's sources.
    QVERIFY(scan.files.contains(QStringLiteral("i18n/localization.cpp")));

    QStringList problems;
    for (const sourcescan::TreeCall &found : scan.calls) {
        const QString where = QStringLiteral("%1:%2").arg(found.file).arg(found.call.line);
        if (!found.call.literal) {
            problems.append(where + QStringLiteral(": i18n::tr needs a string literal"));
            continue;
        }
        for (int language : translatedLanguages) {
            if (!covers(language, found.call.key))
                problems.append(QStringLiteral("%1: \"%2\" has no %3 translation")
                                    .arg(where, found.call.key, i18n::languageName(language)));
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TranslationTablesTest::lookupTableMatchesPairs()
{
    QFETCH(int, language);
    const i18n::LanguageTexts &texts = i18n::languageTexts(language);
    const QHash<QString, QString> &table = i18n::translationTable(language);
    QVERIFY(!texts.pairs.empty());
    QCOMPARE(table.size(), qsizetype(texts.pairs.size()));
    for (const i18n::TranslationPair &pair : texts.pairs)
        QCOMPARE(table.value(text(pair.source)), text(pair.translation));
    // Built once and kept.
    QCOMPARE(&i18n::translationTable(language), &table);
}

void TranslationTablesTest::englishAndUnknownHaveNoTable()
{
    for (int language : {int(i18n::English), -1, int(i18n::LanguageCount), 99}) {
        QVERIFY(i18n::translationTable(language).isEmpty());
        QVERIFY(i18n::languageTexts(language).pairs.empty());
    }
}

void TranslationTablesTest::tablesCoverTheSameTexts()
{
    QFETCH(int, language);
    QStringList missing;
    const QSet<QString> texts = coveredTexts(language);
    for (const QString &source : texts) {
        for (int other : translatedLanguages) {
            if (!coveredTexts(other).contains(source))
                missing.append(
                    QStringLiteral("\"%1\" is missing in %2").arg(source, i18n::languageName(other)));
        }
    }
    missing.sort();
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u'\n')));
}

void TranslationTablesTest::noDuplicatesOrContradictions()
{
    QFETCH(int, language);
    const i18n::LanguageTexts &texts = i18n::languageTexts(language);
    QSet<QString> seen;
    QStringList problems;
    for (const i18n::TranslationPair &pair : texts.pairs) {
        const QString source = text(pair.source);
        if (seen.contains(source))
            problems.append(QStringLiteral("twice: ") + describe(language, pair));
        seen.insert(source);
    }
    for (const char *identical : texts.identical) {
        if (seen.contains(text(identical)))
            problems.append(QStringLiteral("listed twice or both translated and identical: ") +
                            text(identical));
        seen.insert(text(identical));
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TranslationTablesTest::pairsFollowTheRules()
{
    QFETCH(int, language);
    QStringList problems;
    for (const i18n::TranslationPair &pair : i18n::languageTexts(language).pairs) {
        for (const PairRule &rule : pairRules()) {
            if (!rule.holds(language, text(pair.source), text(pair.translation)))
                problems.append(QString::fromLatin1(rule.name) + QStringLiteral(": ") +
                                describe(language, pair));
        }
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

PLOTMASON_TEST_MAIN(QCoreApplication, TranslationTablesTest)

#include "tst_i18n_tables.moc"
