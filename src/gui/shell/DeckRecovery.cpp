#include "shell/DeckRecovery.h"

#include "fileio/FileReplace.h"
#include "fileio/GridJson.h"
#include "fileio/Latin1.h"
#include "platform/RecordingPlatform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <variant>

namespace tovan {

namespace {

constexpr const char* kWrittenAt = "writtenAt";
constexpr const char* kTitle = "title";

std::string Trimmed(const std::string& text) {
    return QString::fromLatin1(text).trimmed().toStdString();
}

// The document of a recovery file, or why it cannot be one. Only a regular file is opened: a
// pipe in its place would wait forever.
std::variant<nlohmann::json, std::string> ReadJson(const QString& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(QFile::encodeName(path).toStdString(), error))
        return std::string("it is not a regular file");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return file.errorString().toStdString();
    auto document = nlohmann::json::parse(file.readAll().toStdString(), nullptr, false);
    if (document.is_discarded()) return std::string("it is not valid JSON");
    if (!document.is_object()) return std::string("it is not a JSON object");
    return document;
}

// What a recovery file says of itself, checked as far as the offer to recover needs it, and
// its grids, checked as recovering them would.
std::variant<RecoveredDeck, std::string> Examine(const QString& path) {
    auto read = ReadJson(path);
    if (auto* why = std::get_if<std::string>(&read)) return *why;
    const nlohmann::json& document = std::get<nlohmann::json>(read);
    const auto writtenAt = document.find(kWrittenAt);
    if (writtenAt == document.end() || !writtenAt->is_string())
        return std::string("it does not say when it was written");
    RecoveredDeck deck{path, {}, {}};
    deck.writtenAt =
        QDateTime::fromString(QString::fromStdString(writtenAt->get<std::string>()), Qt::ISODate);
    if (!deck.writtenAt.isValid()) return std::string("the time it was written is no time");
    const auto title = document.find(kTitle);
    if (title != document.end()) {
        const auto latin1 = title->is_string() ? Utf8ToLatin1(title->get<std::string>())
                                               : std::optional<std::string>();
        if (!latin1) return std::string("its title is not a deck's title");
        deck.title = *latin1;
    }
    DeckGrids grids;
    RecordingPlatform quiet;
    if (const auto why = GridsFromJson(document, grids, quiet)) return "its grids: " + *why;
    return deck;
}

// Moved out of the way under a name that is never offered again, and kept for whoever wants to
// look at it.
QString SetAside(const QString& path) {
    QString aside = path + QStringLiteral(".unreadable");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".unreadable-%1").arg(n);
    return QFile::rename(path, aside) ? aside : path;
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

std::vector<RecoveredDeck> RecoveriesLeftBehind(std::vector<std::string>* setAside) {
    std::vector<RecoveredDeck> found;
    const QDir folder(RecoveryFolder());
    const auto kinds = QDir::Files | QDir::System; // a pipe too, to be named and set aside
    for (const QString& name :
         folder.entryList({QStringLiteral("recovery-*.json")}, kinds, QDir::Time)) {
        const QString path = folder.filePath(name);
        auto examined = Examine(path);
        if (auto* deck = std::get_if<RecoveredDeck>(&examined)) {
            found.push_back(std::move(*deck));
        } else if (setAside) {
            const QString aside = SetAside(path);
            setAside->push_back(QFileInfo(aside).fileName().toStdString() + ": " +
                                std::get<std::string>(examined));
        }
    }
    return found;
}

bool ReadRecovery(const QString& path, DeckGrids& grids, Platform& platform) {
    const auto read = ReadJson(path);
    const auto* document = std::get_if<nlohmann::json>(&read);
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
