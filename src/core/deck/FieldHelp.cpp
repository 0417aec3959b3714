#include "deck/FieldHelp.h"

#include "deck/CardLayouts.h"
#include "deck/InputRanges.h"
#include "deck/RecordSets.h"
#include "fortranio/FormatDescriptor.h"

#include <array>
#include <cstdio>

namespace tovan {

namespace {

using enum FieldNeed;

constexpr std::string_view kFactorUse =
    "Multiplies the catchment's value for this storm (a blank or negative factor counts as 1), "
    "unless the catchment's D card cancels the factors (column 18 of record set D).";

// The words of every field. Columns, formats, limits and labels are not repeated here: they
// come from the card layouts and the grids.
constexpr auto kHelp = std::to_array<FieldHelp>({
    {"A", 1, 1,
     "How the storms are given: as detailed hyetographs (record set B1) or as one-hour "
     "rainfall depths with a return period (record set B2).",
     "", Refused,
     "Option 1 reads the B1 cards as storms; option 2 reads the B2 cards and builds a design "
     "storm from each one-hour depth."},
    {"A", 2, 2, "A title for the project, printed at the head of the run's report.", "", Warned,
     "Printed as the project line of the report; nothing is computed from it."},
    {"B1", 1, 1,
     "The number of the storm this card belongs to. Consecutive cards with the same "
     "number are one storm: its first card, then its continuation cards.",
     "", Refused,
     "Names the storm for the catchments' first and last storm numbers (record set C)."},
    {"B1", 2, 2, "Words that identify the storm, such as its date or return period.", "", Warned,
     "Printed beside the storm's results."},
    {"B1", 3, 19,
     "The rainfall depth of each unit time step of the storm, in order. A storm "
     "continues over further cards with the same storm number; the step is the unit duration of "
     "the catchment (record set C).",
     "inches", Optional,
     "Used as the storm's hyetograph, one depth per unit duration; losses are taken from each "
     "step and the rest becomes runoff."},
    {"B1", 20, 20,
     "A factor for the initial (or uniform) infiltration rate of every catchment "
     "during this storm. Only on the last card of a storm of two or more cards.",
     "", Optional, kFactorUse},
    {"B1", 21, 21,
     "A factor for Horton's infiltration decay coefficient during this storm. Only "
     "on the last card of a storm of two or more cards.",
     "", Optional, kFactorUse},
    {"B1", 22, 22,
     "A factor for the final infiltration rate during this storm. Only on the last "
     "card of a storm of two or more cards.",
     "", Optional, kFactorUse},
    {"B1", 23, 23,
     "A factor for the depression storage, pervious and impervious, during this "
     "storm. Only on the last card of a storm of two or more cards.",
     "", Optional, kFactorUse},
    {"B2", 1, 1,
     "The number of the storm. Each row is one storm; neighbouring rows may not "
     "repeat a number.",
     "", Refused,
     "Names the storm for the catchments' first and last storm numbers (record set C)."},
    {"B2", 2, 2, "Words that identify the storm, such as its return period.", "", Warned,
     "Printed beside the storm's results."},
    {"B2", 3, 3, "The return period of the design storm.", "years", Warned,
     "Printed with the storm's results; the design storm is built from the one-hour depth "
     "alone."},
    {"B2", 4, 4, "The rainfall depth of the storm's most intense hour.", "inches", Optional,
     "Spread over a two-hour design storm by depth-duration ratios, in steps of the catchment's "
     "unit duration, the most intense step in the middle. A storm without it is not computed."},
    {"B2", 5, 5,
     "A factor for the initial (or uniform) infiltration rate of every catchment "
     "during this storm.",
     "", Optional, kFactorUse},
    {"B2", 6, 6, "A factor for Horton's infiltration decay coefficient during this storm.", "",
     Optional, kFactorUse},
    {"B2", 7, 7, "A factor for the final infiltration rate during this storm.", "", Optional,
     kFactorUse},
    {"B2", 8, 8,
     "A factor for the depression storage, pervious and impervious, during this "
     "storm.",
     "", Optional, kFactorUse},
    {"C", 2, 2,
     "What the run prints for the catchment, and whether its storm hydrographs are "
     "also written to disk for the DRELM routing model (options 3, 7, 8 and 9).",
     "", Warned,
     "Chooses the parts of the report for this catchment and the hydrograph files; an unknown "
     "option is taken as 0 with a note."},
    {"C", 3, 3, "Whether the peak flow is also estimated by the rational formula.", "", Warned,
     "Option 1 computes the rational peak for every storm (meant for 5 to 90 acres); option 0 "
     "only for a one-hour storm when the time of concentration is given."},
    {"C", 4, 4,
     "The storm number (record set B1 or B2) of the first storm to run on this "
     "catchment.",
     "", Optional,
     "Every storm from the first to the last number is run; without both numbers the catchment "
     "is not computed."},
    {"C", 5, 5,
     "The storm number (record set B1 or B2) of the last storm to run on this "
     "catchment.",
     "", Optional,
     "Every storm from the first to the last number is run; a last number before the first "
     "stops the catchment."},
    {"C", 6, 6, "The time step of the rainfall increments and of the unit hydrograph.", "minutes",
     Warned,
     "The step of every computation of the catchment: its unit hydrograph, its design "
     "storms and its storm hydrographs."},
    {"C", 7, 7, "A short name of the catchment.", "", Optional,
     "Names the catchment in the report and in the results."},
    {"C", 8, 8, "The number of the catchment in the hydrograph files of the routing model.", "",
     Sometimes,
     "Written into the peak-flow and DRELM files. Needed, from 1 to 998, when the print "
     "option writes hydrographs to disk (7, 8 or 9)."},
    {"C", 9, 9, "A description or comment for the catchment.", "", Optional,
     "Printed with the catchment's heading in the report."},
    {"D", 2, 2, "The area of the catchment.", "sq. miles", Warned,
     "Scales the unit hydrograph: the peak is proportional to the area."},
    {"D", 3, 3, "The length of the main flow path to the outlet.", "miles", Warned,
     "With the distance to the centroid and the slope, gives the lag of the unit hydrograph; with "
     "the slope alone, the time of concentration when none is given."},
    {"D", 4, 4,
     "The distance along the flow path from the outlet to the point nearest the "
     "catchment's centroid.",
     "miles", Warned, "Part of the lag of the unit hydrograph."},
    {"D", 5, 5, "The share of the catchment covered by impervious surfaces.", "percent", Warned,
     "Splits the rain between impervious and pervious surfaces, and gives the default Ct and "
     "the rational formula's runoff coefficient."},
    {"D", 6, 6,
     "The catchment's slope, weighted over its flow path; the slope calculator (Build "
     "Slope) can compute it.",
     "feet/foot", Warned,
     "Part of the lag of the unit hydrograph, and of the time of concentration when none is "
     "given."},
    {"D", 7, 7, "The time water takes from the farthest point of the catchment to the outlet.",
     "minutes", Optional,
     "Used by the rational formula; blank or 0 lets the engine estimate it from the length and "
     "the slope (Kirpich)."},
    {"D", 8, 8, "The depth pervious surfaces hold in depressions before they run off.", "inches",
     Warned, "Filled first by the rain left after infiltration; only the rest runs off."},
    {"D", 9, 9, "The depth impervious surfaces hold in depressions before they run off.", "inches",
     Warned, "Filled first by the rain; only the rest runs off."},
    {"D", 10, 10, "The infiltration rate of the pervious surfaces when the storm begins.", "in/hr",
     Warned, "The starting rate of Horton's infiltration curve."},
    {"D", 11, 11, "How fast the infiltration rate falls from its initial to its final value.",
     "1/second", Warned,
     "The exponent of Horton's infiltration curve; 0 keeps the initial rate all storm long."},
    {"D", 12, 12, "The infiltration rate the pervious surfaces tend to as the soil wets.", "in/hr",
     Warned, "The rate Horton's infiltration curve ends at."},
    {"D", 13, 13,
     "How far the impervious area is disconnected from the drainage: 0 "
     "conventional, 1 to 3 increasingly minimized directly connected impervious area.",
     "", Optional,
     "Gives the default directly connected and receiving fractions; level 3 also "
     "captures the water-quality capture volume."},
    {"D", 14, 14, "The part of the impervious area that drains straight to the outlet.", "fraction",
     Optional,
     "Replaces the default of the DCIA level; the rest of the impervious "
     "runoff flows onto the receiving pervious area."},
    {"D", 15, 15,
     "The part of the pervious area that receives runoff from unconnected "
     "impervious surfaces.",
     "fraction", Optional,
     "Replaces the default of the DCIA level; the runoff spread on it infiltrates there first."},
    {"D", 16, 16,
     "The water-quality capture volume of a level 3 DCIA design. Written on the D1 "
     "card.",
     "inches", Optional,
     "With DCIA level 3, that depth of runoff is held back from the start of each storm."},
    {"D", 17, 17,
     "The time the water-quality capture volume takes to drain. Written on the D1 "
     "card.",
     "hours", Optional,
     "The report gives the rate the captured volume is released at over this time; blank or 0 "
     "means 40 hours."},
    {"D", 18, 18,
     "Any value other than 0 cancels the correction factors of the storms (record "
     "set B1 or B2) for this catchment.",
     "", Optional, "The catchment's own values are used for every storm, without factors."},
    {"D", 19, 19,
     "Whether a D1 card with the unit-hydrograph overrides follows the D card: 1 "
     "writes it, 0 or blank does not.",
     "", Optional, "With 1 the engine reads the D1 card and uses the overrides given on it."},
    {"D", 20, 20, "Snyder's lag coefficient Ct, replacing the engine's own.", "", Optional,
     "Blank or 0 uses the default, which depends on the imperviousness."},
    {"D", 21, 21, "Snyder's peaking coefficient Cp, replacing the engine's own.", "", Optional,
     "Blank or 0 uses 0.6."},
    {"D", 22, 22, "The width of the unit hydrograph at half its peak.", "minutes", Optional,
     "Blank or 0 computes it from the peak per square mile."},
    {"D", 23, 23, "The width of the unit hydrograph at three quarters of its peak.", "minutes",
     Optional,
     "Blank or 0 computes it from the peak per square mile; never wider than the width at 50 %."},
    {"D", 24, 24, "The part of the width at 50 % that lies before the peak.", "fraction", Optional,
     "Blank or 0 uses 0.35."},
    {"D", 25, 25, "The part of the width at 75 % that lies before the peak.", "fraction", Optional,
     "Blank or 0 uses 0.45."},
});

struct Layout {
    std::string_view card;
    std::string_view recordSet;
    std::span<const CardField> fields;
};

const std::array<Layout, 7> kLayouts{{
    {"A", "A", cards::kA},
    {"B1", "B1", cards::kB1},
    {"B1.2", "B1", cards::kB1WithFactors},
    {"B2", "B2", cards::kB2},
    {"C", "C", cards::kC},
    {"D", "D", cards::kD},
    {"D1", "D", cards::kD1},
}};

// The grid column of a field; the writer computes three fields from a list cell's index.
int GridColumnOf(const Layout& layout, std::size_t field) {
    if (const int col = layout.fields[field].gridColumn; col != 0) return col;
    if (layout.card == "A" && field == 1) return col::kAOption;
    if (layout.card == "B2" && field == 2) return col::kB2ReturnPeriod;
    if (layout.card == "C" && field == 1) return col::kCPrint;
    return 0;
}

std::optional<DeckSpan> SpanIn(const Layout& layout, int col) {
    int first = 1;
    for (std::size_t field = 0; field < layout.fields.size(); ++field) {
        const std::string_view descriptor = layout.fields[field].writeDescriptor;
        const auto parsed = ParseDescriptor(descriptor, DescriptorUse::Writing);
        const int width = parsed ? static_cast<int>(parsed->width) : 0;
        if (GridColumnOf(layout, field) == col)
            return DeckSpan{layout.card, first, first + width - 1, descriptor};
        first += width;
    }
    return std::nullopt;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

const Grid& FreshGrid(std::string_view recordSet) {
    static const DeckGrids fresh;
    if (recordSet == "A") return fresh.fpCardA;
    if (recordSet == "B1") return fresh.fpCardB1;
    if (recordSet == "B2") return fresh.fpCardB2;
    if (recordSet == "C") return fresh.fpCardC;
    return fresh.fpCardD;
}

// What the cell takes, from the grid's own cell type.
std::string EntryText(std::string_view recordSet, int col) {
    const CellFormat& format = FreshGrid(recordSet).format(col, kTemplateRow);
    switch (format.type) {
    case CellType::Float:
        return "a number from " + Number(format.floatMin) + " to " + Number(format.floatMax) +
               " with at most " + std::to_string(format.decimals) + " decimals";
    case CellType::Integer:
        return "a whole number from " + std::to_string(format.integerMin) + " to " +
               std::to_string(format.integerMax);
    case CellType::ComboBox: {
        std::string list = "one of the list: ";
        for (std::size_t i = 0; i < format.items.size(); ++i)
            list += (i ? "; " : "") + format.items[i];
        return list;
    }
    case CellType::Edit:
        return "text of at most " + std::to_string(format.maxLength) + " characters";
    default:
        return {};
    }
}

// The engine's usual and possible ranges of the field, when its range table has them.
std::string EngineRangeText(std::string_view recordSet, int col) {
    for (const InputRange& range : InputRanges()) {
        if (range.field == InputField::ReturnPeriod) continue; // a list, shown as such
        const std::string_view set = range.recordSet == "D1" ? "D" : range.recordSet;
        const bool depth = range.field == InputField::StepDepth && col >= col::kB1FirstDepth &&
                           col <= col::kB1LastDepth;
        const bool factor = range.field == InputField::CorrectionFactor &&
                            col >= col::kB1FirstFactor && col <= col::kB1LastFactor;
        if (set != recordSet || !(range.gridColumn == col || depth || factor)) continue;
        return "usual " + UsualText(range) + "; possible " + PossibleText(range) +
               " (outside, the engine does not compute it)";
    }
    return {};
}

std::string_view NeedText(FieldNeed need) {
    switch (need) {
    case Refused:
        return "Required: the deck cannot be saved without it.";
    case Warned:
        return "Required: without it the deck is saved but the engine cannot use it.";
    case Sometimes:
        return "Required in some cases (see below).";
    case Optional:
        break;
    }
    return "Optional.";
}

std::string SpansText(std::string_view recordSet, int col) {
    std::string text;
    for (const DeckSpan& span : DeckSpansOf(recordSet, col)) {
        if (!text.empty()) text += "; ";
        text += "card " + std::string(span.card) +
                (span.last > span.first
                     ? ", columns " + std::to_string(span.first) + "-" + std::to_string(span.last)
                     : ", column " + std::to_string(span.first)) +
                ", " + std::string(span.descriptor);
    }
    return text;
}

std::string Label(std::string_view recordSet, int col) {
    return FreshGrid(recordSet).value(col, kLabelRow);
}

} // namespace

std::span<const FieldHelp> FieldHelpTable() {
    return kHelp;
}

const FieldHelp* FindFieldHelp(std::string_view recordSet, int col) {
    for (const FieldHelp& help : kHelp) {
        if (help.recordSet == recordSet && col >= help.firstCol && col <= help.lastCol)
            return &help;
    }
    return nullptr;
}

// Depths 1 to 13 of a B1 card sit in the same columns with or without factors: named once.
std::vector<DeckSpan> DeckSpansOf(std::string_view recordSet, int col) {
    std::vector<DeckSpan> spans;
    for (const Layout& layout : kLayouts) {
        if (layout.recordSet != recordSet) continue;
        const auto span = SpanIn(layout, col);
        if (!span) continue;
        if (!spans.empty() && spans.back().first == span->first &&
            spans.back().descriptor == span->descriptor)
            continue;
        spans.push_back(*span);
    }
    return spans;
}

std::optional<DeckSpan> DeckSpanOn(std::string_view card, std::string_view recordSet, int col) {
    for (const Layout& layout : kLayouts) {
        if (layout.card == card && layout.recordSet == recordSet) return SpanIn(layout, col);
    }
    return std::nullopt;
}

namespace {

// The help of a field without its label, one line each.
std::vector<std::string> HelpLines(const FieldHelp& help, int col) {
    const std::string_view set = help.recordSet;
    std::vector<std::string> lines{std::string(help.description), "Deck: " + SpansText(set, col)};
    if (!help.units.empty()) lines.push_back("Units: " + std::string(help.units));
    lines.push_back("Takes " + EntryText(set, col));
    if (const std::string range = EngineRangeText(set, col); !range.empty())
        lines.push_back("Engine range: " + range);
    lines.emplace_back(NeedText(help.need));
    lines.push_back("Engine: " + std::string(help.engine));
    return lines;
}

} // namespace

std::string FieldHelpText(std::string_view recordSet, int col) {
    const FieldHelp* help = FindFieldHelp(recordSet, col);
    if (!help) return {};
    std::string text = Label(recordSet, col);
    for (const std::string& line : HelpLines(*help, col))
        text += "\n" + line;
    return text;
}

// A field over several grid columns gets one deck line naming each column's place.
std::string DeckReferenceMarkdown() {
    std::string doc =
        "# The input deck, field by field\n\n"
        "Generated by `tovandeck reference` from the editor's field table; do not edit by hand.\n"
        "Columns are the grid's columns in the editor; deck columns count from 1 on the card.\n";
    std::string_view set;
    for (const FieldHelp& help : kHelp) {
        if (help.recordSet != set) {
            set = help.recordSet;
            doc += "\n## Record set " + std::string(set) + "\n";
        }
        const bool several = help.lastCol > help.firstCol;
        doc += "\n### Column " + std::to_string(help.firstCol) +
               (several ? " to " + std::to_string(help.lastCol) : "") + ": " +
               Label(set, help.firstCol) + "\n\n";
        for (std::string line : HelpLines(help, help.firstCol)) {
            if (several && line.starts_with("Deck: ")) {
                line = "Deck:";
                for (int col = help.firstCol; col <= help.lastCol; ++col)
                    line += " column " + std::to_string(col) + " on " + SpansText(set, col) + ";";
                line.back() = '.';
            }
            doc += "- " + line + "\n";
        }
    }
    return doc;
}

} // namespace tovan
