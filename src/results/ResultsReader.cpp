// Reading a results file. A large run's file holds hundreds of megabytes, nearly all of it
// number series; a general JSON library spends seconds building a tree of them. This reader
// walks the text once and builds the results directly; with SeriesLoading::WhenNeeded it only
// notes where each series lies and skips it, and LoadSeries reads it when a row is looked at.
#include "results/RunResults.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define TOVAN_MAPS_FILES 1
#if !defined(MAP_POPULATE)
#define MAP_POPULATE 0
#endif
#else
#define TOVAN_MAPS_FILES 0
#endif

namespace tovan::results {

namespace fs = std::filesystem;

namespace {

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();

struct Malformed {
    std::size_t byte;
    bool atEnd;
};

class Reader {
  public:
    Reader(std::string_view text, std::size_t base, bool lazy)
        : text_(text), base_(base), lazy_(lazy) {}

    [[noreturn]] void fail() const { throw Malformed{base_ + at_, at_ >= text_.size()}; }

    char next() {
        if (atEnd()) fail();
        return text_[at_];
    }
    void expect(char c) {
        if (next() != c) fail();
        ++at_;
    }
    // Passes over white space; true when nothing follows it.
    bool atEnd() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
        return at_ >= text_.size();
    }

    // Calls onKey(key) with the reader before each member's value; onKey reads or skips it.
    template <typename OnKey>
    void object(OnKey&& onKey) {
        expect('{');
        if (next() == '}') return void(++at_);
        for (;;) {
            const std::string_view key = this->key();
            expect(':');
            onKey(key);
            if (next() == ',') {
                ++at_;
                continue;
            }
            expect('}');
            return;
        }
    }
    template <typename OnItem>
    void array(OnItem&& onItem) {
        expect('[');
        if (next() == ']') return void(++at_);
        for (;;) {
            onItem();
            if (next() == ',') {
                ++at_;
                continue;
            }
            expect(']');
            return;
        }
    }

    // A member's name: ours never hold escapes, so it is looked at where it lies.
    std::string_view key() {
        expect('"');
        const void* close = std::memchr(text_.data() + at_, '"', text_.size() - at_);
        if (close == nullptr) at_ = text_.size(), fail();
        const std::size_t end =
            static_cast<std::size_t>(static_cast<const char*>(close) - text_.data());
        const std::string_view name = text_.substr(at_, end - at_);
        at_ = end + 1;
        return name;
    }

    std::string text() {
        expect('"');
        std::string out;
        // Most texts hold no escapes: taken whole.
        const std::size_t plain = text_.find_first_of("\\\"", at_);
        if (plain != std::string_view::npos && text_[plain] == '"') {
            out.assign(text_.substr(at_, plain - at_));
            at_ = plain + 1;
            return out;
        }
        for (;;) {
            if (at_ >= text_.size()) fail();
            const char c = text_[at_++];
            if (c == '"') return out;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) fail();
            const char e = text_[at_++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u':
                appendUnicode(out);
                break;
            default:
                out += e; // " \ /
            }
        }
    }
    double number() {
        if (next() == 'n') {
            literal("null");
            return kAbsent;
        }
        double value = 0;
        const auto [end, error] =
            std::from_chars(text_.data() + at_, text_.data() + text_.size(), value);
        if (error != std::errc()) fail();
        at_ = static_cast<std::size_t>(end - text_.data());
        return value;
    }
    std::optional<double> optionalNumber() {
        const double value = number();
        return std::isnan(value) ? std::nullopt : std::optional<double>(value);
    }
    bool boolean() {
        if (next() == 't') return literal("true"), true;
        literal("false");
        return false;
    }
    bool isNull() {
        if (next() != 'n') return false;
        literal("null");
        return true;
    }
    // A series: read now, or only its place noted.
    void series(std::vector<double>& values, SeriesPlace& place) {
        if (!lazy_) return numbers(values);
        expect('[');
        const void* close = std::memchr(text_.data() + at_, ']', text_.size() - at_);
        if (close == nullptr) at_ = text_.size(), fail();
        const std::size_t end =
            static_cast<std::size_t>(static_cast<const char*>(close) - text_.data());
        place = {base_ + at_ - 1, end + 1 - (at_ - 1)};
        at_ = end + 1;
    }
    void numbers(std::vector<double>& values) {
        values.clear();
        array([&] { values.push_back(number()); });
    }
    void skip() {
        switch (next()) {
        case '{':
            return object([this](std::string_view) { skip(); });
        case '[':
            return array([this] { skip(); });
        case '"':
            return void(text());
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        default:
            (void)number();
        }
    }

  private:
    void literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) fail();
        at_ += word.size();
    }
    void appendUnicode(std::string& out) {
        unsigned code = hex4();
        if (code >= 0xD800 && code < 0xDC00 && text_.substr(at_, 2) == "\\u") {
            at_ += 2;
            code = 0x10000 + ((code - 0xD800) << 10) + (hex4() - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    unsigned hex4() {
        unsigned code = 0;
        if (at_ + 4 > text_.size()) at_ = text_.size(), fail();
        const auto [end, error] =
            std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
        if (error != std::errc() || end != text_.data() + at_ + 4) fail();
        at_ += 4;
        return code;
    }

    std::string_view text_;
    std::size_t base_;
    bool lazy_;
    std::size_t at_ = 0;
};

std::string TrimmedRight(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string OptionalText(Reader& r) {
    return r.isNull() ? std::string() : TrimmedRight(r.text());
}

int Integer(Reader& r) {
    const double value = r.number();
    return std::isfinite(value) ? static_cast<int>(value) : 0;
}

// How one member of an object is read into a T; the members an object's table does not name
// are skipped.
template <typename T>
struct Member {
    std::string_view name;
    void (*read)(Reader&, T&);
};

template <typename T, std::size_t N>
void ReadMembers(Reader& r, T& into, const Member<T> (&members)[N]) {
    r.object([&](std::string_view key) {
        for (const Member<T>& member : members)
            if (member.name == key) return member.read(r, into);
        r.skip();
    });
}

// The type whose member a pointer to member names.
template <typename>
struct OwnerOf;
template <typename T, typename V>
struct OwnerOf<V T::*> {
    using type = T;
};
template <auto field>
using Owner = typename OwnerOf<decltype(field)>::type;

// Fills the member `field` with what `value` reads; the kinds of value follow.
template <auto field, auto value>
void Into(Reader& r, Owner<field>& into) {
    into.*field = value(r);
}
double Number(Reader& r) {
    return r.number();
}
std::optional<double> OptionalNumber(Reader& r) {
    return r.optionalNumber();
}
bool Flag(Reader& r) {
    return r.boolean();
}
std::string Text(Reader& r) {
    return r.text();
}
// A series and where it lies in the file (places[place] of a storm).
template <auto field, std::size_t place>
void StormSeries(Reader& r, StormResult& s) {
    r.series(s.*field, s.places[place]);
}

constexpr Member<Message> kMessageMembers[] = {
    {"severity", [](Reader& r, Message& m) { m.problem = r.text() == "PROBLEM"; }},
    {"text", Into<&Message::text, Text>},
    {"catchment", Into<&Message::catchment, OptionalText>},
    {"storm",
     [](Reader& r, Message& m) {
         const double storm = r.number();
         if (std::isfinite(storm)) m.storm = static_cast<int>(storm);
     }},
    {"line", Into<&Message::line, Integer>},
};

template <auto field>
void Messages(Reader& r, Owner<field>& into) {
    auto& messages = into.*field;
    r.array([&] { ReadMembers(r, messages.emplace_back(), kMessageMembers); });
}

constexpr Member<Rational> kRationalMembers[] = {
    {"c", Into<&Rational::c, Number>},
    {"tcMinutes", Into<&Rational::tcMinutes, Number>},
    {"tcFromKirpich", Into<&Rational::tcFromKirpich, Flag>},
    {"intensityInchesPerHour", Into<&Rational::intensityInchesPerHour, Number>},
    {"peakCfs", Into<&Rational::peakCfs, Number>},
};

constexpr Member<StormResult> kStormMembers[] = {
    {"storm", Into<&StormResult::storm, Integer>},
    {"identification", Into<&StormResult::identification, OptionalText>},
    {"computed", Into<&StormResult::computed, Flag>},
    {"messages", Messages<&StormResult::messages>},
    {"returnPeriodYears", Into<&StormResult::returnPeriodYears, OptionalNumber>},
    {"oneHourDepthInches", Into<&StormResult::oneHourDepthInches, OptionalNumber>},
    {"timeStepHours", Into<&StormResult::timeStepHours, Number>},
    {"rainfallInches", StormSeries<&StormResult::rainfallInches, 0>},
    {"lossInches", StormSeries<&StormResult::lossInches, 1>},
    {"excessInches", StormSeries<&StormResult::excessInches, 2>},
    {"hydrographTimesHours", StormSeries<&StormResult::hydrographTimesHours, 3>},
    {"hydrographFlowsCfs", StormSeries<&StormResult::hydrographFlowsCfs, 4>},
    {"peakCfs", Into<&StormResult::peakCfs, Number>},
    {"timeToPeakHours", Into<&StormResult::timeToPeakHours, Number>},
    {"runoffInches", Into<&StormResult::runoffInches, Number>},
    {"runoffAcreFeet", Into<&StormResult::runoffAcreFeet, Number>},
    {"rational",
     [](Reader& r, StormResult& s) {
         if (!r.isNull()) ReadMembers(r, s.rational.emplace(), kRationalMembers);
     }},
};

constexpr Member<CatchmentResult> kUnitHydrographMembers[] = {
    {"timeStepHours", Into<&CatchmentResult::unitHydrographStepHours, Number>},
    {"ordinatesCfs",
     [](Reader& r, CatchmentResult& c) { r.series(c.unitHydrographCfs, c.unitHydrographPlace); }},
};

constexpr Member<CatchmentResult> kCatchmentMembers[] = {
    {"identification", Into<&CatchmentResult::identification, OptionalText>},
    {"number", Into<&CatchmentResult::number, Integer>},
    {"description", Into<&CatchmentResult::description, OptionalText>},
    {"line", Into<&CatchmentResult::line, Integer>},
    {"computed", Into<&CatchmentResult::computed, Flag>},
    {"messages", Messages<&CatchmentResult::messages>},
    {"areaSquareMiles", Into<&CatchmentResult::areaSquareMiles, Number>},
    {"unitDurationHours", Into<&CatchmentResult::unitDurationHours, Number>},
    {"unitHydrograph",
     [](Reader& r, CatchmentResult& c) { ReadMembers(r, c, kUnitHydrographMembers); }},
    {"storms",
     [](Reader& r, CatchmentResult& c) {
         r.array([&] {
             StormResult& s = c.storms.emplace_back();
             s.computed = true; // unless the file says otherwise
             ReadMembers(r, s, kStormMembers);
         });
     }},
};

constexpr Member<RunResults> kRunMembers[] = {
    {"input", Into<&RunResults::input, Text>},
    {"report", Into<&RunResults::report, Text>},
    {"drelm", Into<&RunResults::drelm, Text>},
    {"peak", Into<&RunResults::peak, Text>},
};

constexpr Member<RunResults> kDeckMembers[] = {
    {"title", Into<&RunResults::title, OptionalText>},
    {"rainfallOption", Into<&RunResults::rainfallOption, Integer>},
    {"messages", Messages<&RunResults::deckMessages>},
};

// What the document's top level holds besides the run's results.
struct Document {
    RunResults results;
    std::string format;
    int version = 0;
    bool complete = false;
};

constexpr Member<Document> kDocumentMembers[] = {
    {"format", Into<&Document::format, Text>},
    {"version", Into<&Document::version, Integer>},
    {"complete", Into<&Document::complete, Flag>},
    {"run", [](Reader& r, Document& d) { ReadMembers(r, d.results, kRunMembers); }},
    {"deck", [](Reader& r, Document& d) { ReadMembers(r, d.results, kDeckMembers); }},
    {"catchments",
     [](Reader& r, Document& d) {
         r.array([&] {
             CatchmentResult& c = d.results.catchments.emplace_back();
             c.computed = true; // unless the file says otherwise
             ReadMembers(r, c, kCatchmentMembers);
         });
     }},
};

RunResults ReadDocument(Reader& r, const fs::path& file) {
    Document document;
    document.results.file = file;
    ReadMembers(r, document, kDocumentMembers);
    if (!r.atEnd()) r.fail();
    const std::string named = file.empty() ? std::string("the results") : file.string();
    if (document.format != "tovan-results")
        throw ResultsError(named + " is not a results file of the engine.");
    if (document.version != 1)
        throw ResultsError(named +
                           " has a version of the results file this program does not know.");
    if (!document.complete) throw ResultsError(named + " is incomplete: its run did not end.");
    return std::move(document.results);
}

std::string Slice(const fs::path& file, std::size_t offset, std::size_t length) {
    std::ifstream in(file, std::ios::binary);
    std::string text(length, '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    if (!in.read(text.data(), static_cast<std::streamsize>(length)))
        throw ResultsError(file.string() + " changed or went away while it was shown.");
    return text;
}

void LoadPlace(const fs::path& file, SeriesPlace& place, std::vector<double>& values) {
    if (place.length == 0) return;
    const std::string text = Slice(file, place.offset, place.length);
    Reader reader(text, place.offset, false);
    try {
        reader.numbers(values);
    } catch (const Malformed&) {
        throw ResultsError(file.string() + " changed or went away while it was shown.");
    }
    place = {};
}

// The whole text of a results file. Where the system can, the file is mapped rather than
// read: a large run's file holds hundreds of megabytes, and copying them into fresh memory
// costs more than reading them does. The mapping lasts only while the file is read; the engine
// replaces a results file by renaming a new one over it, which leaves a mapped one intact.
class FileText {
  public:
    explicit FileText(const fs::path& file) {
#if TOVAN_MAPS_FILES
        if (map(file)) return;
#endif
        read(file);
    }
    ~FileText() {
#if TOVAN_MAPS_FILES
        if (mapped_ != nullptr) ::munmap(mapped_, size_);
#endif
    }
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    std::string_view view() const {
        return {mapped_ != nullptr ? static_cast<const char*>(mapped_) : read_.get(), size_};
    }

  private:
#if TOVAN_MAPS_FILES
    // False when the file cannot be mapped (a pipe, an empty file): it is read instead.
    bool map(const fs::path& file) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat status {};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
            size_ = static_cast<std::size_t>(status.st_size);
            // Populated at once: the reader walks every page from the first to the last.
            void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
            if (at != MAP_FAILED) mapped_ = at;
        }
        ::close(fd);
        return mapped_ != nullptr;
    }
#endif
    void read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary | std::ios::ate);
        if (!in) throw ResultsError(file.string() + " cannot be opened.");
        size_ = static_cast<std::size_t>(in.tellg());
        // Not a std::string: filling hundreds of megabytes with zeros first costs time for
        // nothing.
        read_.reset(new char[size_]);
        in.seekg(0);
        in.read(read_.get(), static_cast<std::streamsize>(size_));
        if (!in) throw ResultsError(file.string() + " cannot be read.");
    }

    void* mapped_ = nullptr;
    std::unique_ptr<char[]> read_;
    std::size_t size_ = 0;
};

} // namespace

RunResults ParseResults(std::string_view text, const fs::path& file, SeriesLoading loading) {
    Reader reader(text, 0, loading == SeriesLoading::WhenNeeded);
    const std::string named = file.empty() ? std::string("the results") : file.string();
    try {
        return ReadDocument(reader, file);
    } catch (const Malformed& m) {
        // A file cut short is the usual case: a copy or a disk that broke off.
        if (m.atEnd)
            throw ResultsError(named + " is not a complete results file: it breaks off after " +
                               std::to_string(text.size()) + " bytes.");
        throw ResultsError(named + " is not a results file: it is not valid JSON at byte " +
                           std::to_string(m.byte) + ".");
    }
}

RunResults ReadResults(const fs::path& file, SeriesLoading loading) {
    const FileText text(file);
    return ParseResults(text.view(), file, loading);
}

void LoadSeries(RunResults& results, const SummaryRow& row) {
    CatchmentResult& c = results.catchments[row.catchment];
    LoadPlace(results.file, c.unitHydrographPlace, c.unitHydrographCfs);
    if (row.storm == kNoStorm) return;
    StormResult& s = c.storms[row.storm];
    std::vector<double>* series[] = {&s.rainfallInches, &s.lossInches, &s.excessInches,
                                     &s.hydrographTimesHours, &s.hydrographFlowsCfs};
    for (std::size_t i = 0; i < s.places.size(); ++i)
        LoadPlace(results.file, s.places[i], *series[i]);
}

} // namespace tovan::results
