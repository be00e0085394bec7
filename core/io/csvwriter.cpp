#include "core/io/csvwriter.h"

#include "core/io/exportsupport.h"

namespace {

QByteArray quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + doubled.toUtf8() + '"';
}

} // namespace

bool writeCurvesCsv(const QString &path, const QList<Curve> &curves, QString *error)
{
    // Built in memory and written in one piece, so a failure never leaves half a file.
    QByteArray data =
        QByteArrayLiteral("curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n");
    for (const Curve &curve : curves) {
        const QByteArray parameters = quoted(curve.parameterName) + ',' + quoted(curve.parameterValue);
        for (const CurvePoint &point : curve.points) {
            data += quoted(point.curveName) + ',' + parameters;
            for (double value : {point.real.x(), point.real.y(), point.pixel.x(), point.pixel.y()})
                data += ',' + numberText15(value);
            data += '\n';
        }
    }
    return saveFileContents(path, data, error);
}
