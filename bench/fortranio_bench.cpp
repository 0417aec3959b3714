// Reading and writing the deck's busiest cards.
#include "deck/CardLayouts.h"
#include "fortranio/QVFortranIO.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

using namespace tovan;

namespace {

// Realistic cards, built by the writer itself so that their columns are right.
const std::string kB1Card = FortranWrite({"I2",   1.0, "A10",  std::string_view("STORM 1"),
                                          "F4.3", .02, "F4.3", .04,
                                          "F4.3", .06, "F4.3", .12,
                                          "F4.3", .25, "F4.3", .51,
                                          "F4.3", .93, "F4.3", .41,
                                          "F4.3", .21, "F4.3", .12,
                                          "F4.3", .08, "F4.3", .06,
                                          "F4.3", .04, "F4.3", .03,
                                          "F4.3", .02, "F4.3", .01,
                                          "F4.3", .01});
const std::string kB2Card =
    FortranWrite({"I2", 1.0, "A10", std::string_view("100-YEAR"), "I3", 100.0, "F5.4", 2.6, "44X",
                  std::monostate{}, "F4.3", 1.1, "F4.3", .9, "F4.3", 1.2, "F4.3", .8});
const std::string kDCard =
    FortranWrite({"F5.4", 1.2,    "F5.4", 1.85,   "F5.4", .9,     "F5.4",
                  45.0,   "F5.4", .012,   "F5.4", 30.0,   "F5.4", .35,
                  "F5.4", .1,     "F5.4", 4.5,    "F5.4", .00115, "F5.4",
                  .6,     "F5.4", .8,     "I1",   1.0,    "3X",   std::monostate{},
                  "I1",   1.0,    "F5.4", .55,    "F5.4", .35});

template <std::size_t N>
void ReadCard(benchmark::State& state, const std::string& line,
              const std::array<CardField, N>& card) {
    const ReadFormat format{ReadDescriptors(card)}; // parsed once, as the card readers do
    if (!FortranRead(line, format)) {
        state.SkipWithError("benchmark card does not read");
        return;
    }
    for (auto _ : state) {
        auto result = FortranRead(line, format);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

template <std::size_t N>
void WriteCard(benchmark::State& state, const std::string& line,
               const std::array<CardField, N>& card) {
    const auto values = *FortranRead(line, ReadDescriptors(card));
    std::vector<std::string> texts;
    for (const auto& v : values)
        texts.push_back(CellText(v));
    std::array<std::string_view, N> descriptors{};
    std::vector<WriteValue> writeValues;
    for (std::size_t i = 0; i < N; ++i) {
        descriptors[i] = card[i].writeDescriptor;
        writeValues.emplace_back(std::string_view(texts[i]));
    }
    const WriteFormat format{descriptors}; // parsed once, as the save does
    if (FortranWrite(format, writeValues) != line) {
        state.SkipWithError("benchmark card does not write back");
        return;
    }
    for (auto _ : state) {
        auto result = FortranWrite(format, writeValues);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_FortranReadB1(benchmark::State& s) {
    ReadCard(s, kB1Card, cards::kB1);
}
void BM_FortranReadB2(benchmark::State& s) {
    ReadCard(s, kB2Card, cards::kB2);
}
void BM_FortranReadD(benchmark::State& s) {
    ReadCard(s, kDCard, cards::kD);
}
void BM_FortranWriteB1(benchmark::State& s) {
    WriteCard(s, kB1Card, cards::kB1);
}
void BM_FortranWriteB2(benchmark::State& s) {
    WriteCard(s, kB2Card, cards::kB2);
}
void BM_FortranWriteD(benchmark::State& s) {
    WriteCard(s, kDCard, cards::kD);
}

} // namespace

BENCHMARK(BM_FortranReadB1);
BENCHMARK(BM_FortranReadB2);
BENCHMARK(BM_FortranReadD);
BENCHMARK(BM_FortranWriteB1);
BENCHMARK(BM_FortranWriteB2);
BENCHMARK(BM_FortranWriteD);
