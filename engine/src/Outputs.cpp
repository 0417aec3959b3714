#include "Outputs.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tovan::engine {

namespace {

// One row of a two-column table: "  %10.4f %12.Nf".
void TimeAndValue(OutputFile& file, double hours, double value, int decimals) {
    file.append("  ");
    file.fixed(hours, 10, 4);
    file.fixed(value, 13, decimals);
    file.endLine();
}

const char* const kRule =
    "--------------------------------------------------------------------------------";
} // namespace

Outputs::Outputs(const RunFiles& files)
    : input_(files.input), report_(files.report, "report"), drelm_(files.drelm, "DRELM file"),
      peak_(files.peak, "peak file") {
    if (!files.results.empty()) results_ = std::make_unique<ResultsFile>(files);
}

const std::string* Outputs::firstError() const {
    for (const OutputFile* f : {&report_, &drelm_, &peak_}) {
        if (f->failed()) return &f->error();
    }
    if (results_ && results_->file().failed()) return &results_->file().error();
    return nullptr;
}

bool Outputs::failed() const {
    return firstError() != nullptr;
}

void Outputs::header(const EngineDeck& deck) {
    report_.line("TOVAN2000 rainfall-runoff engine report");
    report_.line("Input deck: %s", input_.c_str());
    report_.line("Project: %s", deck.title.c_str());
    report_.line("Rainfall input: %s",
                 deck.rainfallOption == 1 ? "1 - detailed hyetographs (Record Set B1)"
                 : deck.rainfallOption == 2
                     ? "2 - one-hour depths, two-hour design storms (Record Set B2)"
                     : "none");
    report_.line("Storms in the deck: %zu    Catchments: %zu", deck.storms.size(),
                 deck.catchments.size());
    report_.line("Units: inches, hours, square miles, miles, cubic feet per second (cfs)");
    for (const DeckMessage& m : deck.messages) {
        if (m.storm != 0)
            report_.line("%s: Line %d: storm %d: %s.", m.problem ? "PROBLEM" : "NOTE", m.line,
                         m.storm, m.text.c_str());
        else
            report_.line("%s: Line %d: %s", m.problem ? "PROBLEM" : "NOTE", m.line, m.text.c_str());
    }
    if (results_) results_->header(deck);
}

void Outputs::catchment(const CatchmentResult& r) {
    const Catchment& c = *r.catchment;
    report_.line("%s", "");
    report_.line("%s", kRule);
    report_.line("Catchment %s (number %d), C card on line %d: %s", c.identification.c_str(),
                 c.number, c.line, c.description.c_str());
    report_.line("%s", kRule);
    for (const Message& m : r.messages) {
        if (!m.problem) report_.line("NOTE: line %d: %s.", m.line, m.text.c_str());
    }
    for (const Message& m : r.messages) {
        if (m.problem)
            report_.line("PROBLEM: catchment %s is not computed: %s.", c.identification.c_str(),
                         m.text.c_str());
    }
    if (results_) results_->catchment(r);
    if (!r.computed()) return;
    parameters(r);
    losses(r);
    unitHydrograph(r.uh);
    for (const StormResult& s : r.storms)
        storm(r, s);
}

void Outputs::parameters(const CatchmentResult& r) {
    const Catchment& c = *r.catchment;
    report_.line(
        "Print option %d; rational formula option %d; storms %d to %d; unit duration %.4g min "
        "(%.4g h)",
        c.printOption, c.rationalOption, c.firstStorm, c.lastStorm, c.unitDuration,
        c.unitDuration / 60.0);
    report_.line("  Area %.4f sq mi (%.2f acres)   Length %.4f mi   Centroid distance %.4f mi",
                 c.area.value_or(0.0), c.area.value_or(0.0) * kAcresPerSquareMile,
                 c.length.value_or(0.0), c.centroid.value_or(0.0));
    report_.line("  Imperviousness %.2f %%   Slope %.4f ft/ft   Time of concentration %.2f min",
                 c.impervious.value_or(0.0), c.slope.value_or(0.0), c.tc.value_or(0.0));
}

void Outputs::losses(const CatchmentResult& r) {
    const LossParameters& p = r.losses;
    report_.line("Losses (before storm correction factors)");
    report_.line("  Depression storage: pervious %.3f in, impervious %.3f in", p.dsPervious,
                 p.dsImpervious);
    report_.line("  Horton infiltration (integrated form): initial %.3f in/hr, decay %.5f 1/s, "
                 "final %.3f in/hr",
                 p.f0, p.decay, p.fc);
    report_.line(
        "  DCIA level %d: directly connected %.3f of impervious, receiving %.3f of pervious",
        r.dciaLevel, p.connected, p.receiving);
    if (r.dciaLevel == 3) {
        report_.line("  Water-quality capture volume %.3f in, drained over %.1f h", p.captureDepth,
                     r.drainTimeHours);
    }
}

void Outputs::unitHydrograph(const UnitHydrograph& uh) {
    report_.line("Unit hydrograph (Snyder), one inch of excess in %.4g h", uh.dt);
    report_.line("  Ct %.4f   Cp %.4f   lag tp %.4f h   adjusted lag tpR %.4f h", uh.ct, uh.cp,
                 uh.lag, uh.adjustedLag);
    report_.line("  Peak of the shape %.2f cfs at %.4f h   W50 %.2f min   W75 %.2f min   base "
                 "%.4f h",
                 uh.peak, uh.timeToPeak, uh.w50 * 60.0, uh.w75 * 60.0, uh.baseTime);
    report_.line("  Peak of the ordinates used %.2f cfs at %.4f h (each ordinate is the shape's "
                 "mean flow over the step centred on it)",
                 uh.ordinatePeak, uh.ordinatePeakTime);
    report_.line("  Fraction of W50 before peak %.3f   of W75 before peak %.3f", uh.before50,
                 uh.before75);
    report_.line("  %10s %12s", "Time (h)", "Flow (cfs)");
    for (std::size_t j = 0; j < uh.ordinates.size(); ++j)
        TimeAndValue(report_, static_cast<double>(j) * uh.dt, uh.ordinates[j], 3);
}

void Outputs::storm(const CatchmentResult& r, const StormResult& s) {
    report_.line("%s", "");
    if (!s.computed()) {
        for (const Message& m : s.messages) {
            report_.line("PROBLEM: storm %d is not computed for catchment %s: %s.", s.storm,
                         r.catchment->identification.c_str(), m.text.c_str());
        }
        return;
    }
    stormTitle(s);
    for (const Message& m : s.messages)
        report_.line("NOTE: line %d: %s.", m.line, m.text.c_str());
    lossLine(s);
    factors(s);
    if (r.content.hyetograph) hyetograph(s);
    if (r.content.excessTable) excessTable(s);
    if (r.content.stormHydrograph) stormHydrograph(s);
    summary(r, s);
    machineFiles(r, s);
}

void Outputs::stormTitle(const StormResult& s) {
    const Storm& source = *s.source;
    const char* cancelled = s.factorsApplied ? "" : " (correction factors cancelled by card D)";
    if (source.designStorm) {
        report_.line("Storm %d (%s): return period %d years, one-hour depth P1 %.3f in, two-hour "
                     "design storm%s",
                     s.storm, source.identification.c_str(), source.returnPeriod,
                     source.oneHourDepth, cancelled);
    } else {
        report_.line("Storm %d (%s): hyetograph of %zu steps%s", s.storm,
                     source.identification.c_str(), source.depths.size(), cancelled);
    }
}

namespace {

// The parts rounded to units of 0.0001 in so that the printed parts add up to the printed
// total: each part is rounded down and the units still missing go to the parts that lost the
// most (largest remainders).
std::array<long long, 4> RoundedParts(const std::array<double, 4>& parts, long long total) {
    std::array<long long, 4> units{};
    std::array<double, 4> remainder{};
    long long sum = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const double scaled = std::max(0.0, parts[i]) * 1e4;
        units[i] = static_cast<long long>(std::floor(scaled));
        remainder[i] = scaled - static_cast<double>(units[i]);
        sum += units[i];
    }
    for (long long missing = total - sum; missing > 0; --missing) {
        const auto most = static_cast<std::size_t>(
            std::max_element(remainder.begin(), remainder.end()) - remainder.begin());
        ++units[most];
        remainder[most] = -1.0;
    }
    return units;
}

} // namespace

void Outputs::lossLine(const StormResult& s) {
    const LossTotals& t = s.totals;
    const long long rain = std::llround(t.rain * 1e4);
    const auto p = RoundedParts({t.infiltration, t.stored, t.captured, t.excess}, rain);
    report_.line("  Rain %lld.%04lld in = infiltration %lld.%04lld + depression storage "
                 "%lld.%04lld + captured %lld.%04lld + excess %lld.%04lld in",
                 rain / 10000, rain % 10000, p[0] / 10000, p[0] % 10000, p[1] / 10000, p[1] % 10000,
                 p[2] / 10000, p[2] % 10000, p[3] / 10000, p[3] % 10000);
}

void Outputs::factors(const StormResult& s) {
    const CorrectionFactors& f = s.source->factors;
    if (!s.factorsApplied || !(f.initialRate || f.decay || f.finalRate || f.depression)) return;
    const auto shown = [](const std::optional<double>& v) { return v && *v >= 0.0 ? *v : 1.0; };
    report_.line("  Correction factors: initial rate %.3f, decay %.3f, final rate %.3f, "
                 "depression storage %.3f",
                 shown(f.initialRate), shown(f.decay), shown(f.finalRate), shown(f.depression));
}

void Outputs::hyetograph(const StormResult& s) {
    report_.line("  Hyetograph");
    report_.line("  %10s %12s", "End (h)", "Depth (in)");
    for (std::size_t i = 0; i < s.rain.depths.size(); ++i)
        TimeAndValue(report_, static_cast<double>(i + 1) * s.rain.dt, s.rain.depths[i], 4);
}

void Outputs::excessTable(const StormResult& s) {
    report_.line("  Excess precipitation (inches over the catchment)");
    report_.line("  %8s %9s %9s %9s %9s %9s %9s %9s", "End (h)", "Rain", "Infiltr.", "Stored",
                 "Imp.exc.", "Perv.exc.", "Captured", "Excess");
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
        const LossStep& x = s.steps[i];
        report_.line("  %8.4f %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f",
                     static_cast<double>(i + 1) * s.rain.dt, x.rain, x.infiltration, x.stored,
                     x.imperviousExcess, x.perviousExcess, x.captured, x.excess);
    }
}

void Outputs::stormHydrograph(const StormResult& s) {
    report_.line("  Storm hydrograph");
    report_.line("  %10s %12s", "Time (h)", "Flow (cfs)");
    for (std::size_t i = 0; i < s.flows.size(); ++i)
        TimeAndValue(report_, static_cast<double>(i) * s.rain.dt, s.flows[i], 3);
}

void Outputs::summary(const CatchmentResult& r, const StormResult& s) {
    const double area = r.catchment->area.value_or(0.0);
    report_.line("  Peak flow %.2f cfs at %.4f h; runoff volume %.4f in (%.3f acre-ft)",
                 s.peak.flow, s.peak.time, s.volumeInches, InchesToAcreFeet(s.volumeInches, area));
    if (s.totals.captured > 0.0) {
        report_.line(
            "  Captured in the water-quality volume %.4f in (%.3f acre-ft), released at %.3f cfs",
            s.totals.captured, InchesToAcreFeet(s.totals.captured, area),
            s.totals.captured * kCfsHoursPerInchSquareMile * area / r.drainTimeHours);
    }
    if (s.rational) {
        const RationalResult& q = *s.rational;
        report_.line(
            "  Rational formula: C %.3f, Tc %.2f min%s, intensity %.3f in/hr, peak %.2f cfs", q.c,
            q.tcMinutes, q.tcFromKirpich ? " (Kirpich)" : "", q.intensity, q.peak);
    }
}

void Outputs::machineFiles(const CatchmentResult& r, const StormResult& s) {
    const Catchment& c = *r.catchment;
    // "%6d %4d %12.3f %10.4f %12.4f" and "%6d %4d %10.4f %12.3f", written directly.
    peak_.integer(c.number, 6);
    peak_.integer(s.storm, 5);
    peak_.fixed(s.peak.flow, 13, 3);
    peak_.fixed(s.peak.time, 11, 4);
    peak_.fixed(InchesToAcreFeet(s.volumeInches, c.area.value_or(0.0)), 13, 4);
    peak_.endLine();
    if (!r.content.toDrelm) return;
    for (std::size_t i = 0; i < s.flows.size(); ++i) {
        drelm_.integer(c.number, 6);
        drelm_.integer(s.storm, 5);
        drelm_.fixed(static_cast<double>(i) * s.rain.dt, 11, 4);
        drelm_.fixed(s.flows[i], 13, 3);
        drelm_.endLine();
    }
}

void Outputs::discardAll() {
    for (OutputFile* f : {&report_, &drelm_, &peak_})
        f->discard();
    if (results_) results_->file().discard();
}

bool Outputs::finish(std::string& why) {
    report_.line("%s", "");
    report_.line("End of report.");
    if (results_) results_->end();
    std::vector<OutputFile*> files{&report_, &drelm_, &peak_};
    if (results_) files.push_back(&results_->file());
    bool ok = true;
    for (OutputFile* f : files)
        ok = f->close() && ok;
    for (OutputFile* f : files) {
        if (!ok) break;
        ok = f->commit();
    }
    if (ok) return true;
    why = *firstError();
    discardAll();
    return false;
}

} // namespace tovan::engine
