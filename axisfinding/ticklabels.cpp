#include "axisfinding/ticklabels.h"

#include <QRegularExpression>

#include <cmath>

namespace axisfinding {

namespace {

// Superscript digits and signs become plain ones after a caret, so that 10⁻³
// reads as 10^-3; the other look-alikes become their ASCII forms.
QString normalized(const QString &text)
{
    static const QString superscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString out;
    bool inSuperscript = false;
    for (const QChar c : text) {
        const int digit = superscripts.indexOf(c);
        const bool superscript = digit >= 0 || c == QChar(0x207B) || c == QChar(0x207A);
        if (superscript && !inSuperscript)
            out += QLatin1Char('^');
        inSuperscript = superscript;
        if (digit >= 0)
            out += QChar(u'0' + digit);
        else if (c == QChar(0x207B) || c == QChar(0x2212) || c == QChar(0x2013) || c == QChar(0x2012))
            out += QLatin1Char('-');
        else if (c == QChar(0x207A))
            out += QLatin1Char('+');
        else if (c == QChar(0x00D7) || c == QChar(0x22C5) || c == QChar(0x00B7) || c == QLatin1Char('*'))
            out += QLatin1Char('x');
        else if (c.isSpace() || c == QChar(0x2009) || c == QChar(0x202F) || c == QChar(0x00A0) ||
                 c == QLatin1Char('\''))
            out += QLatin1Char(' ');
        else
            out += c;
    }
    return out.trimmed();
}

// A plain decimal number, its separators already read.
std::optional<double> plainNumber(QString text, CommaReading comma)
{
    // Spaces between digit groups are thousands separators.
    static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}( \\d{3})+([.,]\\d+)?$"));
    if (grouped.match(text).hasMatch())
        text.remove(QLatin1Char(' '));
    if (comma == CommaReading::Thousands) {
        static const QRegularExpression thousands(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+(\\.\\d+)?$"));
        if (thousands.match(text).hasMatch())
            text.remove(QLatin1Char(','));
    } else if (!text.contains(QLatin1Char('.'))) {
        text.replace(QLatin1Char(','), QLatin1Char('.'));
    } else {
        static const QRegularExpression thousands(QStringLiteral("^[-+]?\\d{1,3}(,\\d{3})+\\.\\d+$"));
        if (thousands.match(text).hasMatch())
            text.remove(QLatin1Char(','));
    }
    static const QRegularExpression number(
        QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d{1,3})?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "10^3" or "10^-3": a power of ten.
std::optional<double> powerOfTen(const QString &text)
{
    static const QRegularExpression power(QStringLiteral("^10 ?\\^ ?\\(?([-+]?\\d{1,3})\\)?$"));
    const QRegularExpressionMatch match = power.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double value = std::pow(10.0, match.captured(1).toInt());
    return std::isfinite(value) && value > 0.0 ? std::optional(value) : std::nullopt;
}

} // namespace

std::optional<double> parseTickLabel(const QString &text, CommaReading comma)
{
    const QString clean = normalized(text);
    if (clean.isEmpty() || clean.size() > 40)
        return std::nullopt;
    if (const std::optional<double> power = powerOfTen(clean))
        return power;
    const int times = clean.indexOf(QLatin1Char('x'));
    if (times > 0) {
        const std::optional<double> mantissa = plainNumber(clean.left(times).trimmed(), comma);
        const std::optional<double> power = powerOfTen(clean.mid(times + 1).trimmed());
        if (!mantissa || !power)
            return std::nullopt;
        const double value = *mantissa * *power;
        return std::isfinite(value) ? std::optional(value) : std::nullopt;
    }
    return plainNumber(clean, comma);
}

std::optional<double> parseAxisMultiplier(const QString &text)
{
    const QString clean = normalized(text);
    if (clean.startsWith(QLatin1Char('x'))) {
        const QString rest = clean.mid(1).trimmed();
        if (const std::optional<double> power = powerOfTen(rest))
            return power;
        const std::optional<double> number = plainNumber(rest, CommaReading::Thousands);
        return number && *number > 0.0 ? number : std::nullopt;
    }
    static const QRegularExpression exponent(QStringLiteral("^1?[eE]([-+]?\\d{1,3})$"));
    const QRegularExpressionMatch match = exponent.match(clean);
    if (match.hasMatch())
        return std::pow(10.0, match.captured(1).toInt());
    return std::nullopt;
}

} // namespace axisfinding
