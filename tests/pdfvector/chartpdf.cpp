#include "tests/pdfvector/chartpdf.h"

#include "tests/support/testsupport.h"

#include <QPageSize>
#include <QPainterPath>
#include <QPdfWriter>

#include <qpdf/Pl_Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cmath>

namespace chartpdf {

namespace {

std::string local(const QString &path)
{
    return path.toUtf8().toStdString();
}

} // namespace

QString writePdf(const QString &name, const QSize &points, const Painting &paint)
{
    const QString path = testsupport::sandbox().filePath(name);
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(points, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter painter(&writer);
    paint(painter);
    painter.end();
    return path;
}

QString editFirstPage(const QString &source, const QString &target, const PageEdit &edit)
{
    QPDF pdf;
    pdf.processFile(local(source).c_str());
    QPDFPageObjectHelper page = QPDFPageDocumentHelper(pdf).getAllPages().front();
    QPDFObjectHandle dictionary = page.getObjectHandle();
    if (edit.wrapInForm) {
        // The form's content is read from the page on writing, so it gets a copy
        // before the page's content is replaced.
        Pl_Buffer content("content");
        page.pipeContents(&content);
        QPDFObjectHandle form = page.getFormXObjectForPage(false);
        form.replaceStreamData(content.getBufferSharedPointer(), QPDFObjectHandle::newNull(),
                               QPDFObjectHandle::newNull());
        const QTransform &m = edit.formMatrix;
        form.getDict().replaceKey("/Matrix", QPDFObjectHandle::newArray(QPDFObjectHandle::Matrix(
                                                 m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy())));
        QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
        QPDFObjectHandle objects = QPDFObjectHandle::newDictionary();
        objects.replaceKey("/Fx", form);
        resources.replaceKey("/XObject", objects);
        dictionary.replaceKey("/Resources", resources);
        dictionary.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, "q /Fx Do Q\n"));
    }
    if (edit.rotate != 0)
        dictionary.replaceKey("/Rotate", QPDFObjectHandle::newInteger(edit.rotate));
    if (!edit.cropBox.isEmpty()) {
        const QRectF &box = edit.cropBox;
        dictionary.replaceKey("/CropBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(
                                              box.left(), box.top(), box.right(), box.bottom())));
    }
    const QString path = testsupport::sandbox().filePath(target);
    // The writer keeps the name's pointer until write(), so the string must outlive it.
    const std::string fileName = local(path);
    QPDFWriter writer(pdf, fileName.c_str());
    writer.write();
    return path;
}

QString encrypt(const QString &source, const QString &target, const QString &password)
{
    QPDF pdf;
    pdf.processFile(local(source).c_str());
    const QString path = testsupport::sandbox().filePath(target);
    const std::string fileName = local(path);
    QPDFWriter writer(pdf, fileName.c_str());
    const std::string secret = local(password);
    writer.setR6EncryptionParameters(secret.c_str(), secret.c_str(), true, true, true, true, true, true,
                                     qpdf_r3p_full, true);
    writer.write();
    return path;
}

QString contentPdf(const QString &name, const QByteArray &content, const QByteArray &formContent)
{
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle form = QPDFObjectHandle::newStream(&pdf, formContent.toStdString());
    form.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    form.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
    form.getDict().replaceKey("/BBox",
                              QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, 600, 400)));
    QPDFObjectHandle page = QPDFObjectHandle::parse("<< /Type /Page /MediaBox [0 0 600 400] "
                                                    "/Resources << /XObject << >> >> >>");
    page.getKey("/Resources").getKey("/XObject").replaceKey("/F0", form);
    page.replaceKey("/Contents", QPDFObjectHandle::newStream(&pdf, content.toStdString()));
    QPDFPageDocumentHelper(pdf).addPage(QPDFPageObjectHelper(pdf.makeIndirectObject(page)), false);
    const QString path = testsupport::sandbox().filePath(name);
    const std::string fileName = local(path);
    QPDFWriter writer(pdf, fileName.c_str());
    writer.write();
    return path;
}

// The chart's axes in painter points: x 0..10 over 80..560, y 0..100 over 340..40.
QPointF chartPoint(double x, double y)
{
    return QPointF(80 + 48 * x, 340 - 3 * y);
}

// Data with no round numbers, so that nothing exact happens by chance.
QList<QPointF> curveData()
{
    QList<QPointF> data;
    for (int i = 0; i < 37; ++i) {
        const double x = 0.2713 * i;
        data.append({x, 50 + 40 * std::sin(x * 0.7) + 0.001 * i});
    }
    return data;
}

QList<QPointF> markerData()
{
    return {{1.117, 12.5}, {2.351, 27.25}, {3.777, 44.125}, {5.003, 61.875}, {7.919, 83.0625}};
}

static QPolygonF chartPolygon(const QList<QPointF> &data)
{
    QPolygonF polygon;
    for (const QPointF &point : data)
        polygon.append(chartPoint(point.x(), point.y()));
    return polygon;
}

// Axes with ticks crossing them, the data curve drawn in three separately
// stroked pieces with another curve's pieces in between, and markers.
void paintChart(QPainter &painter)
{
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(chartPoint(0, 0), chartPoint(10, 0));
    painter.drawLine(chartPoint(0, 0), chartPoint(0, 100));
    for (int i = 1; i <= 5; ++i) {
        const QPointF x = chartPoint(2 * i, 0), y = chartPoint(0, 20 * i);
        painter.drawLine(x + QPointF(0, -4), x + QPointF(0, 4));
        painter.drawLine(y + QPointF(-4, 0), y + QPointF(4, 0));
    }
    const QPolygonF curve = chartPolygon(curveData());
    const QPolygonF other = chartPolygon({{0, 90}, {3, 80}, {6, 85}, {10, 70}});
    const QPen curvePen(QColor(20, 60, 200), 1.25);
    const QPen otherPen(QColor(200, 40, 20), 1.25);
    for (int piece = 0; piece < 3; ++piece) {
        painter.setPen(curvePen);
        painter.drawPolyline(curve.mid(piece * 12, 13));
        painter.setPen(otherPen);
        painter.drawPolyline(other.mid(piece, 2));
    }
    // The same colour and width as the curve, but apart from it.
    painter.setPen(curvePen);
    painter.drawLine(chartPoint(6, 5), chartPoint(9, 5));

    painter.setPen(QPen(Qt::darkGreen, 0.5));
    painter.setBrush(Qt::green);
    for (const QPointF &point : markerData())
        painter.drawEllipse(chartPoint(point.x(), point.y()), 3.0, 3.0);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::magenta, 0.75));
    for (const QPointF &point : markerData()) {
        const QPointF c = chartPoint(point.x() + 1, point.y());
        painter.drawPolygon(QPolygonF({c + QPointF(0, -4), c + QPointF(-4, 4), c + QPointF(4, 4)}));
    }
}

} // namespace chartpdf
