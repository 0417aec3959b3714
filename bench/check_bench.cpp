// Reading speed against a yardstick, side by side in one run: `tovandeck check` of a deck of
// 10,000 catchments (every one with a D1 card) against a plain gfortran program that reads the
// same cards with formatted READ (bench/read_deck.f90, built when gfortran is installed). Both
// are started as programs, so each time includes a program start. Target: the check in at most
// half the time of the Fortran reader. Also the check of a million catchments, its time and
// its peak memory.
#include "DeckBuilder.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::string TempDeckPath(int catchments) {
    return (std::filesystem::temp_directory_path() / ("check_bench_" + std::to_string(::getpid()) +
                                                      "_" + std::to_string(catchments) + ".tvi"))
        .string();
}

// The catchment cards of a deck of `catchments` (up to its end card "E"), written `times`
// times after its storms: a deck of times x catchments built without holding it. A program
// started from here starts with the peak memory this one ever had (the kernel keeps the
// larger), so this one must never hold a million catchments.
void WriteRepeated(const std::string& path, int catchments, int times) {
    const std::string one = TempDeckPath(catchments) + ".part";
    tovan::testing::WriteDeckFile(one, tovan::testing::ManyCatchments(catchments, 5));
    std::ifstream in(one, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(one);
    const std::size_t storms = text.find("\r\n\r\n") + 4, end = text.rfind("E\r\n");
    std::ofstream out(path, std::ios::binary);
    out << text.substr(0, storms);
    for (int i = 0; i < times; ++i)
        out.write(text.data() + storms, static_cast<std::streamsize>(end - storms));
    out << "E\r\n";
}

// Written once, removed when the program ends.
struct DeckFile {
    std::string path;
    explicit DeckFile(int catchments) : path(TempDeckPath(catchments)) {
        constexpr int kPiece = 10000;
        if (catchments % kPiece == 0) {
            WriteRepeated(path, kPiece, catchments / kPiece);
        } else {
            tovan::testing::WriteDeckFile(path, tovan::testing::ManyCatchments(catchments, 5));
        }
    }
    ~DeckFile() { std::filesystem::remove(path); }
};

const std::string& TenThousandCatchments() {
    static const DeckFile deck(10000);
    return deck.path;
}

// The peak memory of the last program Run waited for, in bytes.
long lastPeakMemory = 0;

// Runs a program with the deck as its argument, its output thrown away; its exit status.
int Run(const std::string& program, std::vector<std::string> arguments) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return -1;
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    lastPeakMemory = usage.ru_maxrss * 1024L;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_TovandeckCheck(benchmark::State& state) {
    const std::string& deck = TenThousandCatchments();
    for (auto _ : state) {
        if (Run(TOVANDECK_PROGRAM, {"check", deck}) != 0) state.SkipWithError("check failed");
    }
}
BENCHMARK(BM_TovandeckCheck)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// A deck of a million catchments (246 MB): target under 8 s within 1 GB.
void BM_TovandeckCheckMillion(benchmark::State& state) {
    const DeckFile deck(1000000);
    for (auto _ : state) {
        if (Run(TOVANDECK_PROGRAM, {"check", deck.path}) != 0) state.SkipWithError("check failed");
    }
    state.counters["peak_MB"] = double(lastPeakMemory) / (1024.0 * 1024.0);
}
BENCHMARK(BM_TovandeckCheckMillion)->Unit(benchmark::kMillisecond)->Iterations(1);

#ifdef FORTRAN_READER
void BM_FortranFormattedRead(benchmark::State& state) {
    const std::string& deck = TenThousandCatchments();
    for (auto _ : state) {
        if (Run(FORTRAN_READER, {deck}) != 0) state.SkipWithError("the Fortran reader failed");
    }
}
BENCHMARK(BM_FortranFormattedRead)->Unit(benchmark::kMillisecond)->MinTime(0.5);

// The two one right after the other in every iteration, so that a machine whose speed drifts
// (a shared virtual machine's does, by a third within minutes) slows both alike: `ratio` is the
// check's total time over the Fortran reader's, the figure the target is about.
void BM_CheckOverFortranRead(benchmark::State& state) {
    const std::string& deck = TenThousandCatchments();
    using Clock = std::chrono::steady_clock;
    Clock::duration check{}, fortran{};
    for (auto _ : state) {
        const auto start = Clock::now();
        const int checked = Run(TOVANDECK_PROGRAM, {"check", deck});
        const auto between = Clock::now();
        const int read = Run(FORTRAN_READER, {deck});
        fortran += Clock::now() - between;
        check += between - start;
        if (checked != 0 || read != 0) state.SkipWithError("a program failed");
    }
    const auto ms = [&](Clock::duration total) {
        return std::chrono::duration<double, std::milli>(total).count() /
               static_cast<double>(state.iterations());
    };
    state.counters["check_ms"] = ms(check);
    state.counters["fortran_ms"] = ms(fortran);
    state.counters["ratio"] = ms(check) / ms(fortran);
}
BENCHMARK(BM_CheckOverFortranRead)->Unit(benchmark::kMillisecond)->Iterations(40);
#endif

} // namespace
