// The unsaved deck kept aside, so that a close whose save was cancelled or refused, or a crash,
// loses nothing: the grids of the deck being edited in the grid JSON format, with the time they
// were written and the deck's title, one file per deck in the per-user data folder.
#pragma once

#include "deck/RecordSets.h"
#include "platform/Platform.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

namespace tovan {

struct RecoveredDeck {
    QString path;
    QDateTime writtenAt;
    std::string title; // the project title of record set A, trimmed
};

// The folder of the recovery files: the per-user data folder of the program.
QString RecoveryFolder();
// A fresh file name for a deck being edited, unique among this program's runs.
QString NewRecoveryPath();
// Writes the grids atomically (a crash mid-write leaves the old file). Returns 0 or the errno.
int WriteRecovery(const QString& path, const DeckGrids& grids);
// The recovery files left behind, the newest first. A file that cannot be read, or holds no
// deck, is skipped; with setAside, it is also renamed out of the way (to "<name>.unreadable")
// and named there with the reason, so that it never hides the others again.
std::vector<RecoveredDeck> RecoveriesLeftBehind(std::vector<std::string>* setAside = nullptr);
// Fills fresh grids from a recovery file; false when it cannot be read.
bool ReadRecovery(const QString& path, DeckGrids& grids, Platform& platform);
// "Tovan2000 closed without saving your deck of 5 Dec 2026 14:32 (WEST BASIN). Recover it?"
std::string RecoveryQuestion(const RecoveredDeck& deck);

} // namespace tovan
