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
#include <span>
#include <vector>

namespace tovan {

using namespace reading;

namespace {

const ReadFormat kCardC{ReadDescriptors(cards::kC)};
const ReadFormat kCardD{ReadDescriptors(cards::kD)};
const ReadFormat kCardD1{ReadDescriptors(cards::kD1)};

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
        const FieldList& d1 = ReadCardFields(context, kCardD1);
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

// Reads the second half of a large deck's catchments on another thread while this one reads
// the first. A reader starts every catchment alike, so the second half read from a catchment's
// C card into grids of its own gives the rows the whole reading would, shifted; that holds when
// this reading arrives where the second half starts, at a catchment's start, with its grids as
// the second half's began (no catchment left half-read before). Anything else, or a second half
// that failed or said anything, and this reading simply goes on through the second half itself:
// the outcome, messages included, is always that of one reading.
class CatchmentsAhead {
  public:
    // Started when the catchment cards are many and their bytes can be read a second time.
    static std::unique_ptr<CatchmentsAhead> Start(ReadingContext& context) {
        DeckSource* deck = context.state.deck.get();
        const std::size_t left = deck ? deck->bytesLeft() : 0;
        if (left < kAheadFromBytes || left / 2 > kAheadUpToBytes) return nullptr;
        const std::size_t middle = deck->offset() + left / 2;
        auto bytes = deck->bytesFrom(middle);
        if (!bytes) return nullptr;
        const auto start = CatchmentStartNear(*bytes);
        if (!start) return nullptr;
        return std::unique_ptr<CatchmentsAhead>(
            new CatchmentsAhead(context.grids, std::move(*bytes), middle, *start));
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
        if (at < split_) return false;
        givenUp_ = true;
        stop_ = at != split_;
        done_.wait();
        if (at != split_ || !joinable(context)) return false;
        join(context);
        return true;
    }

  private:
    // Catchment cards are a few hundred bytes: fewer than some thousand are read alone. The
    // second half's bytes are held while it is read: beyond a million catchments or so, that
    // memory beside the grids' is worth more than the time saved.
    static constexpr std::size_t kAheadFromBytes = 256 * 1024;
    static constexpr std::size_t kAheadUpToBytes = 128 * 1024 * 1024;

    struct Reading {
        DeckGrids grids;
        ReadingState state;
        ApplicationState app;
        RecordingPlatform quiet;
    };

    CatchmentsAhead(const DeckGrids& grids, std::string bytes, std::size_t middle,
                    std::size_t start)
        : bytes_(std::move(bytes)), split_(middle + start), freshC_(grids.fpCardC),
          freshD_(grids.fpCardD) {
        for (Grid* fresh : {&freshC_, &freshD_}) {
            fresh->setObserver(nullptr);
            fresh->setRecorder(nullptr);
        }
        second_.grids.fpCardC = freshC_;
        second_.grids.fpCardD = freshD_;
        second_.state.deck = DeckFromTextView(std::string_view(bytes_).substr(start));
        done_ = std::async(std::launch::async, [this] {
            ReadingContext context{second_.grids, second_.state, second_.app, second_.quiet};
            ReadCatchments(context, nullptr, &stop_);
            second_.state.deck.reset(); // the bytes are not needed any longer
            std::string().swap(bytes_);
            secondRead_ = true; // not when anything escaped the reader
        });
    }

    // Where, after the middle of `bytes`, a catchment's C card most likely starts. Any line
    // reads as any card, so the cards are told apart as this program and its forerunners write
    // them: a C card has the print and rational-formula digits in columns 2 and 3, a D card
    // starts with the area, right-aligned in columns 1 to 5 with its decimal point, and says in
    // column 61 whether a D1 card follows. The first line start after the middle, or one of the
    // next few, from which a few catchments follow one another so.
    static std::optional<std::size_t> CatchmentStartNear(std::string_view bytes) {
        constexpr int kLinesTried = 8;
        const auto lines = DeckFromTextView(bytes);
        std::vector<std::string> read(kLinesTried + kLinesChecked);
        std::vector<std::size_t> starts;
        lines->readLineInto(read[0]); // the rest of the line the middle falls in
        for (std::string& line : read) {
            starts.push_back(bytes.size() - lines->bytesLeft());
            if (!lines->readLineInto(line)) return std::nullopt;
        }
        for (std::size_t first = 0; first < kLinesTried; ++first) {
            if (CatchmentsFollow(std::span(read).subspan(first))) return starts[first];
        }
        return std::nullopt;
    }

    static constexpr std::size_t kLinesChecked = 12;

    static bool CatchmentsFollow(std::span<const std::string> lines) {
        const auto digitsAt2And3 = [](const std::string& line) {
            return line.size() >= 3 && std::isdigit(static_cast<unsigned char>(line[1])) &&
                   std::isdigit(static_cast<unsigned char>(line[2]));
        };
        constexpr std::size_t kUseD1Column = 61;
        std::size_t i = 0;
        while (i + 1 < kLinesChecked) {
            const std::string& d = lines[i + 1];
            if (!digitsAt2And3(lines[i]) || digitsAt2And3(d) || IsBlankLine(d)) return false;
            i += (d.size() >= kUseD1Column && d[kUseD1Column - 1] == '1') ? 3 : 2;
        }
        return true;
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
        state.GridRow = row + second_.state.GridRow - kTemplateRow;
        state.catchmentsReadAhead = second_.state.GridRow - kTemplateRow;
        state.GridCol = second_.state.GridCol;
        state.CardLine = second_.state.CardLine;
        state.linesRead += second_.state.linesRead;
        context.app.EnableD = context.app.EnableD || second_.app.EnableD;
    }

    std::string bytes_;
    std::size_t split_;
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
            const FieldList& c = ReadCardFields(context, kCardC);
            if (c[0].text == "E") return;
            PutCCard(context, c);
            AddRow(context.grids.fpCardC, context.platform);

            if (IsBlankLine(ReadNextLine(context))) continue;
            const FieldList& d = ReadCardFields(context, kCardD);
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
