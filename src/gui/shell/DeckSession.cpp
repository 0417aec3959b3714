#include "shell/DeckSession.h"

#include "shell/DeckRecovery.h"

#include <QFile>

namespace tovan {

DeckSession::DeckSession() : recoveryPath_(NewRecoveryPath()) {}

void DeckSession::read(bool shown) {
    document_.resetHistory();
    if (shown && !reading_.DeckFileName.empty()) document_.setFilePath(reading_.DeckFileName);
}

void DeckSession::savedAs(const std::string& path) {
    document_.setFilePath(path);
    document_.markSaved();
    reading_.unread.clear(); // the file holds the grids now
    QFile::remove(recoveryPath_);
}

void DeckSession::recoveredFrom(const QString& path) {
    QFile::remove(recoveryPath_);
    recoveryPath_ = path;
    document_.resetHistory();
    document_.markUnsaved();
}

} // namespace tovan
