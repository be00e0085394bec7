#include "core/model/projectmodel.h"
#include "graph/plotgeometry.h"
#include "graph/plotlayout.h"
#include "graph/plotrenderer.h"
#include "graphwindow/curvestyletable.h"
#include "graphwindow/graphsettingspanel.h"
#include "graphwindow/labelstable.h"
#include "graphwindow/limitfield.h"
#include "graphwindow/lockicon.h"
#include "graphwindow/regeneratedgraphwindow.h"
#include "graphwindow/zoomablegraphview.h"
#include "i18n/localization.h"
#include "tests/graph/graphtestdata.h"
#include "tests/support/scriptedprompts.h"
#include "tests/support/testsupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGraphicsPathItem>
#include <QGraphicsTextItem>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>

#include <memory>

namespace {

// Each question as "kind|title|text"; a save dialog's as "save|title|filter|suffix".
QStringList questions(const testsupport::ScriptedPrompts &prompts)
{
    QStringList lines;
    for (const testsupport::ScriptedPrompts::Asked &asked : prompts.asked()) {
        const QVariantList offer = asked.offer.toList();
        lines.append(asked.kind == QStringLiteral("save")
                         ? QStringLiteral("save|%1|%2|%3")
                               .arg(asked.title, offer.value(0).toString(), offer.value(1).toString())
                         : QStringLiteral("%1|%2|%3").arg(asked.kind, asked.title, asked.text));
    }
    return lines;
}

void answerFileNames(testsupport::ScriptedPrompts &prompts, const QStringList &names)
{
    for (const QString &name : names)
        prompts.answer(name);
}

// An open window on the two-curve project, drawn once.
struct Window
{
    ProjectModel model;
    testsupport::ScriptedPrompts prompts;
    std::unique_ptr<RegeneratedGraphWindow> window;

    explicit Window(const QJsonObject &stored = QJsonObject())
    {
        graphtestdata::fillTwoCurveProject(model);
        model.setRegeneratedGraphSettings(stored);
        open();
    }
    void open()
    {
        window = std::make_unique<RegeneratedGraphWindow>(&model);
        window->setUserPrompts(&prompts);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("window not exposed");
        QCoreApplication::processEvents(); // the deferred first rebuild
    }
    template <typename T> T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    // Waits for the rebuild that changes of the model schedule.
    bool redrawn() const
    {
        return QTest::qWaitFor([this] { return !window->isRebuildScheduled(); });
    }
    QPushButton *button(GraphSettingsPanel::Button which) const { return window->panel()->button(which); }
    void click(GraphSettingsPanel::Button which) const { QTest::mouseClick(button(which), Qt::LeftButton); }
    ZoomableGraphView *view() const { return window->view(); }
    CurveStyleTable *curves() const { return window->panel()->curveTable(); }
    LabelsTable *labels() const { return window->panel()->labelsTable(); }
    QList<QGraphicsTextItem *> texts(const QString &role) const
    {
        QList<QGraphicsTextItem *> found;
        for (QGraphicsItem *item : window->scene()->items(Qt::AscendingOrder)) {
            if (item->data(graphitems::roleKey).toString() == role)
                found.append(static_cast<QGraphicsTextItem *>(item));
        }
        return found;
    }
    QList<QGraphicsPathItem *> paths() const
    {
        QList<QGraphicsPathItem *> found;
        // The curves, at their level above the grid and tick-mark paths.
        for (QGraphicsItem *item : window->scene()->items(Qt::AscendingOrder)) {
            if (item->zValue() == 10.0)
                found.append(qgraphicsitem_cast<QGraphicsPathItem *>(item));
        }
        found.removeAll(nullptr);
        return found;
    }
    // Replaces the field's text by typing, as a user does.
    void type(QWidget *field, const QString &text) const
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    // On the indicator: a check box spanning a form row takes clicks only there and on its text.
    void clickBox(const char *name) const
    {
        auto *box = child<QCheckBox>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QString status() const { return window->statusBar()->currentMessage(); }
    // A press and release before the double click, as a real double click
    // brings: the table reacts only to a double click on the cell it was pressed on.
    void doubleClickCell(QTableWidget *table, int row, int column) const
    {
        const QPoint centre = table->visualItemRect(table->item(row, column)).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, centre);
    }
};

QString sandboxPath(const QString &name)
{
    return testsupport::sandbox().filePath(name);
}

bool sameImage(const QIcon &icon, const QPixmap &pixmap)
{
    return icon.pixmap(20, 20).toImage().convertToFormat(QImage::Format_ARGB32) ==
           pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestRegeneratedWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensWithTitleSizeAndPanel()
    {
        ProjectModel model;
        graphtestdata::fillTwoCurveProject(model);
        RegeneratedGraphWindow window(&model);
        QCOMPARE(window.windowTitle(), QStringLiteral("Regenerated graph"));
        QCOMPARE(window.size(), QSize(1300, 850));
        QCOMPARE(window.panel()->minimumWidth(), 520);
        QCOMPARE(window.panel()->curveTable()->minimumHeight(), 170);
        // Drawn one event-loop turn later, not in the constructor.
        QVERIFY(model.regeneratedGraphSettings().isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(model.regeneratedGraphSettings(), window.settingsToJson());
        QCOMPARE(window.scene()->sceneRect(), QRectF(0, 0, 2362, 1476));
        // Every edit is stored.
        window.findChild<QLineEdit *>(QStringLiteral("titleEdit"))->setText(QStringLiteral("Pumps"));
        QCOMPARE(model.regeneratedGraphSettings().value("title").toString(), QStringLiteral("Pumps"));
    }

    void controlsHaveTheirRanges_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<double>("value");
        QTest::newRow("X min") << "xMinField" << graphlimits::minimumAxisValue
                               << graphlimits::maximumAxisValue << 1.0 << 323 << 0.0;
        QTest::newRow("X max") << "xMaxField" << graphlimits::minimumAxisValue
                               << graphlimits::maximumAxisValue << 1.0 << 323 << 10.0;
        QTest::newRow("Y min") << "yMinField" << graphlimits::minimumAxisValue
                               << graphlimits::maximumAxisValue << 1.0 << 323 << 0.0;
        QTest::newRow("Y max") << "yMaxField" << graphlimits::minimumAxisValue
                               << graphlimits::maximumAxisValue << 1.0 << 323 << 20.0;
        QTest::newRow("width") << "widthField" << 1.0 << 200.0 << 0.5 << 2 << 20.0;
        QTest::newRow("height") << "heightField" << 1.0 << 200.0 << 0.5 << 2 << 12.5;
        QTest::newRow("grid divisions") << "gridDivisionsField" << 1.0 << 100.0 << 1.0 << 0 << 10.0;
        QTest::newRow("dpi") << "dpiField" << 72.0 << 1200.0 << 1.0 << 0 << 300.0;
        QTest::newRow("axis decimals") << "axisDecimalsField" << 0.0 << 12.0 << 1.0 << 0 << 0.0;
    }

    void controlsHaveTheirRanges()
    {
        QFETCH(QString, name);
        QFETCH(double, minimum);
        QFETCH(double, maximum);
        QFETCH(double, step);
        QFETCH(int, decimals);
        QFETCH(double, value);
        Window w;
        // QSpinBox and QDoubleSpinBox share the property names; only the latter has decimals.
        const QAbstractSpinBox *field = w.window->findChild<QAbstractSpinBox *>(name);
        QVERIFY2(field, qPrintable(name));
        QCOMPARE(field->property("minimum").toDouble(), minimum);
        QCOMPARE(field->property("maximum").toDouble(), maximum);
        QCOMPARE(field->property("singleStep").toDouble(), step);
        QCOMPARE(field->property("decimals").toInt(), decimals);
        QCOMPARE(field->property("value").toDouble(), value);
    }

    void limitFieldsTakeExponentForm_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("dates");
        QTest::newRow("tiny") << "C"
                              << "1e-12" << 1e-12 << "1e-12" << false;
        QTest::newRow("upper-case exponent") << "C"
                                             << "2.5E+6" << 2.5e6 << "2500000" << false;
        QTest::newRow("Italian decimal comma") << "it_IT"
                                               << "0,5" << 0.5 << "0,5" << false;
        QTest::newRow("C form in Italian") << "it_IT"
                                           << "0.25" << 0.25 << "0,25" << false;
        QTest::newRow("twelve digits kept")
            << "C"
            << "0.1234567890123" << 0.123456789012 << "0.123456789012" << false;
        QTest::newRow("date on a date axis") << "C"
                                             << "2019-01-31" << 1548892800.0 << "2019-01-31" << true;
        QTest::newRow("seconds on a date axis") << "C"
                                                << "1e9" << 1e9 << "2001-09-09T01:46:40" << true;
    }
    void limitFieldsTakeExponentForm()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(double, value);
        QFETCH(QString, shown);
        QFETCH(bool, dates);
        Window w;
        auto *field = w.window->findChild<LimitField *>(QStringLiteral("xMinField"));
        QVERIFY(field);
        field->setLocale(QLocale(locale));
        field->setDates(dates);
        QString text = typed;
        int position = 0;
        QCOMPARE(field->validate(text, position), QValidator::Acceptable);
        QCOMPARE(field->valueFromText(typed), value);
        field->setValue(field->valueFromText(typed));
        QCOMPARE(field->value(), value);
        QCOMPARE(field->textFromValue(field->value()), shown);
        // A text that is no number is never read as one.
        QString half = QStringLiteral("1e");
        QCOMPARE(field->validate(half, position), QValidator::Intermediate);
    }

    void slidersCheckBoxesAndTexts()
    {
        Window w;
        for (const char *name : {"blueprintOpacitySlider", "regeneratedOpacitySlider"}) {
            auto *slider = w.child<QSlider>(name);
            QVERIFY(slider);
            QCOMPARE(slider->minimum(), 5);
            QCOMPARE(slider->maximum(), 100);
            QCOMPARE(slider->singleStep(), 5);
            QCOMPARE(slider->pageStep(), 10);
            QCOMPARE(slider->tickInterval(), 25);
            QCOMPARE(slider->tickPosition(), QSlider::TicksBelow);
        }
        QCOMPARE(w.child<QSlider>("blueprintOpacitySlider")->value(), 35);
        QCOMPARE(w.child<QSlider>("regeneratedOpacitySlider")->value(), 100);
        QCOMPARE(w.child<QLineEdit>("titleEdit")->text(), QStringLiteral("Title"));
        QCOMPARE(w.child<QLineEdit>("xLabelEdit")->text(), QStringLiteral("X"));
        QCOMPARE(w.child<QLineEdit>("yLabelEdit")->text(), QStringLiteral("Y"));
        QVERIFY(w.child<QCheckBox>("showTitleCheck")->isChecked());
        QVERIFY(!w.child<QCheckBox>("showBlueprintCheck")->isChecked());
        QVERIFY(w.child<QCheckBox>("showGridCheck")->isChecked());
        QVERIFY(!w.child<QCheckBox>("xLogCheck")->isChecked());
        auto *lock = w.child<QToolButton>("lockAspectButton");
        QVERIFY(lock->isCheckable() && lock->isChecked());
        QCOMPARE(lock->toolTip(),
                 QStringLiteral("Keep width and height proportional when one value changes."));
        QCOMPARE(w.child<QLabel>("pixelSizeLabel")->text(),
                 QStringLiteral("At 300 DPI: 2362 x 1476 px. Increase cm or DPI for more JPG detail.\nAt "
                                "this DPI a JPG can be at most 554.5 cm on a side."));
        QStringList groups;
        for (const QGroupBox *group : w.window->panel()->findChildren<QGroupBox *>())
            groups.append(group->title());
        QCOMPARE(groups, (QStringList{"View", "Graph settings", "Axis limits", "Output size",
                                      "Text and fonts", "Curve style", "Labels", "Exports"}));
        QCOMPARE(w.curves()->horizontalHeaderItem(0)->text(), QStringLiteral("Curve"));
        QCOMPARE(w.labels()->columnCount(), 5);
        QCOMPARE(w.labels()->horizontalHeaderItem(3)->text(), QStringLiteral("Angle"));
    }

    void lockKeepsTheProportions()
    {
        Window w;
        auto *width = w.child<QDoubleSpinBox>("widthField");
        auto *height = w.child<QDoubleSpinBox>("heightField");
        auto *lock = w.child<QToolButton>("lockAspectButton");
        w.type(width, QStringLiteral("24"));
        QCOMPARE(height->value(), 15.0); // 24 / 1.6
        QCOMPARE(w.child<QLabel>("pixelSizeLabel")->text(),
                 QStringLiteral("At 300 DPI: 2835 x 1772 px. Increase cm or DPI for more JPG detail.\nAt "
                                "this DPI a JPG can be at most 554.5 cm on a side."));
        QCOMPARE(w.window->scene()->sceneRect(), QRectF(0, 0, 2835, 1772));
        w.type(height, QStringLiteral("10"));
        QCOMPARE(width->value(), 16.0);

        QTest::mouseClick(lock, Qt::LeftButton);
        QVERIFY(!lock->isChecked());
        QVERIFY(sameImage(lock->icon(), lockPixmap(false)));
        QVERIFY(!w.window->settings().lockAspect);
        w.type(width, QStringLiteral("30"));
        QCOMPARE(height->value(), 10.0);
        QCOMPARE(w.window->panel()->aspectRatio(), 3.0);

        QTest::mouseClick(lock, Qt::LeftButton);
        QVERIFY(sameImage(lock->icon(), lockPixmap(true)));
        w.type(height, QStringLiteral("5"));
        QCOMPARE(width->value(), 15.0);
        // Clamped to the field's range.
        w.type(height, QStringLiteral("100"));
        QCOMPARE(width->value(), 200.0);
        QCOMPARE(w.model.regeneratedGraphSettings().value("widthCm").toDouble(), 200.0);
        QCOMPARE(w.model.regeneratedGraphSettings().value("heightCm").toDouble(), 100.0);
    }

    void lockIconIsDrawn()
    {
        const QImage locked = lockPixmap(true).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage open = lockPixmap(false).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(locked.size(), QSize(20, 20));
        QCOMPARE(qAlpha(locked.pixel(0, 0)), 0);
        // Body filled with the lightened pen colour, outlined in the pen colour.
        QCOMPARE(locked.pixel(10, 13), QColor(QStringLiteral("#1565c0")).lighter(165).rgba());
        QCOMPARE(open.pixel(10, 13), QColor(QStringLiteral("#777777")).lighter(165).rgba());
        QCOMPARE(locked.pixel(5, 13), QColor(QStringLiteral("#1565c0")).rgba());
        QCOMPARE(open.pixel(5, 13), QColor(QStringLiteral("#777777")).rgba());
        // The open shackle sits one pixel higher and has its loose end.
        QCOMPARE(qAlpha(locked.pixel(10, 3)), 255);
        QCOMPARE(qAlpha(locked.pixel(10, 1)), 0);
        QVERIFY(qAlpha(open.pixel(10, 1)) > 200);
        QVERIFY(qAlpha(open.pixel(15, 5)) > 100);
        QCOMPARE(qAlpha(locked.pixel(15, 5)), 0);
    }

    void viewButtonsDriveTheView()
    {
        Window w;
        ZoomableGraphView *view = w.view();
        const double fitted = view->zoomFactor();
        QVERIFY(fitted > 0.1 && fitted < 1.0); // fitted on the first rebuild
        w.click(GraphSettingsPanel::ZoomInButton);
        QVERIFY(qFuzzyCompare(view->zoomFactor(), fitted * 1.2));
        w.click(GraphSettingsPanel::ZoomOutButton);
        w.click(GraphSettingsPanel::ZoomOutButton);
        QVERIFY(qFuzzyCompare(view->zoomFactor(), fitted / 1.2));
        w.click(GraphSettingsPanel::FitButton);
        QVERIFY(qFuzzyCompare(view->zoomFactor(), fitted));
    }

    void addsAndRemovesLabels()
    {
        Window w;
        w.click(GraphSettingsPanel::AddLabelButton);
        w.click(GraphSettingsPanel::AddLabelButton);
        QCOMPARE(w.labels()->rowCount(), 2);
        QCOMPARE(w.labels()->textAt(0), QStringLiteral("Label 1"));
        QCOMPARE(w.labels()->textAt(1), QStringLiteral("Label 2"));
        QCOMPARE(w.status(), QStringLiteral("Label added."));
        const QList<QGraphicsTextItem *> items = w.texts(graphitems::labelRole);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(0)->pos(), graphLayout(w.model, w.window->settings()).plot.center());
        const double step = 2.5 * 300 / 25.4; // 2.5 mm
        QCOMPARE(items.at(1)->pos(), items.at(0)->pos() + QPointF(step, step));
        QCOMPARE(items.at(0)->font(), w.window->settings().textFont);
        QCOMPARE(w.model.regeneratedGraphSettings().value("labels").toArray().size(), 2);

        // A label dragged before the removal keeps its place.
        items.at(1)->setPos(1500, 200);
        w.labels()->selectRow(0);
        w.click(GraphSettingsPanel::RemoveLabelButton);
        QCOMPARE(w.status(), QStringLiteral("Label removed."));
        QCOMPARE(w.labels()->rowCount(), 1);
        QCOMPARE(w.labels()->textAt(0), QStringLiteral("Label 2"));
        QCOMPARE(w.texts(graphitems::labelRole).size(), 1);
        QCOMPARE(w.texts(graphitems::labelRole).first()->pos(), QPointF(1500, 200));
        QCOMPARE(w.texts(graphitems::labelRole).first()->data(graphitems::labelIndexKey).toInt(), 0);

        w.labels()->clearSelection();
        w.click(GraphSettingsPanel::RemoveLabelButton);
        QCOMPARE(w.status(), QStringLiteral("Select a label first."));
        QCOMPARE(w.labels()->rowCount(), 1);
        // A label selected on the scene is removed too.
        w.texts(graphitems::labelRole).first()->setSelected(true);
        w.click(GraphSettingsPanel::RemoveLabelButton);
        QCOMPARE(w.labels()->rowCount(), 0);
    }

    void editsLabelsInTheTable()
    {
        Window w;
        w.click(GraphSettingsPanel::AddLabelButton);
        LabelsTable *table = w.labels();
        table->item(0, LabelsTable::TextColumn)->setText(QStringLiteral("Peak"));
        QCOMPARE(w.texts(graphitems::labelRole).first()->toPlainText(), QStringLiteral("Peak"));
        table->item(0, LabelsTable::AngleColumn)->setData(Qt::EditRole, 45);
        QCOMPARE(w.texts(graphitems::labelRole).first()->rotation(), 45.0);

        w.prompts.answer(QVariant::fromValue(QColor(QStringLiteral("#2e7d32"))));
        w.doubleClickCell(table, 0, LabelsTable::ColorColumn);
        QVERIFY(questions(w.prompts).contains(QStringLiteral("color|Label color|")));
        QCOMPARE(w.texts(graphitems::labelRole).first()->defaultTextColor(),
                 QColor(QStringLiteral("#2e7d32")));
        QCOMPARE(table->item(0, LabelsTable::ColorColumn)->text(), QStringLiteral("#2e7d32"));

        w.prompts.answer(QVariant::fromValue(QFont(QStringLiteral("Times"), 30)));
        w.doubleClickCell(table, 0, LabelsTable::FontColumn);
        QCOMPARE(w.texts(graphitems::labelRole).first()->font(), QFont(QStringLiteral("Times"), 30));
        QCOMPARE(table->item(0, LabelsTable::FontColumn)->text(), QStringLiteral("Times, 30 pt"));

        table->item(0, LabelsTable::VisibleColumn)->setCheckState(Qt::Unchecked);
        QVERIFY(w.texts(graphitems::labelRole).isEmpty());
        QCOMPARE(
            w.model.regeneratedGraphSettings().value("labels").toArray().at(0).toObject().value("visible"),
            QJsonValue(false));
    }

    void curveWidthTypedInTheTableReachesTheModel()
    {
        Window w;
        CurveStyleTable *table = w.curves();
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(1, CurveStyleTable::NameColumn)->text(), QStringLiteral("Falling"));
        w.doubleClickCell(table, 0, CurveStyleTable::WidthColumn);
        auto *editor = table->findChild<QDoubleSpinBox *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, QStringLiteral("4.5"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the delegate commits on the next turn
        QCOMPARE(w.model.curves().at(0).lineWidth, 4.5);
        QVERIFY(w.redrawn());
        QCOMPARE(w.paths().at(0)->pen().widthF(), 4.5 * 300 / 72.0);
        QCOMPARE(table->item(0, CurveStyleTable::WidthColumn)->data(Qt::EditRole).toDouble(), 4.5);
    }

    void curveColourAndVisibilityReachTheModel()
    {
        Window w;
        CurveStyleTable *table = w.curves();
        w.prompts.answer(QVariant::fromValue(QColor(Qt::darkGreen)));
        w.doubleClickCell(table, 1, CurveStyleTable::ColorColumn);
        QVERIFY(questions(w.prompts).contains(QStringLiteral("color|Curve color|")));
        QCOMPARE(w.model.curves().at(1).color, QColor(Qt::darkGreen));
        QCOMPARE(w.model.curves().at(1).lineWidth, 3.0);
        QVERIFY(w.redrawn());
        QCOMPARE(w.paths().at(1)->pen().color(), QColor(Qt::darkGreen));

        // Cancelled: nothing changes.
        w.doubleClickCell(table, 1, CurveStyleTable::ColorColumn);
        QCOMPARE(w.model.curves().at(1).color, QColor(Qt::darkGreen));

        table->item(1, CurveStyleTable::VisibleColumn)->setCheckState(Qt::Unchecked);
        QVERIFY(!w.model.curves().at(1).visible);
        QVERIFY(w.redrawn());
        QCOMPARE(w.paths().size(), 1);
    }

    void followsTheModel()
    {
        Window w;
        const QPointF lastBefore = w.paths().at(0)->path().currentPosition();
        QSignalSpy rebuilt(w.window.get(), &RegeneratedGraphWindow::rebuilt);
        w.model.addPoint(graphtestdata::pixelOf(9, 17), QStringLiteral("Rising"));
        // Drawn once the turn of the event loop is over.
        QVERIFY(w.window->isRebuildScheduled());
        QCOMPARE(rebuilt.count(), 0);
        QVERIFY(w.redrawn());
        QCOMPARE(rebuilt.count(), 1);
        const QPointF lastAfter = w.paths().at(0)->path().currentPosition();
        QVERIFY(lastAfter.x() > lastBefore.x()); // the curve reaches the new point at x = 9
        w.model.addCurve(QStringLiteral("Third"));
        QCOMPARE(w.curves()->rowCount(), 3);
        QCOMPARE(w.curves()->item(2, CurveStyleTable::NameColumn)->text(), QStringLiteral("Third"));
        w.model.removeCurve(0);
        QCOMPARE(w.curves()->rowCount(), 2);
        QVERIFY(w.redrawn());
        QCOMPARE(w.paths().size(), 1);
    }

    void severalChangesInOneTurnDrawOnce()
    {
        Window w;
        QSignalSpy rebuilt(w.window.get(), &RegeneratedGraphWindow::rebuilt);
        w.model.addPoint(graphtestdata::pixelOf(9, 17), QStringLiteral("Rising"));
        w.model.addPoint(graphtestdata::pixelOf(9.5, 18), QStringLiteral("Rising"));
        w.model.setCurveStyle(1, QColor(Qt::darkGreen), 2.0);
        w.model.addCurve(QStringLiteral("Third"));
        w.model.setCurveVisible(0, false);
        QCOMPARE(rebuilt.count(), 0);
        QVERIFY(w.redrawn());
        QCoreApplication::processEvents();
        QCOMPARE(rebuilt.count(), 1);
        // The one drawing shows every change.
        QCOMPARE(w.paths().size(), 1);
        QCOMPARE(w.paths().at(0)->pen().color(), QColor(Qt::darkGreen));

        // A rebuild asked for directly takes the place of the scheduled one.
        w.model.setCurveVisible(0, true);
        QVERIFY(w.window->isRebuildScheduled());
        w.window->rebuild();
        QVERIFY(!w.window->isRebuildScheduled());
        QCoreApplication::processEvents();
        QCOMPARE(rebuilt.count(), 2);
        QCOMPARE(w.paths().size(), 2);
    }

    void storedRecordComesBackUnchanged()
    {
        // Both sizes while the lock is on, positions placed by the user, a label.
        GraphSettings stored;
        stored.applyJson(QJsonDocument::fromJson(R"({"title": "Stored", "xMin": 2, "xMax": 8.5, "yMin": -1,
            "yMax": 30, "widthCm": 25, "heightCm": 10, "lockAspect": true, "dpi": 150, "showBlueprint": true,
            "blueprintOpacity": 40, "axisDecimals": 2, "textLayoutInitialized": true,
            "titlePos": {"x": 300, "y": 15}, "xLabelPos": {"x": 700, "y": 530}, "yLabelPos": {"x": 18, "y": 300},
            "labels": [{"text": "note", "pos": {"x": 400, "y": 200}, "rotation": 15}],
            "curveSmoothing": "spline", "legendPlaced": true, "legendPos": {"x": 200, "y": 90},
            "titleMoved": true, "xLabelMoved": true, "yLabelMoved": true, "legendMoved": true})")
                             .object());
        stored.titleFont = QFont(QStringLiteral("Times"), 20);
        Window w(stored.toJson());
        QCOMPARE(w.window->settingsToJson(), stored.toJson());
        QCOMPARE(w.model.regeneratedGraphSettings(), stored.toJson());
        QCOMPARE(w.window->panel()->aspectRatio(), 2.5);
        QCOMPARE(w.child<QDoubleSpinBox>("widthField")->value(), 25.0);
        QCOMPARE(w.child<QDoubleSpinBox>("heightField")->value(), 10.0);
        QCOMPARE(w.texts(graphitems::labelRole).first()->rotation(), 15.0);

        // A second window on the same model sees the same record.
        w.window.reset();
        w.open();
        QCOMPARE(w.window->settingsToJson(), stored.toJson());
    }

    void appliesPartialRecords()
    {
        Window w;
        const QJsonObject before = w.window->settingsToJson();
        w.window->applySettingsJson(QJsonObject{{"dpi", 150}, {"gridDivisions", "x"}, {"title", "T"}});
        QCOMPARE(w.child<QSpinBox>("dpiField")->value(), 150);
        QCOMPARE(w.child<QSpinBox>("gridDivisionsField")->value(), 10);
        QCOMPARE(w.child<QLineEdit>("titleEdit")->text(), QStringLiteral("T"));
        QJsonObject expected = before;
        expected.insert("dpi", 150);
        expected.insert("title", "T");
        QCOMPARE(w.window->settingsToJson(), expected);

        // Applied positions win over the texts still on the scene.
        w.window->applySettingsJson(
            QJsonObject{{"titlePos", QJsonObject{{"x", 10}, {"y", 12}}}, {"titleMoved", true}});
        w.window->rebuild();
        QCOMPARE(w.texts(graphitems::titleRole).first()->pos(), QPointF(10, 12));
        QCOMPARE(w.model.regeneratedGraphSettings().value("titlePos").toObject().value("x").toDouble(), 10.0);
    }

    void logarithmicBoxRescales()
    {
        Window w;
        w.clickBox("xLogCheck");
        // The decade below the smallest point (0.5) and the calibrated values.
        QCOMPARE(w.child<QDoubleSpinBox>("xMinField")->value(), 0.1);
        QCOMPARE(w.window->settings().xMin, 0.1);
        QVERIFY(w.window->settings().xLog);
        w.type(w.child<QDoubleSpinBox>("xMinField"), QStringLiteral("0"));
        // Invalid now: only the message remains.
        QCOMPARE(w.window->scene()->items().size(), 2);
        QCOMPARE(w.model.regeneratedGraphSettings().value("xMin").toDouble(), 0.0);
        w.click(GraphSettingsPanel::AutoScaleButton);
        QCOMPARE(w.window->settings().xMin, 0.1);
        QCOMPARE(w.status(),
                 QStringLiteral("Axis limits computed from the digitized points and the calibration."));
    }

    void draggedTextSurvivesAnEdit()
    {
        Window w;
        QGraphicsTextItem *title = w.texts(graphitems::titleRole).first();
        const QPointF placed = title->pos();
        QWidget *port = w.view()->viewport();
        const QPoint grab = w.view()->mapFromScene(title->sceneBoundingRect().center());
        const QPoint drop = grab + QPoint(60, 40);
        QTest::mousePress(port, Qt::LeftButton, {}, grab);
        QTest::mouseMove(port, grab + QPoint(30, 20));
        QTest::mouseMove(port, drop);
        QTest::mouseRelease(port, Qt::LeftButton, {}, drop);
        const QPointF moved = w.texts(graphitems::titleRole).first()->pos();
        QVERIFY(moved.x() > placed.x() + 50);
        // Stored at once, and kept by the next rebuild.
        QCOMPARE(w.model.regeneratedGraphSettings().value("titlePos").toObject().value("x").toDouble(),
                 moved.x());
        w.type(w.child<QSpinBox>("gridDivisionsField"), QStringLiteral("4"));
        QCOMPARE(w.texts(graphitems::titleRole).first()->pos(), moved);
    }

    void textsFollowAChangeOfResolution()
    {
        Window w;
        QList<QPointF> before;
        for (const QString &role : {graphitems::titleRole, graphitems::xLabelRole, graphitems::yLabelRole})
            before.append(w.texts(role).first()->pos());
        w.type(w.child<QSpinBox>("dpiField"), QStringLiteral("600"));
        QCOMPARE(w.window->scene()->sceneRect(), QRectF(0, 0, 4724, 2953));
        // Twice the DPI draws the same graph twice as fine: positions double,
        // up to the rounding of the text metrics.
        int i = 0;
        for (const QString &role : {graphitems::titleRole, graphitems::xLabelRole, graphitems::yLabelRole}) {
            const QPointF after = w.texts(role).first()->pos();
            QVERIFY2(QLineF(after, before.at(i++) * 2.0).length() < 0.01 * 4724, qPrintable(role));
        }
    }

    void choosesFonts()
    {
        Window w;
        w.click(GraphSettingsPanel::TextFontButton);
        QCOMPARE(questions(w.prompts).last(),
                 QStringLiteral(
                     "information|Plotmason|Select the title or a label in the regenerated graph first."));

        w.texts(graphitems::titleRole).first()->setSelected(true);
        w.prompts.answer(QVariant::fromValue(QFont(QStringLiteral("Times"), 28)));
        w.click(GraphSettingsPanel::TextFontButton);
        QCOMPARE(questions(w.prompts).last(), QStringLiteral("font|Title font|"));
        QCOMPARE(w.window->settings().titleFont, QFont(QStringLiteral("Times"), 28));
        QGraphicsTextItem *title = w.texts(graphitems::titleRole).first();
        QCOMPARE(title->font(), QFont(QStringLiteral("Times"), 28));
        QVERIFY(title->isSelected());

        w.prompts.answer(QVariant::fromValue(QFont(QStringLiteral("Courier"), 8)));
        w.click(GraphSettingsPanel::AxisValueFontButton);
        QCOMPARE(questions(w.prompts).last(), QStringLiteral("font|Axis value font|"));
        QCOMPARE(w.window->settings().axisValueFont, QFont(QStringLiteral("Courier"), 8));
        QCOMPARE(
            QJsonValue(
                w.model.regeneratedGraphSettings().value("axisValueFont").toObject().value("description")),
            QJsonValue(QFont(QStringLiteral("Courier"), 8).toString()));
    }

    void exportsAskAndAppendSuffixes()
    {
        Window w;
        // The dialog adds the suffix to a name without one, before its overwrite
        // question; a name with another suffix is the user's choice.
        answerFileNames(w.prompts, {sandboxPath("window-graph"), sandboxPath("window-graph.jpeg"),
                                    sandboxPath("window-graph.SVG"), sandboxPath("picture.png")});
        w.click(GraphSettingsPanel::ExportPdfButton);
        w.click(GraphSettingsPanel::ExportJpgButton);
        w.click(GraphSettingsPanel::ExportSvgButton);
        w.click(GraphSettingsPanel::ExportJpgButton);
        QCOMPARE(questions(w.prompts), (QStringList{"save|Export graph PDF|PDF (*.pdf)|pdf",
                                                    "save|Export graph JPG|JPEG (*.jpg *.jpeg)|jpg",
                                                    "save|Export graph SVG|SVG (*.svg)|svg",
                                                    "save|Export graph JPG|JPEG (*.jpg *.jpeg)|jpg"}));
        QVERIFY(testsupport::readFile(sandboxPath("window-graph.pdf")).startsWith("%PDF"));
        QCOMPARE(QImage(sandboxPath("window-graph.jpeg")).size(), QSize(2362, 1476));
        QVERIFY(testsupport::readFile(sandboxPath("window-graph.SVG")).contains("<svg"));
        QCOMPARE(QImage(sandboxPath("picture.png"), "JPG").size(), QSize(2362, 1476));
        QVERIFY(!QFile::exists(sandboxPath("picture.png.jpg")));
        QCOMPARE(w.status(), QStringLiteral("Graph exported as JPG."));

        // Cancelled: nothing asked further, nothing written.
        w.click(GraphSettingsPanel::ExportPdfButton);
        QCOMPARE(questions(w.prompts).size(), 5);
    }

    void failedExportsSayTheyFailed_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("pdf") << int(GraphSettingsPanel::ExportPdfButton) << "Could not save the PDF.";
        QTest::newRow("jpg") << int(GraphSettingsPanel::ExportJpgButton) << "Could not save the JPG.";
        QTest::newRow("svg") << int(GraphSettingsPanel::ExportSvgButton) << "Could not save the SVG.";
    }

    void failedExportsSayTheyFailed()
    {
        QFETCH(int, button);
        QFETCH(QString, message);
        Window w;
        const testsupport::UnwritableTarget target =
            testsupport::makeUnwritableTarget(QStringLiteral("directory"));
        answerFileNames(w.prompts, {target.path + QStringLiteral(".jpg/x")});
        w.click(GraphSettingsPanel::Button(button));
        // The failure, then the writer's own reason on a line of its own.
        const QString last = questions(w.prompts).last();
        const QString head = QStringLiteral("critical|Plotmason|") + message + u'\n';
        QVERIFY2(last.startsWith(head) && last.size() > head.size(), qPrintable(last));
        QVERIFY(w.status().isEmpty());
    }

    void oversizedJpgSaysWhyBeforeDrawingIt()
    {
        Window w;
        w.window->applySettingsJson(QJsonObject{{"widthCm", 200}, {"heightCm", 125}, {"dpi", 1200}});
        w.window->rebuild();
        QCOMPARE(outputPixelSize(w.window->settings()), QSize(94488, 59055));
        answerFileNames(w.prompts, {sandboxPath("poster.jpg")});
        w.click(GraphSettingsPanel::ExportJpgButton);
        const QString last = questions(w.prompts).last();
        QVERIFY2(
            last.startsWith(QStringLiteral("critical|Plotmason|Could not save the JPG.\nThe JPG would be ")),
            qPrintable(last));
        QVERIFY2(last.endsWith(QStringLiteral(
                     " px, but a JPG can be at most 65500 px on a side. Lower the size or the DPI.")),
                 qPrintable(last));
        QVERIFY(!QFile::exists(sandboxPath("poster.jpg")));
        QVERIFY(w.status().isEmpty());
        // The same graph as a PDF is no problem.
        answerFileNames(w.prompts, {sandboxPath("poster.pdf")});
        w.click(GraphSettingsPanel::ExportPdfButton);
        QVERIFY(testsupport::readFile(sandboxPath("poster.pdf")).startsWith("%PDF"));
    }

    void excelExportAsksForThePointCount()
    {
        Window w;
        w.click(GraphSettingsPanel::ExportExcelButton); // cancelled at the number
        QCOMPARE(questions(w.prompts).size(), 1);
        QVERIFY(questions(w.prompts).first().startsWith(
            QStringLiteral("integer|Export Excel|How many points should be generated for each curve?")));
        QCOMPARE(w.prompts.lastOffer().toList().value(0).toInt(), 100);
        QCOMPARE(w.prompts.lastOffer().toList().value(1).toInt(), 2);
        QCOMPARE(w.prompts.lastOffer().toList().value(2).toInt(), 10000);

        w.prompts.answer(QVariant::fromValue(25));
        answerFileNames(w.prompts, {sandboxPath("curves")});
        w.click(GraphSettingsPanel::ExportExcelButton);
        QCOMPARE(questions(w.prompts).last(),
                 QStringLiteral("save|Export graph Excel|Excel workbook (*.xlsx)|xlsx"));
        QVERIFY(testsupport::readFile(sandboxPath("curves.xlsx")).startsWith("PK"));
        QCOMPARE(w.status(), QStringLiteral("Excel workbook exported."));

        // Without points the writer's own text is shown.
        w.model.clearPoints();
        w.prompts.answer(QVariant::fromValue(25));
        answerFileNames(w.prompts, {sandboxPath("empty.xlsx")});
        w.click(GraphSettingsPanel::ExportExcelButton);
        QCOMPARE(questions(w.prompts).last(),
                 QStringLiteral("critical|Plotmason|Nessuna curva con punti da esportare."));
    }

    void speaksTheChosenLanguage()
    {
        Window w;
        i18n::Localization::instance().setLanguage(i18n::Italian);
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Grafico rigenerato"));
        QCOMPARE(w.button(GraphSettingsPanel::ZoomInButton)->text(), QStringLiteral("Ingrandisci"));
        QCOMPARE(w.curves()->horizontalHeaderItem(1)->text(), QStringLiteral("Colore"));
        QVERIFY(w.child<QLabel>("pixelSizeLabel")
                    ->text()
                    .startsWith(QStringLiteral("A 300 DPI: 2362 x 1476 px.")));
        i18n::Localization::instance().setLanguage(i18n::German);
        QCOMPARE(w.button(GraphSettingsPanel::ExportPdfButton)->text(), i18n::tr("Export PDF"));
        QVERIFY(w.button(GraphSettingsPanel::ExportPdfButton)->text() != QStringLiteral("Export PDF"));
        i18n::Localization::instance().setLanguage(i18n::English);
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Regenerated graph"));
    }
};

PLOTMASON_TEST_MAIN(QApplication, TestRegeneratedWindow)
#include "tst_regenerated_window.moc"
