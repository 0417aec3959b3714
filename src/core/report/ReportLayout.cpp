#include "report/ReportLayout.h"

#include "deck/FieldHelp.h"
#include "editing/CellEntry.h"
#include "fileio/DeckFindings.h"
#include "fortranio/NumericText.h"
#include "storms/StormPlacement.h"

#include <algorithm>
#include <sstream>

namespace tovan::report {

namespace {

using results::FixedText;
using results::RunResults;

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

std::string CellText(const Grid& grid, int col, int row) {
    return Trimmed(CellCopyValue(grid, col, row));
}

// A list cell's item by its code ("2" of "2 - Print catchment parameters..."): the legend
// names the field, and the whole item text would not fit a column.
std::string ShortCellText(const Grid& grid, int col, int row) {
    std::string text = CellText(grid, col, row);
    const std::size_t dash = text.find(" - ");
    if (dash != std::string::npos && dash > 0 && dash <= 3) text.erase(dash);
    return text;
}

Section TitleSection(const ReportDocument& doc, const ReportFacts& facts, const RunResults* results,
                     const ReportOptions& options) {
    Section s{"Report", false, false, {}};
    s.blocks.push_back(Heading{doc.title.empty() ? "(no project title)" : doc.title});
    Table facts_table;
    facts_table.headers = {"", ""};
    facts_table.numeric = {false, false};
    facts_table.rows = {
        {"Deck file", facts.deckName},
        {"SHA-256 of the deck", facts.deckDigest},
        {"Report date", facts.date},
        {"Program", "Tovan2000 " + facts.version},
        {"Results", results ? results->file.filename().string() : "none: the deck did not run"},
        {"Prepared by", options.preparedBy},
        {"Checked by", options.checkedBy},
        {"Signature and date", ""},
    };
    s.blocks.push_back(std::move(facts_table));
    return s;
}

// A storm's depths step by step, as the grid holds them.
std::vector<double> StormDepths(const Grid& b1, const StormSummary& storm) {
    std::vector<double> depths(static_cast<std::size_t>(storm.steps), 0.0);
    for (int row = storm.firstRow; row <= storm.lastRow; ++row)
        for (int col = col::kB1FirstDepth; col <= col::kB1LastDepth; ++col) {
            const int step = StepOfCell(b1, col, row);
            if (step < 1 || step > storm.steps) continue;
            depths[static_cast<std::size_t>(step - 1)] =
                NumericValue(b1.text(col, row)).value_or(0.0);
        }
    return depths;
}

void AddHyetographStorms(Section& s, const DeckGrids& grids) {
    const std::vector<StormSummary> storms = SummarizeStorms(grids.fpCardB1);
    if (storms.empty()) return;
    Table table;
    table.headers = {"Storm",      "Identification", "Steps",    "Step (min)",
                     "Total (in)", "Peak (in)",      "Peak step"};
    table.numeric = {true, false, true, true, true, true, true};
    for (const StormSummary& storm : storms) {
        const double minutes = StormStepMinutes(grids, storm.firstRow);
        table.rows.push_back({std::to_string(storm.number), storm.ident,
                              std::to_string(storm.steps), FixedText(minutes, 0),
                              FixedText(storm.total, 3), FixedText(storm.peak, 3),
                              std::to_string(storm.peakStep)});
    }
    s.blocks.push_back(std::move(table));
    for (const StormSummary& storm : storms) {
        Plot plot;
        plot.title = "Storm " + std::to_string(storm.number) + " " + storm.ident + ": " +
                     FixedText(storm.total, 3) + " in";
        plot.rain = StormDepths(grids.fpCardB1, storm);
        plot.step = StormStepMinutes(grids, storm.firstRow) / 60;
        plot.small = true;
        s.blocks.push_back(std::move(plot));
    }
}

void AddDesignStorms(Section& s, const DeckGrids& grids) {
    const Grid& b2 = grids.fpCardB2;
    Table table;
    table.headers = {"Storm", "Identification", "Return period (yr)", "One-hour depth (in)"};
    table.numeric = {true, false, true, true};
    for (int row = kTemplateRow; row <= b2.maxRows(); ++row) {
        const std::string number = CellText(b2, col::kB2Storm, row);
        if (number.empty()) continue;
        table.rows.push_back({number, CellText(b2, col::kB2Ident, row),
                              CellText(b2, col::kB2ReturnPeriod, row),
                              CellText(b2, col::kB2Depth, row)});
    }
    if (!table.rows.empty()) s.blocks.push_back(std::move(table));
}

Section StormsSection(const DeckGrids& grids) {
    Section s{"Storms", true, false, {}};
    s.blocks.push_back(Heading{"Storms"});
    const std::size_t before = s.blocks.size();
    AddHyetographStorms(s, grids);
    AddDesignStorms(s, grids);
    if (s.blocks.size() == before) s.blocks.push_back(Paragraph{"The deck holds no storm."});
    return s;
}

int LastCatchmentRow(const Grid& c) {
    return c.maxRows() - 1; // the last row holds the buttons
}

// A record set's fields as a table, one row per catchment, the identification first; the
// headers are the fields' short names, explained with their labels and units in the legend.
Table FieldTable(const DeckGrids& grids, const Grid& grid, std::string_view set) {
    Table table;
    table.headers = {"Catchment"};
    table.numeric = {false};
    std::vector<int> cols;
    for (int col = 1; col <= grid.maxCols(); ++col) {
        const FieldHelp* help = FindFieldHelp(set, col);
        if (help == nullptr || (set == "C" && col == col::kCIdent)) continue;
        if (help->firstCol != col) continue; // a field over several columns is listed once
        cols.push_back(col);
        const std::string code = std::string(set) + std::to_string(cols.size());
        table.headers.push_back(code);
        table.numeric.push_back(true);
        std::string legend = code + ": " + Trimmed(grid.value(col, kLabelRow));
        if (!help->units.empty() && legend.find(help->units) == std::string::npos)
            legend += " (" + std::string(help->units) + ")";
        table.legend.push_back(legend);
    }
    for (int row = kTemplateRow; row <= LastCatchmentRow(grids.fpCardC); ++row) {
        const std::string ident = CellText(grids.fpCardC, col::kCIdent, row);
        std::vector<std::string> cells{ident};
        bool any = !ident.empty();
        for (int col : cols) {
            cells.push_back(ShortCellText(grid, col, row));
            any = any || !cells.back().empty();
        }
        if (any) table.rows.push_back(std::move(cells));
    }
    // A column of words (a description) reads from the left.
    for (std::size_t c = 1; c < table.headers.size(); ++c)
        for (const auto& row : table.rows)
            if (!row[c].empty() && !NumericValue(row[c])) table.numeric[c] = false;
    return table;
}

Section InputsSection(const DeckGrids& grids) {
    Section s{"Catchments", true, true, {}};
    s.blocks.push_back(Heading{"Catchments: card C"});
    s.blocks.push_back(FieldTable(grids, grids.fpCardC, "C"));
    s.blocks.push_back(Heading{"Catchments: card D"});
    s.blocks.push_back(FieldTable(grids, grids.fpCardD, "D"));
    return s;
}

Section SummarySection(const RunResults& results) {
    Section s{"Summary", true, false, {}};
    s.blocks.push_back(Heading{"Summary of results"});
    Table table;
    table.headers = {"Catchment",        "No.",         "Storm",           "Peak (cfs)",
                     "Time to peak (h)", "Runoff (in)", "Runoff (acre-ft)"};
    table.numeric = {false, true, true, true, true, true, true};
    for (const results::SummaryRow& row : results::SummaryRows(results)) {
        const results::CatchmentResult& c = results.catchments[row.catchment];
        const results::StormResult* storm = results::StormOf(results, row);
        std::vector<std::string> cells{c.identification, std::to_string(c.number)};
        if (storm == nullptr) {
            cells.insert(cells.end(), {"", "", "", "", ""});
        } else if (!storm->computed) {
            cells.insert(cells.end(), {std::to_string(storm->storm), "not computed", "", "", ""});
        } else {
            cells.insert(cells.end(), {std::to_string(storm->storm),
                                       FixedText(storm->peakCfs, results::kFlowDecimals),
                                       FixedText(storm->timeToPeakHours, results::kTimeDecimals),
                                       FixedText(storm->runoffInches, results::kDepthDecimals),
                                       FixedText(storm->runoffAcreFeet, results::kVolumeDecimals)});
        }
        table.rows.push_back(std::move(cells));
    }
    s.blocks.push_back(std::move(table));
    return s;
}

// A page per catchment: the hydrographs of its storms, the rain and excess of the first.
std::vector<Section> PlotSections(const RunResults& results) {
    std::vector<Section> sections;
    for (const results::CatchmentResult& c : results.catchments) {
        Plot plot;
        plot.title = c.identification + (c.description.empty() ? "" : " - " + c.description);
        for (const results::StormResult& storm : c.storms) {
            if (!storm.computed) continue;
            if (plot.lines.empty()) {
                plot.rain = storm.rainfallInches;
                plot.excess = storm.excessInches;
                plot.step = storm.timeStepHours;
            }
            plot.lines.push_back({"Storm " + std::to_string(storm.storm) + " " +
                                      storm.identification + ": peak " +
                                      FixedText(storm.peakCfs, results::kFlowDecimals) + " cfs",
                                  storm.hydrographTimesHours, storm.hydrographFlowsCfs});
        }
        Section s{"Plots", true, false, {}};
        s.blocks.push_back(Heading{"Catchment " + c.identification});
        if (plot.lines.empty()) {
            s.blocks.push_back(Paragraph{"No storm of this catchment was computed."});
        } else {
            s.blocks.push_back(std::move(plot));
        }
        sections.push_back(std::move(s));
    }
    return sections;
}

std::string Where(const results::Message& m) {
    std::string where = m.catchment.empty() ? "deck" : m.catchment;
    if (m.storm) where += ", storm " + std::to_string(*m.storm);
    return where;
}

Section NotesSection(const RunResults& results) {
    Section s{"Notes", true, false, {}};
    s.blocks.push_back(Heading{"NOTEs and PROBLEMs of the run"});
    Table table;
    table.headers = {"Kind", "Where", "Line", "Message"};
    table.numeric = {false, false, true, false};
    const auto add = [&table](const results::Message& m) {
        table.rows.push_back(
            {m.problem ? "PROBLEM" : "NOTE", Where(m), std::to_string(m.line), m.text});
    };
    for (const results::Message& m : results.deckMessages)
        add(m);
    for (const results::CatchmentResult& c : results.catchments) {
        for (const results::Message& m : c.messages)
            add(m);
        for (const results::StormResult& storm : c.storms)
            for (const results::Message& m : storm.messages)
                add(m);
    }
    if (table.rows.empty()) {
        s.blocks.push_back(Paragraph{"The run gave no NOTE and no PROBLEM."});
    } else {
        s.blocks.push_back(std::move(table));
    }
    return s;
}

// Why a deck did not run: what checking it finds.
Section FindingsSection(const DeckGrids& grids) {
    Section s{"Findings", true, false, {}};
    s.blocks.push_back(Heading{"Why the deck has no results: what checking it finds"});
    Table table;
    table.headers = {"Kind", "Where", "Finding"};
    table.numeric = {false, false, false};
    for (const Finding& finding : ListFindings(grids))
        table.rows.push_back(
            {ClassName(finding.kind), PlaceText(grids, finding.place), finding.text});
    if (table.rows.empty()) {
        s.blocks.push_back(Paragraph{"Checking the deck finds nothing against it; it has not "
                                     "been run, or its results were not given."});
    } else {
        s.blocks.push_back(std::move(table));
    }
    return s;
}

} // namespace

ReportDocument BuildReport(const DeckGrids& grids, const RunResults* results,
                           const std::vector<std::string>& cards, const ReportFacts& facts,
                           const ReportOptions& options) {
    ReportDocument doc;
    doc.options = options;
    doc.title = results && !results->title.empty()
                    ? Trimmed(results->title)
                    : CellText(grids.fpCardA, col::kATitle, kTemplateRow);
    doc.runningHeader = doc.title + "  |  " + facts.deckName;
    doc.sections.push_back(TitleSection(doc, facts, results, options));
    if (options.storms) doc.sections.push_back(StormsSection(grids));
    if (options.inputs) doc.sections.push_back(InputsSection(grids));
    if (!results) doc.sections.push_back(FindingsSection(grids));
    if (results && options.summary) doc.sections.push_back(SummarySection(*results));
    if (results && options.plots)
        for (Section& s : PlotSections(*results))
            doc.sections.push_back(std::move(s));
    if (results && options.notes) doc.sections.push_back(NotesSection(*results));
    if (options.cards && !cards.empty()) {
        Section s{"Cards", true, false, {}};
        s.blocks.push_back(Heading{"The deck's cards"});
        s.blocks.push_back(Cards{cards});
        doc.sections.push_back(std::move(s));
    }
    return doc;
}

std::string OptionsKey(const ReportOptions& o) {
    std::string parts;
    const std::pair<bool, const char*> flags[] = {{o.storms, "storms"},   {o.inputs, "inputs"},
                                                  {o.summary, "summary"}, {o.plots, "plots"},
                                                  {o.notes, "notes"},     {o.cards, "cards"}};
    for (const auto& [on, name] : flags)
        if (on) parts += std::string(parts.empty() ? "" : ",") + name;
    return parts + ';' + (o.paper == Paper::Letter ? "Letter" : "A4") + ';' +
           (o.landscape ? "landscape" : "portrait");
}

void ReadOptionsKey(const std::string& key, ReportOptions& o) {
    std::istringstream in(key);
    std::string flags, paper, orientation;
    if (!std::getline(in, flags, ';') || !std::getline(in, paper, ';')) return;
    std::getline(in, orientation);
    const auto has = [&flags](const char* name) {
        return ("," + flags + ",").find(std::string(",") + name + ",") != std::string::npos;
    };
    o.storms = has("storms"), o.inputs = has("inputs"), o.summary = has("summary");
    o.plots = has("plots"), o.notes = has("notes"), o.cards = has("cards");
    o.paper = paper == "Letter" ? Paper::Letter : Paper::A4;
    o.landscape = orientation == "landscape";
}

} // namespace tovan::report
