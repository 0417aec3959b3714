// The ranges every numeric input of the deck is checked against, in one table for every
// checker: the engine says NOTE or PROBLEM in its report, and the editor can warn with the
// same limits and the same words. Plain C++, no grid or engine types.
//
// Each field has two ranges. Outside the possible range the value describes no real catchment
// or storm (a negative area, 150 % imperviousness, a negative infiltration rate): what it
// belongs to is not computed. Outside the usual range the value is possible but rare in the
// textbooks and in urban practice (a slope of 0.0001, a unit duration of 45 minutes): it is
// used as given, with a note.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace tovan {

enum class InputField {
    UnitDuration,
    Area,
    Length,
    Centroid,
    Impervious,
    Slope,
    TimeOfConcentration,
    DepressionPervious,
    DepressionImpervious,
    InitialRate,
    DecayRate,
    FinalRate,
    DciaLevel,
    ConnectedFraction,
    ReceivingFraction,
    Ct,
    Cp,
    W50,
    W75,
    Before50,
    Before75,
    CaptureVolume,
    DrainTime,
    ReturnPeriod,
    OneHourDepth,
    StepDepth,
    CorrectionFactor,
};

struct InputRange {
    InputField field;
    std::string_view recordSet; // "B1", "B2", "C", "D" or "D1": the card that holds it
    int gridColumn;             // its column in the record set's grid (0: several columns)
    std::string_view name;      // words for messages: "the imperviousness"
    std::string_view unit;      // "%", "in/hr", ... or empty
    double lowest, highest;     // the possible range
    bool lowestExcluded;        // the lowest value itself is not possible (an area of 0)
    double usualLow, usualHigh; // the usual range, within the possible one
    bool zeroMeansDefault;      // 0, like a blank, asks for the default: it is not checked
};

enum class RangeVerdict { Usual, Unusual, Impossible };

std::span<const InputRange> InputRanges();
const InputRange& RangeOf(InputField field);

RangeVerdict Judge(const InputRange& range, double value);

// The possible range as the messages say it, with the limits as a field holds them: "from 0 to
// 100 %", or with the lowest value itself impossible "more than 0 and at most 2 ft/ft"; and the
// usual range, "0.001 to 0.2 ft/ft".
std::string PossibleText(const InputRange& range);
std::string UsualText(const InputRange& range);

// One sentence, without a final full stop, for a value that is not usual: "the slope 0.0001
// ft/ft is outside the usual range 0.001 to 0.2 ft/ft; it is used as given", "the
// imperviousness -20 % is impossible: it must be from 0 to 100 %" or "the slope 3 ft/ft is
// impossible: it must be more than 0 and at most 2 ft/ft".
std::string DescribeFinding(const InputRange& range, double value, RangeVerdict verdict);

} // namespace tovan
