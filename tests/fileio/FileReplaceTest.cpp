// The file replacement keeps what an ordinary "open for output" keeps, and never leaves a
// half-written temporary file behind. Cases that depend on who saves run in a child process as
// the unprivileged user "nobody" when the tests run as root, so that they mean the same in CI.
#include "fileio/FileReplace.h"

#include "TempFolder.h"

#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tovan;
using tovan::testing::ReadText;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

void Write(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

int Replace(const fs::path& path, const std::string& text) {
    return ReplaceFileContents(path.string(), text);
}

// The result of replacing `path` as an ordinary user: as nobody when root, else as ourselves.
int ReplaceAsUser(const fs::path& path, const std::string& text) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(100);
        ::_exit(Replace(path, text) & 0xFF);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<DiskStep> gSteps;

std::vector<DiskStep> StepsOfReplacing(const fs::path& path, const std::string& text) {
    gSteps.clear();
    WatchDiskSteps([](DiskStep step) { gSteps.push_back(step); });
    EXPECT_EQ(Replace(path, text), 0);
    WatchDiskSteps(nullptr);
    return gSteps;
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileReplace : public ::testing::Test {
  protected:
    void TearDown() override {
        fs::permissions(folder_.path(), fs::perms::all, fs::perm_options::add);
    }
    tovan::testing::TempFolder folder_;
};

} // namespace

TEST_F(FileReplace, RefusesWhatIsNotARegularFileAndLeavesItAsItWas) {
    const fs::path folder = folder_ / "deck.tvi", fifo = folder_ / "fifo.tvi";
    const fs::path socket = folder_ / "socket.tvi";
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket.c_str());
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    EXPECT_EQ(Replace(folder, "x"), EISDIR);
    EXPECT_EQ(Replace(fifo, "x"), kNotARegularFile) << "and it did not wait for a reader";
    EXPECT_EQ(Replace(socket, "x"), kNotARegularFile);
    EXPECT_TRUE(fs::is_directory(folder) && fs::is_fifo(fifo) && fs::is_socket(socket));
    ::close(listener);

    const fs::path loop = folder_ / "loop.tvi";
    fs::create_symlink(loop, loop);
    EXPECT_EQ(Replace(loop, "x"), ELOOP);
    EXPECT_EQ(Names(folder_.path()),
              (std::vector<std::string>{"deck.tvi", "fifo.tvi", "loop.tvi", "socket.tvi"}));
}

TEST_F(FileReplace, KeepsLinksModeAndOwner) {
    const fs::path deck = folder_ / "deck.tvi", hard = folder_ / "hard.tvi";
    Write(deck, "earlier");
    ASSERT_EQ(::chmod(deck.c_str(), 0640), 0);
    fs::create_hard_link(deck, hard);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(deck.c_str(), kNobody, kNobody), 0);
    }
    EXPECT_EQ(StepsOfReplacing(deck, "new"), std::vector{DiskStep::ContentFlushed});
    EXPECT_EQ(ReadText(hard), "new") << "every name of the deck sees the new content";
    struct stat status {};
    ASSERT_EQ(::stat(deck.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    if (::geteuid() == 0) {
        EXPECT_EQ(status.st_uid, kNobody) << "root saving keeps the owner";
    }

    Write(hard, "x"); // a single name again, so that the atomic rename is taken
    fs::remove(hard);
    EXPECT_EQ(StepsOfReplacing(deck, "renamed"),
              (std::vector{DiskStep::ContentFlushed, DiskStep::Renamed}))
        << "a power cut after the rename must find the content on the disk";
    ASSERT_EQ(::stat(deck.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640U);
    if (::geteuid() == 0) {
        EXPECT_EQ(status.st_uid, kNobody);
    }

    const fs::path dangling = folder_ / "link.tvi", target = folder_ / "not yet.tvi";
    fs::create_symlink(target.filename(), dangling);
    ASSERT_EQ(Replace(dangling, "through the link"), 0);
    EXPECT_TRUE(fs::is_symlink(dangling)) << "the link stays a link";
    EXPECT_EQ(ReadText(target), "through the link");
}

TEST_F(FileReplace, FollowsWhatTheUserMayWrite) {
    const fs::path open = folder_ / "open", closed = folder_ / "closed";
    fs::create_directories(open);
    fs::create_directories(closed);
    ::chmod(open.c_str(), 0777);
    const fs::path notMine = open / "not mine.tvi", mine = closed / "mine.tvi";
    Write(notMine, "kept");
    ::chmod(notMine.c_str(), 0444);
    Write(mine, "earlier");
    ::chmod(mine.c_str(), 0666);
    ::chmod(closed.c_str(), 0555);

    EXPECT_EQ(ReplaceAsUser(notMine, "new"), EACCES);
    EXPECT_EQ(ReadText(notMine), "kept");
    EXPECT_EQ(ReplaceAsUser(mine, "written in place"), 0) << "a writable deck saves anywhere";
    EXPECT_EQ(ReadText(mine), "written in place");
    EXPECT_EQ(ReplaceAsUser(closed / "new.tvi", "x"), EACCES);
    EXPECT_EQ(Names(closed), std::vector<std::string>{"mine.tvi"});
}

TEST_F(FileReplace, AKilledSaveLeavesTheOldOrTheNewDeckAndNothingElse) {
    const fs::path deck = folder_ / "deck.tvi";
    const std::string earlier(1 << 20, 'a'), later(8 << 20, 'b');
    Write(deck, earlier);
    for (int kill = 0; kill < 20; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                Replace(deck, later);
        }
        ::usleep(static_cast<useconds_t>(2000 + 3000 * kill));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        // Only a kill between naming the complete file and the rename leaves it, complete.
        for (const std::string& name : Names(folder_.path())) {
            const auto size = fs::file_size(folder_ / name);
            EXPECT_TRUE(name == "deck.tvi" ? size == earlier.size() || size == later.size()
                                           : size == later.size())
                << kill << " " << name;
        }
    }
    // A save removes only what it made itself: a complete copy a killed save had already named
    // may stay beside the deck, under its hidden temporary name, and nothing else.
    ASSERT_EQ(Replace(deck, earlier), 0);
    EXPECT_EQ(fs::file_size(deck), earlier.size());
    for (const std::string& name : Names(folder_.path()))
        EXPECT_TRUE(name == "deck.tvi" || (name.starts_with(".tovan-") && name.ends_with(".tmp") &&
                                           fs::file_size(folder_ / name) == later.size()))
            << name;
}

// A deck written in place (here: it has a second name) on a disk too full for its new text:
// the save is refused and both names keep the old deck. A file size limit stands in for the
// full disk; it applies in a child process only.
TEST_F(FileReplace, AFullDiskLeavesADeckWrittenInPlaceIntact) {
    const fs::path deck = folder_ / "deck.tvi", hard = folder_ / "hard.tvi";
    const std::string earlier(3000, 'e');
    Write(deck, earlier);
    fs::create_hard_link(deck, hard);
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(100);
        ::_exit(Replace(deck, std::string(10000, 'n')) == EFBIG ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "refused for want of room";
    EXPECT_EQ(ReadText(deck), earlier);
    EXPECT_EQ(ReadText(hard), earlier);
}

// A name of 255 bytes, the most a file system takes, saves; a file in the folder whose name
// looks like a save's temporary file is someone else's and stays.
TEST_F(FileReplace, EveryNameSavesAndOnlyItsOwnFilesAreTouched) {
    const fs::path longest = folder_ / (std::string(251, 'L') + ".tvi");
    EXPECT_EQ(Replace(longest, "first"), 0);
    EXPECT_EQ(Replace(longest, "second"), 0);
    EXPECT_EQ(ReadText(longest), "second");

    const fs::path deck = folder_ / "target.tvi";
    const fs::path others[] = {folder_ / ".target.tvi.99999.tmp", folder_ / ".tovan-99999-0-0.tmp"};
    for (const fs::path& other : others)
        Write(other, "not the save's");
    EXPECT_EQ(Replace(deck, "deck"), 0);
    for (const fs::path& other : others)
        EXPECT_EQ(ReadText(other), "not the save's") << other;
    EXPECT_EQ(Names(folder_.path()).size(), 4U) << "and nothing of the save's own is left";
}
