#include "EngineDeck.h"

#include "deck/CardLayouts.h"
#include "deck/InputRanges.h"
#include "fortranio/FormatDescriptor.h"
#include "fortranio/QVFortranIO.h"

#include <algorithm>

namespace tovan::engine {

const Storm* EngineDeck::findStorm(int number) const {
    for (const Storm& s : storms) {
        if (s.number == number) return &s;
    }
    return nullptr;
}

namespace {

struct Lines {
    std::vector<std::string> text;
    std::size_t next = 0;

    bool more() const { return next < text.size(); }
    const std::string& take() { return text[next++]; }
    int number() const { return static_cast<int>(next); } // 1-based line of the last taken
};

Lines ReadLines(std::istream& in) {
    Lines lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.text.push_back(std::move(line));
    }
    return lines;
}

bool IsBlank(const std::string& line) {
    return line.find_first_not_of(' ') == std::string::npos;
}

std::optional<double> Number(const FieldValue& v) {
    if (!v.isNumber()) return std::nullopt;
    return v.number();
}

int Integer(const FieldValue& v) {
    return v.isNumber() ? static_cast<int>(v.number()) : 0;
}

std::string Trimmed(const FieldValue& v) {
    const std::string& t = v.text;
    const auto first = t.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return t.substr(first, t.find_last_not_of(' ') - first + 1);
}

template <std::size_t N>
ReadResult ReadCard(const std::string& line, const std::array<CardField, N>& card) {
    const auto descriptors = ReadDescriptors(card);
    return FortranRead(line, std::span<const std::string_view>(descriptors));
}

// The words for a field in messages: the name of its range ("the catchment length"), or none.
std::string FieldName(std::string_view recordSet, int gridColumn) {
    for (const InputRange& range : InputRanges()) {
        if (range.recordSet == recordSet && range.gridColumn == gridColumn && gridColumn != 0)
            return " (" + std::string(range.name) + ")";
    }
    if (recordSet == "B1" && gridColumn >= 3) return " (a rainfall depth)";
    return {};
}

// The first field of a card read from `line` that holds text that is not a number ("****", which
// a writer puts in a field too narrow for its value, or "1,2"): it is said with its card, line,
// columns and text, and never taken as 0 or as a blank.
template <std::size_t N>
std::optional<std::string> UnreadableNumber(const std::string& line, const FieldList& values,
                                            const std::array<CardField, N>& card,
                                            std::string_view recordSet, int number) {
    std::size_t column = 1;
    for (std::size_t i = 0; i < N && i < values.size(); ++i) {
        const auto d = ParseDescriptor(card[i].readDescriptor, DescriptorUse::Reading);
        const auto width = static_cast<std::size_t>(d ? d->width : 0);
        if (values[i].isNull()) {
            const std::string text = column <= line.size() ? line.substr(column - 1, width) : "";
            return "card " + std::string(recordSet) + " on line " + std::to_string(number) +
                   ", columns " + std::to_string(column) + " to " +
                   std::to_string(column + width - 1) + FieldName(recordSet, card[i].gridColumn) +
                   ": \"" + Trimmed(FieldValue::MakeText(text)) + "\" is not a number";
        }
        column += width;
    }
    return std::nullopt;
}

} // namespace

namespace {

// ---- Record set B ------------------------------------------------------------------------

void ReadB2(const FieldList& v, Storm& storm) {
    storm.designStorm = true;
    storm.returnPeriod = Integer(v[2]);
    storm.oneHourDepth = Number(v[3]).value_or(0.0);
    storm.factors = {Number(v[5]), Number(v[6]), Number(v[7]), Number(v[8])};
}

// The cards of one B1 storm: columns 65-80 of the last card of a storm of two or more cards
// are its correction factors, everywhere else depths 14 to 17.
void ReadB1(const std::vector<FieldList>& cards, Storm& storm) {
    for (std::size_t c = 0; c < cards.size(); ++c) {
        const bool factorsHere = cards.size() > 1 && c + 1 == cards.size();
        const std::size_t depthEnd = factorsHere ? 15 : 19;
        for (std::size_t i = 2; i < depthEnd; ++i)
            storm.depths.push_back(Number(cards[c][i]).value_or(0.0));
        if (factorsHere) {
            const FieldList& v = cards[c];
            storm.factors = {Number(v[15]), Number(v[16]), Number(v[17]), Number(v[18])};
        }
    }
    // Blank fields after the last depth end the storm; blanks between depths are dry steps.
    const auto lastRain =
        std::find_if(storm.depths.rbegin(), storm.depths.rend(), [](double d) { return d != 0.0; });
    storm.depths.erase(lastRain.base(), storm.depths.end());
}

struct BCard {
    int line;
    FieldList values;
    std::optional<std::string> unreadable; // a field that is not a number: the storm is not used
};

void AddStorm(EngineDeck& deck, Storm storm, int line) {
    if (deck.findStorm(storm.number) != nullptr) {
        deck.messages.push_back({line, "storm " + std::to_string(storm.number) +
                                           " appears again; the first one is used"});
        return;
    }
    deck.storms.push_back(std::move(storm));
}

// Groups the B1 cards into storms: consecutive cards with the same storm number.
void GroupB1(EngineDeck& deck, const std::vector<BCard>& cards) {
    for (std::size_t i = 0; i < cards.size();) {
        std::size_t end = i + 1;
        while (end < cards.size() && Integer(cards[end].values[0]) == Integer(cards[i].values[0]))
            ++end;
        std::vector<FieldList> run;
        for (std::size_t j = i; j < end; ++j)
            run.push_back(cards[j].values);
        Storm storm;
        storm.number = Integer(cards[i].values[0]);
        storm.line = cards[i].line;
        storm.identification = Trimmed(cards[i].values[1]);
        ReadB1(run, storm);
        for (std::size_t j = i; j < end && storm.problem.empty(); ++j)
            storm.problem = cards[j].unreadable.value_or("");
        AddStorm(deck, std::move(storm), cards[i].line);
        i = end;
    }
}

std::optional<BCard> ReadBCard(EngineDeck& deck, const std::string& line, int number) {
    const ReadResult v =
        deck.rainfallOption == 1 ? ReadCard(line, cards::kB1) : ReadCard(line, cards::kB2);
    if (!v) {
        deck.messages.push_back({number, "this storm card cannot be read; it is left out"});
        return std::nullopt;
    }
    if (!(*v)[0].isNumber()) {
        deck.messages.push_back({number, "this storm card has no storm number; it is left out"});
        return std::nullopt;
    }
    const auto unreadable = deck.rainfallOption == 1
                                ? UnreadableNumber(line, *v, cards::kB1, "B1", number)
                                : UnreadableNumber(line, *v, cards::kB2, "B2", number);
    return BCard{number, *v, unreadable};
}

// Reads the B cards up to the empty line that ends them.
void ReadStorms(Lines& lines, EngineDeck& deck) {
    std::vector<BCard> cards;
    while (lines.more()) {
        const std::string& line = lines.take();
        if (IsBlank(line)) break;
        if (auto card = ReadBCard(deck, line, lines.number())) cards.push_back(std::move(*card));
    }
    if (deck.rainfallOption == 1) {
        GroupB1(deck, cards);
        return;
    }
    for (const BCard& card : cards) {
        Storm storm;
        storm.number = Integer(card.values[0]);
        storm.line = card.line;
        storm.identification = Trimmed(card.values[1]);
        ReadB2(card.values, storm);
        storm.problem = card.unreadable.value_or("");
        AddStorm(deck, std::move(storm), card.line);
    }
}

// ---- Catchments -------------------------------------------------------------------------

void ReadC(const FieldList& v, Catchment& c) {
    c.printOption = Integer(v[1]);
    c.rationalOption = Integer(v[2]);
    c.firstStorm = Integer(v[3]);
    c.lastStorm = Integer(v[4]);
    c.unitDuration = Number(v[5]).value_or(0.0);
    c.identification = Trimmed(v[6]);
    c.number = Integer(v[7]);
    c.description = Trimmed(v[8]);
}

void ReadD(const FieldList& v, Catchment& c) {
    c.area = Number(v[0]);
    c.length = Number(v[1]);
    c.centroid = Number(v[2]);
    c.impervious = Number(v[3]);
    c.slope = Number(v[4]);
    c.tc = Number(v[5]);
    c.dsPervious = Number(v[6]);
    c.dsImpervious = Number(v[7]);
    c.f0 = Number(v[8]);
    c.decay = Number(v[9]);
    c.fc = Number(v[10]);
    c.cancelFactors = Number(v[11]);
    c.useD1 = Integer(v[12]);
    if (v[14].isNumber()) c.dciaLevel = Integer(v[14]);
    c.connectedFraction = Number(v[15]);
    c.receivingFraction = Number(v[16]);
}

void ReadD1(const FieldList& v, Catchment& c) {
    c.ct = Number(v[0]);
    c.cp = Number(v[1]);
    c.w50 = Number(v[2]);
    c.w75 = Number(v[3]);
    c.before50 = Number(v[4]);
    c.before75 = Number(v[5]);
    c.wqcv = Number(v[6]);
    c.drainTime = Number(v[7]);
}

bool IsEndCard(const std::string& line) {
    return !line.empty() && line[0] == 'E';
}

// Whether a line has what every C card has: a print option, first and last storm numbers from
// 1 to 99, a unit duration and an identification. A D1 card has none of these in those columns
// (its Ct and Cp fill them with decimals).
bool LooksLikeCCard(const std::string& line) {
    const ReadResult c = ReadCard(line, cards::kC);
    if (!c) return false;
    const FieldList& v = *c;
    const auto storm = [](const FieldValue& f) {
        return f.isNumber() && f.number() >= 1.0 && f.number() <= 99.0;
    };
    return v[1].isNumber() && storm(v[3]) && storm(v[4]) && v[5].isNumber() &&
           v[5].number() > 0.0 && !Trimmed(v[6]).empty();
}

// Whether the line after a D card is the next catchment's C card rather than the D1 card that
// the D card asks for: it looks like a C card and the line after it does not (it is that
// catchment's D card).
bool StartsTheNextCatchment(const Lines& lines, std::size_t at) {
    if (!LooksLikeCCard(lines.text[at])) return false;
    return at + 1 >= lines.text.size() || !LooksLikeCCard(lines.text[at + 1]);
}

// Reads the D1 card that the D card asks for. A line that is not one (the end card, an empty
// line, the next catchment's C card) is left for the reader after it, so that one missing D1
// card costs one catchment, not the rest of the deck.
void ReadD1Card(Lines& lines, Catchment& c) {
    const bool present = lines.more() && !IsEndCard(lines.text[lines.next]) &&
                         !IsBlank(lines.text[lines.next]) &&
                         !StartsTheNextCatchment(lines, lines.next);
    if (!present) {
        c.problem = "card D (line " + std::to_string(c.dLine) +
                    ") asks for a D1 card, but the next line is not one";
        return;
    }
    const ReadResult d1 = ReadCard(lines.take(), cards::kD1);
    c.d1Line = lines.number();
    if (!d1) {
        c.problem = "its D1 card (line " + std::to_string(c.d1Line) + ") cannot be read";
        return;
    }
    ReadD1(*d1, c);
    if (c.problem.empty())
        c.problem = UnreadableNumber(lines.text[lines.next - 1], *d1, cards::kD1, "D1", c.d1Line)
                        .value_or("");
}

// Reads the D card (and the D1 card when asked for) that follow a C card.
void ReadParameters(Lines& lines, Catchment& c) {
    if (!lines.more() || IsEndCard(lines.text[lines.next])) {
        c.problem = "its D card is missing";
        return;
    }
    const ReadResult d = ReadCard(lines.take(), cards::kD);
    c.dLine = lines.number();
    if (!d) {
        c.problem = "its D card (line " + std::to_string(c.dLine) + ") cannot be read";
        return;
    }
    ReadD(*d, c);
    const auto unreadable =
        UnreadableNumber(lines.text[lines.next - 1], *d, cards::kD, "D", c.dLine);
    if (c.useD1 == 1) ReadD1Card(lines, c);
    if (unreadable) c.problem = *unreadable; // before what its D1 card says
}

void ReadCatchments(Lines& lines, EngineDeck& deck) {
    while (lines.more()) {
        const std::string& line = lines.take();
        if (IsEndCard(line)) return;
        if (IsBlank(line)) continue;
        Catchment c;
        c.line = lines.number();
        if (const ReadResult v = ReadCard(line, cards::kC)) {
            ReadC(*v, c);
            ReadParameters(lines, c);
            if (const auto unreadable = UnreadableNumber(line, *v, cards::kC, "C", c.line))
                c.problem = *unreadable; // before what its D card says
        } else {
            c.problem = "its C card cannot be read";
        }
        deck.catchments.push_back(std::move(c));
    }
}

} // namespace

EngineDeck ParseDeck(std::istream& in) {
    EngineDeck deck;
    Lines lines = ReadLines(in);
    const ReadResult a = lines.more() ? ReadCard(lines.take(), cards::kA) : std::nullopt;
    if (!a || ((*a)[1].integer != 1 && (*a)[1].integer != 2) || !(*a)[1].isNumber()) {
        deck.messages.push_back({1, "card A is missing or does not choose rainfall option 1 or 2"});
        return deck;
    }
    deck.rainfallOption = (*a)[1].integer;
    deck.title = Trimmed((*a)[2]);
    ReadStorms(lines, deck);
    ReadCatchments(lines, deck);
    return deck;
}

} // namespace tovan::engine
