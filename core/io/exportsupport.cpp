#include "core/io/exportsupport.h"

#include <QDir>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
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

// %.15g from the shortest digits that read back as the value, which are far
// quicker to find than the exact decimal expansion printf rounds. Those digits
// d lie within half a unit in the last place of the value v. With 15 digits
// or fewer they are what %.15g gives. With 16 or 17 they round to 15 digits as
// v does unless v and d may lie on either side of the halfway point: a double
// is exact to 1.1e-16 of itself, which is under 11 units of a 17th digit and
// 1.1 of a 16th, so a dropped part that close to a half is left to the exact
// way (false), as are zeros, subnormals and infinities.
bool appendFromShortestDigits(QByteArray &text, double value)
{
    if (!std::isfinite(value) || std::abs(value) < std::numeric_limits<double>::min())
        return false;
    char buffer[numberBufferSize];
    const char *end =
        std::to_chars(buffer, buffer + numberBufferSize, value, std::chars_format::scientific).ptr;
    const char *mark = std::find(static_cast<const char *>(buffer), end, 'e');
    int exponent = 0;
    std::from_chars(mark + (mark[1] == '+' ? 2 : 1), end, exponent);
    quint64 digits = 0;
    int count = 0;
    for (const char *c = buffer + (value < 0); c < mark; ++c) {
        if (*c != '.') {
            digits = digits * 10 + quint64(*c - '0');
            ++count;
        }
    }
    if (count > 15) {
        const quint64 unit = count == 17 ? 100 : 10;
        const quint64 dropped = digits % unit;
        const quint64 margin = count == 17 ? 12 : 2;
        if (dropped + margin > unit / 2 && dropped < unit / 2 + margin)
            return false;
        digits = digits / unit + (dropped > unit / 2);
        if (digits == 1000000000000000ULL) {
            digits /= 10;
            ++exponent;
        }
        count = 15;
    }
    while (count > 1 && digits % 10 == 0) {
        digits /= 10;
        --count;
    }
    char written[16];
    for (int i = count - 1; i >= 0; --i, digits /= 10)
        written[i] = char('0' + digits % 10);
    if (value < 0)
        text += '-';
    if (exponent < -4 || exponent >= 15) {
        text += written[0];
        if (count > 1) {
            text += '.';
            text.append(written + 1, count - 1);
        }
        text += exponent < 0 ? "e-" : "e+";
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            text += '0';
        text += QByteArray::number(magnitude);
    } else if (exponent < 0) {
        text += "0.";
        text.append(-exponent - 1, '0');
        text.append(written, count);
    } else if (count <= exponent + 1) {
        text.append(written, count);
        text.append(exponent + 1 - count, '0');
    } else {
        text.append(written, exponent + 1);
        text += '.';
        text.append(written + exponent + 1, count - exponent - 1);
    }
    return true;
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
    if (appendFromShortestDigits(text, value))
        return;
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
