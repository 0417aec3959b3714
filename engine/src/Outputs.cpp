#include "Outputs.h"

#include <algorithm>
#include <cstdarg>

namespace tovan::engine {

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
const char* const kRule =
    "--------------------------------------------------------------------------------";
} // namespace

TextFile::TextFile(const std::string& name) : file_(std::fopen(name.c_str(), "wb")) {}

TextFile::~TextFile() {
    flush();
    if (file_ != nullptr) std::fclose(file_);
}

void TextFile::line(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (n > 0)
        buffer_.append(text, std::min<std::size_t>(static_cast<std::size_t>(n), sizeof text - 1));
    buffer_ += "\r\n"; // the deck's own line ends, so that the files read the same everywhere
    if (buffer_.size() >= kFlushSize) flush();
}

void TextFile::flush() {
    if (file_ != nullptr && !buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
}

Outputs::Outputs(const std::string& report, const std::string& drelm, const std::string& peak)
    : report_(report), drelm_(drelm), peak_(peak) {}

void Outputs::header(const std::string& input, const EngineDeck& deck) {
    report_.line("TOVAN2000 rainfall-runoff engine report");
    report_.line("Input deck: %s", input.c_str());
    report_.line("Project: %s", deck.title.c_str());
    report_.line("Rainfall input: %s",
                 deck.rainfallOption == 1 ? "1 - detailed hyetographs (Record Set B1)"
                 : deck.rainfallOption == 2
                     ? "2 - one-hour depths, two-hour design storms (Record Set B2)"
                     : "none");
    report_.line("Storms in the deck: %zu    Catchments: %zu", deck.storms.size(),
                 deck.catchments.size());
    report_.line("Units: inches, hours, square miles, miles, cubic feet per second (cfs)");
    for (const std::string& problem : deck.problems)
        report_.line("PROBLEM: %s", problem.c_str());
}

void Outputs::catchment(const CatchmentResult& r) {
    const Catchment& c = *r.catchment;
    report_.line("%s", "");
    report_.line("%s", kRule);
    report_.line("Catchment %s (number %d), C card on line %d: %s", c.identification.c_str(),
                 c.number, c.line, c.description.c_str());
    report_.line("%s", kRule);
    for (const std::string& note : r.notes)
        report_.line("NOTE: %s", note.c_str());
    if (!r.problem.empty()) {
        report_.line("PROBLEM: catchment %s is not computed: %s.", c.identification.c_str(),
                     r.problem.c_str());
        return;
    }
    parameters(r);
    losses(r);
    unitHydrograph(r.uh);
    for (const StormResult& s : r.storms)
        storm(r, s);
}

void Outputs::parameters(const CatchmentResult& r) {
    const Catchment& c = *r.catchment;
    report_.line(
        "Print option %d; rational formula %s; storms %d to %d; unit duration %.4g min (%.4g h)",
        c.printOption, c.rationalOption == 1 ? "yes" : "no", c.firstStorm, c.lastStorm,
        c.unitDuration, c.unitDuration / 60.0);
    report_.line("  Area %.4f sq mi   Length %.4f mi   Centroid distance %.4f mi",
                 c.area.value_or(0.0), c.length.value_or(0.0), c.centroid.value_or(0.0));
    report_.line("  Imperviousness %.2f %%   Slope %.4f ft/ft   Time of concentration %.2f min",
                 c.impervious.value_or(0.0), c.slope.value_or(0.0), c.tc.value_or(0.0));
}

void Outputs::losses(const CatchmentResult& r) {
    const LossParameters& p = r.losses;
    report_.line("Losses (before storm correction factors)");
    report_.line("  Depression storage: pervious %.3f in, impervious %.3f in", p.dsPervious,
                 p.dsImpervious);
    report_.line("  Horton infiltration: initial %.3f in/hr, decay %.5f 1/s, final %.3f in/hr",
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
    report_.line("  Peak %.2f cfs at %.4f h   W50 %.2f min   W75 %.2f min   base %.4f h", uh.peak,
                 uh.timeToPeak, uh.w50 * 60.0, uh.w75 * 60.0, uh.baseTime);
    report_.line("  Fraction of W50 before peak %.3f   of W75 before peak %.3f", uh.before50,
                 uh.before75);
    report_.line("  %10s %12s", "Time (h)", "Flow (cfs)");
    for (std::size_t j = 0; j < uh.ordinates.size(); ++j) {
        report_.line("  %10.4f %12.3f", static_cast<double>(j) * uh.dt, uh.ordinates[j]);
    }
}

void Outputs::storm(const CatchmentResult& r, const StormResult& s) {
    report_.line("%s", "");
    if (!s.problem.empty()) {
        report_.line("PROBLEM: storm %d is not computed for catchment %s: %s.", s.storm,
                     r.catchment->identification.c_str(), s.problem.c_str());
        return;
    }
    report_.line("Storm %d (%s): rainfall %.3f in, excess %.3f in%s", s.storm,
                 s.source->identification.c_str(), s.rain.total(), s.excessInches,
                 s.factorsApplied ? "" : " (correction factors cancelled by card D)");
    factors(s);
    if (r.content.hyetograph) hyetograph(s);
    if (r.content.excessTable) excessTable(s);
    if (r.content.stormHydrograph) stormHydrograph(s);
    summary(r, s);
    machineFiles(r, s);
}

void Outputs::factors(const StormResult& s) {
    const CorrectionFactors& f = s.source->factors;
    if (!s.factorsApplied || !(f.initialRate || f.decay || f.finalRate || f.depression)) return;
    const auto shown = [](const std::optional<double>& v) { return v ? *v : 1.0; };
    report_.line("  Correction factors: initial rate %.3f, decay %.3f, final rate %.3f, "
                 "depression storage %.3f",
                 shown(f.initialRate), shown(f.decay), shown(f.finalRate), shown(f.depression));
}

void Outputs::hyetograph(const StormResult& s) {
    report_.line("  Hyetograph");
    report_.line("  %10s %12s", "End (h)", "Depth (in)");
    for (std::size_t i = 0; i < s.rain.depths.size(); ++i) {
        report_.line("  %10.4f %12.4f", static_cast<double>(i + 1) * s.rain.dt, s.rain.depths[i]);
    }
}

void Outputs::excessTable(const StormResult& s) {
    report_.line("  Excess precipitation (inches over the catchment)");
    report_.line("  %8s %9s %9s %9s %9s %9s %9s", "End (h)", "Rain", "Infiltr.", "Imp.exc.",
                 "Perv.exc.", "Captured", "Excess");
    for (std::size_t i = 0; i < s.steps.size(); ++i) {
        const LossStep& x = s.steps[i];
        report_.line("  %8.4f %9.4f %9.4f %9.4f %9.4f %9.4f %9.4f",
                     static_cast<double>(i + 1) * s.rain.dt, x.rain, x.infiltration,
                     x.imperviousExcess, x.perviousExcess, x.captured, x.excess);
    }
}

void Outputs::stormHydrograph(const StormResult& s) {
    report_.line("  Storm hydrograph");
    report_.line("  %10s %12s", "Time (h)", "Flow (cfs)");
    for (std::size_t i = 0; i < s.flows.size(); ++i) {
        report_.line("  %10.4f %12.3f", static_cast<double>(i) * s.rain.dt, s.flows[i]);
    }
}

void Outputs::summary(const CatchmentResult& r, const StormResult& s) {
    const double area = r.catchment->area.value_or(0.0);
    report_.line("  Peak flow %.2f cfs at %.4f h; runoff volume %.4f in (%.3f acre-ft)",
                 s.peak.flow, s.peak.time, s.volumeInches, InchesToAcreFeet(s.volumeInches, area));
    if (s.capturedInches > 0.0) {
        report_.line(
            "  Captured in the water-quality volume %.4f in (%.3f acre-ft), released at %.3f cfs",
            s.capturedInches, InchesToAcreFeet(s.capturedInches, area),
            s.capturedInches * kCfsHoursPerInchSquareMile * area / r.drainTimeHours);
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
    peak_.line("%6d %4d %12.3f %10.4f %12.4f", c.number, s.storm, s.peak.flow, s.peak.time,
               InchesToAcreFeet(s.volumeInches, c.area.value_or(0.0)));
    if (!r.content.toDrelm) return;
    for (std::size_t i = 0; i < s.flows.size(); ++i) {
        drelm_.line("%6d %4d %10.4f %12.3f", c.number, s.storm, static_cast<double>(i) * s.rain.dt,
                    s.flows[i]);
    }
}

void Outputs::finish() {
    report_.line("%s", "");
    report_.line("End of report.");
    report_.flush();
    drelm_.flush();
    peak_.flush();
}

} // namespace tovan::engine
