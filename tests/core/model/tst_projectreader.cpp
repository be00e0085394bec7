// The streaming reader of project JSON against QJsonDocument, the reader it
// must agree with in every verdict, error text and value.
#include "core/model/projectdocument.h"
#include "core/model/projectfile.h"
#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QFile>
#include <QJsonDocument>

#include <charconv>
#include <cmath>
#include <random>

namespace {

QByteArray nested(int depth)
{
    return R"({"format":"PlotmasonProject","graphViewSettings":)" + QByteArray(depth, '[') +
           QByteArray(depth, ']') + "}";
}

// The numbers of point i of the generated file, exact in binary.
double pixelX(int i)
{
    return i * 0.5;
}
double realY(int i)
{
    return (i % 977) / 8.0 - 3.0;
}

} // namespace

class TestProjectReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsWhatTheDocumentReads_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray head = R"({"format":"PlotmasonProject",)";
        QTest::newRow("saved shape")
            << head + R"("curves":[{"name":"A","color":"#80102030","points":[{"x_pixel":1,"y_pixel":2.5,)"
                      R"("x_reale":-3e-7,"y_reale":4,"curve_name":"A"}]}],"calibration":{"xValue2":10}})";
        QTest::newRow("indented with blanks") << QByteArray(" \n\t{ \"format\" : \"PlotmasonProject\" ,\r\n"
                                                            "\"curves\" : [ ] }\n ");
        QTest::newRow("byte order mark") << "\xEF\xBB\xBF" + head + R"("renderDpi":300})";
        QTest::newRow("numbers as text")
            << head + R"("renderDpi":"300","curves":[{"lineWidth":" 4","points":[{"x_pixel":"160"}]}]})";
        QTest::newRow("duplicate keys, last wins")
            << head + R"("renderDpi":100,"renderDpi":"x","curves":[{"name":"A","name":"B","points":[)"
                      R"({"x_pixel":1,"x_pixel":null,"k":1,"k":[2]}],"points":[{"y_pixel":7}]}]})";
        QTest::newRow("second curves replaces the first")
            << head + R"("curves":[{"name":"A"}],"curves":[{"name":"B"},{"name":"C"}]})";
        QTest::newRow("curves not an array after one")
            << head + R"("curves":[{"name":"A"}],"curves":{"a":[1]}})";
        QTest::newRow("elements of the wrong type")
            << head +
                   R"("curves":[7,[1,{"x":2}],{"points":[3,"s",[4],{"x_pixel":{"a":1}},null]},{"points":5}]})";
        QTest::newRow("other programs' keys")
            << head + R"("zeta":{"a":[1,{"b":null}],"c":"d"},"curves":[{"errorBars":{"k":[true]},)"
                      R"("points":[{"u":0.25,"x_pixel":3,"w":"text"}]}],"calibration":{"rotation":1.5}})";
        QTest::newRow("integers and doubles")
            << head +
                   R"("regeneratedGraphSettings":{"a":9007199254740993,"b":9007199254740993.0,)"
                   R"("c":12345678901234567890,"d":-0.0,"e":-0,"f":1E2,"g":4.9e-324,"h":-9223372036854775809,)"
                   R"("i":-1e+17,"j":9.2233720368547748e18,"k":-9.3e18,"l":9223372036854775807.0}})";
        QTest::newRow("point numbers")
            << head + R"("curves":[{"points":[{"x_pixel":-0.0,"y_pixel":1e-310,)"
                      R"("x_reale":9007199254740993,"y_reale":1.7976931348623157e308}]}]})";
        QTest::newRow("trailing dot and leading dot") << head + R"("renderDpi":300.,"pdfPage":.5})";
        QTest::newRow("escapes and unicode")
            << head + "\"sourcePath\":\"C:\\\\x\\/y "
                      "\\u00e8\\ud83d\\ude00\",\"curves\":[{\"name\":\"\\\"q\\\"\\n\\u0000\"}]}";
        QTest::newRow("lone surrogate") << head + R"("sourcePath":"\ud800"})";
        QTest::newRow("lone low surrogates") << head + R"("sourcePath":"a\udd0d","k\uDC00":1})";
        QTest::newRow("raw tab in text") << head + "\"sourcePath\":\"a\tb\"}";
        QTest::newRow("number beyond doubles") << head + R"("renderDpi":1e400})";
        QTest::newRow("number below doubles") << head + R"("renderDpi":1e-400})";
        QTest::newRow("zero with a huge exponent") << head + R"("renderDpi":0e-400})";
        QTest::newRow("invalid UTF-8") << head + "\"sourcePath\":\"\xff\"}";
        QTest::newRow("UTF-8 of a surrogate") << head + "\"sourcePath\":\"\xed\xa0\x80\"}";
        QTest::newRow("overlong UTF-8") << head + "\"sourcePath\":\"\xc0\xaf\"}";
        QTest::newRow("garbage after the root") << head + R"("pdfPage":1}x)";
        QTest::newRow("zero byte after the root") << head + QByteArray(R"("pdfPage":1})") + '\0' + "x";
        QTest::newRow("zero byte in text") << head + QByteArray("\"sourcePath\":\"a") + '\0' + "b\"}";
        QTest::newRow("truncated") << head + R"("curves":[{"points":[{"x_pixel":1)";
        QTest::newRow("trailing comma") << head + R"("curves":[1,]})";
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("array root") << QByteArray("[1,2]");
        QTest::newRow("scalar root") << QByteArray("5");
        QTest::newRow("deep settings") << nested(400);
        QTest::newRow("deeper than the stream goes") << nested(700);
        QTest::newRow("too deep for anyone") << nested(5000);
    }
    void readsWhatTheDocumentReads()
    {
        QFETCH(QByteArray, text);
        ProjectDocument expected;
        QString expectedReason;
        const JsonReading verdict = readProjectJsonWithDocument(text, &expected, &expectedReason);

        ProjectDocument fromText;
        QString reason;
        QCOMPARE(readProjectJson(text, &fromText, &reason), verdict);
        QCOMPARE(reason, expectedReason);
        QCOMPARE(fromText.object, expected.object);
        QCOMPARE(fromText.curves, expected.curves);

        const QString path = testsupport::sandbox().filePath(QStringLiteral("reader.json"));
        QVERIFY(testsupport::writeFile(path, text));
        ProjectDocument fromFile;
        QCOMPARE(readProjectJsonFile(path, &fromFile, &reason), verdict);
        QCOMPARE(reason, expectedReason);
        QCOMPARE(fromFile.object, expected.object);
        QCOMPARE(fromFile.curves, expected.curves);
    }

    // The compact text formats its numbers itself; it must stay the writer's text.
    void compactNumbersAreTheWritersNumbers_data()
    {
        QTest::addColumn<double>("scale");
        for (double scale :
             {1e-320, 1e-9, 1e-5, 1e-4, 1e-3, 0.5, 1.0, 1e5, 1e15, 1e16, 1e17, 1e21, 1e22, 1e23, 1e300})
            QTest::addRow("%g", scale) << scale;
    }
    void compactNumbersAreTheWritersNumbers()
    {
        QFETCH(double, scale);
        std::mt19937_64 random(42); // the same numbers on every machine
        std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
        Curve curve = makeCurve(QStringLiteral("Numbers"));
        for (int i = 0; i < 2000; ++i) {
            const double value = mantissa(random) * scale;
            // Short and long digit strings alike.
            const double rounded = i % 2 ? value : std::round(value / scale * 1000) / 1000 * scale;
            curve.points.append(
                CurvePoint(QPointF(rounded, -rounded), QPointF(value, i * scale), curve.name));
        }
        ProjectModel model;
        ProjectDocument document;
        document.curves = {curve};
        document.object = {{QStringLiteral("format"), QStringLiteral("PlotmasonProject")}};
        QVERIFY(model.applyProjectDocument(document, QString(), true, false));
        QCOMPARE(model.compactProjectJson(),
                 QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact));
    }

    void unreadableFile()
    {
        ProjectDocument document;
        QString reason;
        const QString folder = testsupport::sandbox().path(); // a folder is no file to read
        QCOMPARE(readProjectJsonFile(folder + QStringLiteral("/none.json"), &document, &reason),
                 JsonReading::Unreadable);
        QVERIFY(!reason.isEmpty());
    }

    // A million points, written here as a program would, come back complete.
    void millionPoints()
    {
        constexpr int count = 1000000;
        const QString path = testsupport::sandbox().filePath(QStringLiteral("million.pmproj"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray block = R"({"format":"PlotmasonProject","version":1,"curves":[{"name":"Big","points":[)";
        char number[64];
        const auto append = [&](double value) {
            block.append(number, std::to_chars(number, number + sizeof number, value).ptr - number);
        };
        for (int i = 0; i < count; ++i) {
            block += i == 0 ? "{\"x_pixel\":" : ",{\"x_pixel\":";
            append(pixelX(i));
            block += ",\"y_pixel\":7,\"x_reale\":0,\"y_reale\":";
            append(realY(i));
            block += ",\"curve_name\":\"Big\"}";
            if (block.size() > (1 << 20)) {
                QCOMPARE(file.write(block), block.size());
                block.clear();
            }
        }
        block += "]}]}";
        QCOMPARE(file.write(block), block.size());
        file.close();

        ProjectModel model;
        QString error;
        QVERIFY2(openProjectFile(path, model, &error, ProjectPicture::Unread), qPrintable(error));
        QCOMPARE(model.curves().size(), 1);
        const QList<CurvePoint> &points = model.curves().first().points;
        QCOMPARE(points.size(), qsizetype(count));
        for (int i = 0; i < count; i += 9973) {
            QCOMPARE(points[i].pixel, QPointF(pixelX(i), 7));
            QCOMPARE(points[i].real.y(), realY(i));
            QCOMPARE(points[i].curveName, QStringLiteral("Big"));
        }
        QCOMPARE(points.last().pixel.x(), pixelX(count - 1));
        QFile::remove(path);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestProjectReader)
#include "tst_projectreader.moc"
