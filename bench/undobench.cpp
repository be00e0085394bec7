#include "bench/undobench.h"

#include <QUndoStack>

#include <cstdio>

namespace bench {

namespace {

void makeEdits(ProjectModel &model, const Scale &scale, const QSize &picture)
{
    // Every kind of step in turn: small point commands and whole-state snapshots.
    const int edits = scale.size(10000, 200);
    for (int i = 0; i < edits; ++i) {
        const int curve = i % 5;
        const QPointF spot(50 + (i * 37) % (picture.width() - 100), 50 + (i * 53) % (picture.height() - 100));
        switch (i % 6) {
        case 0: model.addPoint(spot, model.curves()[curve].name); break;
        case 1:
            model.selectPoint(curve, i % 50);
            model.beginMoveGesture(ProjectModel::MoveGesture::Drag);
            model.moveSelectedPoint(spot);
            break;
        case 2: model.deletePoints(curve, {i % 40, i % 40 + 3}); break;
        case 3:
            model.setCurveMetadata(curve, QStringLiteral("Curve %1").arg(curve + 1), QStringLiteral("T"),
                                   QString::number(i));
            break;
        case 4: model.setCurveVisible(curve, i % 12 < 6); break;
        default: model.setPointReal(curve, i % 30, QPointF(i % 100, (i * 7) % 50)); break;
        }
    }
    qInfo("%d edits leave %d undo steps (the history keeps at most %d)", edits,
          int(model.undoStack()->count()), model.undoStack()->undoLimit());
}

} // namespace

int undoPeakChild(bool tiny, bool edits)
{
    Scale scale;
    scale.tiny = tiny;
    ProjectModel model;
    const QSize picture(4000, 3000);
    fillProject(model, 5, scale.size(2000, 100), picture);
    model.undoStack()->clear();
    if (edits)
        makeEdits(model, scale, picture);
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

QList<Row> undoHistory(const Scale &scale)
{
    const QString size = scale.tiny ? QStringLiteral("tiny") : QStringLiteral("full");
    const double without = childPeakKiB({QStringLiteral("--undo-peak-child"), size, QStringLiteral("none")});
    const double with = childPeakKiB({QStringLiteral("--undo-peak-child"), size, QStringLiteral("edits")});
    Row row{QStringLiteral("9. memory of 10,000 undo steps (5 x 2000 points)"), (with - without) / 1024.0, -1,
            QStringLiteral("50 MiB"), QStringLiteral("MiB")};
    if (without < 0 || with < 0)
        row.failure = QStringLiteral("the measuring process failed");
    return {row};
}

} // namespace bench
