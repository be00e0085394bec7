#include "core/io/exportsupport.h"

#include <QDir>
#include <QSaveFile>

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

// Enough for any double in either form ("-2.2250738585072014e-308" is 24).
constexpr int numberBufferSize = 40;

bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

} // namespace

void appendNumberText15(QByteArray &text, double value)
{
    // The C++ standard defines std::to_chars to give what printf gives in the
    // C locale, exact ties rounded to even as glibc does; QLocale rounds them away from zero
    // (1234567890123445 would become ...45e+15 instead of ...44e+15) and
    // drops the sign of -0.
    if (std::isnan(value)) {
        text += "nan";
        return;
    }
    char buffer[numberBufferSize];
    const auto result =
        std::to_chars(buffer, buffer + numberBufferSize, value, std::chars_format::general, 15);
    Q_ASSERT(result.ec == std::errc());
    text.append(buffer, qsizetype(result.ptr - buffer));
}

QByteArray numberText15(double value)
{
    QByteArray text;
    appendNumberText15(text, value);
    return text;
}

QByteArray roundTripNumberText(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("nan");
    char buffer[numberBufferSize];
    const auto result = std::to_chars(buffer, buffer + numberBufferSize, value);
    Q_ASSERT(result.ec == std::errc());
    return QByteArray(buffer, int(result.ptr - buffer));
}

QString xmlEscaped(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        char32_t code = c.unicode();
        qsizetype length = 1;
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text.at(i + 1));
            length = 2;
        } else if (c.isSurrogate()) {
            continue;
        }
        switch (code) {
        case U'&': escaped += QLatin1String("&amp;"); break;
        case U'<': escaped += QLatin1String("&lt;"); break;
        case U'>': escaped += QLatin1String("&gt;"); break;
        case U'"': escaped += QLatin1String("&quot;"); break;
        case U'\'': escaped += QLatin1String("&apos;"); break;
        // Attribute value normalisation would turn raw line breaks and tabs into spaces.
        case U'\t': escaped += QLatin1String("&#9;"); break;
        case U'\n': escaped += QLatin1String("&#10;"); break;
        case U'\r': escaped += QLatin1String("&#13;"); break;
        default:
            if (isXmlCharacter(code))
                escaped += text.mid(i, length);
            break;
        }
        i += length - 1;
    }
    return escaped;
}

namespace {
// Qt has no text for some failures (a missing folder, a file in place of a
// folder); the user still needs to know which file could not be written.
QString writeErrorText(const QSaveFile &file, const QString &path)
{
    const QString text = file.errorString();
    if (text.isEmpty() || text == QLatin1String("Unknown error"))
        return QStringLiteral("Impossibile scrivere il file: %1").arg(QDir::toNativeSeparators(path));
    return text;
}
} // namespace

bool saveFileContents(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    // Unbuffered, because QSaveFile::commit() drops the error of the final
    // flush of its buffer: on a full disk it would commit a cut-off file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        setError(error, writeErrorText(file, path));
        return false;
    }
    // A write that the system cuts short (the disk filled up half-way) carries
    // no error; the next one fails with the reason the user must see.
    for (qint64 written = 0; written < data.size();) {
        const qint64 count = file.write(data.constData() + written, data.size() - written);
        if (count <= 0) {
            setError(error, writeErrorText(file, path));
            file.cancelWriting();
            return false;
        }
        written += count;
    }
    if (!file.commit()) {
        setError(error, writeErrorText(file, path));
        return false;
    }
    return true;
}
