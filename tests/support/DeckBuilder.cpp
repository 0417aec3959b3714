#include "DeckBuilder.h"

#include "deck/CardLayouts.h"
#include "fortranio/QVFortranIO.h"

#include <fstream>
#include <stdexcept>
#include <variant>

namespace tovan::testing {

namespace {

using Value = WriteValue;

Value Opt(const std::optional<double>& v) {
    return v ? Value(*v) : Value(std::monostate{});
}

template <std::size_t N>
std::string Card(const std::array<CardField, N>& layout, const std::array<Value, N>& values) {
    std::vector<WriteValue> pairs;
    for (std::size_t i = 0; i < N; ++i) {
        pairs.emplace_back(layout[i].writeDescriptor);
        pairs.push_back(values[i]);
    }
    std::string card = FortranWrite(pairs);
    if (card.empty()) throw std::runtime_error("a test card cannot be written");
    return card + "\r\n";
}

std::string B2Card(const StormCards& s) {
    std::array<Value, 9> v{static_cast<double>(s.number), std::string_view(s.identification),
                           static_cast<double>(s.returnPeriod), s.oneHourDepth};
    for (std::size_t i = 0; s.factors && i < 4; ++i)
        v[5 + i] = (*s.factors)[i];
    return Card(cards::kB2, v);
}

std::string B1Card(const StormCards& s, const std::vector<double>& depths,
                   const std::array<double, 4>* factors) {
    std::array<Value, 19> v{};
    v[0] = static_cast<double>(s.number);
    v[1] = std::string_view(s.identification);
    for (std::size_t i = 0; i < depths.size(); ++i)
        v[i + 2] = depths[i];
    if (factors == nullptr) return Card(cards::kB1, v);
    for (std::size_t i = 0; i < 4; ++i)
        v[15 + i] = (*factors)[i];
    return Card(cards::kB1WithFactors, v);
}

// A storm's cards: 17 depths a card; factors need a last card of at most 13 depths, and a
// second card at least.
std::string B1Cards(const StormCards& s) {
    std::string text;
    std::size_t next = 0, cardsWritten = 0;
    const std::size_t n = s.depths.size();
    for (;;) {
        const std::size_t left = n - next;
        if (s.factors && cardsWritten > 0 && left <= 13) {
            text += B1Card(s, {s.depths.begin() + static_cast<long>(next), s.depths.end()},
                           &*s.factors);
            return text;
        }
        const std::size_t take = std::min<std::size_t>(17, left);
        text += B1Card(s,
                       {s.depths.begin() + static_cast<long>(next),
                        s.depths.begin() + static_cast<long>(next + take)},
                       nullptr);
        next += take;
        ++cardsWritten;
        if (!s.factors && next >= n) return text;
    }
}

std::string CCard(const CatchmentCards& c) {
    return Card(cards::kC, {std::string_view(" "), static_cast<double>(c.printOption),
                            static_cast<double>(c.rational), static_cast<double>(c.firstStorm),
                            static_cast<double>(c.lastStorm), c.unitDuration,
                            std::string_view(c.identification), static_cast<double>(c.number),
                            std::string_view(c.description)});
}

std::string DCard(const CatchmentCards& c) {
    return Card(cards::kD,
                {c.area, c.length, c.centroid, c.impervious, c.slope, c.tc, c.dsPervious,
                 c.dsImpervious, c.f0, c.decay, c.fc, Opt(c.cancelFactors),
                 c.useD1 ? Value(1.0) : Value(0.0), std::monostate{},
                 c.dciaLevel ? Value(static_cast<double>(*c.dciaLevel)) : Value(std::monostate{}),
                 Opt(c.connected), Opt(c.receiving)});
}

std::string D1Card(const CatchmentCards& c) {
    return Card(cards::kD1, {Opt(c.ct), Opt(c.cp), Opt(c.w50), Opt(c.w75), Opt(c.before50),
                             Opt(c.before75), Opt(c.wqcv), Opt(c.drainTime)});
}

} // namespace

std::string WriteDeck(const DeckCards& deck) {
    std::string text =
        Card(cards::kA, {std::string_view(" "), static_cast<double>(deck.rainfallOption),
                         std::string_view(deck.title)});
    for (const StormCards& s : deck.storms)
        text += deck.rainfallOption == 1 ? B1Cards(s) : B2Card(s);
    text += "\r\n";
    for (const CatchmentCards& c : deck.catchments) {
        text += CCard(c) + DCard(c);
        if (c.useD1) text += D1Card(c);
    }
    return text + "E\r\n";
}

void WriteDeckFile(const std::string& path, const DeckCards& deck) {
    std::ofstream(path, std::ios::binary) << WriteDeck(deck);
}

DeckCards ManyCatchments(int catchments, int storms) {
    DeckCards deck;
    deck.title = "BENCH";
    for (int s = 1; s <= storms; ++s) {
        StormCards storm;
        storm.number = s;
        storm.returnPeriod = 10;
        storm.oneHourDepth = 1.5;
        deck.storms.push_back(storm);
    }
    for (int c = 1; c <= catchments; ++c) {
        CatchmentCards catchment;
        catchment.lastStorm = storms;
        catchment.number = c % 399 + 1;
        catchment.dciaLevel = 2;
        catchment.connected = 0.75;
        catchment.receiving = 0.5;
        catchment.useD1 = true;
        catchment.ct = 1.2;
        catchment.cp = 0.6;
        catchment.w50 = 30;
        catchment.w75 = 15;
        catchment.before50 = 0.35;
        catchment.before75 = 0.45;
        catchment.wqcv = 0.3;
        catchment.drainTime = 40;
        deck.catchments.push_back(catchment);
    }
    return deck;
}

} // namespace tovan::testing
