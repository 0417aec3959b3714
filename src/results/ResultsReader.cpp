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
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\n' ||
                                      text_[at_] == '\r' || text_[at_] == '\t'))
            ++at_;
        if (at_ >= text_.size()) fail();
        return text_[at_];
    }
    void expect(char c) {
        if (next() != c) fail();
        ++at_;
    }
    bool atEnd() {
        while (at_ < text_.size() && std::strchr(" \n\r\t", text_[at_]) != nullptr)
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

std::vector<Message> Messages(Reader& r) {
    std::vector<Message> messages;
    r.array([&] {
        Message m;
        r.object([&](std::string_view key) {
            if (key == "severity")
                m.problem = r.text() == "PROBLEM";
            else if (key == "text")
                m.text = r.text();
            else if (key == "catchment")
                m.catchment = OptionalText(r);
            else if (key == "storm") {
                const double storm = r.number();
                if (std::isfinite(storm)) m.storm = static_cast<int>(storm);
            } else if (key == "line")
                m.line = Integer(r);
            else
                r.skip();
        });
        messages.push_back(std::move(m));
    });
    return messages;
}

void ReadRational(Reader& r, std::optional<Rational>& rational) {
    if (r.isNull()) return;
    Rational value;
    r.object([&](std::string_view key) {
        if (key == "c")
            value.c = r.number();
        else if (key == "tcMinutes")
            value.tcMinutes = r.number();
        else if (key == "tcFromKirpich")
            value.tcFromKirpich = r.boolean();
        else if (key == "intensityInchesPerHour")
            value.intensityInchesPerHour = r.number();
        else if (key == "peakCfs")
            value.peakCfs = r.number();
        else
            r.skip();
    });
    rational = value;
}

StormResult ReadStorm(Reader& r) {
    StormResult s;
    s.computed = true;
    r.object([&](std::string_view key) {
        if (key == "storm")
            s.storm = Integer(r);
        else if (key == "identification")
            s.identification = OptionalText(r);
        else if (key == "computed")
            s.computed = r.boolean();
        else if (key == "messages")
            s.messages = Messages(r);
        else if (key == "returnPeriodYears")
            s.returnPeriodYears = r.optionalNumber();
        else if (key == "oneHourDepthInches")
            s.oneHourDepthInches = r.optionalNumber();
        else if (key == "timeStepHours")
            s.timeStepHours = r.number();
        else if (key == "rainfallInches")
            r.series(s.rainfallInches, s.places[0]);
        else if (key == "lossInches")
            r.series(s.lossInches, s.places[1]);
        else if (key == "excessInches")
            r.series(s.excessInches, s.places[2]);
        else if (key == "hydrographTimesHours")
            r.series(s.hydrographTimesHours, s.places[3]);
        else if (key == "hydrographFlowsCfs")
            r.series(s.hydrographFlowsCfs, s.places[4]);
        else if (key == "peakCfs")
            s.peakCfs = r.number();
        else if (key == "timeToPeakHours")
            s.timeToPeakHours = r.number();
        else if (key == "runoffInches")
            s.runoffInches = r.number();
        else if (key == "runoffAcreFeet")
            s.runoffAcreFeet = r.number();
        else if (key == "rational")
            ReadRational(r, s.rational);
        else
            r.skip();
    });
    return s;
}

CatchmentResult ReadCatchment(Reader& r) {
    CatchmentResult c;
    c.computed = true;
    r.object([&](std::string_view key) {
        if (key == "identification")
            c.identification = OptionalText(r);
        else if (key == "number")
            c.number = Integer(r);
        else if (key == "description")
            c.description = OptionalText(r);
        else if (key == "line")
            c.line = Integer(r);
        else if (key == "computed")
            c.computed = r.boolean();
        else if (key == "messages")
            c.messages = Messages(r);
        else if (key == "areaSquareMiles")
            c.areaSquareMiles = r.number();
        else if (key == "unitDurationHours")
            c.unitDurationHours = r.number();
        else if (key == "unitHydrograph")
            r.object([&](std::string_view uh) {
                if (uh == "timeStepHours")
                    c.unitHydrographStepHours = r.number();
                else if (uh == "ordinatesCfs")
                    r.series(c.unitHydrographCfs, c.unitHydrographPlace);
                else
                    r.skip();
            });
        else if (key == "storms")
            r.array([&] { c.storms.push_back(ReadStorm(r)); });
        else
            r.skip();
    });
    return c;
}

RunResults ReadDocument(Reader& r, const fs::path& file) {
    RunResults results;
    results.file = file;
    std::string format;
    int version = 0;
    bool complete = false;
    r.object([&](std::string_view key) {
        if (key == "format")
            format = r.text();
        else if (key == "version")
            version = Integer(r);
        else if (key == "complete")
            complete = r.boolean();
        else if (key == "run")
            r.object([&](std::string_view name) {
                if (name == "input")
                    results.input = r.text();
                else if (name == "report")
                    results.report = r.text();
                else if (name == "drelm")
                    results.drelm = r.text();
                else if (name == "peak")
                    results.peak = r.text();
                else
                    r.skip();
            });
        else if (key == "deck")
            r.object([&](std::string_view name) {
                if (name == "title")
                    results.title = OptionalText(r);
                else if (name == "rainfallOption")
                    results.rainfallOption = Integer(r);
                else if (name == "messages")
                    results.deckMessages = Messages(r);
                else
                    r.skip();
            });
        else if (key == "catchments")
            r.array([&] { results.catchments.push_back(ReadCatchment(r)); });
        else
            r.skip();
    });
    if (!r.atEnd()) r.fail();
    const std::string named = file.empty() ? std::string("the results") : file.string();
    if (format != "tovan-results")
        throw ResultsError(named + " is not a results file of the engine.");
    if (version != 1)
        throw ResultsError(named +
                           " has a version of the results file this program does not know.");
    if (!complete) throw ResultsError(named + " is incomplete: its run did not end.");
    return results;
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
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) throw ResultsError(file.string() + " cannot be opened.");
    const auto size = static_cast<std::size_t>(in.tellg());
    // Not a std::string: filling hundreds of megabytes with zeros first costs time for nothing.
    const std::unique_ptr<char[]> text(new char[size]);
    in.seekg(0);
    in.read(text.get(), static_cast<std::streamsize>(size));
    if (!in) throw ResultsError(file.string() + " cannot be read.");
    return ParseResults(std::string_view(text.get(), size), file, loading);
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
