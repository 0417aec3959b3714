// What a report holds, before it is drawn: the title block, the storms, the catchments' inputs,
// the summary of the results, a page of plots per catchment, the NOTEs and PROBLEMs and the
// deck's cards, as sections of headings, paragraphs, tables, plots and card lines. The desktop
// program draws it on paper or into a PDF; the tests read it without drawing. A deck without
// results (it could not run) still reports its inputs, with the reasons from checking it.
#pragma once

#include "deck/RecordSets.h"
#include "fileio/Findings.h"
#include "results/RunResults.h"

#include <string>
#include <variant>
#include <vector>

namespace tovan::report {

enum class Paper { A4, Letter };

// What goes in, chosen in the dialog (or on the command line) and remembered.
struct ReportOptions {
    bool storms = true, inputs = true, summary = true, plots = true, notes = true;
    bool cards = false;
    Paper paper = Paper::A4;
    bool landscape = false;
    std::string preparedBy, checkedBy;
};

// Facts about the report that are not in the deck: when it was made and by what.
struct ReportFacts {
    std::string deckName, deckDigest; // the deck file's name and its SHA-256
    std::string date;                 // "2026-12-07"
    std::string version;              // the program's version
};

struct Heading {
    std::string text;
};
struct Paragraph {
    std::string text;
    bool monospace = false;
};
// A table that breaks across pages with its header row repeated; a legend under it explains
// abbreviated headers.
struct Table {
    std::vector<std::string> headers;
    std::vector<bool> numeric; // right-aligned columns
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> legend;
};
struct PlotLine {
    std::string name;
    std::vector<double> times, values;
};
// Hydrographs against time, with the rainfall and excess of a step hanging from the top.
struct Plot {
    std::string title;
    std::vector<PlotLine> lines;
    std::vector<double> rain, excess; // per step of `step` hours
    double step = 0;
    std::string flowUnit = "cfs", depthUnit = "in";
    bool small = false; // a hyetograph among others, not a page of its own
};
// The deck's 80-column card images under a column ruler.
struct Cards {
    std::vector<std::string> lines;
};

using Block = std::variant<Heading, Paragraph, Table, Plot, Cards>;

struct Section {
    std::string title;
    bool newPage = true;
    bool landscape = false; // a table too wide for a portrait page
    std::vector<Block> blocks;
};

struct ReportDocument {
    std::string title;         // the project title of record A
    std::string runningHeader; // on every page
    ReportOptions options;
    std::vector<Section> sections;
};

// The report of a deck and, when it ran, its results (null when it did not). `cards` are the
// deck file's lines, for the cards section.
ReportDocument BuildReport(const DeckGrids& grids, const results::RunResults* results,
                           const std::vector<std::string>& cards, const ReportFacts& facts,
                           const ReportOptions& options);

// The options as settings text and back ("storms,inputs,summary,plots,notes;A4;portrait").
std::string OptionsKey(const ReportOptions& options);
void ReadOptionsKey(const std::string& key, ReportOptions& options);

} // namespace tovan::report
