#include "core/io/csvwriter.h"
#include "core/io/exportsupport.h"
#include "tests/support/testsupport.h"

#include <QGuiApplication>
#include <QRandomGenerator>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

const QByteArray header = "curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n";

Curve curve(const QString &name, const QString &parameterName = QString(),
            const QString &parameterValue = QString())
{
    Curve c;
    c.name = name;
    c.parameterName = parameterName;
    c.parameterValue = parameterValue;
    return c;
}

Curve &withPoint(Curve &c, QPointF real, QPointF pixel)
{
    c.points.append(CurvePoint{pixel, real, c.name});
    return c;
}

// The reference: the C library itself, in the C locale.
QByteArray printfText(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return QByteArray(buffer);
}

double fromBits(quint64 bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

QByteArray writeAndRead(const QList<Curve> &curves)
{
    const QString path = testsupport::sandbox().filePath(QStringLiteral("out.csv"));
    QString error;
    if (!writeCurvesCsv(path, curves, &error))
        qWarning("writeCurvesCsv failed: %s", qPrintable(error));
    return testsupport::readFile(path);
}

} // namespace

class TestCsvWriter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { std::setlocale(LC_NUMERIC, "C"); }

    void writesExactBytes_data()
    {
        QTest::addColumn<QList<Curve>>("curves");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("no curves") << QList<Curve>() << header;
        QTest::newRow("curve without points") << QList<Curve>{curve(QStringLiteral("Curve 1"))} << header;

        Curve quotes = curve(QStringLiteral("say \"hi\""));
        withPoint(quotes, QPointF(1.5, 2), QPointF(100, 200.25));
        QTest::newRow("quotes doubled")
            << QList<Curve>{quotes} << header + "\"say \"\"hi\"\"\",\"\",\"\",1.5,2,100,200.25\n";

        Curve comma = curve(QStringLiteral("A"), QStringLiteral("T"), QStringLiteral("1,5"));
        withPoint(comma, QPointF(0.1, -2.75), QPointF(10, 20));
        QTest::newRow("comma in value")
            << QList<Curve>{comma} << header + "\"A\",\"T\",\"1,5\",0.1,-2.75,10,20\n";

        Curve lines = curve(QStringLiteral("Kurve\nzwei"), QStringLiteral("θ"), QStringLiteral("25 °C"));
        withPoint(lines, QPointF(0.000012, 1e15), QPointF(250, 0));
        QTest::newRow("line break and UTF-8") << QList<Curve>{lines}
                                              << header + "\"Kurve\nzwei\",\"\xce\xb8\",\"25 \xc2\xb0"
                                                          "C\",1.2e-05,1e+15,250,0\n";

        Curve first = curve(QStringLiteral("first"), QStringLiteral("p"), QStringLiteral("1"));
        withPoint(first, QPointF(1, 2), QPointF(3, 4));
        withPoint(first, QPointF(5, 6), QPointF(7, 8));
        Curve hidden = curve(QStringLiteral("hidden"));
        hidden.visible = false;
        withPoint(hidden, QPointF(-1, -2), QPointF(-3, -4));
        QTest::newRow("curves and points in order, hidden included")
            << QList<Curve>{first, curve(QStringLiteral("empty")), hidden}
            << header + "\"first\",\"p\",\"1\",1,2,3,4\n\"first\",\"p\",\"1\",5,6,7,8\n"
                        "\"hidden\",\"\",\"\",-1,-2,-3,-4\n";

        // A point belongs to the curve that holds it, whatever name it still carries.
        Curve stale = curve(QStringLiteral("new name"));
        stale.points.append(CurvePoint{QPointF(1, 1), QPointF(2, 2), QStringLiteral("old name")});
        QTest::newRow("curve name of the holding curve")
            << QList<Curve>{stale} << header + "\"new name\",\"\",\"\",2,2,1,1\n";
    }

    void writesExactBytes()
    {
        QFETCH(QList<Curve>, curves);
        QFETCH(QByteArray, expected);
        const QByteArray written = writeAndRead(curves);
        QCOMPARE(written, expected);
        QVERIFY(!written.contains('\r'));
        QVERIFY(!written.startsWith("\xef\xbb\xbf"));
    }

    void formatsNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("small exponent") << 0.000012 << QByteArray("1.2e-05");
        QTest::newRow("1e-4 stays plain") << 1e-4 << QByteArray("0.0001");
        QTest::newRow("1e15") << 1e15 << QByteArray("1e+15");
        QTest::newRow("15-digit integer") << 123456789012345.0 << QByteArray("123456789012345");
        QTest::newRow("16-digit integer") << 1234567890123456.0 << QByteArray("1.23456789012346e+15");
        QTest::newRow("exact tie rounds to even") << 1234567890123445.0 << QByteArray("1.23456789012344e+15");
        QTest::newRow("half tie rounds to even") << 123456789012342.5 << QByteArray("123456789012342");
        QTest::newRow("rounded to 15 digits") << 0.1 + 0.2 << QByteArray("0.3");
        QTest::newRow("negative") << -2.75 << QByteArray("-2.75");
        QTest::newRow("zero") << 0.0 << QByteArray("0");
        QTest::newRow("negative zero") << -0.0 << QByteArray("-0");
        QTest::newRow("large exponent") << 1.5e20 << QByteArray("1.5e+20");
        QTest::newRow("three-digit exponent") << 1e-300 << QByteArray("1e-300");
        QTest::newRow("largest") << std::numeric_limits<double>::max() << QByteArray("1.79769313486232e+308");
        QTest::newRow("denormal") << std::numeric_limits<double>::denorm_min()
                                  << QByteArray("4.94065645841247e-324");
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << QByteArray("inf");
        QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << QByteArray("-inf");
    }

    void formatsNumbers()
    {
        QFETCH(double, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(printfText(value), expected); // the table itself agrees with the C library
        Curve c = curve(QStringLiteral("c"));
        withPoint(c, QPointF(value, 1), QPointF(2, value));
        QCOMPARE(writeAndRead({c}), header + "\"c\",\"\",\"\"," + expected + ",1,2," + expected + '\n');
    }

    // glibc writes "-nan" for a NaN with the sign bit; a sign on NaN means nothing, so both are "nan".
    void writesNanWithoutSign()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        Curve c = curve(QStringLiteral("c"));
        withPoint(c, QPointF(nan, -nan), QPointF(std::copysign(nan, -1.0), 0));
        QCOMPARE(writeAndRead({c}), header + "\"c\",\"\",\"\",nan,nan,nan,0\n");
    }

    void matchesPrintfOverManyValues()
    {
        QRandomGenerator random(20240611);
        QList<double> values;
        for (int i = 0; i < 20000; ++i) {
            const double bits = fromBits(random.generate64());
            if (std::isfinite(bits))
                values.append(bits);
            values.append(random.bounded(2.0) * std::pow(10.0, random.bounded(-30, 30)));
            values.append(-std::round(random.bounded(1e17))); // around the 15/16-digit border
            // Halves at 15 and 16 significant digits are exact ties for %.15g.
            values.append(std::floor(random.bounded(1e15)) + 0.5);
            values.append(std::round(random.bounded(1e16) / 10.0) * 10.0 + 5.0);
        }
        int mismatches = 0;
        for (double value : values) {
            if (numberText15(value) != printfText(value) && ++mismatches <= 5)
                qWarning("%s written as %s", printfText(value).constData(), numberText15(value).constData());
        }
        QCOMPARE(mismatches, 0);
    }

    void replacesExistingFile()
    {
        const QString path = testsupport::sandbox().filePath(QStringLiteral("existing.csv"));
        QVERIFY(testsupport::writeFile(path, QByteArray(1000, 'x')));
        QVERIFY(writeCurvesCsv(path, {}));
        QCOMPARE(testsupport::readFile(path), header);
    }

    void failsOnUnwritableTarget_data() { testsupport::addUnwritableTargetRows(); }

    void failsOnUnwritableTarget()
    {
        QFETCH(QString, kind);
        const testsupport::UnwritableTarget target = testsupport::makeUnwritableTarget(kind);
        const QStringList before = testsupport::folderSnapshot(target.folder);
        Curve c = curve(QStringLiteral("c"));
        withPoint(c, QPointF(1, 2), QPointF(3, 4));
        QString error;
        QVERIFY(!writeCurvesCsv(target.path, {c}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::folderSnapshot(target.folder), before);
        QVERIFY(!writeCurvesCsv(target.path, {c})); // the error text is optional
    }

    void leavesProtectedFileIntact()
    {
        const QString path = testsupport::sandbox().filePath(QStringLiteral("protected.csv"));
        QVERIFY(testsupport::writeFile(path, "old content\n"));
        const testsupport::ImmutableFile protection(path);
        if (!protection.isActive())
            QSKIP("chattr +i is not available on this file system");
        QString error;
        QVERIFY(!writeCurvesCsv(path, {}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(testsupport::readFile(path), QByteArray("old content\n"));
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestCsvWriter)
#include "tst_csvwriter.moc"
