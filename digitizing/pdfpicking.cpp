#include "digitizing/pdfpicking.h"

#include "core/model/projectmodel.h"
#include "digitizing/digitizingscene.h"
#include "i18n/localization.h"

#include <QPainter>

namespace {

const QColor highlightColor(QStringLiteral("#ff6d00"));

QPainterPath outlineOf(const PageDrawing &drawing, const QList<int> &paths)
{
    QPainterPath outline;
    for (int index : paths) {
        for (const PathNode &node : drawing.paths.value(index).nodes) {
            if (node.step == PathStep::MoveTo)
                outline.moveTo(node.point);
            else if (node.step == PathStep::LineTo)
                outline.lineTo(node.point);
            else
                outline.cubicTo(node.control1, node.control2, node.point);
        }
    }
    return outline;
}

} // namespace

const PageDrawing *PdfPicking::drawing(const ProjectModel &model)
{
    if (model.pdfPageCount() < 1)
        return nullptr;
    if (!m_read || m_path != model.sourcePath() || m_page != model.pdfPage() || m_dpi != model.renderDpi()) {
        clear();
        m_read = true;
        m_path = model.sourcePath();
        m_page = model.pdfPage();
        m_dpi = model.renderDpi();
        m_drawing = PageDrawing();
        m_error.clear();
        m_readable = readPageDrawing(m_path, m_page, m_dpi, &m_drawing, &m_error);
    }
    return m_readable && !m_drawing.paths.isEmpty() ? &m_drawing : nullptr;
}

void PdfPicking::forget()
{
    m_read = false;
    m_drawing = PageDrawing();
    clear();
}

QString PdfPicking::unavailableMessage(const ProjectModel &model)
{
    if (model.pdfPageCount() < 1)
        return i18n::tr("Pick from PDF reads the drawing of a PDF page; this picture is not a PDF.");
    if (!m_readable)
        return m_error;
    return i18n::tr("This PDF page holds no vector drawing.");
}

QString PdfPicking::modeMessage(const ProjectModel &model)
{
    if (!drawing(model))
        return unavailableMessage(model);
    return i18n::tr(
        "Point at a line drawn in the PDF and click to add its exact points to the active curve.");
}

bool PdfPicking::hover(const ProjectModel &model, const QPointF &pixel, double radius)
{
    const PageDrawing *page = drawing(model);
    const int index = page ? pathAt(*page, pixel, radius) : -1;
    if (index == m_hoveredPath)
        return false;
    if (index < 0)
        return clearHover();
    m_hoveredPath = index;
    m_hovered = pickCurve(*page, pixel, radius, m_choice.pointsPerCurve);
    m_outline = outlineOf(*page, m_hovered.paths);
    return true;
}

bool PdfPicking::clearHover()
{
    if (m_hoveredPath < 0)
        return false;
    m_hoveredPath = -1;
    m_hovered = PickedCurve();
    m_outline = QPainterPath();
    return true;
}

QString PdfPicking::importAt(ProjectModel &model, const QPointF &pixel, double radius)
{
    const PageDrawing *page = drawing(model);
    if (!page)
        return unavailableMessage(model);
    const PickedCurve picked = pickCurve(*page, pixel, radius, m_choice.pointsPerCurve);
    if (picked.kind == PickedCurve::Kind::Nothing)
        return i18n::tr("No drawn line passes here: point at a line until it lights up.");
    if (!model.appendPoints(m_choice.newCurve ? model.freshCurveName() : QString(), picked.points))
        return QString();
    return i18n::tr("%1 points of the PDF drawing added to %2.")
        .arg(picked.points.size())
        .arg(model.activeCurveName());
}

void PdfPicking::setImportChoice(const PdfImportChoice &choice)
{
    m_choice = choice;
    clearHover(); // the next move shows the points of the new choice
}

QPointF PdfPicking::snap(const ProjectModel &model, const QPointF &pixel, double radius, bool enabled)
{
    const PageDrawing *page = enabled ? drawing(model) : nullptr;
    m_snapMark = page ? snapPoint(*page, pixel, radius) : std::nullopt;
    return m_snapMark.value_or(pixel);
}

bool PdfPicking::clear()
{
    const bool shown = m_snapMark.has_value();
    m_snapMark.reset();
    return clearHover() || shown;
}

void PdfPicking::paint(QPainter *painter, double scale) const
{
    if (m_outline.isEmpty() && !m_snapMark)
        return;
    const double unit = 1.0 / qMax(scale, 1e-9);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    // A dark halo round a white core: no drawn curve looks like that, whatever its colour.
    painter->setBrush(Qt::NoBrush);
    painter->setPen(cosmeticPen(QColor(0, 0, 0, 170), 7));
    painter->drawPath(m_outline);
    painter->setPen(cosmeticPen(Qt::white, 3));
    painter->drawPath(m_outline);
    painter->setPen(cosmeticPen(Qt::black, 1.5));
    painter->setBrush(Qt::white);
    for (const QPointF &point : m_hovered.points)
        painter->drawEllipse(point, 3.5 * unit, 3.5 * unit);
    if (m_snapMark) {
        // A cross through a ring: the exact place shows even on a tick mark.
        const QPointF at = *m_snapMark;
        const double ring = 6 * unit;
        painter->setPen(cosmeticPen(highlightColor, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(at, ring, ring);
        painter->drawLine(at - QPointF(2 * ring, 0), at + QPointF(2 * ring, 0));
        painter->drawLine(at - QPointF(0, 2 * ring), at + QPointF(0, 2 * ring));
    }
    painter->restore();
}
