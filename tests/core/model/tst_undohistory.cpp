#include "core/model/projectmodel.h"
#include "tests/support/testsupport.h"

#include <QImage>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QUndoStack>

#include <functional>

using testsupport::SignalLog;

namespace {

QByteArray documentBytes(const ProjectModel &model)
{
    return QJsonDocument(model.projectJson()).toJson(QJsonDocument::Compact);
}

// Curve "A" with five points and curve "B" with two, "B" active and its last point selected.
void fillTwoCurves(ProjectModel &model)
{
    testsupport::calibrate(model);
    for (int i = 0; i < 5; ++i)
        model.addPoint(QPointF(120 + 40 * i, 480 - 30 * i), QStringLiteral("A"));
    model.addCurve(QStringLiteral("B"));
    model.addPoint(QPointF(300, 200));
    model.addPoint(QPointF(350, 150));
    model.undoStack()->clear();
}

using Step = std::function<void(ProjectModel &, QRandomGenerator &)>;

QPointF randomPixel(QRandomGenerator &random)
{
    return QPointF(random.bounded(600), random.bounded(500)) + QPointF(0.25, 0.5);
}

int randomCurve(const ProjectModel &model, QRandomGenerator &random)
{
    // One index in eight is outside the list, to run the refusals as well.
    return random.bounded(int(model.curves().size()) + 1) - (random.bounded(8) == 0 ? 2 : 0);
}

QList<int> randomIndices(const ProjectModel &model, int curve, QRandomGenerator &random)
{
    const int count =
        curve >= 0 && curve < model.curves().size() ? int(model.curves()[curve].points.size()) : 3;
    QList<int> indices;
    for (int i = random.bounded(1, 5); i > 0; --i)
        indices.append(random.bounded(count + 1));
    return indices;
}

// Every kind of change, with arguments drawn at random (some of them refused).
const QList<Step> &steps()
{
    static const QList<Step> table = {
        [](ProjectModel &m, QRandomGenerator &r) {
            const QString names[] = {"A", "B", "C", ""};
            m.addPoint(randomPixel(r), names[r.bounded(4)]);
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.insertPoint(randomCurve(m, r), r.bounded(6), randomPixel(r));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const int curve = randomCurve(m, r);
            m.selectPoint(curve, r.bounded(6));
            m.beginMoveGesture(r.bounded(2) ? ProjectModel::MoveGesture::Drag
                                            : ProjectModel::MoveGesture::Nudge);
            for (int i = r.bounded(1, 4); i > 0; --i)
                m.moveSelectedPoint(randomPixel(r));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.setPointReal(randomCurve(m, r), r.bounded(6),
                           QPointF(r.bounded(100) / 7.0, r.bounded(100) / 3.0));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.selectPoint(randomCurve(m, r), r.bounded(6));
            m.deleteSelectedPoint();
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const QString names[] = {"A", "New", ""};
            m.appendPoints(names[r.bounded(3)], {randomPixel(r), randomPixel(r), randomPixel(r)});
        },
        [](ProjectModel &m, QRandomGenerator &) { m.undoLastPointInsertion(); },
        [](ProjectModel &m, QRandomGenerator &r) {
            if (r.bounded(10) == 0)
                m.clearPoints();
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const int curve = randomCurve(m, r);
            m.deletePoints(curve, randomIndices(m, curve, r));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const int curve = randomCurve(m, r);
            m.beginMoveGesture(ProjectModel::MoveGesture::Drag);
            const QList<int> indices = randomIndices(m, curve, r);
            for (int i = r.bounded(1, 3); i > 0; --i)
                m.movePoints(curve, indices, QPointF(r.bounded(9) - 4, r.bounded(9) - 4));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.addCurve(r.bounded(2) ? QStringLiteral("B") : QString());
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            if (r.bounded(3) == 0)
                m.removeCurve(randomCurve(m, r));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const QString names[] = {"A", "B", "Renamed", " "};
            m.setCurveMetadata(randomCurve(m, r), names[r.bounded(4)], QStringLiteral("T"),
                               QString::number(r.bounded(50)));
        },
        [](ProjectModel &m, QRandomGenerator &r) { m.setCurveVisible(randomCurve(m, r), r.bounded(2)); },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.setCurveStyle(randomCurve(m, r), QColor::fromRgb(r.generate()), r.bounded(40) / 3.0);
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const QString names[] = {"A", "B", "Other"};
            m.setActiveCurveMetadata(names[r.bounded(3)], QStringLiteral("P"), QString::number(r.bounded(9)));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const QString names[] = {"A", "B", "D"};
            m.setActiveCurveName(names[r.bounded(3)]);
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.setActiveCurveParameterName(QString::number(r.bounded(3)));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.setActiveCurveParameterValue(QString::number(r.bounded(3)));
        },
        [](ProjectModel &m, QRandomGenerator &r) {
            const bool logScale = r.bounded(4) == 0;
            const QLineF line(100 + r.bounded(20), 500, 500, 500 - r.bounded(30));
            if (r.bounded(2))
                m.setAxisX(line, logScale ? 1.0 : 0.0, 10.0 + r.bounded(5), logScale);
            else
                m.setAxisY(QLineF(line.p1(), QPointF(100 + r.bounded(30), 100)), 1.0, 20.0, logScale);
        },
        [](ProjectModel &m, QRandomGenerator &r) { m.setVisibleLayers(uint(r.bounded(16))); },
        [](ProjectModel &m, QRandomGenerator &r) { m.setRenderDpi(72 + 10 * r.bounded(4)); },
        [](ProjectModel &m, QRandomGenerator &r) {
            m.setSourceImage(testsupport::chartImage(200 + r.bounded(3), 100), QStringLiteral("chart.png"));
        },
    };
    return table;
}

using Operation = std::function<void(ProjectModel &)>;

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestUndoHistory : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void randomSequenceUndoesAndRedoesExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::newRow("seed 1") << 1u;
        QTest::newRow("seed 19") << 19u;
        QTest::newRow("seed 2024") << 2024u;
    }
    void randomSequenceUndoesAndRedoesExactly()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        ProjectModel model;
        fillTwoCurves(model);
        QUndoStack *stack = model.undoStack();
        // The document after each step, by the step's index in the history.
        QList<QByteArray> documents{documentBytes(model)};
        for (int i = 0; i < 500; ++i) {
            const int before = stack->index();
            const QUndoCommand *top = before > 0 ? stack->command(before - 1) : nullptr;
            steps()[random.bounded(int(steps().size()))](model, random);
            const QByteArray bytes = documentBytes(model);
            const bool merged = stack->index() == before && top && stack->command(before - 1) == top;
            // A change of the document is a new step or a move that joined the last one.
            if (bytes != documents.value(before))
                QVERIFY2(stack->index() > before || merged, qPrintable(QStringLiteral("step %1").arg(i)));
            documents.resize(stack->index() + 1);
            documents[stack->index()] = bytes;
        }
        const int top = stack->index();
        QVERIFY(top > 200);
        while (stack->canUndo()) {
            stack->undo();
            QCOMPARE(documentBytes(model), documents[stack->index()]);
        }
        QCOMPARE(stack->index(), 0);
        while (stack->canRedo()) {
            stack->redo();
            QCOMPARE(documentBytes(model), documents[stack->index()]);
        }
        QCOMPARE(stack->index(), top);
    }

    void undoAndRedoRepeatTheSignals_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<QStringList>("expected");
        const QStringList allFour{"pointsChanged", "selectedPointChanged", "activeCurveChanged",
                                  "curvesChanged"};
        const QStringList pointAndSelection{"pointsChanged", "selectedPointChanged"};
        QTest::newRow("add point") << Operation([](ProjectModel &m) { m.addPoint(QPointF(5, 5)); })
                                   << allFour;
        QTest::newRow("add point to a new curve")
            << Operation([](ProjectModel &m) { m.addPoint(QPointF(5, 5), QStringLiteral("New")); })
            << allFour;
        QTest::newRow("delete point")
            << Operation([](ProjectModel &m) { m.deleteSelectedPoint(); }) << pointAndSelection;
        QTest::newRow("undo last point")
            << Operation([](ProjectModel &m) { m.undoLastPointInsertion(); }) << pointAndSelection;
        QTest::newRow("move point") << Operation([](ProjectModel &m) { m.moveSelectedPoint(QPointF(9, 9)); })
                                    << QStringList{"pointsChanged"};
        QTest::newRow("type point value")
            << Operation([](ProjectModel &m) { m.setPointReal(0, 1, QPointF(2, 3)); }) << pointAndSelection;
        QTest::newRow("delete points") << Operation([](ProjectModel &m) {
            m.deletePoints(0, {0, 2});
        }) << pointAndSelection;
        QTest::newRow("calibrate X") << Operation([](ProjectModel &m) {
            m.setAxisX(QLineF(90, 500, 500, 500), 1, 100, true);
        }) << QStringList{"calibrationChanged", "pointsChanged"};
        QTest::newRow("remove curve") << Operation([](ProjectModel &m) { m.removeCurve(0); }) << allFour;
        QTest::newRow("rename curve")
            << Operation([](ProjectModel &m) { m.setCurveMetadata(0, QStringLiteral("Z"), {}, {}); })
            << QStringList{"activeCurveChanged", "curvesChanged", "pointsChanged", "selectedPointChanged"};
        QTest::newRow("clear points")
            << Operation([](ProjectModel &m) { m.clearPoints(); }) << pointAndSelection;
    }
    void undoAndRedoRepeatTheSignals()
    {
        QFETCH(Operation, operation);
        QFETCH(QStringList, expected);
        ProjectModel model;
        fillTwoCurves(model);
        SignalLog log(model);
        operation(model);
        QCOMPARE(log.names(), expected);
        QCOMPARE(model.undoStack()->count(), 1);
        log.clear();
        model.undoStack()->undo();
        QCOMPARE(log.names(), expected);
        log.clear();
        model.undoStack()->redo();
        QCOMPARE(log.names(), expected);
    }

    void movesMergeWithinAGesture_data()
    {
        QTest::addColumn<QList<int>>("gestures"); // before each move: 0 none, 1 drag, 2 nudge
        QTest::addColumn<int>("steps");
        QTest::newRow("one drag") << QList<int>{1, 0, 0, 0} << 1;
        QTest::newRow("two drags") << QList<int>{1, 0, 1, 0} << 2;
        QTest::newRow("nudges") << QList<int>{2, 2, 2} << 1;
        QTest::newRow("drag then nudges") << QList<int>{1, 0, 2, 2} << 2;
        QTest::newRow("nudges then drag") << QList<int>{2, 2, 1} << 2;
    }
    void movesMergeWithinAGesture()
    {
        QFETCH(QList<int>, gestures);
        QFETCH(int, steps);
        ProjectModel model;
        fillTwoCurves(model);
        const QByteArray start = documentBytes(model);
        model.selectPoint(0, 2);
        for (int i = 0; i < gestures.size(); ++i) {
            if (gestures[i] > 0)
                model.beginMoveGesture(gestures[i] == 1 ? ProjectModel::MoveGesture::Drag
                                                        : ProjectModel::MoveGesture::Nudge);
            model.moveSelectedPoint(QPointF(200 + i, 300 - i));
        }
        const QPointF last(200 + gestures.size() - 1, 300 - gestures.size() + 1);
        QCOMPARE(model.undoStack()->count(), steps);
        QCOMPARE(model.undoStack()->undoText(), QStringLiteral("Move point"));
        model.undoStack()->setIndex(0);
        QCOMPARE(documentBytes(model), start);
        model.undoStack()->setIndex(steps);
        QCOMPARE(model.curves()[0].points[2].pixel, last);
    }

    void deletionComesBackAtItsIndex()
    {
        ProjectModel model;
        fillTwoCurves(model);
        const QList<InsertionRecord> history = model.insertionHistory();
        const CurvePoint third = model.curves()[0].points[2];
        model.selectPoint(0, 2);
        QVERIFY(model.deleteSelectedPoint());
        QVERIFY(model.insertionHistory().isEmpty());
        QCOMPARE(model.undoStack()->undoText(), QStringLiteral("Delete point"));
        model.undoStack()->undo();
        QCOMPARE(model.curves()[0].points[2], third);
        QCOMPARE(model.selectedPointIndex(), 2);
        QCOMPARE(model.insertionHistory(), history);
        // "Undo last point" still removes B's last point, and is a step of its own.
        QVERIFY(model.undoLastPointInsertion());
        QCOMPARE(model.curves()[1].points.size(), 1);
        QCOMPARE(model.undoStack()->undoText(), QStringLiteral("Undo last point"));
        model.undoStack()->undo();
        QCOMPARE(model.curves()[1].points.size(), 2);
        QCOMPARE(model.insertionHistory(), history);
    }

    void openingClosingAndResettingClearTheHistory_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("reset") << Operation([](ProjectModel &m) { m.resetProject(); });
        QTest::newRow("open") << Operation([](ProjectModel &m) {
            ProjectModel other;
            testsupport::calibrate(other);
            QVERIFY(m.applyProjectJson(other.projectJson(), {}, true));
        });
    }
    void openingClosingAndResettingClearTheHistory()
    {
        QFETCH(Operation, operation);
        ProjectModel model;
        fillTwoCurves(model);
        model.clearPoints();
        QVERIFY(model.undoStack()->canUndo());
        operation(model);
        QCOMPARE(model.undoStack()->count(), 0);
        QVERIFY(model.undoStack()->isClean());
    }

    void refusedOperationsLeaveNoStep_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::newRow("delete without selection") << Operation([](ProjectModel &m) {
            m.clearSelection();
            m.deleteSelectedPoint();
        });
        QTest::newRow("points of a missing curve")
            << Operation([](ProjectModel &m) { m.deletePoints(5, {0}); });
        QTest::newRow("indices outside") << Operation([](ProjectModel &m) { m.movePoints(0, {9}, {1, 1}); });
        QTest::newRow("infinite offset") << Operation([](ProjectModel &m) {
            m.movePoints(0, {1}, {qInf(), 0});
        });
        QTest::newRow("same visibility") << Operation([](ProjectModel &m) { m.setCurveVisible(0, true); });
        QTest::newRow("choose existing curve")
            << Operation([](ProjectModel &m) { m.setActiveCurveName("A"); });
        QTest::newRow("typed NaN") << Operation([](ProjectModel &m) { m.setPointReal(0, 0, {qQNaN(), 1}); });
        QTest::newRow("no points to append") << Operation([](ProjectModel &m) { m.appendPoints("A", {}); });
    }
    void refusedOperationsLeaveNoStep()
    {
        QFETCH(Operation, operation);
        ProjectModel model;
        fillTwoCurves(model);
        const QByteArray start = documentBytes(model);
        operation(model);
        QCOMPARE(model.undoStack()->count(), 0);
        QCOMPARE(documentBytes(model), start);
    }

    // An accepted extraction adds its points, and maybe their curve, as one step.
    void appendedPointsAreOneStep_data()
    {
        QTest::addColumn<QString>("curve");
        QTest::addColumn<int>("curveCount");
        QTest::newRow("into a curve") << QStringLiteral("A") << 2;
        QTest::newRow("into the active curve") << QString() << 2;
        QTest::newRow("into a new curve") << QStringLiteral("Curve 3") << 3;
    }
    void appendedPointsAreOneStep()
    {
        QFETCH(QString, curve);
        QFETCH(int, curveCount);
        ProjectModel model;
        fillTwoCurves(model);
        const QByteArray start = documentBytes(model);
        const QList<QPointF> found = {{130.5, 400}, {140, 390.25}, {150, 380}, {160, 370}};
        QVERIFY(model.appendPoints(curve, found));
        QCOMPARE(model.curves().size(), curveCount);
        QCOMPARE(model.undoStack()->count(), 1);
        QCOMPARE(model.undoStack()->undoText(), QStringLiteral("Add points"));
        const QByteArray added = documentBytes(model);
        model.undoStack()->undo();
        QCOMPARE(documentBytes(model), start);
        model.undoStack()->redo();
        QCOMPARE(documentBytes(model), added);
    }

    // Pictures the history would keep: resolution steps keep none (undo renders
    // again), and past the limit older steps read theirs again from the files.
    void historyKeepsFewPictures_data()
    {
        QTest::addColumn<bool>("pdf");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<qint64>("heldBytes");
        QTest::newRow("15 resolution steps") << true << ProjectModel::defaultHistoryPictureLimit
                                             << qint64(1275) * 1650 * 4; // the page as first loaded
        QTest::newRow("pictures past the limit") << false << qint64(1) << qint64(0);
    }
    void historyKeepsFewPictures()
    {
        QFETCH(bool, pdf);
        QFETCH(qint64, limit);
        QFETCH(qint64, heldBytes);
        ProjectModel model;
        model.setHistoryPictureLimit(limit);
        QList<QImage> shown;
        if (pdf) {
            QVERIFY(model.loadSource(testsupport::writeLetterPdf(QStringLiteral("steps.pdf"), 1)));
            testsupport::calibrate(model);
            shown.append(model.sourceImage());
            for (int dpi = 160; dpi <= 300; dpi += 10) {
                model.setRenderDpi(dpi);
                shown.append(model.sourceImage());
            }
        } else {
            for (int i = 0; i < 3; ++i) {
                QImage picture(100 + 20 * i, 80, QImage::Format_RGB32);
                picture.fill(QColor(40 * i, 90, 200));
                const QString path = testsupport::sandbox().filePath(QStringLiteral("step%1.png").arg(i));
                QVERIFY(picture.save(path));
                QVERIFY(model.loadSource(path));
                shown.append(model.sourceImage());
            }
        }
        QCOMPARE(model.historyPictureBytes(), heldBytes);
        // Undo and redo give back every picture, pixel for pixel.
        for (int i = int(shown.size()) - 2; i >= 0; --i) {
            model.undoStack()->undo();
            QCOMPARE(model.sourceImage().convertToFormat(QImage::Format_RGB32),
                     shown[i].convertToFormat(QImage::Format_RGB32));
        }
        for (int i = 1; i < shown.size(); ++i) {
            model.undoStack()->redo();
            QCOMPARE(model.sourceImage().convertToFormat(QImage::Format_RGB32),
                     shown[i].convertToFormat(QImage::Format_RGB32));
        }
        QVERIFY(model.historyPictureBytes() <= qMax(heldBytes, limit));
    }

    void groupOfPointsIsOneStep()
    {
        ProjectModel model;
        fillTwoCurves(model);
        const QByteArray start = documentBytes(model);
        model.beginMoveGesture(ProjectModel::MoveGesture::Drag);
        QVERIFY(model.movePoints(0, {3, 1, 1}, QPointF(2, -2)));
        QVERIFY(model.movePoints(0, {1, 3}, QPointF(3, 0)));
        QCOMPARE(model.curves()[0].points[1].pixel, QPointF(165, 448));
        QVERIFY(model.deletePoints(0, {4, 0, 1}));
        QCOMPARE(model.curves()[0].points.size(), 2);
        QCOMPARE(model.undoStack()->count(), 2);
        model.undoStack()->undo();
        model.undoStack()->undo();
        QCOMPARE(documentBytes(model), start);
    }
};

PLOTMASON_TEST_MAIN(QGuiApplication, TestUndoHistory)
#include "tst_undohistory.moc"
