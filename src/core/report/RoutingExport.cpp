#include "report/RoutingExport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tovan::report {

namespace {

using results::NumberText;
using results::RunResults;
using results::StormResult;
using results::SummaryRow;

// Each computed storm of the rows with its catchment.
template <typename Visit>
void ForEachHydrograph(const RunResults& results, const std::vector<SummaryRow>& rows,
                       Visit visit) {
    for (const SummaryRow& row : rows) {
        const StormResult* storm = results::StormOf(results, row);
        if (storm == nullptr || !storm->computed) continue;
        visit(results.catchments[row.catchment], *storm);
    }
}

std::size_t Ordinates(const StormResult& storm) {
    return std::min(storm.hydrographTimesHours.size(), storm.hydrographFlowsCfs.size());
}

// "01:05" from hours, to the minute (the engine's steps are whole minutes).
std::string Clock(double hours) {
    const long minutes = std::lround(hours * 60);
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld", minutes / 60, minutes % 60);
    return text;
}

std::string Padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text + ' ' : text + std::string(width - text.size(), ' ');
}

} // namespace

std::string SwmmName(const std::string& text) {
    std::string name;
    for (const char c : text)
        name += (c == ' ' || c == '\t' || c == ';' || c == '"') ? '_' : c;
    return name.empty() ? std::string("_") : name;
}

std::string SeriesName(const std::string& catchment, int storm) {
    return SwmmName(catchment) + "_S" + std::to_string(storm);
}

namespace {

// The flow of a hydrograph at a time: straight between ordinates, none outside them.
double FlowAt(const StormResult& storm, double hours) {
    const auto& t = storm.hydrographTimesHours;
    const auto& q = storm.hydrographFlowsCfs;
    const std::size_t n = Ordinates(storm);
    if (n == 0 || hours < t[0] || hours > t[n - 1]) return 0;
    const std::size_t after = static_cast<std::size_t>(
        std::upper_bound(t.begin(), t.begin() + static_cast<std::ptrdiff_t>(n), hours) - t.begin());
    if (after >= n) return q[n - 1];
    const std::size_t before = after - 1;
    const double span = t[after] - t[before];
    return span > 0 ? q[before] + (q[after] - q[before]) * (hours - t[before]) / span : q[after];
}

// Nine significant digits: as many as the results hold, and a sum of flows without the
// binary remainder of its additions (0.30000000000000004).
std::string Flow(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

void AppendSeries(std::string& out, const std::string& name, const std::vector<double>& times,
                  const std::vector<double>& flows) {
    for (std::size_t i = 0; i < times.size(); ++i)
        out +=
            Padded(name, 16) + ' ' + Padded(NumberText(times[i]), 10) + ' ' + Flow(flows[i]) + '\n';
}

struct NodeStorm {
    std::vector<std::pair<const results::CatchmentResult*, const StormResult*>> parts;
};

} // namespace

std::string SwmmFragment(const RunResults& results, const std::vector<SummaryRow>& rows,
                         const std::map<std::string, std::string>& nodes) {
    std::string series =
        ";; Hydrographs from Tovan2000, " + results.file.filename().string() +
        "\n;; Flows in CFS (FLOW_UNITS CFS in [OPTIONS]); times in hours from the start of "
        "the storm.\n;; SWMM takes one inflow series per node: each node's first storm is "
        "active, the other storms'\n;; lines in [INFLOWS] are comments to switch to.\n\n"
        "[TIMESERIES]\n;;Name           Time       Value\n";
    // Nodes in the order their first catchment comes; storms in the order they come.
    std::vector<std::string> nodeOrder;
    std::map<std::string, std::vector<std::pair<int, NodeStorm>>> byNode;
    ForEachHydrograph(
        results, rows, [&](const results::CatchmentResult& c, const StormResult& storm) {
            const std::string name = SeriesName(c.identification, storm.storm);
            series += ";; " + c.identification + ", storm " + std::to_string(storm.storm) + " " +
                      storm.identification + "\n";
            AppendSeries(series, name, storm.hydrographTimesHours, storm.hydrographFlowsCfs);
            const auto chosen = nodes.find(c.identification);
            const std::string node =
                SwmmName(chosen != nodes.end() ? chosen->second : c.identification);
            auto& storms = byNode[node];
            if (storms.empty()) nodeOrder.push_back(node);
            auto at = std::find_if(storms.begin(), storms.end(),
                                   [&](const auto& entry) { return entry.first == storm.storm; });
            if (at == storms.end()) at = storms.insert(storms.end(), {storm.storm, {}});
            at->second.parts.push_back({&c, &storm});
        });
    std::string inflows = "\n[INFLOWS]\n;;Node           Constituent      Time Series      "
                          "Type     Mfactor  Sfactor\n";
    for (const std::string& node : nodeOrder) {
        bool first = true;
        for (const auto& [storm, parts] : byNode[node]) {
            std::string name = SeriesName(parts.parts.front().first->identification, storm);
            // Catchments that meet at a node flow in together: their sum is the node's series.
            if (parts.parts.size() > 1) {
                name = node + "_S" + std::to_string(storm);
                std::vector<double> times;
                std::string whose;
                for (const auto& [c, s] : parts.parts) {
                    times.insert(times.end(), s->hydrographTimesHours.begin(),
                                 s->hydrographTimesHours.begin() +
                                     static_cast<std::ptrdiff_t>(Ordinates(*s)));
                    whose += (whose.empty() ? "" : " + ") + c->identification;
                }
                std::sort(times.begin(), times.end());
                times.erase(std::unique(times.begin(), times.end()), times.end());
                std::vector<double> flows;
                for (const double t : times) {
                    double sum = 0;
                    for (const auto& part : parts.parts)
                        sum += FlowAt(*part.second, t);
                    flows.push_back(sum);
                }
                series +=
                    ";; node " + node + ", storm " + std::to_string(storm) + ": " + whose + "\n";
                AppendSeries(series, name, times, flows);
            }
            inflows += std::string(first ? "" : ";") + Padded(node, 16) + ' ' + Padded("FLOW", 16) +
                       ' ' + Padded(name, 16) + ' ' + Padded("FLOW", 8) + " 1.0      1.0\n";
            first = false;
        }
    }
    return series + inflows;
}

std::string LongFormCsv(const RunResults& results, const std::vector<SummaryRow>& rows) {
    std::string csv = "# flows in cfs, times in hours from the start of the storm\n"
                      "catchment,storm,time_h,flow_cfs\n";
    ForEachHydrograph(results, rows,
                      [&](const results::CatchmentResult& c, const StormResult& storm) {
                          const std::string start = results::CsvField(c.identification) + ',' +
                                                    std::to_string(storm.storm) + ',';
                          for (std::size_t i = 0; i < Ordinates(storm); ++i)
                              csv += start + NumberText(storm.hydrographTimesHours[i]) + ',' +
                                     NumberText(storm.hydrographFlowsCfs[i]) + '\n';
                      });
    return csv;
}

std::string HecHmsTables(const RunResults& results, const std::vector<SummaryRow>& rows) {
    std::string text;
    ForEachHydrograph(
        results, rows, [&](const results::CatchmentResult& c, const StormResult& storm) {
            if (!text.empty()) text += '\n';
            text += "# " + SeriesName(c.identification, storm.storm) + ": catchment " +
                    c.identification + ", storm " + std::to_string(storm.storm) +
                    "; flow in cfs, time (HH:MM) from the start of the storm\nTime (HH:MM),Flow "
                    "(cfs)\n";
            for (std::size_t i = 0; i < Ordinates(storm); ++i)
                text += Clock(storm.hydrographTimesHours[i]) + ',' +
                        NumberText(storm.hydrographFlowsCfs[i]) + '\n';
        });
    return text;
}

} // namespace tovan::report
