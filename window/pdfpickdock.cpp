#include "window/pdfpickdock.h"

#include "digitizing/graphview.h"
#include "i18n/localization.h"

#include <QComboBox>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QSpinBox>

QDockWidget *addPdfPickDock(QMainWindow *window, GraphView *view)
{
    auto *dock = new QDockWidget(window);
    dock->setObjectName(QStringLiteral("pdfPickDock"));
    dock->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    dock->setFeatures(QDockWidget::DockWidgetMovable);
    auto *panel = new QWidget(dock);
    auto *layout = new QHBoxLayout(panel);
    auto *alongLabel = new QLabel(panel);
    auto *along = new QSpinBox(panel);
    along->setObjectName(QStringLiteral("pdfPointsAlongCurves"));
    along->setRange(0, 50);
    auto *targetLabel = new QLabel(panel);
    auto *target = new QComboBox(panel);
    target->setObjectName(QStringLiteral("pdfImportTarget"));
    target->addItems({QString(), QString()});
    layout->addWidget(alongLabel);
    layout->addWidget(along);
    layout->addSpacing(16);
    layout->addWidget(targetLabel);
    layout->addWidget(target);
    layout->addStretch();
    dock->setWidget(panel);
    window->addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();

    const auto retranslate = [=] {
        dock->setWindowTitle(i18n::tr("Pick from PDF"));
        alongLabel->setText(i18n::tr("Points along each curved segment"));
        targetLabel->setText(i18n::tr("Add to"));
        target->setItemText(0, i18n::tr("Active curve"));
        target->setItemText(1, i18n::tr("New curve"));
    };
    retranslate();
    QObject::connect(&i18n::Localization::instance(), &i18n::Localization::languageChanged, dock,
                     retranslate);
    const auto choose = [=] { view->setPdfImportChoice({along->value(), target->currentIndex() == 1}); };
    QObject::connect(along, &QSpinBox::valueChanged, dock, choose);
    QObject::connect(target, &QComboBox::currentIndexChanged, dock, choose);
    QObject::connect(view, &GraphView::interactionModeChanged, dock,
                     [dock](int mode) { dock->setVisible(mode == GraphView::PickPdfMode); });
    return dock;
}
