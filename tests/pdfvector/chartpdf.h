#pragma once

#include <QList>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <QString>

#include <functional>

// PDFs the tests draw themselves: pages of a known size in points, painted
// with QPainter in points (x right, y down from the top left corner).
namespace chartpdf {

using Painting = std::function<void(QPainter &)>;

// One page of `points` (whole points), written by QPdfWriter into the sandbox.
QString writePdf(const QString &name, const QSize &points, const Painting &paint);

// Changes of the page dictionary that QPdfWriter cannot write itself.
struct PageEdit
{
    int rotate = 0;          // /Rotate, degrees
    QRectF cropBox;          // in page coordinates (y up); none when empty
    bool wrapInForm = false; // the content moves into a form XObject drawn by the page
    QTransform formMatrix;   // the form's /Matrix when wrapped
};

// Writes `source` with its first page edited to `target` in the sandbox; returns its path.
QString editFirstPage(const QString &source, const QString &target, const PageEdit &edit);

// The same file protected by a user password.
QString encrypt(const QString &source, const QString &target, const QString &password);

// One page whose content stream is exactly `content`, with a form XObject /F0
// drawing `formContent` in its resources.
QString contentPdf(const QString &name, const QByteArray &content, const QByteArray &formContent = {});

// A chart of known data on a page of chartPageSize: axes for x 0..10 and y 0..100
// with ticks crossing them every 2 and 20, a curve of curveData() drawn in
// three separately stroked pieces with another curve's pieces in between, a
// lone line of the curve's style at y = 5 from x = 6 to 9, circle markers at
// markerData() and triangle markers one unit to their right.
const QSize chartPageSize(600, 400);
QPointF chartPoint(double x, double y); // painter points of a chart value
QList<QPointF> curveData();
QList<QPointF> markerData();
void paintChart(QPainter &painter);

} // namespace chartpdf
