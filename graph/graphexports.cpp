#include "graph/graphexports.h"

#include "core/io/exportsupport.h"
#include "core/io/workbookwriter.h"
#include "core/model/projectmodel.h"
#include "core/model/sourceloading.h"
#include "graph/curveitem.h"
#include "graph/graphsettings.h"
#include "graph/plotgeometry.h"
#include "graph/plotrenderer.h"
#include "i18n/localization.h"

#include <QBuffer>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <cmath>

namespace {

constexpr int jpgQuality = 95;
// How far a left-out vertex may move a curve: less than any output shows.
constexpr double vectorToleranceMm = 0.01;
constexpr double rasterTolerancePx = 0.1;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

void renderInto(QPainter &painter, QGraphicsScene &scene, const QRectF &source, const QSize &target)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    const QRectF whole(QPointF(0, 0), QSizeF(target));
    // The margin around the scene is white on every format, as it is on the JPG.
    painter.fillRect(whole, Qt::white);
    scene.render(&painter, whole, source, Qt::KeepAspectRatio);
}

// The exported picture in millimetres: the scene is the size the user set,
// which its whole pixels only approach, and a dragged text adds its own extent.
QSizeF sizeMm(const QGraphicsScene &scene, const QRectF &source, const GraphSettings &settings)
{
    const QRectF sceneRect = scene.sceneRect();
    if (sceneRect.isEmpty())
        return QSizeF(source.width() * 25.4 / settings.dpi, source.height() * 25.4 / settings.dpi);
    return QSizeF(source.width() / sceneRect.width() * settings.widthCm * 10.0,
                  source.height() / sceneRect.height() * settings.heightCm * 10.0);
}

// The generator derives width and height from its resolution, which must be
// the text layout's; the file is to declare the size of the graph instead.
QByteArray withPhysicalSvgSize(QByteArray svg, const QSizeF &millimetres)
{
    const QByteArray widths[] = {QByteArray::number(millimetres.width() / 10.0, 'f', 4) + "cm",
                                 QByteArray::number(millimetres.height() / 10.0, 'f', 4) + "cm"};
    const qsizetype root = svg.indexOf("<svg");
    const qsizetype width = svg.indexOf(" width=\"", root);
    const qsizetype widthEnd = svg.indexOf('"', width + 8);
    if (root < 0 || width < 0 || widthEnd < 0)
        return svg;
    svg.replace(width + 8, widthEnd - width - 8, widths[0]);
    const qsizetype height = svg.indexOf(" height=\"", root);
    const qsizetype heightEnd = svg.indexOf('"', height + 9);
    if (height >= 0 && heightEnd >= 0)
        svg.replace(height + 9, heightEnd - height - 9, widths[1]);
    return svg;
}

} // namespace

QRectF graphExportSourceRect(const QGraphicsScene &scene)
{
    const QRectF sceneRect = scene.sceneRect();
    QRectF items;
    const QList<QGraphicsItem *> all = scene.items();
    for (const QGraphicsItem *item : all) {
        QRectF bounds = item->sceneBoundingRect();
        // The blueprint is transparent outside the plot; its picture rectangle
        // may still reach beyond when the axes are tilted.
        if (qgraphicsitem_cast<const QGraphicsPixmapItem *>(item))
            bounds &= sceneRect;
        items |= bounds;
    }
    QRectF source = sceneRect;
    if (items.width() > 0 && items.height() > 0)
        source |= items;
    return source;
}

QSize graphExportTargetSize(const QRectF &source)
{
    return QSize(std::max(1, int(std::ceil(source.width()))), std::max(1, int(std::ceil(source.height()))));
}

int dotsPerMetre(int dpi)
{
    return int(dpi / 25.4 * 1000.0);
}

double largestJpgSideCm(int dpi)
{
    return maximumJpgSide * 2.54 / dpi;
}

bool jpgSizeAllowed(const QSize &pixels, QString *error)
{
    if (pixels.width() > maximumJpgSide || pixels.height() > maximumJpgSide) {
        setError(error, i18n::tr("The JPG would be %1 x %2 px, but a JPG can be at most %3 px on a side. "
                                 "Lower the size or the DPI.")
                            .arg(pixels.width())
                            .arg(pixels.height())
                            .arg(maximumJpgSide));
        return false;
    }
    const qint64 megabytes = (qint64(pixels.width()) * pixels.height() * 4 + (1 << 20) - 1) >> 20;
    if (megabytes > maximumPictureMegabytes) {
        setError(error, i18n::tr("The JPG would need %1 MB of memory, more than the %2 MB allowed. "
                                 "Lower the size or the DPI.")
                            .arg(megabytes)
                            .arg(maximumPictureMegabytes));
        return false;
    }
    return true;
}

QImage renderGraphImage(QGraphicsScene &scene, int dpi)
{
    const QRectF source = graphExportSourceRect(scene);
    const QSize target = graphExportTargetSize(source);
    QImage image(target, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setDotsPerMeterX(dotsPerMetre(dpi));
    image.setDotsPerMeterY(dotsPerMetre(dpi));
    QPainter painter(&image);
    setCurveTolerance(scene, rasterTolerancePx * source.width() / std::max(1, target.width()));
    renderInto(painter, scene, source, image.size());
    setCurveTolerance(scene, 0.0);
    painter.end();
    return image;
}

bool writeGraphPdf(QGraphicsScene &scene, const GraphSettings &settings, const QString &path, QString *error)
{
    const QRectF source = graphExportSourceRect(scene);
    const QSize target = graphExportTargetSize(source);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(settings.dpi);
        writer.setTitle(graphDocumentTitle(settings));
        writer.setPageSize(QPageSize(sizeMm(scene, source, settings), QPageSize::Millimeter, QString(),
                                     QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer)) {
            setError(error, QStringLiteral("Impossibile creare il documento PDF."));
            return false;
        }
        painter.setWindow(0, 0, target.width(), target.height());
        setCurveTolerance(scene, vectorToleranceMm * sceneUnitsPerMm(settings.dpi));
        renderInto(painter, scene, source, target);
        setCurveTolerance(scene, 0.0);
        if (!painter.end()) {
            setError(error, QStringLiteral("Impossibile creare il documento PDF."));
            return false;
        }
    }
    return saveFileContents(path, buffer.data(), error);
}

bool writeGraphJpg(QGraphicsScene &scene, int dpi, const QString &path, QString *error)
{
    if (!jpgSizeAllowed(graphExportTargetSize(graphExportSourceRect(scene)), error))
        return false;
    const QImage image = renderGraphImage(scene, dpi);
    if (image.isNull()) {
        setError(error, QStringLiteral("Memoria insufficiente per l'immagine JPG."));
        return false;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", jpgQuality)) {
        setError(error, QStringLiteral("Impossibile codificare l'immagine JPG."));
        return false;
    }
    return saveFileContents(path, buffer.data(), error);
}

bool writeGraphSvg(QGraphicsScene &scene, const GraphSettings &settings, const QString &path, QString *error)
{
    const QRectF source = graphExportSourceRect(scene);
    const QSize target = graphExportTargetSize(source);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(target);
    generator.setViewBox(QRect(QPoint(0, 0), target));
    generator.setTitle(graphDocumentTitle(settings));
    generator.setResolution(textLayoutDpi());
    QPainter painter;
    if (!painter.begin(&generator)) {
        setError(error, QStringLiteral("Impossibile creare il documento SVG."));
        return false;
    }
    setCurveTolerance(scene, vectorToleranceMm * sceneUnitsPerMm(settings.dpi));
    renderInto(painter, scene, source, target);
    setCurveTolerance(scene, 0.0);
    if (!painter.end()) {
        setError(error, QStringLiteral("Impossibile creare il documento SVG."));
        return false;
    }
    return saveFileContents(path, withPhysicalSvgSize(buffer.data(), sizeMm(scene, source, settings)), error);
}

QString graphDocumentTitle(const GraphSettings &settings)
{
    // A file property, not interface text: the same whatever the interface language.
    const QString title = settings.title.trimmed();
    return title.isEmpty() ? QStringLiteral("Regenerated graph") : title;
}

bool writeGraphFile(QGraphicsScene &scene, const GraphSettings &settings, GraphFileFormat format,
                    const QString &path, QString *error)
{
    switch (format) {
    case GraphFileFormat::Pdf: return writeGraphPdf(scene, settings, path, error);
    case GraphFileFormat::Jpg: return writeGraphJpg(scene, settings.dpi, path, error);
    case GraphFileFormat::Svg: return writeGraphSvg(scene, settings, path, error);
    }
    return false;
}

bool exportGraphFile(const ProjectModel &model, const GraphSettings &settings, GraphFileFormat format,
                     const QString &path, QString *error)
{
    QGraphicsScene scene;
    GraphSettings drawn = settings;
    drawGraph(scene, model, drawn);
    return writeGraphFile(scene, drawn, format, path, error);
}

WorkbookScales graphWorkbookScales(const GraphSettings &s)
{
    WorkbookScales scales{s.xLog, s.yLog, s.curveSmoothing, s.xLabel, s.yLabel,
                          s.xMin, s.xMax, s.yMin,           s.yMax,   true};
    if (s.xDate)
        scales.xDates = dateFormatForAxis(s.xMin, s.xMax);
    if (s.yDate)
        scales.yDates = dateFormatForAxis(s.yMin, s.yMax);
    return scales;
}

bool exportGraphWorkbook(const ProjectModel &model, const GraphSettings &settings, int pointsPerCurve,
                         const QString &path, QString *error)
{
    return writeCurvesWorkbook(path, model.curves(), pointsPerCurve, error, graphWorkbookScales(settings));
}

QString graphExportFailureText(GraphFileFormat format)
{
    switch (format) {
    case GraphFileFormat::Pdf: return i18n::tr("Could not save the PDF.");
    case GraphFileFormat::Jpg: return i18n::tr("Could not save the JPG.");
    case GraphFileFormat::Svg: return i18n::tr("Could not save the SVG.");
    }
    return QString();
}
