#include "tests/support/testsupport.h"

#include <QDir>
#include <QPainter>

#include <cmath>

namespace testsupport {

namespace {
std::unique_ptr<Sandbox> &sandboxSlot()
{
    static std::unique_ptr<Sandbox> slot;
    return slot;
}
} // namespace

Sandbox::Sandbox()
{
    if (!m_dir.isValid())
        qFatal("cannot create the test sandbox");
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qputenv(name, QDir(m_dir.path()).filePath(QString::fromLatin1(name)).toLocal8Bit());
    qputenv("HOME", m_dir.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir::setCurrent(m_dir.path());
}

Sandbox &sandbox()
{
    return *sandboxSlot();
}

void installSandbox(std::unique_ptr<Sandbox> sandbox)
{
    sandboxSlot() = std::move(sandbox);
}

void calibrate(ProjectModel &model)
{
    model.setAxisX(QLineF(100, 500, 500, 500), 0.0, 10.0);
    model.setAxisY(QLineF(100, 500, 100, 100), 0.0, 20.0);
}

QImage chartImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(image.rect().adjusted(20, 20, -20, -20));
    return image;
}

bool fuzzyEqual(double a, double b, double tolerance)
{
    return std::abs(a - b) <= tolerance * std::max(1.0, std::max(std::abs(a), std::abs(b)));
}

} // namespace testsupport

namespace testsupport {

SignalLog::SignalLog(ProjectModel &model)
{
    const auto record = [this](const char *name) {
        return [this, name] { m_names.append(QString::fromLatin1(name)); };
    };
    QObject::connect(&model, &ProjectModel::sourcePathChanged, record("sourcePathChanged"));
    QObject::connect(&model, &ProjectModel::visibleLayersChanged, record("visibleLayersChanged"));
    QObject::connect(&model, &ProjectModel::pdfInfoChanged, record("pdfInfoChanged"));
    QObject::connect(&model, &ProjectModel::calibrationChanged, record("calibrationChanged"));
    QObject::connect(&model, &ProjectModel::pointsChanged, record("pointsChanged"));
    QObject::connect(&model, &ProjectModel::activeCurveChanged, record("activeCurveChanged"));
    QObject::connect(&model, &ProjectModel::selectedPointChanged, record("selectedPointChanged"));
    QObject::connect(&model, &ProjectModel::curvesChanged, record("curvesChanged"));
    QObject::connect(&model, &ProjectModel::sourceImageChanged, record("sourceImageChanged"));
    QObject::connect(&model, &ProjectModel::errorOccurred, record("errorOccurred"));
}

} // namespace testsupport
