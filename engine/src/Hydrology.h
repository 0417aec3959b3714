// The hydrology of the engine, free of files and decks: design rainfall, losses, the synthetic
// unit hydrograph, convolution and the rational formula. Units are those of the deck: inches,
// hours, square miles, miles, feet per foot, cubic feet per second. docs/engine.md gives the
// formulas and their sources.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tovan::engine {

// One inch of runoff over one square mile, in cfs-hours: 640 acres * 43,560 ft2 / 12 / 3600.
inline constexpr double kCfsHoursPerInchSquareMile = 640.0 * 43560.0 / 12.0 / 3600.0;
inline constexpr double kAcresPerSquareMile = 640.0;
inline constexpr double kDesignStormMinutes = 120.0;

// Rainfall depths in inches, one per step of `dt` hours, the first over [0, dt].
struct Hyetograph {
    double dt = 0.0;
    std::vector<double> depths;
    double total() const;
};

// The n-minute depth as a fraction of the one-hour depth (1.0 at 60 minutes).
double DepthDurationRatio(double minutes);

// The two-hour design storm from a one-hour depth by the alternating block method, the largest
// block in the middle of the storm.
Hyetograph DesignStorm(double oneHourDepth, double dtHours);

struct LossParameters {
    double impervious = 0.0;   // fraction of the area, 0..1
    double dsPervious = 0.0;   // maximum depression storage, inches
    double dsImpervious = 0.0; // inches
    double f0 = 0.0;           // Horton initial rate, in/hr
    double decay = 0.0;        // Horton decay coefficient, 1/s
    double fc = 0.0;           // Horton final rate, in/hr
    double connected = 1.0;    // directly connected fraction of the impervious area
    double receiving = 0.0;    // fraction of the pervious area that takes the rest's runoff
    double captureDepth = 0.0; // water-quality capture volume, inches over the catchment
};

// One step of the loss calculation, every depth in inches over the whole catchment.
struct LossStep {
    double rain = 0.0;
    double infiltration = 0.0;
    double imperviousExcess = 0.0; // reaching the outlet from impervious surfaces
    double perviousExcess = 0.0;   // reaching the outlet from pervious surfaces
    double captured = 0.0;         // held in the water-quality capture volume
    double excess = 0.0;           // what the unit hydrograph receives
    double stored = 0.0;           // in depression storage at the end of the step
};

std::vector<LossStep> Losses(const Hyetograph& rain, const LossParameters& p);
std::vector<double> ExcessOf(const std::vector<LossStep>& steps);

// Horton's infiltration capacity, in inches, between t1 and t2 hours after the storm began
// (the time form, kept as the reference the integrated form is tested against).
double HortonCapacity(double f0, double fc, double decayPerSecond, double t1, double t2);

// Horton's curve in its integrated form: the capacity follows the water the soil has actually
// taken in, not the clock. The soil's state is the time at which the time form would have
// infiltrated the same depth under ponding; dry or lightly wet steps leave it where it was.
class HortonSoil {
  public:
    HortonSoil() = default;
    HortonSoil(double f0, double fc, double decayPerSecond);

    // What the soil can take in over the next `dt` hours, in inches.
    double capacity(double dt) const;
    // Records that `depth` inches went in over a step of `dt` hours.
    void infiltrate(double depth, double dt);
    double infiltrated() const { return total_; }

  private:
    double cumulativeAt(double t) const; // the time form's infiltrated depth at t hours
    double rateAt(double t) const;       // in/hr
    double timeFor(double depth, double from, double to) const;
    void stepLength(double dt) const;

    double f0_ = 0.0, fc_ = 0.0, k_ = 0.0; // k per hour
    double time_ = 0.0;                    // equivalent time under ponding, hours
    double decayed_ = 1.0;                 // exp(-k time_)
    double total_ = 0.0;                   // inches infiltrated so far
    // exp(-k dt) of the last step length: every step of a storm has the same length, so the
    // capacity of a step costs no exponential.
    mutable double dt_ = -1.0, stepDecay_ = 1.0;
};

struct UnitHydrographInput {
    double area = 0.0;     // square miles
    double length = 0.0;   // miles
    double centroid = 0.0; // miles
    double slope = 0.0;    // ft/ft
    double impervious = 0.0;
    double dt = 0.0; // unit duration, hours
    std::optional<double> ct, cp, w50Minutes, w75Minutes, before50, before75;
};

struct UnitHydrograph {
    double ct = 0.0, cp = 0.0;
    double lag = 0.0;            // Snyder's tp, hours, for the standard duration tp/5.5
    double adjustedLag = 0.0;    // tpR, for the unit duration
    double timeToPeak = 0.0;     // from the start of the excess, hours
    double peak = 0.0;           // cfs per inch of excess
    double w50 = 0.0, w75 = 0.0; // hours
    double before50 = 0.0, before75 = 0.0;
    double baseTime = 0.0;   // hours
    bool peakScaled = false; // the shape held more than one inch and was lowered to fit
    std::vector<double> pointTimes, pointFlows; // the shape's corners
    double dt = 0.0;
    // cfs per inch at 0, dt, 2dt, ...: each the shape's mean flow over the step centred on its
    // time, so that the ordinates hold exactly the shape's inch with no rescaling.
    std::vector<double> ordinates;
    double ordinatePeak = 0.0, ordinatePeakTime = 0.0; // the largest ordinate and its time
};

// The longest unit hydrograph the engine builds; a longer one is reported, not computed.
inline constexpr std::size_t kMaxUnitHydrographOrdinates = 20000;

// The shape, or the reason why none can be built.
struct UnitHydrographResult {
    std::optional<UnitHydrograph> hydrograph;
    std::string problem;
};

UnitHydrographResult SnyderUnitHydrograph(const UnitHydrographInput& in);

double DefaultCt(double impervious);
inline constexpr double kDefaultCp = 0.6;
inline constexpr double kDefaultBefore50 = 0.35;
inline constexpr double kDefaultBefore75 = 0.45;

// Area under a polyline, by trapezoids.
double PolylineArea(const std::vector<double>& t, const std::vector<double>& q);
// Area under a polyline from its start up to x (its mass curve).
double PolylineIntegral(const std::vector<double>& t, const std::vector<double>& q, double x);
// Linear interpolation in a polyline, zero outside it.
double PolylineAt(const std::vector<double>& t, const std::vector<double>& q, double x);

// Q(n dt) = sum over m of excess[m] * U((n - m) dt).
std::vector<double> Convolve(const std::vector<double>& excess, const std::vector<double>& uh);

struct Peak {
    double flow = 0.0;
    double time = 0.0; // hours
};
// The largest flow, at the start of its plateau: the first flow within a relative 1e-9 of it.
Peak PeakOf(const std::vector<double>& flows, double dt);
// Volume of a hydrograph sampled every dt hours, in inches over `area` square miles.
double VolumeInches(const std::vector<double>& flows, double dt, double area);
double InchesToAcreFeet(double inches, double area);

// Largest average intensity, in/hr, over any window of `hours` within the storm.
double MaxAverageIntensity(const Hyetograph& rain, double hours);
double RunoffCoefficient(double impervious);
// Kirpich's time of concentration, minutes, from a length in miles and a slope in ft/ft.
double KirpichMinutes(double lengthMiles, double slope);
double RationalPeak(double c, double intensity, double areaSquareMiles);

} // namespace tovan::engine
