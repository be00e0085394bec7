#include "axisfinding/ticklabels.h"

#include <QtTest>

#include <optional>

using axisfinding::CommaReading;

class TickLabelsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void labels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("thousands");
        QTest::addColumn<bool>("read");
        QTest::addColumn<double>("value");
        QTest::newRow("integer") << "250" << false << true << 250.0;
        QTest::newRow("hyphen minus") << "-5" << false << true << -5.0;
        QTest::newRow("true minus") << QStringLiteral("\u22120.5") << false << true << -0.5;
        QTest::newRow("decimal comma") << "2,5" << false << true << 2.5;
        QTest::newRow("comma as thousands") << "2,500" << true << true << 2500.0;
        QTest::newRow("thousands and point") << "12,500.5" << false << true << 12500.5;
        QTest::newRow("thin space groups") << QStringLiteral("1\u2009000\u2009000") << false << true << 1e6;
        QTest::newRow("exponent") << "1e-3" << false << true << 1e-3;
        QTest::newRow("capital exponent") << "2.5E+03" << false << true << 2500.0;
        QTest::newRow("caret power") << "10^3" << false << true << 1000.0;
        QTest::newRow("superscript power") << QStringLiteral("10\u207B\u00B3") << false << true << 1e-3;
        QTest::newRow("times power") << QStringLiteral("2.5\u00D710\u2074") << false << true << 25000.0;
        QTest::newRow("x power") << "2x10^-2" << false << true << 0.02;
        QTest::newRow("minus with times")
            << QStringLiteral("\u22121.5\u00D710\u00B2") << false << true << -150.0;
        QTest::newRow("leading point") << ".5" << false << true << 0.5;
        QTest::newRow("empty") << "" << false << false << 0.0;
        QTest::newRow("word") << "Time" << false << false << 0.0;
        QTest::newRow("unit attached") << "5 s" << false << false << 0.0;
        QTest::newRow("two numbers") << "1.2.3" << false << false << 0.0;
        QTest::newRow("huge exponent") << "1e999" << false << false << 0.0;
        QTest::newRow("bad grouping") << "1,00" << true << false << 0.0;
    }
    void labels()
    {
        QFETCH(QString, text);
        QFETCH(bool, thousands);
        QFETCH(bool, read);
        QFETCH(double, value);
        const std::optional<double> parsed =
            axisfinding::parseTickLabel(text, thousands ? CommaReading::Thousands : CommaReading::Decimal);
        QCOMPARE(parsed.has_value(), read);
        if (read)
            QVERIFY2(qFuzzyCompare(*parsed, value), qPrintable(QString::number(*parsed, 'g', 17)));
    }

    void multipliers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value"); // 0 for none
        QTest::newRow("times superscript") << QStringLiteral("\u00D710\u00B3") << 1000.0;
        QTest::newRow("x caret negative") << "x10^-3" << 1e-3;
        QTest::newRow("1e3") << "1e3" << 1000.0;
        QTest::newRow("times thousand") << QStringLiteral("\u00D71000") << 1000.0;
        QTest::newRow("plain number") << "1000" << 0.0;
        QTest::newRow("text") << "Voltage" << 0.0;
    }
    void multipliers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        const std::optional<double> parsed = axisfinding::parseAxisMultiplier(text);
        QCOMPARE(parsed.has_value(), value != 0.0);
        if (parsed)
            QVERIFY(qFuzzyCompare(*parsed, value));
    }
};

QTEST_GUILESS_MAIN(TickLabelsTest)
#include "tst_ticklabels.moc"
