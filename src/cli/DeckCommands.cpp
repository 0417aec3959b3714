// check, format, dump and save: the deck core of the desktop application, from a script.
#include "cli/Commands.h"
#include "cli/ConsolePlatform.h"
#include "cli/OpenedDeck.h"
#include "deck/FieldHelp.h"
#include "fileio/DeckFindings.h"
#include "fileio/GridJson.h"
#include "fileio/Latin1.h"
#include "fileio/SaveFile.h"
#include "fileio/basFileRoutines.h"
#include "platform/FilePath.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace tovan::cli {

namespace {

constexpr const char* kCheckHelp =
    "usage: tovandeck check DECK [--all] [--list]\n"
    "Reads DECK as File > Open does and applies the save rules, writing nothing.\n"
    "Messages go to standard error as 'Title: text'. A message repeated for many rows is\n"
    "printed once and counted ('... and 41 more rows: Title: text'); --all prints each.\n"
    "Exit status: 0 nothing reported, 1 only warnings, 2 reading failed or a fatal rule,\n"
    "3 usage error or a file that cannot be opened.\n"
    "With --list, every finding goes to standard output instead, one a line, with its place:\n"
    "'RECORDSET ROW COLUMN CLASS: text' (CLASS fatal, warning, loss, problem or note; '-'\n"
    "where a finding has no row or column). Problems and notes are the inputs the engine\n"
    "would refuse or question; a loss also names what the file held that reading did not\n"
    "take (a field that is not a number, a depth after the first empty one).\n"
    "Exit status 2 with a fatal finding, 1 with any other.\n";
constexpr const char* kFormatHelp =
    "usage: tovandeck format DECK OUT [--all]\n"
    "Reads DECK and saves the grids to OUT as File > Save does. With status 2 (or 3),\n"
    "OUT is left as it was. Exit statuses as for 'check'; 3 also when OUT cannot be written.\n"
    "Like the editor's save, it prints at most ten of the save rules' messages, the tenth\n"
    "saying how many more there are; --all prints every one.\n";
constexpr const char* kDumpHelp =
    "usage: tovandeck dump DECK\n"
    "Reads DECK and writes the five grids as JSON on standard output:\n"
    "{\"A\": {\"maxCols\": n, \"maxRows\": m, \"rows\": [[...], ...]}, \"B1\", \"B2\", \"C\", "
    "\"D\", \"readFailed\": bool}.\n"
    "Exit statuses as for 'check' (2 when reading failed; the JSON is written anyway).\n";
constexpr const char* kSaveHelp =
    "usage: tovandeck save GRIDS.json OUT [--all]\n"
    "Builds the grids from a document in the 'dump' format and saves them to OUT as\n"
    "File > Save does. A document that does not fit the grids is refused with status 3.\n"
    "Exit statuses as for 'format'.\n";

constexpr const char* kReferenceHelp =
    "usage: tovandeck reference\n"
    "Writes the reference of every field of the deck as Markdown on standard output: what it\n"
    "means, its deck columns and format, units, what it takes, whether it is required and what\n"
    "the engine does with it. docs/deck-reference.md is this output.\n";

// The arguments without "--all", which every deck command takes; `all` tells whether it was there.
std::vector<std::string_view> WithoutAll(Arguments args, bool& all) {
    std::vector<std::string_view> rest;
    all = false;
    for (std::string_view a : args) {
        if (a == "--all") {
            all = true;
        } else {
            rest.push_back(a);
        }
    }
    return rest;
}

std::string Part(int number) {
    return number > 0 ? std::to_string(number) : "-";
}

int PrintFindings(const std::vector<Finding>& findings) {
    int status = kExitClean;
    for (const Finding& f : findings) {
        const std::string line = (f.place.recordSet.empty() ? "-" : f.place.recordSet) + " " +
                                 Part(f.place.row) + " " + Part(f.place.col) + " " +
                                 ClassName(f.kind) + ": " + Latin1ToUtf8(f.text) + "\n";
        std::fputs(line.c_str(), stdout);
        status = std::max(status, f.kind == FindingClass::Fatal ? kExitFailed : kExitWarnings);
    }
    return status;
}

} // namespace

bool WantsHelp(Arguments args, const char* help) {
    for (std::string_view a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(help, stdout);
            return true;
        }
    }
    return false;
}

int Usage(const char* help) {
    std::fputs(help, stderr);
    return kExitUsage;
}

// What the reading did not take from the file, as messages before the save rules' own: the
// grids, and so a save, no longer hold it.
void TellUnread(const OpenedDeck& deck, Platform& platform) {
    for (const Finding& finding : UnreadFindings(deck.state))
        platform.showMessage(finding.text, MessageIcon::Exclamation, "Not taken from the deck");
}

bool ReadInto(OpenedDeck& deck, std::string_view path, Platform& platform) {
    ReadingContext context{deck.grids, deck.state, deck.app, platform};
    std::string reason;
    auto source = OpenDeckFile(std::string(path), &reason);
    if (!source) {
        std::fprintf(stderr, "tovandeck: cannot open %.*s: %s\n", static_cast<int>(path.size()),
                     path.data(), reason.c_str());
        return false;
    }
    deck.outcome = ReadDeck(context, std::move(source));
    return true;
}

// Saves as File > Save does, with the messages the main window adds and at most as many of the
// rules' messages as the editor shows boxes; with --all, every one.
int SaveAs(const DeckGrids& grids, std::string_view out, ConsolePlatform& platform, bool all) {
    const int before = platform.messageCount();
    const SaveBoxLimit limit{all ? 0 : SaveBoxLimit{}.count, "'tovandeck check --list'"};
    const std::int32_t result = SaveFile(grids, std::string(out), platform, limit);
    const bool warned = platform.messageCount() > before;
    if (result == 0) {
        platform.showMessage("Save operation was sucessful.", MessageIcon::Information, "SaveFile");
        return warned ? kExitWarnings : kExitClean;
    }
    platform.showDetailedMessage("Error saving file.", SaveFailureDetail(result, std::string(out)),
                                 MessageIcon::Exclamation, "mnuFileSave_Click Error!");
    return result == -1 ? kExitFailed : kExitUsage;
}

int CheckCommand(Arguments given) {
    bool all = false, list = false;
    std::vector<std::string_view> rest = WithoutAll(given, all);
    if (const auto at = std::find(rest.begin(), rest.end(), "--list"); at != rest.end()) {
        list = true;
        rest.erase(at);
    }
    const Arguments args(rest);
    if (WantsHelp(args, kCheckHelp)) return kExitClean;
    if (args.size() != 1) return Usage(kCheckHelp);
    ConsolePlatform platform;
    platform.collapseRepeats(!all);
    OpenedDeck deck;
    if (!ReadInto(deck, args[0], platform)) return kExitUsage;
    if (deck.outcome != ReadOutcome::Read) return kExitFailed;
    if (list) {
        std::vector<Finding> findings = UnreadFindings(deck.state);
        std::vector<Finding> ofTheGrids = ListFindings(deck.grids);
        findings.insert(findings.end(), std::make_move_iterator(ofTheGrids.begin()),
                        std::make_move_iterator(ofTheGrids.end()));
        return PrintFindings(findings);
    }
    TellUnread(deck, platform);
    // A deck as this program saves it reads back as it was just read: the file itself tells so.
    const DeckText text = BuildDeckText(deck.grids, platform, std::string(args[0]));
    if (text.fatal) return kExitFailed;
    return platform.messageCount() > 0 ? kExitWarnings : kExitClean;
}

int FormatCommand(Arguments given) {
    bool all = false;
    const std::vector<std::string_view> rest = WithoutAll(given, all);
    const Arguments args(rest);
    if (WantsHelp(args, kFormatHelp)) return kExitClean;
    if (args.size() != 2) return Usage(kFormatHelp);
    ConsolePlatform platform;
    platform.collapseRepeats(!all);
    OpenedDeck deck;
    if (!ReadInto(deck, args[0], platform)) return kExitUsage;
    if (deck.outcome != ReadOutcome::Read) return kExitFailed;
    TellUnread(deck, platform);
    const int readMessages = platform.messageCount();
    const int status = SaveAs(deck.grids, args[1], platform, all);
    return (status == kExitClean && readMessages > 0) ? kExitWarnings : status;
}

int DumpCommand(Arguments args) {
    if (WantsHelp(args, kDumpHelp)) return kExitClean;
    if (args.size() != 1) return Usage(kDumpHelp);
    ConsolePlatform platform;
    platform.collapseRepeats(true);
    OpenedDeck deck;
    if (!ReadInto(deck, args[0], platform)) return kExitUsage;
    const bool failed = deck.outcome != ReadOutcome::Read;
    const std::string json = GridsToJson(deck.grids, failed).dump(1) + "\n";
    std::fwrite(json.data(), 1, json.size(), stdout);
    if (failed) return kExitFailed;
    return platform.messageCount() > 0 ? kExitWarnings : kExitClean;
}

int SaveCommand(Arguments given) {
    bool all = false;
    const std::vector<std::string_view> rest = WithoutAll(given, all);
    const Arguments args(rest);
    if (WantsHelp(args, kSaveHelp)) return kExitClean;
    if (args.size() != 2) return Usage(kSaveHelp);
    std::ifstream in{PathFromText(args[0]), std::ios::binary};
    if (!in) {
        std::fprintf(stderr, "tovandeck: cannot open %.*s\n", static_cast<int>(args[0].size()),
                     args[0].data());
        return kExitUsage;
    }
    const nlohmann::json document = nlohmann::json::parse(in, nullptr, false);
    if (document.is_discarded()) {
        std::fputs("tovandeck save: the grids file is not valid JSON\n", stderr);
        return kExitUsage;
    }
    ConsolePlatform platform;
    platform.collapseRepeats(!all);
    DeckGrids grids;
    if (const auto error = GridsFromJson(document, grids, platform)) {
        std::fprintf(stderr, "tovandeck save: %s\n", error->c_str());
        return kExitUsage;
    }
    return SaveAs(grids, args[1], platform, all);
}

int ReferenceCommand(Arguments args) {
    if (WantsHelp(args, kReferenceHelp)) return kExitClean;
    if (!args.empty()) return Usage(kReferenceHelp);
    const std::string doc = DeckReferenceMarkdown();
    std::fwrite(doc.data(), 1, doc.size(), stdout);
    return kExitClean;
}

} // namespace tovan::cli
