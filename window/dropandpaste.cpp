#include "window/dropandpaste.h"

#include "core/model/projectmodel.h"
#include "digitizing/graphview.h"
#include "i18n/localization.h"
#include "window/mainwindow.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

QImage imageOf(const QMimeData *data)
{
    return data && data->hasImage() ? qvariant_cast<QImage>(data->imageData()) : QImage();
}

QString firstLocalFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return {};
}

DropAndPaste::DropAndPaste(MainWindow *window)
    : QObject(window)
    , m_window(window)
    , m_paste(new QAction(this))
    , m_hint(new QLabel)
{
    m_paste->setObjectName(QStringLiteral("pasteAction"));
    m_paste->setShortcut(QKeySequence::Paste);
    m_paste->setIcon(QIcon::fromTheme(QStringLiteral("edit-paste")));
    connect(m_paste, &QAction::triggered, this, &DropAndPaste::paste);

    QWidget *viewport = window->graphView()->viewport();
    m_hint->setObjectName(QStringLiteral("emptyViewHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    // Clicks and drops go through to the view beneath.
    m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_hint->setStyleSheet(QStringLiteral("color: #707070; font-size: 13pt;"));
    auto *layout = new QVBoxLayout(viewport);
    layout->addWidget(m_hint);

    for (QWidget *target : {static_cast<QWidget *>(window), viewport}) {
        target->setAcceptDrops(true);
        target->installEventFilter(this);
    }
    connect(window->model(), &ProjectModel::sourceImageChanged, this, &DropAndPaste::updateHint);
    updateHint();
}

void DropAndPaste::retranslate()
{
    m_paste->setText(i18n::tr("Paste picture"));
    m_hint->setText(i18n::tr("Drop an image or PDF here, paste one with Ctrl+V, or use Import source..."));
}

void DropAndPaste::updateHint()
{
    m_hint->setVisible(m_window->model()->sourceImage().isNull());
}

void DropAndPaste::paste()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!hand(firstLocalFile(data), imageOf(data)))
        m_window->statusBar()->showMessage(i18n::tr("The clipboard holds no picture."));
}

bool DropAndPaste::hand(const QString &file, const QImage &image)
{
    if (!file.isEmpty())
        m_window->openFile(file);
    else if (!image.isNull())
        m_window->pastePicture(image);
    else
        return false;
    return true;
}

bool DropAndPaste::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const QMimeData *data = drag->mimeData();
        if (firstLocalFile(data).isEmpty() && !(data && data->hasImage()))
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString file = firstLocalFile(drop->mimeData());
        const QImage image = file.isEmpty() ? imageOf(drop->mimeData()) : QImage();
        if (file.isEmpty() && image.isNull())
            return false;
        drop->acceptProposedAction();
        // The questions that opening may ask must not hold the drag source's
        // drop in progress, so the work starts once the drop has ended.
        QTimer::singleShot(0, this, [this, file, image] { hand(file, image); });
        return true;
    }
    default: return QObject::eventFilter(watched, event);
    }
}

void MainWindow::pastePicture(const QImage &image)
{
    if (image.isNull())
        return;
    // Closing asks about unsaved work first; kept work means the user cancelled.
    closeProject();
    if (hasUnsavedChanges())
        return;
    m_model->setSourceImage(image, QString());
}
