#pragma once

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"
#include "window/curvesdock.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QMenu>
#include <QStatusBar>
#include <QTableWidget>

// A shown main window whose questions are answered by a script.
struct Window
{
    testsupport::ScriptedPrompts prompts;
    MainWindow window;

    Window()
    {
        window.setUserPrompts(&prompts);
        window.resize(1200, 800);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("window not exposed");
    }
    ~Window()
    {
        // Nothing may ask when the test's window goes away.
        prompts.answer(int(QMessageBox::Discard));
        window.close();
    }
    QAction *action(const char *name) const { return window.findChild<QAction *>(QString::fromLatin1(name)); }
    void trigger(const char *name) const { action(name)->trigger(); }
    QString status() const { return window.statusBar()->currentMessage(); }
    GraphView *view() const { return window.graphView(); }
    ProjectModel *model() const { return window.model(); }
    QTableWidget *curves() const { return window.curvesDock()->curvesTable(); }
    QTableWidget *points() const { return window.curvesDock()->pointsTable(); }
    void click(const QPointF &scenePoint) const
    {
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->mapFromScene(scenePoint));
    }
    void importPicture(const QString &name)
    {
        const QString path = testsupport::sandbox().filePath(name);
        testsupport::chartImage(640, 480).save(path);
        prompts.answer(path);
        trigger("importAction");
        // A new picture is fitted to the view; clicks land on whole pixels at 100 %.
        trigger("actualSizeAction");
    }
    // Two clicks on each axis, answering the values dialog with 0 at the first
    // marks (the origin shortcut) and the maxima at the second.
    void calibrate(double xMaximum = 10, double yMaximum = 20)
    {
        view()->setInteractionMode(GraphView::CalibrateXMode);
        prompts.answer(QVariantList{"0", QString::number(xMaximum), false});
        click(QPointF(100, 400));
        click(QPointF(500, 400));
        prompts.answer(QVariantList{"0", QString::number(yMaximum), false});
        click(QPointF(100, 400));
        click(QPointF(100, 100));
    }
    QMenu *recentMenu() const { return window.findChild<QMenu *>(QStringLiteral("recentMenu")); }
    QStringList recentEntries() const
    {
        QMenu *menu = recentMenu();
        Q_EMIT menu->aboutToShow();
        QStringList texts;
        for (QAction *entry : menu->actions()) {
            if (!entry->isSeparator())
                texts.append(entry->text());
        }
        return texts;
    }
};
