#include "graph/plotticks.h"

#include "core/model/dateaxis.h"

#include <QLocale>

#include <cmath>

namespace {

// Calendar steps from the densest to the sparsest: round numbers of each unit
// that divide the next one up.
const CalendarStep dateSteps[] = {
    {CalendarStep::Second, 1},  {CalendarStep::Second, 5},  {CalendarStep::Second, 10},
    {CalendarStep::Second, 15}, {CalendarStep::Second, 30}, {CalendarStep::Minute, 1},
    {CalendarStep::Minute, 5},  {CalendarStep::Minute, 10}, {CalendarStep::Minute, 15},
    {CalendarStep::Minute, 30}, {CalendarStep::Hour, 1},    {CalendarStep::Hour, 2},
    {CalendarStep::Hour, 3},    {CalendarStep::Hour, 6},    {CalendarStep::Hour, 12},
    {CalendarStep::Day, 1},     {CalendarStep::Day, 2},     {CalendarStep::Month, 1},
    {CalendarStep::Month, 3},   {CalendarStep::Month, 6},   {CalendarStep::Year, 1},
    {CalendarStep::Year, 2},    {CalendarStep::Year, 5},    {CalendarStep::Year, 10},
    {CalendarStep::Year, 20},   {CalendarStep::Year, 50},   {CalendarStep::Year, 100},
    {CalendarStep::Year, 200},  {CalendarStep::Year, 500},  {CalendarStep::Year, 1000},
};

// Sparser candidates offered after the first, for labels that need more room.
constexpr int sparserCandidates = 6;

// "2021" for years, "Mar 2021" for months, "2021-03-15" for days; times of day
// for shorter steps, with the date at midnight so that each day is named once.
QString dateTickText(double instant, const CalendarStep &step)
{
    if (step.unit == CalendarStep::Year)
        return formatDate(instant, {DatePrecision::Year, false});
    if (step.unit == CalendarStep::Month) {
        const QString month = formatDate(instant, {DatePrecision::Month, false});
        return QLocale::c().monthName(month.right(2).toInt(), QLocale::ShortFormat) + QLatin1Char(' ') +
               month.left(month.size() - 3);
    }
    const bool midnight = std::fmod(instant, 86400.0) == 0.0;
    if (step.unit == CalendarStep::Day || midnight)
        return formatDate(instant, {DatePrecision::Day, false});
    const DatePrecision precision =
        step.unit == CalendarStep::Second ? DatePrecision::Second : DatePrecision::Minute;
    // The time of day alone: the instant's place within its day.
    const double secondOfDay = instant - std::floor(instant / 86400.0) * 86400.0;
    return formatDate(secondOfDay, {precision, true});
}

} // namespace

QList<AxisTicks> dateTickCandidates(double minimum, double maximum, int divisions)
{
    QList<AxisTicks> candidates;
    if (!(minimum < maximum) || !std::isfinite(minimum) || !std::isfinite(maximum))
        return candidates;
    const int most = std::max(1, divisions) + 1;
    for (const CalendarStep &step : dateSteps) {
        const QList<double> instants = calendarInstants(minimum, maximum, step, most);
        // Too many for the first candidate (an empty list), or already taken.
        if (instants.isEmpty() && candidates.isEmpty())
            continue;
        if (instants.isEmpty() || candidates.size() > sparserCandidates)
            break;
        AxisTicks ticks;
        for (double instant : instants)
            ticks.ticks.append(
                {instant, (instant - minimum) / (maximum - minimum), true, dateTickText(instant, step)});
        candidates.append(ticks);
    }
    return candidates;
}
