#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

class ProjectModel;
struct WorkbookScales;
class QGraphicsScene;
struct GraphSettings;

// The picture exports of the regenerated graph. Each renders the scene as it
// stands, writes through a save file and fills *error with the reason when it
// fails, leaving an earlier file at the path as it was.
enum class GraphFileFormat { Pdf, Jpg, Svg };

// The scene rectangle, grown to every item that lies outside it (text dragged
// beyond the border stays in the picture): otherwise exactly the size set.
QRectF graphExportSourceRect(const QGraphicsScene &scene);
// Whole pixels covering the source rectangle, at least 1 x 1.
QSize graphExportTargetSize(const QRectF &source);

// trunc(dpi / 25.4 * 1000): 11811 at 300 DPI.
int dotsPerMetre(int dpi);

// What the JPG encoder and a sane share of memory allow.
constexpr int maximumJpgSide = 65500; // pixels; the memory cap is maximumPictureMegabytes

// The longest side of a JPG at that DPI, in centimetres.
double largestJpgSideCm(int dpi);

// Whether a JPG of that many pixels can be made; if not, error says why in
// the interface language, before anything is allocated.
bool jpgSizeAllowed(const QSize &pixels, QString *error = nullptr);

// The JPG's picture before it is encoded: white, at the export DPI.
QImage renderGraphImage(QGraphicsScene &scene, int dpi);

// PDF and SVG take the page size from the settings' centimetres and the
// document title from graphDocumentTitle. Curves leave out the vertices that
// move them by less than 0.01 mm (PDF, SVG) or 0.1 px (JPG).
bool writeGraphPdf(QGraphicsScene &scene, const GraphSettings &settings, const QString &path,
                   QString *error = nullptr);
bool writeGraphJpg(QGraphicsScene &scene, int dpi, const QString &path, QString *error = nullptr);
bool writeGraphSvg(QGraphicsScene &scene, const GraphSettings &settings, const QString &path,
                   QString *error = nullptr);

// The PDF and SVG document title: the graph title, or "Regenerated graph" without one.
QString graphDocumentTitle(const GraphSettings &settings);

// The scene of a graph drawn with these settings, in the given format.
bool writeGraphFile(QGraphicsScene &scene, const GraphSettings &settings, GraphFileFormat format,
                    const QString &path, QString *error = nullptr);

// Without a window: draws the model's graph with the settings on a scene of
// its own and writes it, exactly as the window's export commands do. The
// model is not changed.
bool exportGraphFile(const ProjectModel &model, const GraphSettings &settings, GraphFileFormat format,
                     const QString &path, QString *error = nullptr);

// How the workbook charts the graph: its scales, smoothing, axis titles and limits.
WorkbookScales graphWorkbookScales(const GraphSettings &settings);

// The curves of the model as an Excel workbook of `pointsPerCurve` points per
// curve, resampled and charted as the graph draws them: in its axes' scales
// and with its smoothing.
bool exportGraphWorkbook(const ProjectModel &model, const GraphSettings &settings, int pointsPerCurve,
                         const QString &path, QString *error = nullptr);

// What the user is told when the export in that format fails.
QString graphExportFailureText(GraphFileFormat format);
