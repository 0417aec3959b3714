#include "deck/InputRanges.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tovan {

namespace {

// Usual ranges: urban catchments from a few acres to tens of square miles; depression storage,
// Horton rates and decay after Chow, Maidment and Mays (1988), sections 4.2 and 5.1; Snyder's
// coefficients in the slope form used for urban catchments (Ct about 0.05 to 0.5, Cp 0.4 to
// 0.8); one-hour depths of the United States. The possible ranges stop where a value stops
// describing a surface or a storm: fractions outside 0 to 1, negative depths and rates, a
// one-hour depth beyond the world record of about 12 inches. A unit duration below 0.1 minute,
// which the editor cannot enter, is refused too: it would only multiply the steps of a run.
constexpr double kBig = 99999.9999;
constexpr std::array<InputRange, 27> kRanges{{
    {InputField::UnitDuration, "C", 6, "the unit duration", "min", 0.1, 99.9, false, 1, 30, false},
    {InputField::Area, "D", 2, "the catchment area", "sq mi", 0, kBig, true, 0.005, 20, false},
    {InputField::Length, "D", 3, "the catchment length", "mi", 0, kBig, true, 0.02, 30, false},
    {InputField::Centroid, "D", 4, "the distance to the centroid", "mi", 0, kBig, true, 0.01, 20,
     false},
    {InputField::Impervious, "D", 5, "the imperviousness", "%", 0, 100, false, 0, 100, false},
    {InputField::Slope, "D", 6, "the slope", "ft/ft", 0, 2, true, 0.001, 0.2, false},
    {InputField::TimeOfConcentration, "D", 7, "the time of concentration", "min", 0, kBig, false, 5,
     300, true},
    {InputField::DepressionPervious, "D", 8, "the pervious depression storage", "in", 0, kBig,
     false, 0, 1, false},
    {InputField::DepressionImpervious, "D", 9, "the impervious depression storage", "in", 0, kBig,
     false, 0, 0.5, false},
    {InputField::InitialRate, "D", 10, "the initial infiltration rate", "in/hr", 0, kBig, false, 0,
     10, false},
    {InputField::DecayRate, "D", 11, "Horton's decay coefficient", "1/s", 0, kBig, false, 0, 0.01,
     false},
    {InputField::FinalRate, "D", 12, "the final infiltration rate", "in/hr", 0, kBig, false, 0, 3,
     false},
    {InputField::DciaLevel, "D", 13, "the DCIA level", "", 0, 3, false, 0, 3, false},
    {InputField::ConnectedFraction, "D", 14, "the directly connected fraction", "", 0, 1, false, 0,
     1, false},
    {InputField::ReceivingFraction, "D", 15, "the receiving fraction", "", 0, 1, false, 0, 1,
     false},
    {InputField::Ct, "D1", 20, "Ct", "", 0.01, 5, false, 0.05, 0.5, true},
    {InputField::Cp, "D1", 21, "Cp", "", 0, 1, true, 0.4, 0.8, true},
    {InputField::W50, "D1", 22, "W50", "min", 0, kBig, true, 0, kBig, true},
    {InputField::W75, "D1", 23, "W75", "min", 0, kBig, true, 0, kBig, true},
    {InputField::Before50, "D1", 24, "the fraction of W50 before the peak", "", 0, 1, false, 0.1,
     0.7, true},
    {InputField::Before75, "D1", 25, "the fraction of W75 before the peak", "", 0, 1, false, 0.1,
     0.7, true},
    {InputField::CaptureVolume, "D1", 16, "the water-quality capture volume", "in", 0, kBig, false,
     0, 1, false},
    {InputField::DrainTime, "D1", 17, "the drain time", "h", 0, kBig, false, 12, 72, true},
    {InputField::ReturnPeriod, "B2", 3, "the return period", "years", 1, 10000, false, 2, 100,
     true},
    {InputField::OneHourDepth, "B2", 4, "the one-hour depth", "in", 0, 15, true, 0.1, 5, false},
    {InputField::StepDepth, "B1", 0, "a rainfall depth", "in", 0, 15, false, 0, 3, false},
    {InputField::CorrectionFactor, "B1", 0, "a correction factor", "", 0, 999, false, 0.1, 10,
     false},
}};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// A limit as the table gives it and a field can hold it: 99999.9999, not 100000.
std::string Limit(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string LimitWithUnit(double value, std::string_view unit) {
    std::string text = Limit(value);
    if (!unit.empty()) text += " " + std::string(unit);
    return text;
}

std::string WithUnit(double value, std::string_view unit) {
    std::string text = Number(value);
    if (!unit.empty()) text += " " + std::string(unit);
    return text;
}

} // namespace

std::span<const InputRange> InputRanges() {
    return kRanges;
}

const InputRange& RangeOf(InputField field) {
    return kRanges[static_cast<std::size_t>(field)];
}

// A deck holds its numbers in single precision: the engine reads 0.01 as 0.0099999998, the
// editor's cell says 0.01. Both, and the limits, are judged as the single-precision numbers the
// deck holds, so that a value at a limit gets the same verdict in the run and in the check.
RangeVerdict Judge(const InputRange& range, double value) {
    if (range.zeroMeansDefault && value == 0.0) return RangeVerdict::Usual;
    if (!std::isfinite(value)) return RangeVerdict::Impossible;
    const auto held = [](double number) { return static_cast<float>(number); };
    const float v = held(value);
    const bool belowLowest =
        range.lowestExcluded ? v <= held(range.lowest) : v < held(range.lowest);
    if (belowLowest || v > held(range.highest)) return RangeVerdict::Impossible;
    if (v < held(range.usualLow) || v > held(range.usualHigh)) return RangeVerdict::Unusual;
    return RangeVerdict::Usual;
}

std::string PossibleText(const InputRange& range) {
    if (range.lowestExcluded)
        return "more than " + Limit(range.lowest) + " and at most " +
               LimitWithUnit(range.highest, range.unit);
    return "from " + Limit(range.lowest) + " to " + LimitWithUnit(range.highest, range.unit);
}

std::string UsualText(const InputRange& range) {
    return Limit(range.usualLow) + " to " + LimitWithUnit(range.usualHigh, range.unit);
}

namespace {

// What a finding says after its value, the same for every finding of a range: made once per
// range, since a deck can hold a finding in every row.
struct RangeTexts {
    std::string impossible, unusual;
};

RangeTexts TextsOf(const InputRange& range) {
    return {" is impossible: it must be " + PossibleText(range),
            " is outside the usual range " + UsualText(range) + "; it is used as given"};
}

const std::vector<RangeTexts>& TextsOfTable() {
    static const std::vector<RangeTexts> texts = [] {
        std::vector<RangeTexts> all;
        for (const InputRange& each : kRanges)
            all.push_back(TextsOf(each));
        return all;
    }();
    return texts;
}

// The index of a range of the table, or nothing for a range made elsewhere.
std::optional<std::size_t> TableIndexOf(const InputRange& range) {
    const std::less<const InputRange*> before;
    if (before(&range, kRanges.data()) || !before(&range, kRanges.data() + kRanges.size()))
        return std::nullopt;
    return static_cast<std::size_t>(&range - kRanges.data());
}

} // namespace

std::string DescribeFinding(const InputRange& range, double value, RangeVerdict verdict) {
    const auto index = TableIndexOf(range);
    const RangeTexts own = index ? RangeTexts{} : TextsOf(range);
    const RangeTexts& texts = index ? TextsOfTable()[*index] : own;
    return std::string(range.name) + " " + WithUnit(value, range.unit) +
           (verdict == RangeVerdict::Impossible ? texts.impossible : texts.unusual);
}

} // namespace tovan
