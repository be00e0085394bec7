#include "core/model/projectmodel.h"

#include "core/io/csvwriter.h"
#include "core/io/svgcurvewriter.h"
#include "core/model/projectfile.h"
#include "core/model/sourceloading.h"
#include "core/model/undocommands.h"
#include "i18n/localization.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

// The project's dealings with files: the picture or PDF page it is drawn on,
// the exports of its curves and the project file.

void ProjectModel::setSourcePath(const QString &path)
{
    if (path == m_sourcePath)
        return;
    m_sourcePath = path;
    Q_EMIT sourcePathChanged();
}

void ProjectModel::setPdfPage(int page)
{
    const int target = m_pdfPageCount > 0 ? qBound(0, page, m_pdfPageCount - 1) : 0;
    if (target == m_pdfPage)
        return;
    // The page number must keep describing the picture shown, so a failed
    // render goes back to the page that is still on screen.
    const RecordedChange change(this, i18n::tr("Change page"),
                                {&ProjectModel::sourceImageChanged, &ProjectModel::pdfInfoChanged});
    const int previous = m_pdfPage;
    m_pdfPage = target;
    if (reloadPdfPage())
        Q_EMIT pdfInfoChanged();
    else
        m_pdfPage = previous;
}

void ProjectModel::setRenderDpi(int dpi)
{
    const int bounded = qBound(minimumRenderDpi, dpi, maximumRenderDpi);
    if (bounded == m_renderDpi)
        return;
    const int previous = m_renderDpi;
    // At another resolution the marks and points move with the page.
    const RecordedChange change(this, i18n::tr("Change resolution"),
                                {&ProjectModel::sourceImageChanged, &ProjectModel::calibrationChanged,
                                 &ProjectModel::pointsChanged, &ProjectModel::pdfInfoChanged});
    m_renderDpi = bounded;
    if (m_pdfPageCount > 0) {
        if (!reloadPdfPage()) {
            m_renderDpi = previous; // the picture shown is still the old one
            return;
        }
        if (hasDigitizedWork())
            scalePixelPositions(double(bounded) / previous);
    }
    Q_EMIT pdfInfoChanged();
}

void ProjectModel::scalePixelPositions(double factor)
{
    // The page is drawn larger or smaller, so every mark moves with it; the real
    // values stay exactly as they were rather than being read again.
    const auto scaled = [factor](const QLineF &line) {
        return QLineF(line.p1() * factor, line.p2() * factor);
    };
    m_calibration.axisXLine = scaled(m_calibration.axisXLine);
    m_calibration.axisYLine = scaled(m_calibration.axisYLine);
    for (Curve &curve : m_curves) {
        for (CurvePoint &point : curve.points)
            point.pixel *= factor;
    }
    Q_EMIT calibrationChanged();
    Q_EMIT pointsChanged();
}

void ProjectModel::setSourceImage(const QImage &image, const QString &path)
{
    if (image.isNull())
        return;
    const RecordedChange change(
        this, i18n::tr("Replace picture"),
        {&ProjectModel::sourcePathChanged, &ProjectModel::pdfInfoChanged, &ProjectModel::sourceImageChanged});
    m_lastError.clear();
    m_sourceProblem.clear();
    m_sourceImage = image;
    // The page number stays: a stored PDF page must survive while its file is missing.
    m_pdfPageCount = 0;
    if (!path.trimmed().isEmpty())
        setSourcePath(path);
    Q_EMIT pdfInfoChanged();
    Q_EMIT sourceImageChanged();
}

bool ProjectModel::loadSource(const QString &path)
{
    m_lastError.clear();
    LoadedSource source;
    QString error;
    if (!readSource(path, m_pdfPage, m_renderDpi, &source, &error)) {
        setError(error);
        return false;
    }
    const RecordedChange change(
        this, i18n::tr("Replace picture"),
        {&ProjectModel::sourcePathChanged, &ProjectModel::pdfInfoChanged, &ProjectModel::sourceImageChanged});
    installSource(source);
    return true;
}

bool ProjectModel::startProjectFromSource(const QString &path)
{
    LoadedSource source;
    QString error;
    if (!readSource(path, 0, defaultRenderDpi, &source, &error)) {
        setError(error);
        return false;
    }
    resetProject();
    // The new project's picture is its first step, so that the project counts as changed.
    const RecordedChange change(
        this, i18n::tr("Replace picture"),
        {&ProjectModel::sourcePathChanged, &ProjectModel::pdfInfoChanged, &ProjectModel::sourceImageChanged});
    installSource(source);
    return true;
}

bool ProjectModel::hasDigitizedWork() const
{
    return m_calibration.axisXValid || m_calibration.axisYValid ||
           std::any_of(m_curves.cbegin(), m_curves.cend(),
                       [](const Curve &curve) { return !curve.points.isEmpty(); });
}

void ProjectModel::installSource(const LoadedSource &source)
{
    m_sourceProblem.clear();
    m_sourceImage = source.image;
    m_pdfPageCount = source.pageCount;
    m_pdfPage = source.page;
    setSourcePath(source.absolutePath);
    if (source.pageCount > 0) {
        Q_EMIT sourceImageChanged();
        Q_EMIT pdfInfoChanged();
    } else {
        Q_EMIT pdfInfoChanged();
        Q_EMIT sourceImageChanged();
    }
}

bool ProjectModel::reloadPdfPage()
{
    if (m_pdfPageCount < 1)
        return false;
    QString error;
    const QImage image = renderPdfPage(m_sourcePath, m_pdfPage, m_renderDpi, &error);
    if (image.isNull()) {
        setError(error);
        return false;
    }
    m_sourceImage = image;
    Q_EMIT sourceImageChanged();
    return true;
}

bool ProjectModel::exportCsv(const QString &path) const
{
    QString error;
    return reportIfFailed(writeCurvesCsv(path, m_curves, &error, m_calibration), error);
}

bool ProjectModel::exportSvg(const QString &path) const
{
    QString error;
    // The writer leaves hidden curves out, as the drawing should show what is visible.
    return reportIfFailed(writeCurvesSvg(path, m_curves, m_sourceImage.size(), &error), error);
}

bool ProjectModel::saveProject(const QString &path) const
{
    QString error;
    return reportIfFailed(saveProjectFile(path, *this, &error), error);
}

bool ProjectModel::openProject(const QString &path)
{
    QString error;
    return reportIfFailed(openProjectFile(path, *this, &error), error);
}

bool ProjectModel::reportIfFailed(bool succeeded, const QString &error) const
{
    if (!succeeded)
        setError(error);
    return succeeded;
}
