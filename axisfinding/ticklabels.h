#pragma once

#include <QString>

#include <optional>

namespace axisfinding {

// How a comma in a tick label is read: as the decimal separator ("2,5") or
// between groups of thousands ("2,500"). An axis' labels are read both ways and
// the reading that fits better wins.
enum class CommaReading { Decimal, Thousands };

// The number a tick label shows, in the forms charts print: a minus as hyphen or
// U+2212, decimal comma or point, thousands separated by commas, spaces or thin
// spaces, exponents as in 1e-3 or 1E+03, powers of ten as 10^3, 10³ or 10⁻³, and
// a mantissa times a power as 2.5×10⁴ or 2.5x10^4. None for anything else.
std::optional<double> parseTickLabel(const QString &text, CommaReading comma = CommaReading::Decimal);

// A shared multiplier printed at an axis' end, as "×10³", "x10^-3", "1e3" or
// "×1000"; none when the text is not one.
std::optional<double> parseAxisMultiplier(const QString &text);

} // namespace axisfinding
