#include "shell/DeckRecovery.h"

#include "fileio/FileReplace.h"
#include "fileio/GridJson.h"
#include "fileio/Latin1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>

namespace tovan {

namespace {

constexpr const char* kWrittenAt = "writtenAt";
constexpr const char* kTitle = "title";

std::string Trimmed(const std::string& text) {
    return QString::fromLatin1(text).trimmed().toStdString();
}

std::optional<nlohmann::json> ReadJson(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    auto document = nlohmann::json::parse(file.readAll().toStdString(), nullptr, false);
    if (document.is_discarded() || !document.is_object()) return std::nullopt;
    return document;
}

} // namespace

QString RecoveryFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString NewRecoveryPath() {
    static std::atomic<int> serial = 0;
    return QDir(RecoveryFolder())
        .filePath(QStringLiteral("recovery-%1-%2-%3.json")
                      .arg(QCoreApplication::applicationPid())
                      .arg(QDateTime::currentMSecsSinceEpoch())
                      .arg(serial++));
}

int WriteRecovery(const QString& path, const DeckGrids& grids) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    nlohmann::json document = GridsToJson(grids, false);
    document[kWrittenAt] = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    document[kTitle] = Latin1ToUtf8(Trimmed(grids.fpCardA.value(col::kATitle, 2)));
    return ReplaceFileContents(QFile::encodeName(path).toStdString(), document.dump());
}

std::vector<RecoveredDeck> RecoveriesLeftBehind() {
    std::vector<RecoveredDeck> found;
    const QDir folder(RecoveryFolder());
    for (const QString& name :
         folder.entryList({QStringLiteral("recovery-*.json")}, QDir::Files, QDir::Time)) {
        const QString path = folder.filePath(name);
        const auto document = ReadJson(path);
        if (!document) continue;
        RecoveredDeck deck{path, {}, {}};
        deck.writtenAt = QDateTime::fromString(
            QString::fromStdString(document->value(kWrittenAt, std::string())), Qt::ISODate);
        deck.title = Utf8ToLatin1(document->value(kTitle, std::string())).value_or("");
        found.push_back(std::move(deck));
    }
    return found;
}

bool ReadRecovery(const QString& path, DeckGrids& grids, Platform& platform) {
    const auto document = ReadJson(path);
    return document && !GridsFromJson(*document, grids, platform);
}

std::string RecoveryQuestion(const RecoveredDeck& deck) {
    const QString when =
        QLocale(QLocale::English).toString(deck.writtenAt, QStringLiteral("d MMM yyyy HH:mm"));
    std::string text = "Tovan2000 closed without saving your deck of " + when.toStdString();
    if (!deck.title.empty()) text += " (" + deck.title + ")";
    return text + ". Recover it?";
}

} // namespace tovan
