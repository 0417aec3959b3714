#include "ResultsFile.h"

#include "FixedFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tovan::engine {

namespace {

constexpr std::size_t kHandOver = 1 << 16;
constexpr int kFormatVersion = 1;
constexpr int kSignificantDigits = 9;
constexpr int kDepthDecimals = 6; // inches: a thousandth of the report's smallest figure
constexpr int kFlowDecimals = 4;  // cfs
constexpr int kTimeDecimals = 6;  // hours: a few milliseconds

// Deck text is single-byte: bytes above 127 are taken as Latin-1 and written as \u escapes, so
// that the file is always valid UTF-8 JSON.
void AppendEscaped(std::string& out, std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += ch;
        } else if (byte < 0x20 || byte >= 0x7f) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xf];
        } else {
            out += ch;
        }
    }
}

} // namespace

ResultsFile::ResultsFile(const RunFiles& files)
    : files_(files), file_(files.results, "results file") {}

void ResultsFile::key(const char* name) {
    out_ += '"';
    out_ += name;
    out_ += "\":";
}

void ResultsFile::text(std::string_view value) {
    out_ += '"';
    AppendEscaped(out_, value);
    out_ += '"';
}

// Nine significant digits: more than any input or printed figure carries. Values that are not
// finite cannot appear in JSON and are written as null.
void ResultsFile::number(double value) {
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, kSignificantDigits);
    out_.append(buffer, result.ptr);
}

void ResultsFile::integer(long long value) {
    out_ += std::to_string(value);
}

// Series are written with a fixed number of decimals and no trailing zeros: as exact as the
// report's tables and several times quicker to write than the shortest form of each double,
// which matters for a file that holds every series of every catchment.
void ResultsFile::fixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        out_ += "null";
        return;
    }
    AppendFixed(out_, value, decimals, 0, true);
}

void ResultsFile::numbers(const char* name, const std::vector<double>& values, int decimals) {
    key(name);
    out_ += '[';
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) out_ += ',';
        fixed(values[i], decimals);
    }
    out_ += "],";
}

void ResultsFile::field(const char* name, double value) {
    key(name);
    number(value);
    out_ += ',';
}

void ResultsFile::field(const char* name, std::string_view value) {
    key(name);
    text(value);
    out_ += ',';
}

void ResultsFile::header(const EngineDeck& deck) {
    out_ += '{';
    key("format");
    text("tovan-results");
    out_ += ',';
    key("version");
    integer(kFormatVersion);
    out_ += ",\"run\":{";
    field("input", files_.input);
    field("report", files_.report);
    field("drelm", files_.drelm);
    field("peak", files_.peak);
    key("results");
    text(files_.results);
    out_ += "},\"deck\":{";
    field("title", deck.title);
    key("rainfallOption");
    integer(deck.rainfallOption);
    out_ += ",\"storms\":" + std::to_string(deck.storms.size());
    out_ += ",\"catchments\":" + std::to_string(deck.catchments.size());
    out_ += ",\"messages\":[";
    for (std::size_t i = 0; i < deck.messages.size(); ++i) {
        const DeckMessage& m = deck.messages[i];
        out_ += i > 0 ? ",{" : "{";
        field("severity", m.problem ? "PROBLEM" : "NOTE");
        field("text", m.text);
        key("catchment");
        out_ += "null,\"storm\":";
        if (m.storm != 0)
            integer(m.storm);
        else
            out_ += "null";
        out_ += ",\"line\":" + std::to_string(m.line) + "}";
    }
    out_ += "]},\"catchments\":[";
}

void ResultsFile::messages(const std::vector<Message>& list, const std::string& catchment) {
    key("messages");
    out_ += '[';
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Message& m = list[i];
        out_ += i > 0 ? ",{" : "{";
        field("severity", m.problem ? "PROBLEM" : "NOTE");
        field("text", m.text);
        field("catchment", catchment);
        key("storm");
        if (m.storm != 0)
            integer(m.storm);
        else
            out_ += "null";
        out_ += ",\"line\":" + std::to_string(m.line) + "}";
    }
    out_ += "],";
}

void ResultsFile::catchment(const CatchmentResult& r) {
    const Catchment& c = *r.catchment;
    out_ += firstCatchment_ ? "{" : ",{";
    firstCatchment_ = false;
    field("identification", c.identification);
    key("number");
    integer(c.number);
    out_ += ',';
    field("description", c.description);
    key("line");
    integer(c.line);
    out_ += ",\"computed\":";
    out_ += r.computed() ? "true," : "false,";
    messages(r.messages, c.identification);
    if (r.computed()) {
        field("areaSquareMiles", c.area.value_or(0.0));
        field("unitDurationHours", r.uh.dt);
        unitHydrograph(r.uh);
        key("storms");
        out_ += '[';
        for (std::size_t i = 0; i < r.storms.size(); ++i) {
            if (i > 0) out_ += ',';
            storm(r, r.storms[i]);
        }
        out_ += "],";
    }
    out_.back() = '}';
    if (out_.size() >= kHandOver) {
        file_.append(out_);
        out_.clear();
    }
}

void ResultsFile::unitHydrograph(const UnitHydrograph& uh) {
    out_ += "\"unitHydrograph\":{";
    field("ct", uh.ct);
    field("cp", uh.cp);
    field("lagHours", uh.lag);
    field("adjustedLagHours", uh.adjustedLag);
    field("shapePeakCfs", uh.peak);
    field("shapePeakTimeHours", uh.timeToPeak);
    field("ordinatePeakCfs", uh.ordinatePeak);
    field("ordinatePeakTimeHours", uh.ordinatePeakTime);
    field("w50Minutes", uh.w50 * 60.0);
    field("w75Minutes", uh.w75 * 60.0);
    field("baseTimeHours", uh.baseTime);
    field("timeStepHours", uh.dt);
    numbers("ordinatesCfs", uh.ordinates, kFlowDecimals);
    out_.back() = '}';
    out_ += ',';
}

void ResultsFile::storm(const CatchmentResult& r, const StormResult& s) {
    const double area = r.catchment->area.value_or(0.0);
    out_ += "{\"storm\":" + std::to_string(s.storm) + ",";
    if (s.source != nullptr) field("identification", s.source->identification);
    out_ += "\"computed\":";
    out_ += s.computed() ? "true," : "false,";
    messages(s.messages, r.catchment->identification);
    if (s.computed()) {
        const Storm& source = *s.source;
        key("returnPeriodYears");
        source.designStorm ? integer(source.returnPeriod) : void(out_ += "null");
        out_ += ',';
        key("oneHourDepthInches");
        source.designStorm ? number(source.oneHourDepth) : void(out_ += "null");
        out_ += ',';
        field("timeStepHours", s.rain.dt);
        std::vector<double> series(s.steps.size());
        for (std::size_t i = 0; i < s.steps.size(); ++i)
            series[i] = s.steps[i].rain;
        numbers("rainfallInches", series, kDepthDecimals);
        for (std::size_t i = 0; i < s.steps.size(); ++i)
            series[i] = s.steps[i].rain - s.steps[i].excess;
        numbers("lossInches", series, kDepthDecimals);
        for (std::size_t i = 0; i < s.steps.size(); ++i)
            series[i] = s.steps[i].excess;
        numbers("excessInches", series, kDepthDecimals);
        out_ += "\"totalsInches\":{";
        field("rain", s.totals.rain);
        field("infiltration", s.totals.infiltration);
        field("depressionStorage", s.totals.stored);
        field("captured", s.totals.captured);
        field("excess", s.totals.excess);
        out_.back() = '}';
        out_ += ',';
        series.resize(s.flows.size());
        for (std::size_t i = 0; i < s.flows.size(); ++i)
            series[i] = static_cast<double>(i) * s.rain.dt;
        numbers("hydrographTimesHours", series, kTimeDecimals);
        numbers("hydrographFlowsCfs", s.flows, kFlowDecimals);
        field("peakCfs", s.peak.flow);
        field("timeToPeakHours", s.peak.time);
        field("runoffInches", s.volumeInches);
        field("runoffAcreFeet", InchesToAcreFeet(s.volumeInches, area));
        key("rational");
        if (s.rational) {
            out_ += '{';
            field("c", s.rational->c);
            field("tcMinutes", s.rational->tcMinutes);
            out_ += "\"tcFromKirpich\":";
            out_ += s.rational->tcFromKirpich ? "true," : "false,";
            field("intensityInchesPerHour", s.rational->intensity);
            field("peakCfs", s.rational->peak);
            out_.back() = '}';
        } else {
            out_ += "null";
        }
        out_ += ',';
    }
    out_.back() = '}';
}

void ResultsFile::end() {
    out_ += "],\"complete\":true}\n";
    file_.append(out_);
    out_.clear();
}

} // namespace tovan::engine
