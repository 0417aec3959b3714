// Design storms: the unit-time rainfall depths of a storm of a given total depth, duration and
// step, by one of the methods engineers use to build them. Every method returns depths that
// are never negative and add up to the total depth (before the deck's fields round them; see
// StormPlacement.h for what is written).
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovan {

enum class StormMethod { Nrcs1, Nrcs1A, Nrcs2, Nrcs3, Block, Chicago, Observed, Uniform };

// The command-line names ("nrcs-2", "block", ...) and the words the dialog shows.
std::string_view MethodName(StormMethod method);
std::string_view MethodTitle(StormMethod method);
std::optional<StormMethod> MethodNamed(std::string_view name);
inline constexpr StormMethod kAllMethods[] = {
    StormMethod::Nrcs1, StormMethod::Nrcs1A,  StormMethod::Nrcs2,    StormMethod::Nrcs3,
    StormMethod::Block, StormMethod::Chicago, StormMethod::Observed, StormMethod::Uniform};

// One point of a depth-duration table: the largest depth (inches) falling in any window of
// `minutes`, as a frequency atlas gives it for one return period.
struct DepthDuration {
    double minutes = 0;
    double inches = 0;
};

// What the value column of an observed record holds.
enum class ObservedKind { Depth, Intensity, Cumulative };

struct StormParameters {
    double depth = 0;    // total depth, inches (not used by Block, Chicago and Observed)
    double duration = 0; // minutes
    double step = 0;     // minutes
    // Block: the table, and where the peak sits as a fraction of the duration.
    std::vector<DepthDuration> table;
    double peakPosition = 0.5;
    // Chicago: i = a / (t + b)^c in inches per hour, t in minutes, and the peak ratio r.
    double idfA = 0, idfB = 0, idfC = 0;
    double peakRatio = 0.5;
    // Observed: the CSV text, already read from its file, and what its value column holds when
    // the user says so (otherwise the column's name tells, or its numbers).
    std::string observedCsv;
    std::optional<ObservedKind> observedKind;
};

// A parameter the method cannot use; `parameter` names it as the command line spells it
// ("depth", "step", "idf-a"...), the message says why.
class StormInputError : public std::runtime_error {
  public:
    StormInputError(std::string parameter, const std::string& message)
        : std::runtime_error(message), parameter_(std::move(parameter)) {}
    const std::string& parameter() const { return parameter_; }

  private:
    std::string parameter_;
};

struct StormDepths {
    std::vector<double> depths; // inches per step, from the storm's start
    double total = 0;           // their sum as computed
    std::string note;           // what the method chose on its own, said to the user
};

// Throws StormInputError for a parameter the method cannot use.
StormDepths BuildStorm(StormMethod method, const StormParameters& parameters);

// The NRCS 24-hour dimensionless cumulative distribution of `method` at `hours` (0 to 24),
// interpolated monotonically between the published table's points.
double NrcsCumulativeFraction(StormMethod method, double hours);

// Hours and cumulative fractions of the published table of `method`.
const std::vector<std::pair<double, double>>& NrcsTable(StormMethod method);

} // namespace tovan
