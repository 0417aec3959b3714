// Snyder's synthetic unit hydrograph with the slope term of urban practice, shaped through its
// widths at 50 % and 75 % of the peak and closed by a straight recession that makes it hold
// exactly one inch of runoff.
// Its ordinates are step means of the shape, so they hold that inch without any rescaling.
#include "Hydrology.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tovan::engine {

namespace {

double Positive(const std::optional<double>& value, double fallback) {
    return value && *value > 0.0 ? *value : fallback;
}

std::string Check(const UnitHydrographInput& in) {
    if (in.area <= 0.0) return "the catchment area is zero or missing";
    if (in.length <= 0.0) return "the catchment length is zero or missing";
    if (in.centroid <= 0.0) return "the distance to the centroid is zero or missing";
    if (in.slope <= 0.0) return "the catchment slope is zero or missing";
    if (in.dt <= 0.0) return "the unit duration is zero or missing";
    return {};
}

std::string LengthProblem(const UnitHydrograph& uh, double count) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "its unit hydrograph would last %.6g h, %.6g ordinates of %.4g min, more than "
                  "the %zu this engine builds (check the unit duration, Ct, the lengths and the "
                  "slope)",
                  uh.baseTime, count, uh.dt * 60.0, kMaxUnitHydrographOrdinates);
    return text;
}

// Lag, peak and widths (Snyder 1938; the slope form and the widths as in Chow, Maidment and
// Mays 1988, section 7.7).
void Parameters(const UnitHydrographInput& in, UnitHydrograph& uh) {
    uh.ct = Positive(in.ct, DefaultCt(in.impervious));
    uh.cp = Positive(in.cp, kDefaultCp);
    uh.lag = uh.ct * std::pow(in.length * in.centroid / std::sqrt(in.slope), 0.48);
    uh.adjustedLag = std::max(uh.lag + 0.25 * (in.dt - uh.lag / 5.5), 0.5 * in.dt);
    uh.timeToPeak = in.dt / 2.0 + uh.adjustedLag;
    uh.peak = 640.0 * uh.cp * in.area / uh.adjustedLag;
    const double perArea = std::pow(uh.peak / in.area, 1.08);
    uh.w50 = in.w50Minutes && *in.w50Minutes > 0.0 ? *in.w50Minutes / 60.0 : 770.0 / perArea;
    uh.w75 = in.w75Minutes && *in.w75Minutes > 0.0 ? *in.w75Minutes / 60.0 : 440.0 / perArea;
    uh.w75 = std::min(uh.w75, uh.w50); // the shape is narrower higher up
    uh.before50 = std::clamp(Positive(in.before50, kDefaultBefore50), 0.0, 1.0);
    uh.before75 = std::clamp(Positive(in.before75, kDefaultBefore75), 0.0, 1.0);
}

// Corners up to the falling 50 % point; times kept inside [0, peak] and in order.
void Corners(UnitHydrograph& uh) {
    const double tp = uh.timeToPeak;
    const double r75 = std::clamp(tp - uh.before75 * uh.w75, 0.0, tp);
    const double r50 = std::clamp(tp - uh.before50 * uh.w50, 0.0, r75);
    const double f75 = tp + (1.0 - uh.before75) * uh.w75;
    const double f50 = std::max(tp + (1.0 - uh.before50) * uh.w50, f75);
    const double q = uh.peak;
    uh.pointTimes = {0.0, r50, r75, tp, f75, f50};
    uh.pointFlows = {0.0, 0.5 * q, 0.75 * q, q, 0.75 * q, 0.5 * q};
}

// Closes the shape with a straight recession to zero holding the rest of the inch; when the
// shape already holds too much, a recession as long as the falling half-width is used and the
// flows are lowered in proportion.
void Recession(UnitHydrograph& uh, double inch) {
    const double held = PolylineArea(uh.pointTimes, uh.pointFlows);
    const double halfPeak = uh.pointFlows.back();
    const double minimumTail = std::max((1.0 - uh.before50) * uh.w50, 1e-6);
    double tail = 2.0 * (inch - held) / halfPeak;
    if (tail < minimumTail) {
        tail = minimumTail;
        uh.peakScaled = true;
    }
    uh.pointTimes.push_back(uh.pointTimes.back() + tail);
    uh.pointFlows.push_back(0.0);
    const double scale = inch / PolylineArea(uh.pointTimes, uh.pointFlows);
    for (double& q : uh.pointFlows)
        q *= scale;
    uh.peak *= scale;
    uh.baseTime = uh.pointTimes.back();
}

// The number of ordinates that cover the shape: the last step centred on an ordinate's time
// reaches past the end of the shape.
double OrdinateCount(const UnitHydrograph& uh) {
    return std::ceil(uh.baseTime / uh.dt + 0.5) + 1.0;
}

// Each ordinate is the shape's mean flow over the step of length dt centred on its time, read
// off the shape's mass curve. The steps tile the time axis, so the ordinates hold the shape's
// inch exactly, whatever dt, and the sampling can never step over the peak and lose volume.
void Ordinates(UnitHydrograph& uh) {
    const auto n = static_cast<std::size_t>(OrdinateCount(uh));
    uh.ordinates.assign(n, 0.0);
    double before = 0.0; // the mass curve at the start of the current step
    for (std::size_t j = 0; j < n; ++j) {
        const double end = (static_cast<double>(j) + 0.5) * uh.dt;
        const double upTo = PolylineIntegral(uh.pointTimes, uh.pointFlows, end);
        uh.ordinates[j] = (upTo - before) / uh.dt;
        before = upTo;
        if (uh.ordinates[j] > uh.ordinatePeak) {
            uh.ordinatePeak = uh.ordinates[j];
            uh.ordinatePeakTime = static_cast<double>(j) * uh.dt;
        }
    }
}

} // namespace

UnitHydrographResult SnyderUnitHydrograph(const UnitHydrographInput& in) {
    UnitHydrographResult result;
    result.problem = Check(in);
    if (!result.problem.empty()) return result;
    UnitHydrograph uh;
    uh.dt = in.dt;
    const double inch = kCfsHoursPerInchSquareMile * in.area;
    Parameters(in, uh);
    Corners(uh);
    Recession(uh, inch);
    const double count = OrdinateCount(uh);
    if (!(count <= static_cast<double>(kMaxUnitHydrographOrdinates))) {
        result.problem = LengthProblem(uh, count);
        return result;
    }
    Ordinates(uh);
    result.hydrograph = std::move(uh);
    return result;
}

} // namespace tovan::engine
