// tovan2000 --report SOURCE OUT.pdf [options]: the report written without a window, for batch
// work (tovandeck report starts it). SOURCE is a run's results file, or a deck that has none.
#pragma once

#include <QStringList>

namespace tovan::report {

// Whether the command line asks for a report (its first argument is --report).
bool AsksForReport(int argc, char* argv[]);
// Writes the report; 0 when it was written, 2 with the reason on standard error when not.
int RunHeadlessReport(const QStringList& arguments);

inline constexpr const char* kReportUsage =
    "usage: tovan2000 --report SOURCE OUT.pdf [--paper A4|Letter] [--landscape] [--cards]\n"
    "                 [--no-storms] [--no-inputs] [--no-summary] [--no-plots] [--no-notes]\n"
    "                 [--prepared-by NAME] [--checked-by NAME]\n"
    "SOURCE is a run's results file (.results.json; its deck is read beside it) or a deck\n"
    "(.tvi) without results, whose report holds its inputs and what checking it finds.\n"
    "Writes the PDF whole or not at all; needs no display.\n";

} // namespace tovan::report
