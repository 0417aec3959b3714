#include "storms/DesignStorms.h"

#include "storms/ObservedRainfall.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <sstream>

namespace tovan {

namespace {

constexpr double kNrcsMinutes = 24 * 60;
// A 24-hour storm at a 1-minute step has 1,440; ten times that is no storm the deck can run.
constexpr double kMostSteps = 14400;

struct MethodWords {
    StormMethod method;
    std::string_view name;
    std::string_view title;
};

constexpr MethodWords kWords[] = {
    {StormMethod::Nrcs1, "nrcs-1", "NRCS 24-hour Type I"},
    {StormMethod::Nrcs1A, "nrcs-1a", "NRCS 24-hour Type IA"},
    {StormMethod::Nrcs2, "nrcs-2", "NRCS 24-hour Type II"},
    {StormMethod::Nrcs3, "nrcs-3", "NRCS 24-hour Type III"},
    {StormMethod::Block, "block", "Alternating block (depth-duration table)"},
    {StormMethod::Chicago, "chicago", "Chicago (Keifer-Chu, IDF relation)"},
    {StormMethod::Observed, "observed", "Observed rainfall (CSV file)"},
    {StormMethod::Uniform, "uniform", "Uniform rainfall"},
};

std::string Number(double value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

bool IsNrcs(StormMethod method) {
    return method == StormMethod::Nrcs1 || method == StormMethod::Nrcs1A ||
           method == StormMethod::Nrcs2 || method == StormMethod::Nrcs3;
}

void RequirePositive(double value, const char* parameter, const char* what) {
    if (!std::isfinite(value) || value <= 0)
        throw StormInputError(parameter, std::string(what) + " must be a number greater than 0 (" +
                                             parameter + " " + Number(value) + ").");
}

// The number of steps of the storm: the duration must be a whole number of them.
std::size_t StepCount(const StormParameters& p) {
    RequirePositive(p.step, "step", "The step");
    RequirePositive(p.duration, "duration", "The duration");
    if (p.duration < p.step)
        throw StormInputError("duration", "The duration (" + Number(p.duration) +
                                              " min) is shorter than the step (" + Number(p.step) +
                                              " min).");
    const double steps = p.duration / p.step;
    if (std::abs(steps - std::round(steps)) > 1e-9 * steps)
        throw StormInputError("duration", "The duration (" + Number(p.duration) +
                                              " min) is not a whole number of steps of " +
                                              Number(p.step) + " min.");
    if (steps > kMostSteps)
        throw StormInputError("step", "A storm of " + Number(std::round(steps)) +
                                          " steps is more than the deck can take (at most " +
                                          Number(kMostSteps) + ").");
    return static_cast<std::size_t>(std::round(steps));
}

// Depths as differences of a cumulative curve at the step boundaries: they add up to the
// curve's last value exactly, whatever the rounding of each difference.
StormDepths FromCumulative(std::size_t steps, double step,
                           const std::function<double(double)>& at) {
    StormDepths storm;
    double before = at(0);
    const double start = before;
    for (std::size_t k = 1; k <= steps; ++k) {
        const double now = at(static_cast<double>(k) * step);
        storm.depths.push_back(std::max(0.0, now - before));
        before = std::max(before, now);
    }
    storm.total = before - start;
    return storm;
}

// Block, Chicago and observed storms take their depth from their own data; a depth given beside
// it scales the storm to that total, and says so.
void ScaleTo(StormDepths& storm, double depth) {
    if (depth <= 0 || storm.total <= 0) return;
    const double factor = depth / storm.total;
    if (std::abs(factor - 1) < 1e-12) return;
    for (double& d : storm.depths)
        d *= factor;
    storm.note += (storm.note.empty() ? "" : " ") + std::string("Scaled by ") + Number(factor) +
                  " from " + Number(storm.total) + " in to the depth asked for.";
    storm.total = depth;
}

StormDepths Nrcs(StormMethod method, const StormParameters& p) {
    RequirePositive(p.depth, "depth", "The depth");
    if (std::abs(p.duration - kNrcsMinutes) > 1e-9)
        throw StormInputError("duration", "The NRCS distributions are 24-hour storms: the "
                                          "duration must be 1440 min (duration " +
                                              Number(p.duration) + ").");
    const std::size_t steps = StepCount(p);
    StormDepths storm = FromCumulative(steps, p.step, [&](double minutes) {
        return p.depth * NrcsCumulativeFraction(method, minutes / 60);
    });
    storm.total = p.depth;
    return storm;
}

StormDepths Uniform(const StormParameters& p) {
    RequirePositive(p.depth, "depth", "The depth");
    const std::size_t steps = StepCount(p);
    return FromCumulative(steps, p.step, [&](double minutes) {
        return p.depth * std::min(1.0, minutes / p.duration);
    });
}

// The depth-duration curve of the table, linear between its points and from (0, 0).
double TableDepth(const std::vector<DepthDuration>& table, double minutes) {
    double t0 = 0, d0 = 0;
    for (const DepthDuration& point : table) {
        if (minutes <= point.minutes)
            return d0 + (point.inches - d0) * (minutes - t0) / (point.minutes - t0);
        t0 = point.minutes;
        d0 = point.inches;
    }
    return d0;
}

void CheckTable(const std::vector<DepthDuration>& table, double duration) {
    if (table.empty())
        throw StormInputError("table", "The depth-duration table is empty: give durations "
                                       "(min) and depths (in), such as 5:0.5,60:1.8.");
    double lastMinutes = 0, lastInches = 0;
    for (const DepthDuration& point : table) {
        RequirePositive(point.minutes, "table", "Every duration of the table");
        RequirePositive(point.inches, "table", "Every depth of the table");
        if (point.minutes <= lastMinutes)
            throw StormInputError("table", "The table's durations must increase (" +
                                               Number(point.minutes) + " min after " +
                                               Number(lastMinutes) + " min).");
        if (point.inches < lastInches)
            throw StormInputError("table", "The table's depths must not decrease with "
                                           "duration (" +
                                               Number(point.inches) + " in at " +
                                               Number(point.minutes) + " min after " +
                                               Number(lastInches) + " in).");
        lastMinutes = point.minutes;
        lastInches = point.inches;
    }
    if (lastMinutes + 1e-9 < duration)
        throw StormInputError("table", "The table ends at " + Number(lastMinutes) +
                                           " min, before the storm's duration (" +
                                           Number(duration) + " min).");
}

// The blocks of the depth-duration curve, largest first at the peak, then the next ones
// alternately after and before it; where one side is full the rest go on the other. The k
// largest blocks are then always side by side, so every window of k steps around the peak
// holds the table's depth for k steps.
StormDepths AlternatingBlock(const StormParameters& p) {
    const std::size_t steps = StepCount(p);
    CheckTable(p.table, p.duration);
    if (!(p.peakPosition >= 0 && p.peakPosition <= 1))
        throw StormInputError("peak", "The peak position is a fraction of the duration, from 0 "
                                      "to 1 (peak " +
                                          Number(p.peakPosition) + ").");
    StormDepths blocks =
        FromCumulative(steps, p.step, [&](double minutes) { return TableDepth(p.table, minutes); });
    std::vector<double> sorted = blocks.depths;
    std::stable_sort(sorted.begin(), sorted.end(), std::greater<>());
    const auto peak = static_cast<std::ptrdiff_t>(std::min<double>(
        static_cast<double>(steps) - 1, std::floor(p.peakPosition * static_cast<double>(steps))));
    StormDepths storm;
    storm.depths.assign(steps, 0.0);
    std::ptrdiff_t after = peak, before = peak; // the last places taken on either side
    storm.depths[static_cast<std::size_t>(peak)] = sorted[0];
    const auto last = static_cast<std::ptrdiff_t>(steps) - 1;
    bool afterNext = true;
    for (std::size_t i = 1; i < steps; ++i) {
        const bool roomAfter = after<last, roomBefore = before> 0;
        const bool goAfter = roomAfter && (afterNext || !roomBefore);
        const std::ptrdiff_t place = goAfter ? ++after : --before;
        storm.depths[static_cast<std::size_t>(place)] = sorted[i];
        afterNext = !goAfter;
    }
    storm.total = blocks.total;
    ScaleTo(storm, p.depth);
    return storm;
}

// Keifer and Chu's storm, in its integral form: around the peak at r times the duration, the
// window of any length T that has r of its length before the peak holds the IDF relation's
// depth for T, i(T) T / 60. The cumulative curve follows from that, so the storm's total is
// the relation's depth for the whole duration and its blocks are exact.
StormDepths Chicago(const StormParameters& p) {
    const std::size_t steps = StepCount(p);
    RequirePositive(p.idfA, "idf-a", "The IDF coefficient a");
    if (!std::isfinite(p.idfB) || p.idfB < 0)
        throw StormInputError("idf-b", "The IDF coefficient b must be 0 or more (idf-b " +
                                           Number(p.idfB) + ").");
    RequirePositive(p.idfC, "idf-c", "The IDF exponent c");
    const double r = p.peakRatio;
    if (!(r >= 0 && r <= 1))
        throw StormInputError("peak-ratio", "The peak ratio r is a fraction of the duration, "
                                            "from 0 to 1 (peak-ratio " +
                                                Number(r) + ").");
    const auto depthFor = [&](double minutes) {
        if (minutes <= 0) return 0.0;
        return p.idfA / std::pow(minutes + p.idfB, p.idfC) * minutes / 60;
    };
    for (std::size_t k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) * p.step;
        const double intensity = p.idfA / std::pow(t + p.idfB, p.idfC);
        if (!std::isfinite(intensity) || intensity <= 0)
            throw StormInputError("idf-a", "The IDF relation gives no usable intensity at " +
                                               Number(t) + " min (" + Number(intensity) +
                                               " in/h).");
        if (depthFor(t) + 1e-12 < depthFor(t - p.step))
            throw StormInputError("idf-c", "The IDF relation gives less rain in " + Number(t) +
                                               " min than in " + Number(t - p.step) +
                                               " min: with c above 1, b must be at least (c - 1) "
                                               "times the duration.");
    }
    const double peak = r * p.duration;
    StormDepths storm = FromCumulative(steps, p.step, [&](double t) {
        const double beforePeak = r * depthFor(p.duration);
        if (t <= peak) return r > 0 ? beforePeak - r * depthFor((peak - t) / r) : 0.0;
        return beforePeak + (1 - r) * depthFor((t - peak) / (1 - r));
    });
    ScaleTo(storm, p.depth);
    return storm;
}

StormDepths Observed(const StormParameters& p) {
    RequirePositive(p.step, "step", "The step");
    const ObservedRecord record = ReadObservedRainfall(p.observedCsv);
    const double length = record.points.back().first;
    double duration = p.duration;
    if (duration <= 0) duration = std::ceil(length / p.step - 1e-9) * p.step;
    if (duration + 1e-9 < length)
        throw StormInputError("duration", "The record lasts " + Number(length) +
                                              " min, longer than the duration (" +
                                              Number(duration) + " min).");
    StormParameters whole = p;
    whole.duration = duration;
    const std::size_t steps = StepCount(whole);
    StormDepths storm = FromCumulative(
        steps, p.step, [&](double minutes) { return ObservedCumulative(record, minutes); });
    storm.note = record.reading;
    ScaleTo(storm, p.depth);
    return storm;
}

} // namespace

std::string_view MethodName(StormMethod method) {
    for (const MethodWords& words : kWords)
        if (words.method == method) return words.name;
    return {};
}

std::string_view MethodTitle(StormMethod method) {
    for (const MethodWords& words : kWords)
        if (words.method == method) return words.title;
    return {};
}

std::optional<StormMethod> MethodNamed(std::string_view name) {
    for (const MethodWords& words : kWords)
        if (words.name == name) return words.method;
    return std::nullopt;
}

StormDepths BuildStorm(StormMethod method, const StormParameters& parameters) {
    if (IsNrcs(method)) return Nrcs(method, parameters);
    switch (method) {
    case StormMethod::Block:
        return AlternatingBlock(parameters);
    case StormMethod::Chicago:
        return Chicago(parameters);
    case StormMethod::Observed:
        return Observed(parameters);
    default:
        return Uniform(parameters);
    }
}

} // namespace tovan
