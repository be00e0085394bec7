#include "core/io/csvwriter.h"

#include "core/io/exportsupport.h"

#include <utility>

namespace {

QByteArray quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + doubled.toUtf8() + '"';
}

} // namespace

bool writeCurvesCsv(const QString &path, const QList<Curve> &curves, QString *error,
                    const Calibration &calibration)
{
    // Built in memory and written in one piece, so a failure never leaves half a file.
    QByteArray data =
        QByteArrayLiteral("curve_name,curve_parameter,curve_parameter_value,x,y,x_pixel,y_pixel\n");
    qsizetype rows = 0;
    for (const Curve &curve : curves)
        rows += curve.points.size();
    data.reserve(data.size() + rows * 96);
    const std::optional<DateFormat> xDates = calibration.dateFormat(true);
    const std::optional<DateFormat> yDates = calibration.dateFormat(false);
    const std::optional<DateFormat> noDates;
    for (const Curve &curve : curves) {
        // A point belongs to the curve that holds it: the row names that curve.
        const QByteArray prefix =
            quoted(curve.name) + ',' + quoted(curve.parameterName) + ',' + quoted(curve.parameterValue);
        for (const CurvePoint &point : curve.points) {
            data += prefix;
            for (const auto &[value, format] :
                 {std::pair(point.real.x(), xDates), std::pair(point.real.y(), yDates),
                  std::pair(point.pixel.x(), noDates), std::pair(point.pixel.y(), noDates)}) {
                data += ',';
                if (format)
                    data += formatDate(value, *format).toLatin1();
                else
                    appendNumberText15(data, value);
            }
            data += '\n';
        }
    }
    return saveFileContents(path, data, error);
}
