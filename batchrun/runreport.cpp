#include "batchrun/runreport.h"

#include <QLocale>

#include <cmath>

namespace batchrun {

namespace {

QByteArray quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return '"' + doubled.toUtf8() + '"';
}

QByteArray number(const std::optional<double> &value)
{
    return value ? QLocale::c().toString(*value, 'g', 6).toUtf8() : QByteArray();
}

QString clock(double seconds)
{
    const long total = std::lround(seconds);
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(total / 60 % 60).arg(total % 60, 2, 10, QLatin1Char('0'));
    if (total < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2")
        .arg(total / 3600)
        .arg(minutesAndSeconds.rightJustified(5, QLatin1Char('0')));
}

} // namespace

QByteArray reportCsv(const QList<Picture> &pictures, const std::vector<PictureOutcome> &outcomes)
{
    QByteArray data =
        QByteArrayLiteral("file,page,status,message,points,calibration_rms_x,calibration_rms_y\n");
    for (qsizetype i = 0; i < pictures.size() && std::size_t(i) < outcomes.size(); ++i) {
        const PictureOutcome &outcome = outcomes[std::size_t(i)];
        QStringList counts;
        for (const auto &[curve, points] : outcome.pointsPerCurve)
            counts.append(QStringLiteral("%1: %2").arg(curve).arg(points));
        data += quoted(pictures[i].file) + ',' +
                (pictures[i].page > 0 ? QByteArray::number(pictures[i].page) : QByteArray()) + ',' +
                (outcome.done ? "done" : "failed") + ',' + quoted(outcome.message) + ',' +
                quoted(counts.join(QLatin1String("; "))) + ',' + number(outcome.rmsX) + ',' +
                number(outcome.rmsY) + '\n';
    }
    return data;
}

QString progressLine(int done, int total, double elapsedSeconds)
{
    QString line = QStringLiteral("%1/%2 pictures").arg(done).arg(total);
    if (done < 1 || elapsedSeconds <= 0.0)
        return line;
    const double rate = done / elapsedSeconds;
    line += QStringLiteral(", %1 per second").arg(QLocale::c().toString(rate, 'f', rate < 10 ? 1 : 0));
    if (done < total)
        line += QStringLiteral(", %1 left").arg(clock((total - done) / rate));
    return line;
}

QString summaryLine(int done, int failed)
{
    const QString line = QStringLiteral("%1 done, %2 failed").arg(done).arg(failed);
    return failed > 0 ? line + QStringLiteral(": see above") : line;
}

} // namespace batchrun
