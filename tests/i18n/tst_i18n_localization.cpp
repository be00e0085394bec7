#include "i18n/localization.h"
#include "tests/support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTranslator>

using i18n::Localization;

namespace {

const QString languageKey = QStringLiteral("ui/language");

// A child run of this executable (see storedValueChoosesLanguage) reads these.
const char childFlag[] = "PLOTMASON_I18N_CHILD";
const char childStoredValue[] = "PLOTMASON_I18N_STORED";

QVariant storedLanguage()
{
    return QSettings().value(languageKey);
}

QByteArray settingsFileContent()
{
    QSettings settings;
    settings.sync();
    QFile file(settings.fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class LocalizationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    // These two need the instance as constructed from the stored "IT ", so they come first.
    void constructionReadsStoredLanguage();
    void choosingCurrentLanguageAgainDoesNothing_data();
    void choosingCurrentLanguageAgainDoesNothing();

    void storedValueChoosesLanguage_data();
    void storedValueChoosesLanguage();
    void childReportsStoredLanguage();

    void switchFromItalianToGermanRelabelsMenus();
    void signalFollowsTheSwitch();
    void outOfRangeIndexMeansEnglish();
    void quotedTranslations_data();
    void quotedTranslations();
    void englishShowsSourceText();
    void unknownTextStaysEnglish_data();
    void unknownTextStaysEnglish();
    void languageNameAndCode_data();
    void languageNameAndCode();
    void languageFromCode_data();
    void languageFromCode();
    void codesRoundTrip();
    void qtOwnTextsFollowTheLanguage_data();
    void qtOwnTextsFollowTheLanguage();

private:
    bool m_child = false;
};

void LocalizationTest::initTestCase()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Plotmason"));
    QCoreApplication::setApplicationName(QStringLiteral("Plotmason"));
    m_child = qEnvironmentVariableIsSet(childFlag);
    // The instance reads the setting once, when first used, so the value must be in place before.
    QSettings settings;
    if (!m_child)
        settings.setValue(languageKey, QStringLiteral("IT "));
    else if (qEnvironmentVariableIsSet(childStoredValue))
        settings.setValue(languageKey, qEnvironmentVariable(childStoredValue));
    else
        settings.remove(languageKey);
}

void LocalizationTest::constructionReadsStoredLanguage()
{
    if (m_child)
        QSKIP("parent only");
    QCOMPARE(Localization::instance().language(), int(i18n::Italian));
    QCOMPARE(i18n::tr("File"), QStringLiteral("&File"));
    // Reading is all that construction does: the odd spelling stays as stored.
    QCOMPARE(storedLanguage(), QVariant(QStringLiteral("IT ")));
}

void LocalizationTest::choosingCurrentLanguageAgainDoesNothing_data()
{
    QTest::addColumn<int>("language");
    for (int language = i18n::Italian; language < i18n::LanguageCount; ++language)
        QTest::newRow(qPrintable(i18n::languageName(language))) << language;
    QTest::newRow(qPrintable(i18n::languageName(i18n::English))) << int(i18n::English);
}

void LocalizationTest::choosingCurrentLanguageAgainDoesNothing()
{
    if (m_child)
        QSKIP("parent only");
    QFETCH(int, language);
    Localization &localization = Localization::instance();
    // The first row runs on the language read at start-up with "IT " still
    // stored; the later rows switch first and then store a marker that a
    // second write would replace.
    if (localization.language() != language) {
        localization.setLanguage(language);
        QSettings().setValue(languageKey, QStringLiteral("marker"));
    }
    const QVariant before = storedLanguage();
    const QByteArray fileBefore = settingsFileContent();
    QVERIFY(!fileBefore.isEmpty());
    QSignalSpy spy(&localization, &Localization::languageChanged);

    localization.setLanguage(language);

    QCOMPARE(spy.count(), 0);
    QCOMPARE(localization.language(), language);
    QCOMPARE(storedLanguage(), before);
    QCOMPARE(settingsFileContent(), fileBefore);
}

void LocalizationTest::storedValueChoosesLanguage_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("IT with a blank") << true << QStringLiteral("IT ") << int(i18n::Italian);
    QTest::newRow("es") << true << QStringLiteral("es") << int(i18n::Spanish);
    QTest::newRow("Fr between tabs") << true << QStringLiteral("\tFr\t") << int(i18n::French);
    QTest::newRow("de") << true << QStringLiteral("de") << int(i18n::German);
    QTest::newRow("en") << true << QStringLiteral("en") << int(i18n::English);
    QTest::newRow("pt") << true << QStringLiteral("pt") << int(i18n::English);
    QTest::newRow("display name") << true << QStringLiteral("Deutsch") << int(i18n::English);
    QTest::newRow("empty") << true << QString() << int(i18n::English);
    QTest::newRow("nothing stored") << false << QString() << int(i18n::English);
}

// Construction happens once per process, so each stored value gets a fresh
// run of this executable (with its own settings sandbox).
void LocalizationTest::storedValueChoosesLanguage()
{
    if (m_child)
        QSKIP("parent only");
    QFETCH(bool, stored);
    QFETCH(QString, value);
    QFETCH(int, expected);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(childFlag), QStringLiteral("1"));
    if (stored)
        environment.insert(QString::fromLatin1(childStoredValue), value);
    else
        environment.remove(QString::fromLatin1(childStoredValue));
    QProcess child;
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("childReportsStoredLanguage")});
    QVERIFY(child.waitForFinished(60000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));

    static const QRegularExpression report(QStringLiteral("started in language (\\d+)"));
    const QRegularExpressionMatch match = report.match(output);
    QVERIFY2(match.hasMatch(), qPrintable(output));
    QCOMPARE(match.captured(1).toInt(), expected);
}

void LocalizationTest::childReportsStoredLanguage()
{
    if (!m_child)
        QSKIP("runs as the child of storedValueChoosesLanguage");
    const QVariant before = storedLanguage();
    const int language = Localization::instance().language();
    qInfo("started in language %d", language);
    QCOMPARE(storedLanguage(), before);
}

void LocalizationTest::switchFromItalianToGermanRelabelsMenus()
{
    Localization &localization = Localization::instance();
    localization.setLanguage(i18n::Italian);
    QCOMPARE(i18n::tr("File"), QStringLiteral("&File"));
    QSignalSpy spy(&localization, &Localization::languageChanged);

    localization.setLanguage(i18n::German);

    QCOMPARE(spy.count(), 1);
    QCOMPARE(localization.language(), int(i18n::German));
    QCOMPARE(storedLanguage(), QVariant(QStringLiteral("de")));
    QCOMPARE(i18n::tr("File"), QStringLiteral("&Datei"));
    QCOMPARE(i18n::tr("Graph"), QStringLiteral("&Diagramm"));
    QCOMPARE(i18n::tr("Edit"), QStringLiteral("&Bearbeiten"));
}

void LocalizationTest::signalFollowsTheSwitch()
{
    Localization &localization = Localization::instance();
    localization.setLanguage(i18n::Spanish);
    QStringList seen;
    QObject receiver;
    connect(&localization, &Localization::languageChanged, &receiver, [&] {
        seen << i18n::tr("File") << QSettings().value(languageKey).toString()
             << QString::number(localization.language());
    });

    localization.setLanguage(i18n::French);

    // A window re-labelling itself on the signal must already get the new texts.
    QCOMPARE(seen, (QStringList{"&Fichier", "fr", QString::number(i18n::French)}));
}

void LocalizationTest::outOfRangeIndexMeansEnglish()
{
    Localization &localization = Localization::instance();
    localization.setLanguage(i18n::German);
    QSignalSpy spy(&localization, &Localization::languageChanged);

    localization.setLanguage(i18n::LanguageCount);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(localization.language(), int(i18n::English));
    QCOMPARE(storedLanguage(), QVariant(QStringLiteral("en")));
    QCOMPARE(i18n::tr("File"), QStringLiteral("File"));

    localization.setLanguage(-1);
    QCOMPARE(spy.count(), 1);
}

void LocalizationTest::quotedTranslations_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expected");

    const struct
    {
        const char *source;
        const char *translations[4]; // Italian, Spanish, French, German
    } rows[] = {
        {"File", {"&File", "&Archivo", "&Fichier", "&Datei"}},
        {"Graph", {"&Grafico", "&Grafico", "&Graphique", "&Diagramm"}},
        {"Edit", {"&Modifica", "&Editar", "&Edition", "&Bearbeiten"}},
        {"Language:", {"Lingua:", "Idioma:", "Langue :", "Sprache:"}},
        {"Label %1", {"Etichetta %1", "Etiqueta %1", "Etiquette %1", "Beschriftung %1"}},
        // Spanish has no pair for it: the English text stands.
        {"Version:", {"Versione:", "Version:", "Version :", "Version:"}},
    };
    for (const auto &row : rows) {
        for (int language = i18n::Italian; language < i18n::LanguageCount; ++language) {
            QTest::addRow("%s %s", row.source, qPrintable(i18n::languageCode(language)))
                << language << QString::fromLatin1(row.source)
                << QString::fromLatin1(row.translations[language - i18n::Italian]);
        }
    }
}

void LocalizationTest::quotedTranslations()
{
    QFETCH(int, language);
    QFETCH(QString, source);
    QFETCH(QString, expected);
    Localization::instance().setLanguage(language);
    QCOMPARE(i18n::tr(source.toUtf8().constData()), expected);
}

void LocalizationTest::englishShowsSourceText()
{
    Localization::instance().setLanguage(i18n::English);
    for (const char *source : {"File", "Language:", "Label %1", "Import an image or PDF to begin."})
        QCOMPARE(i18n::tr(source), QString::fromLatin1(source));
}

void LocalizationTest::unknownTextStaysEnglish_data()
{
    QTest::addColumn<int>("language");
    for (int language = i18n::English; language < i18n::LanguageCount; ++language)
        QTest::newRow(qPrintable(i18n::languageName(language))) << language;
}

void LocalizationTest::unknownTextStaysEnglish()
{
    QFETCH(int, language);
    Localization::instance().setLanguage(language);
    QCOMPARE(i18n::tr("No table holds this text."), QStringLiteral("No table holds this text."));
    // Keys are UTF-8; "file" differs from the key "File" only in case.
    QCOMPARE(i18n::tr("Gr\xc3\xbc\xc3\x9f"
                      "e %1"),
             QString::fromUtf16(u"Gr\u00fc\u00dfe %1"));
    QCOMPARE(i18n::tr("file"), QStringLiteral("file"));
    QCOMPARE(i18n::tr(""), QString());
}

void LocalizationTest::languageNameAndCode_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("code");

    QTest::newRow("negative") << -1 << QStringLiteral("English") << QStringLiteral("en");
    QTest::newRow("0") << 0 << QStringLiteral("English") << QStringLiteral("en");
    QTest::newRow("1") << 1 << QStringLiteral("Italiano") << QStringLiteral("it");
    QTest::newRow("2") << 2 << QStringLiteral("Espanol") << QStringLiteral("es");
    QTest::newRow("3") << 3 << QStringLiteral("Francais") << QStringLiteral("fr");
    QTest::newRow("4") << 4 << QStringLiteral("Deutsch") << QStringLiteral("de");
    QTest::newRow("5") << 5 << QStringLiteral("English") << QStringLiteral("en");
    QTest::newRow("large") << 1000 << QStringLiteral("English") << QStringLiteral("en");
}

void LocalizationTest::languageNameAndCode()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QFETCH(QString, code);
    QCOMPARE(i18n::languageName(index), name);
    QCOMPARE(i18n::languageCode(index), code);
}

void LocalizationTest::languageFromCode_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("expected");

    QTest::newRow("it") << QStringLiteral("it") << int(i18n::Italian);
    QTest::newRow("IT and blank") << QStringLiteral("IT ") << int(i18n::Italian);
    QTest::newRow("leading blank es") << QStringLiteral(" es") << int(i18n::Spanish);
    QTest::newRow("Fr") << QStringLiteral("Fr") << int(i18n::French);
    QTest::newRow("DE and line break") << QStringLiteral("DE\n") << int(i18n::German);
    QTest::newRow("en") << QStringLiteral("en") << int(i18n::English);
    QTest::newRow("pt") << QStringLiteral("pt") << int(i18n::English);
    QTest::newRow("empty") << QString() << int(i18n::English);
    QTest::newRow("blank inside") << QStringLiteral("i t") << int(i18n::English);
    QTest::newRow("longer") << QStringLiteral("ita") << int(i18n::English);
    QTest::newRow("display name") << QStringLiteral("Italiano") << int(i18n::English);
    QTest::newRow("one letter") << QStringLiteral("d") << int(i18n::English);
}

void LocalizationTest::languageFromCode()
{
    QFETCH(QString, code);
    QFETCH(int, expected);
    QCOMPARE(i18n::languageFromCode(code), expected);
}

void LocalizationTest::codesRoundTrip()
{
    for (int index = i18n::English; index < i18n::LanguageCount; ++index)
        QCOMPARE(i18n::languageFromCode(i18n::languageCode(index)), index);
}

void LocalizationTest::qtOwnTextsFollowTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::newRow("Italian") << int(i18n::Italian);
    QTest::newRow("Spanish") << int(i18n::Spanish);
    QTest::newRow("French") << int(i18n::French);
    QTest::newRow("German") << int(i18n::German);
}

// Qt's button and dialog texts come from Qt's translation files, which a
// machine may lack: then they stay English, and nothing else changes.
void LocalizationTest::qtOwnTextsFollowTheLanguage()
{
    QFETCH(int, language);
    const char *context = "QPlatformTheme";
    const char *source = "Cancel";
    i18n::Localization &localization = i18n::Localization::instance();
    localization.setLanguage(i18n::English);
    QCOMPARE(QCoreApplication::translate(context, source), QString::fromLatin1(source));

    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    const QString name = QStringLiteral("qtbase_") + i18n::languageCode(language);
    QTranslator reference;
    const bool installed = reference.load(name, folder);
    QCOMPARE(installed, QFile::exists(QDir(folder).filePath(name + QStringLiteral(".qm"))));
    const QString expected = installed ? reference.translate(context, source) : QString::fromLatin1(source);
    if (installed)
        QVERIFY(expected != QLatin1String(source));

    localization.setLanguage(language);
    QCOMPARE(QCoreApplication::translate(context, source), expected);
    localization.setLanguage(i18n::English);
    QCOMPARE(QCoreApplication::translate(context, source), QString::fromLatin1(source));
}

PLOTMASON_TEST_MAIN(QCoreApplication, LocalizationTest)

#include "tst_i18n_localization.moc"
