// The catchment records: card C into fpCardC, card D (and its D1 when asked for) into the
// same row of fpCardD.
#include "deck/CardLayouts.h"
#include "deck/modChangeSpread.h"
#include "fileio/CardReading.h"
#include "platform/RecordingPlatform.h"

#include <atomic>
#include <cctype>
#include <future>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tovan {

using namespace reading;

namespace {

const CardFormat kCardC{cards::kC, "C"};
const CardFormat kCardD{cards::kD, "D"};
const CardFormat kCardD1{cards::kD1, "D"};

std::string PrintOptionIndex(const FieldValue& code) {
    if (code.kind == FieldKind::Integer && code.integer >= 7 && code.integer <= 9) {
        return std::to_string(code.integer - 3); // codes 7, 8, 9 sit at indexes 4, 5, 6
    }
    return CellText(code);
}

std::string_view TrimmedText(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void PutCCard(ReadingContext& context, const FieldList& c) {
    Grid& grid = context.grids.fpCardC;
    context.state.GridCol = col::kCPrint;
    PutCell(context, grid, PrintOptionIndex(c[1]));
    PutCell(context, grid, CellText(c[2]));             // rational formula option
    PutCell(context, grid, BlankIfZero(context, c[3])); // first storm
    PutCell(context, grid, BlankIfZero(context, c[4])); // last storm
    PutCell(context, grid, BlankIfZero(context, c[5])); // unit duration
    PutCell(context, grid, c[6].text);                  // identification, 6 characters as read
    PutCell(context, grid, BlankIfZero(context, c[7])); // catchment number
    PutCell(context, grid, TrimmedText(c[8].text));
}

// The D fields in card order: D.1 to D.11, D.12 (optional input), D.13 (use D1), D.14 (skip),
// D.15 to D.17 (DCIA). The grid takes D.15 to D.17 before D.12 and D.13.
void PutDCard(ReadingContext& context, const FieldList& d) {
    Grid& grid = context.grids.fpCardD;
    context.state.GridCol = col::kDArea;
    PutCell(context, grid, CellText(d[0])); // the area keeps a 0
    for (std::size_t i = 1; i <= 10; ++i)
        PutCell(context, grid, BlankIfZero(context, d[i]));
    for (std::size_t i = 14; i <= 16; ++i)
        PutCell(context, grid, BlankIfZero(context, d[i]));
    context.state.GridCol += 2; // over the D1 columns 16 and 17, to column 18
    PutCell(context, grid, BlankIfZero(context, d[11]));
    PutCell(context, grid, BlankIfZero(context, d[12]));
}

bool AsksForD1(const FieldList& d) {
    return d[12].kind == FieldKind::Integer && d[12].integer == 1;
}

} // namespace

void Card_D1(ReadingContext& context) {
    Trapped(context, "Card_D1 Error!", [&] {
        context.app.EnableD = true;
        ReadNextLine(context);
        const FieldList& d1 = ReadCardFields(context, kCardD1, context.state.GridRow);
        Grid& grid = context.grids.fpCardD;
        context.state.GridCol = col::kDFirstD1;
        for (std::size_t i = 0; i < 6; ++i)
            PutCell(context, grid, BlankIfZero(context, d1[i]));
        context.state.GridCol = col::kDWqcv;
        PutCell(context, grid, BlankIfZero(context, d1[6]));
        PutCell(context, grid, BlankIfZero(context, d1[7]));
    });
}

namespace {

// Room for the rest of the catchments, made at once instead of row by row once a few have been
// read: as many as the bytes left hold at the bytes those took each.
class CatchmentRoom {
  public:
    explicit CatchmentRoom(const ReadingContext& context) : startLeft_(BytesLeft(context)) {}

    void afterCatchment(ReadingContext& context) {
        if (++read_ != kSample) return;
        const std::size_t left = BytesLeft(context);
        const std::size_t each = (startLeft_ - std::min(startLeft_, left)) / kSample;
        if (each == 0) return;
        const int rows = static_cast<int>(std::min<std::size_t>(left / each + 1, 1U << 30));
        context.grids.fpCardC.reserveRows(rows);
        context.grids.fpCardD.reserveRows(rows);
    }

  private:
    static constexpr int kSample = 64;
    static std::size_t BytesLeft(const ReadingContext& context) {
        return context.state.deck ? context.state.deck->bytesLeft() : 0;
    }
    std::size_t startLeft_;
    int read_ = 0;
};

// The catchments that follow one another until the end card or the end of the file. `ahead`,
// when given, is reading the second half on another thread and takes over when this reading
// reaches it; `stop` asks a reading on another thread to end early.
class CatchmentsAhead;
void ReadCatchments(ReadingContext& context, CatchmentsAhead* ahead, const std::atomic<bool>* stop);

// The card column that says whether a D1 card follows the D card.
constexpr std::size_t kUseD1Column = 61;

// Where, at or after byte `from` of `text` (the catchment cards), the reader starts a catchment
// after a whole one: the reader's own steps over the lines, without reading their fields. A
// blank line is passed over where a card is due, the end card ends the catchments, and a D card
// with a 1 in its D1 column brings one more line. A C card followed by a blank line leaves the
// reader's rows out of step, so no catchment starts afresh until a whole one has been read.
// Nothing when the catchments end first.
std::optional<std::size_t> CatchmentStartFrom(std::string_view text, std::size_t from) {
    const auto lines = DeckFromTextView(text);
    std::string line;
    bool afresh = true;
    for (;;) {
        const std::size_t at = lines->offset();
        if (afresh && at >= from) return at;
        if (!lines->readLineInto(line)) return std::nullopt;
        if (IsBlankLine(line)) continue;
        if (line.front() == cards::kEndCard.front()) return std::nullopt;
        if (!lines->readLineInto(line)) return std::nullopt;
        afresh = !IsBlankLine(line);
        if (afresh && line.size() >= kUseD1Column && line[kUseD1Column - 1] == '1' &&
            !lines->readLineInto(line))
            return std::nullopt;
    }
}

// Reads the second half of a large deck's catchments on another thread while this one reads
// the first. A reader starts every catchment alike, so the second half read from a catchment's
// C card into grids of its own gives the rows the whole reading would, shifted; that holds when
// this reading arrives where the second half starts with its grids as the second half's began.
// Anything else, or a second half that failed or said anything, and this reading simply goes on
// through the second half itself: the outcome, messages included, is always that of one reading.
class CatchmentsAhead {
  public:
    // Started when the catchment cards are many and this source can give their bytes.
    static std::unique_ptr<CatchmentsAhead> Start(ReadingContext& context) {
        DeckSource* deck = context.state.deck.get();
        const std::size_t left = deck ? deck->bytesLeft() : 0;
        if (left < std::max<std::size_t>(context.state.readAheadFromBytes, 1) ||
            left > kAheadUpToBytes)
            return nullptr;
        auto ahead = std::unique_ptr<CatchmentsAhead>(new CatchmentsAhead(context.grids));
        const std::size_t base = deck->offset();
        const auto text = deck->textFrom(base, ahead->bytes_);
        if (!text) return nullptr;
        ahead->middle_ = base + text->size() / 2;
        ahead->read(*text, base);
        return ahead;
    }

    ~CatchmentsAhead() {
        stop_ = true;
        if (done_.valid()) done_.wait();
    }
    CatchmentsAhead(const CatchmentsAhead&) = delete;
    CatchmentsAhead& operator=(const CatchmentsAhead&) = delete;

    // At the start of a catchment: true when the second half has been joined to this reading,
    // which is then done. Once this reading is past where the second half starts, it is given up.
    bool joinedAt(ReadingContext& context) {
        if (givenUp_) return false;
        const std::size_t at = context.state.deck->offset();
        if (at < middle_) return false;
        givenUp_ = true;
        const std::optional<std::size_t> split = split_.get();
        stop_ = at != split;
        done_.wait();
        if (at != split || !joinable(context)) return false;
        join(context);
        return true;
    }

  private:
    // Catchment cards are a few hundred bytes: fewer than some thousand are read alone. A
    // file's bytes are held while they are read: beyond a million catchments or so, that memory
    // beside the grids' is worth more than the time saved.
    static constexpr std::size_t kAheadUpToBytes = 256 * 1024 * 1024;

    struct Reading {
        DeckGrids grids;
        ReadingState state;
        ApplicationState app;
        RecordingPlatform quiet;
    };

    explicit CatchmentsAhead(const DeckGrids& grids)
        : freshC_(grids.fpCardC), freshD_(grids.fpCardD) {
        for (Grid* fresh : {&freshC_, &freshD_}) {
            fresh->setObserver(nullptr);
            fresh->setRecorder(nullptr);
        }
    }

    // On the other thread: where the second half starts, found from the first catchment on
    // (`text`, at byte `base` of the deck), then that half read.
    void read(std::string_view text, std::size_t base) {
        second_.grids.fpCardC = freshC_;
        second_.grids.fpCardD = freshD_;
        std::promise<std::optional<std::size_t>> split;
        split_ = split.get_future();
        done_ =
            std::async(std::launch::async, [this, text, base, split = std::move(split)]() mutable {
                const auto start = CatchmentStartFrom(text, middle_ - base);
                split.set_value(start ? std::optional(base + *start) : std::nullopt);
                if (!start) return;
                std::string_view secondHalf = text.substr(*start);
                if (!bytes_.empty()) { // the first half's bytes of a file are not kept
                    bytes_.erase(0, *start);
                    secondHalf = bytes_;
                }
                second_.state.deck = DeckFromTextView(secondHalf);
                ReadingContext context{second_.grids, second_.state, second_.app, second_.quiet};
                ReadCatchments(context, nullptr, &stop_);
                second_.state.deck.reset(); // the bytes are not needed any longer
                std::string().swap(bytes_);
                secondRead_ = true; // not when anything escaped the reader
            });
    }

    bool joinable(const ReadingContext& context) const {
        return secondRead_ && !second_.state.ReadFailed && second_.quiet.messages.empty() &&
               StartsAlike(context.grids.fpCardC, context.state.GridRow, freshC_) &&
               StartsAlike(context.grids.fpCardD, context.state.GridRow, freshD_);
    }

    // Whether `grid` from `row` on is as `fresh` from its first record row on: an empty row to
    // write, then the same rows (the button row), and the caret alike.
    static bool StartsAlike(const Grid& grid, int row, const Grid& fresh) {
        const auto emptyRow = [](const Grid& g, int r) {
            for (int c = 1; c <= g.maxCols(); ++c)
                if (!g.text(c, r).empty()) return false;
            return true;
        };
        const bool caretAlike = (grid.activeRow() < row && fresh.activeRow() < kTemplateRow) ||
                                grid.activeRow() - row == fresh.activeRow() - kTemplateRow;
        return grid.maxRows() - row == fresh.maxRows() - kTemplateRow && emptyRow(grid, row) &&
               emptyRow(fresh, kTemplateRow) &&
               grid.copyRows(row + 1, grid.maxRows()) ==
                   fresh.copyRows(kTemplateRow + 1, fresh.maxRows()) &&
               caretAlike;
    }

    // The second half's first row takes the place of the empty row this reading would write
    // next, keeping that row's look; its later rows come whole.
    void join(ReadingContext& context) {
        ReadingState& state = context.state;
        const int row = state.GridRow;
        for (auto set : {&DeckGrids::fpCardC, &DeckGrids::fpCardD}) {
            Grid& grid = context.grids.*set;
            Grid& read = second_.grids.*set;
            for (int c = 1; c <= grid.maxCols(); ++c)
                grid.setValue(c, row, read.text(c, kTemplateRow));
            grid.replaceRowsFrom(row + 1, std::move(read), kTemplateRow + 1);
        }
        for (UnreadField field : second_.state.unread) {
            field.place.row += row - kTemplateRow;
            field.line += state.linesRead;
            state.unread.push_back(std::move(field));
        }
        state.GridRow = row + second_.state.GridRow - kTemplateRow;
        state.catchmentsReadAhead = second_.state.GridRow - kTemplateRow;
        state.GridCol = second_.state.GridCol;
        state.CardLine = second_.state.CardLine;
        state.linesRead += second_.state.linesRead;
        context.app.EnableD = context.app.EnableD || second_.app.EnableD;
    }

    std::string bytes_; // a file's bytes from the first catchment on, while they are read
    std::size_t middle_ = 0;
    std::future<std::optional<std::size_t>> split_; // where the second half starts
    Grid freshC_, freshD_;
    Reading second_;
    std::atomic<bool> stop_{false};
    bool givenUp_ = false;
    bool secondRead_ = false; // set on the other thread, seen here once it is done
    std::future<void> done_;
};

void ReadCatchments(ReadingContext& context, CatchmentsAhead* ahead,
                    const std::atomic<bool>* stop) {
    ReadingState& state = context.state;
    CatchmentRoom room(context);
    Trapped(context, "Card_C Error!", [&] {
        state.GridRow = 2;
        context.app.EnableC = true;
        while (!AtEndOfDeck(context)) {
            if (stop && *stop) return;
            if (ahead && ahead->joinedAt(context)) return;
            if (IsBlankLine(ReadNextLine(context))) continue;
            const FieldList& c = ReadCardFields(context, kCardC, state.GridRow);
            if (c[0].text == "E") return;
            PutCCard(context, c);
            AddRow(context.grids.fpCardC, context.platform);

            if (IsBlankLine(ReadNextLine(context))) continue;
            const FieldList& d = ReadCardFields(context, kCardD, state.GridRow);
            PutDCard(context, d);
            if (AsksForD1(d)) {
                Card_D1(context);
                if (state.ReadFailed) return;
            }
            ++state.GridRow;
            AddRow(context.grids.fpCardD, context.platform);
            room.afterCatchment(context);
        }
    });
}

} // namespace

void Card_C(ReadingContext& context) {
    auto ahead = CatchmentsAhead::Start(context);
    ReadCatchments(context, ahead.get(), nullptr);
    ahead.reset();
    context.grids.fpCardC.releaseSpareRoom();
    context.grids.fpCardD.releaseSpareRoom();
}

} // namespace tovan
