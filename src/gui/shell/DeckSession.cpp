#include "shell/DeckSession.h"

#include "fileio/Digest.h"
#include "fileio/GridJson.h"
#include "shell/DeckRecovery.h"

#include <QFile>
#include <QStandardPaths>
#include <QUndoStack>
#include <memory>

namespace tovan {

DeckSession::DeckSession(QObject* parent)
    : QObject(parent), recoveryPath_(NewRecoveryPath()), recoveryTimer_(new QTimer(this)) {
    recoveryTimer_->setObjectName(QStringLiteral("recoveryTimer"));
    recoveryTimer_->setSingleShot(true);
    recoveryTimer_->setInterval(kRecoveryDelayMs);
    recoveryWriter_.setMaxThreadCount(1);
    connect(recoveryTimer_, &QTimer::timeout, this, &DeckSession::writeAsideInBackground);
    // Every change, an undo too, starts the delay unless it is running already.
    connect(&document_.undoStack(), &QUndoStack::indexChanged, this, [this] {
        if (!recoveryTimer_->isActive()) recoveryTimer_->start();
    });
}

DeckSession::~DeckSession() {
    recoveryWriter_.waitForDone();
}

void DeckSession::writeAsideInBackground() {
    if (!differsFromFile()) return;
    auto copy = std::make_shared<const DeckGrids>(grids()); // only read from here on
    recoveryWriter_.start([copy, path = recoveryPath_] { WriteRecovery(path, *copy); });
}

void DeckSession::keepAside() {
    recoveryTimer_->stop();
    recoveryWriter_.waitForDone();
    WriteRecovery(recoveryPath_, grids());
}

void DeckSession::forgetKeptAside() {
    recoveryTimer_->stop();
    recoveryWriter_.waitForDone();
    QFile::remove(recoveryPath_);
}

void DeckSession::read(bool shown) {
    document_.resetHistory();
    if (shown && !reading_.DeckFileName.empty()) document_.setFilePath(reading_.DeckFileName);
    followFile();
}

void DeckSession::followFile() {
    const std::filesystem::path deck(filePath());
    if (deck.empty() || deck == history_.deck()) return;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    history_ = results::RunHistory(deck, data.toStdString());
    emit historyChanged();
}

std::string DeckSession::deckState() const {
    if (!differsFromFile()) return "saved";
    return "edited " + ShortDigest(Sha256Hex(GridsToJson(document_.grids(), false).dump()));
}

void DeckSession::keepRun(const results::RunResults& run, const results::RunTime& time,
                          std::size_t limit) {
    history_.keep(run, time, deckState(), limit);
    emit historyChanged();
}

void DeckSession::savedAs(const std::string& path) {
    recoveryWriter_.waitForDone(); // a write still going would bring the file back
    document_.setFilePath(path);
    document_.markSaved();
    reading_.unread.clear(); // the file holds the grids now
    QFile::remove(recoveryPath_);
    followFile();
}

void DeckSession::recoveredFrom(const QString& path) {
    recoveryWriter_.waitForDone();
    QFile::remove(recoveryPath_);
    recoveryPath_ = path;
    document_.resetHistory();
    document_.markUnsaved();
}

} // namespace tovan
