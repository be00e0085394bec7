#include "bench/largebench.h"

#include "core/io/projectdatabase.h"
#include "core/model/projectfile.h"
#include "digitizing/graphview.h"
#include "window/mainwindow.h"

#include <QFile>
#include <QTest>

#include <cstdio>

namespace bench {

namespace {

constexpr int curveCount = 10;

struct LargeProject
{
    QString indented;
    QString compact;
    QString picture; // empty unless asked for
};

// The project of 1,000,000 points in both file forms; with a picture, the
// project refers to it so that the window can click on it.
LargeProject writeLargeProject(const Scale &scale, bool withPicture)
{
    const int points = scale.size(1000000, 10000);
    const QSize size(3000, 2000);
    LargeProject files{temporaryPath(QStringLiteral("million.pmproj")),
                       temporaryPath(QStringLiteral("million-compact.pmproj")), QString()};
    ProjectModel model;
    if (withPicture) {
        files.picture = temporaryPath(QStringLiteral("million.png"));
        scanLikePicture(size).save(files.picture);
        model.loadSource(files.picture);
    }
    fillProject(model, curveCount, points / curveCount, size);
    if (!saveProjectFile(files.indented, model, nullptr))
        qWarning("the large project file was not written");
    QFile compact(files.compact);
    if (!compact.open(QIODevice::WriteOnly) || compact.write(model.compactProjectJson()) < 0)
        qWarning("the compact project file was not written");
    return files;
}

Row openRow(const QString &scenario, const Scale &scale, const QString &path)
{
    int failures = 0;
    QString error;
    const double time = medianMs(scale.repeat(5), [&] {
        ProjectModel model;
        if (!openProjectFile(path, model, &error))
            ++failures;
    });
    Row row{scenario, time, -1, QStringLiteral("1000 ms")};
    if (failures > 0)
        row.failure = error;
    return row;
}

Row peakOverEmpty(const QString &scenario, double empty, double full)
{
    Row row{scenario, (full - empty) / 1024.0, -1, QStringLiteral("250 MiB"), QStringLiteral("MiB")};
    if (empty < 0 || full < 0)
        row.failure = QStringLiteral("the measuring process failed");
    return row;
}

} // namespace

int openPeakChild(const QString &project)
{
    ProjectModel model;
    QString error;
    if (!project.isEmpty() && !openProjectFile(project, model, &error))
        return 1;
    std::printf("%ld\n", peakResidentKiB());
    return 0;
}

QList<Row> millionPoints(const Scale &scale)
{
    const LargeProject files = writeLargeProject(scale, false);
    QList<Row> rows{
        openRow(QStringLiteral("11. project file open, 1,000,000 points, indented"), scale, files.indented),
        openRow(QStringLiteral("11. project file open, 1,000,000 points, compact"), scale, files.compact)};
    const double empty = childPeakKiB({QStringLiteral("--open-peak-child"), QString()});
    rows << peakOverEmpty(QStringLiteral("11. peak opening 1,000,000 points, indented, over empty"), empty,
                          childPeakKiB({QStringLiteral("--open-peak-child"), files.indented}))
         << peakOverEmpty(QStringLiteral("11. peak opening 1,000,000 points, compact, over empty"), empty,
                          childPeakKiB({QStringLiteral("--open-peak-child"), files.compact}));

    const QString database = temporaryPath(QStringLiteral("million.pmdb"));
    {
        ProjectModel model;
        openProjectFile(files.compact, model, nullptr);
        ProjectDatabase::storeProject(database, model, QStringLiteral("million"));
    }
    int failures = 0;
    const double load = medianMs(scale.repeat(5), [&] {
        ProjectModel model;
        if (!ProjectDatabase::loadProject(database, QStringLiteral("million"), model))
            ++failures;
    });
    Row loadRow{QStringLiteral("11. database load, 1,000,000 points"), load, -1, QStringLiteral("1200 ms")};
    if (failures > 0)
        loadRow.failure = QStringLiteral("%1 loads failed").arg(failures);
    return rows << loadRow;
}

QList<Row> millionInWindow(const Scale &scale)
{
    const LargeProject files = writeLargeProject(scale, true);
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qWarning("window not exposed");
    GraphView *view = window.graphView();
    settle(view->viewport());
    bool opened = false;
    // Opening counts until the points are on the screen and the window is idle.
    const double open = medianMs(1, [&] {
        opened = window.openProjectFromFile(files.indented);
        settle(view->viewport());
    });
    Row openRow{QStringLiteral("12. window opens 1,000,000 points, painted"), open, -1,
                QStringLiteral("3000 ms")};
    if (!opened)
        openRow.failure = QStringLiteral("the project did not open");
    ProjectModel *model = window.model();
    view->fitInView(view->sceneRect(), Qt::KeepAspectRatio);
    settle(view->viewport());

    // Clicks in the picture's empty top band, far from every curve and from each other.
    const int active = model->activeCurveIndex();
    const qsizetype before = active >= 0 ? model->curves()[active].points.size() : 0;
    int clicks = 0;
    int unpainted = 0;
    const QRectF picture = view->sceneRect();
    const double click = medianMs(
        scale.repeat(21),
        [&] {
            const QPointF spot(picture.width() * (0.05 + 0.04 * (clicks++ % 22)), picture.height() * 0.03);
            const QPoint at = view->mapFromScene(spot);
            deliver(view->viewport(), QEvent::MouseButtonPress, at, Qt::LeftButton);
            deliver(view->viewport(), QEvent::MouseButtonRelease, at, Qt::NoButton);
            if (settle(view->viewport()) == 0)
                ++unpainted;
        },
        [] { settle(); });
    Row clickRow{QStringLiteral("12. click adds a point, painted, 1,000,000 points shown"), click, -1,
                 QStringLiteral("16 ms")};
    if (active < 0 || model->curves()[active].points.size() == before)
        clickRow.failure = QStringLiteral("the clicks added no point");
    else if (unpainted > 0)
        clickRow.failure = QStringLiteral("%1 clicks were never painted").arg(unpainted);
    return {openRow, clickRow};
}

} // namespace bench
