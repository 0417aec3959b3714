// Hydrographs handed on to routing models: a SWMM 5 input fragment ([TIMESERIES] with a series
// per catchment and storm, [INFLOWS] bringing each catchment's series to a node), a long-form
// CSV (catchment,storm,time,flow) and paired time-flow tables as HEC-HMS takes them in. Every
// file states its units in its header.
#pragma once

#include "results/RunResults.h"

#include <map>
#include <string>
#include <vector>

namespace tovan::report {

// A name SWMM takes: its blanks, semicolons and quotes become underscores.
std::string SwmmName(const std::string& text);
// The series of a catchment and storm: "<catchment>_S<storm>".
std::string SeriesName(const std::string& catchment, int storm);

// The computed storms of `rows`, in order. A catchment flows to the node `nodes` names for its
// identification, or else to a node named after it. Catchments that meet at a node flow in as
// the sum of their hydrographs (a series of the node's own). SWMM brings one series to a node:
// its first storm is the inflow, the others are there as commented lines to switch to.
std::string SwmmFragment(const results::RunResults& results,
                         const std::vector<results::SummaryRow>& rows,
                         const std::map<std::string, std::string>& nodes);

// "# flows in cfs, times in hours from the start of the storm", then
// "catchment,storm,time_h,flow_cfs" and a line per ordinate.
std::string LongFormCsv(const results::RunResults& results,
                        const std::vector<results::SummaryRow>& rows);

// A table per hydrograph: a title line, "Time (HH:MM),Flow (cfs)" and the ordinates, the
// tables apart by a blank line.
std::string HecHmsTables(const results::RunResults& results,
                         const std::vector<results::SummaryRow>& rows);

} // namespace tovan::report
