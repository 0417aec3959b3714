// Reading a results file: strict JSON (nlohmann's parser), read as a stream. The file must begin
// with its format and version, so that any other file is refused at its first member. Each
// catchment is built as a small tree, checked field by field and turned into its result before
// the next one is read, so that memory stays near the size of the results and not of the text,
// and every fault is told with the path of its field: "catchments[3].storms[1].peakCfs:
// expected a number, found a string".
#include "results/RunResults.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>

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

using Json = nlohmann::json;

constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
// Ours nest six deep (a storm's rational values); anything far deeper is no results file, and
// a limit keeps a hostile file from costing more than its size.
constexpr std::size_t kDeepest = 32;

// A field that is not what the format says it is, with the path that leads to it.
struct WrongField {
    std::string path, what;
};
// The file is not one of ours at all: the reason beside "is not a results file of the engine".
struct NotOurs {
    std::string why;
};
struct UnknownVersion {
    std::string found;
};

std::string Described(const Json& value) {
    switch (value.type()) {
    case Json::value_t::null:
        return "null";
    case Json::value_t::boolean:
        return value.get<bool>() ? "true" : "false";
    case Json::value_t::string:
        return "a string";
    case Json::value_t::array:
        return "an array";
    case Json::value_t::object:
        return "an object";
    default:
        return "the number " + value.dump();
    }
}

// One object of the file and its path; each read names the member it wants and what it must be.
class Fields {
  public:
    Fields(const Json& object, std::string path) : object_(object), path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    std::string pathOf(std::string_view key) const {
        return path_.empty() ? std::string(key) : path_ + "." + std::string(key);
    }
    [[noreturn]] void wrong(std::string_view key, std::string what) const {
        throw WrongField{pathOf(key), std::move(what)};
    }

    // Absent and null are alike: nothing.
    const Json* find(std::string_view key) const {
        const auto at = object_.find(key);
        return at == object_.end() || at->is_null() ? nullptr : &*at;
    }
    const Json& required(std::string_view key) const {
        const auto at = object_.find(key);
        if (at == object_.end()) wrong(key, "missing");
        return *at;
    }

    double number(std::string_view key) const {
        const Json& value = required(key);
        if (!value.is_number()) wrong(key, "expected a number, found " + Described(value));
        return value.get<double>();
    }
    // A number, or null where the engine had none to give.
    std::optional<double> optionalNumber(std::string_view key) const {
        if (!find(key)) return std::nullopt;
        return number(key);
    }
    int integer(std::string_view key) const {
        const Json& value = required(key);
        const bool whole =
            value.is_number_integer() ||
            (value.is_number_float() && std::trunc(value.get<double>()) == value.get<double>());
        const double number = value.is_number() ? value.get<double>() : 0;
        if (!whole || number < std::numeric_limits<int>::min() ||
            number > std::numeric_limits<int>::max())
            wrong(key, "expected a whole number from " +
                           std::to_string(std::numeric_limits<int>::min()) + " to " +
                           std::to_string(std::numeric_limits<int>::max()) + ", found " +
                           Described(value));
        return static_cast<int>(number);
    }
    std::optional<int> optionalInteger(std::string_view key) const {
        if (!find(key)) return std::nullopt;
        return integer(key);
    }
    bool flag(std::string_view key) const {
        const Json& value = required(key);
        if (!value.is_boolean()) wrong(key, "expected true or false, found " + Described(value));
        return value.get<bool>();
    }
    std::string text(std::string_view key) const {
        const Json& value = required(key);
        if (!value.is_string()) wrong(key, "expected a string, found " + Described(value));
        return value.get<std::string>();
    }
    // A text of the deck, or null; its trailing blanks left out.
    std::string deckText(std::string_view key) const {
        if (!find(key)) {
            (void)required(key);
            return {};
        }
        std::string value = text(key);
        value.erase(value.find_last_not_of(' ') + 1);
        return value;
    }
    // One value per step; a value that was not finite is null.
    std::vector<double> series(std::string_view key) const {
        const Json& values = required(key);
        if (!values.is_array())
            wrong(key, "expected an array of numbers, found " + Described(values));
        std::vector<double> out;
        out.reserve(values.size());
        for (const Json& value : values) {
            if (!value.is_number() && !value.is_null())
                throw WrongField{pathOf(key) + "[" + std::to_string(out.size()) + "]",
                                 "expected a number, found " + Described(value)};
            out.push_back(value.is_null() ? kAbsent : value.get<double>());
        }
        return out;
    }
    Fields object(std::string_view key) const {
        const Json& value = required(key);
        if (!value.is_object()) wrong(key, "expected an object, found " + Described(value));
        return {value, pathOf(key)};
    }
    template <typename Each>
    void eachObjectIn(std::string_view key, Each&& each) const {
        const Json& values = required(key);
        if (!values.is_array()) wrong(key, "expected an array, found " + Described(values));
        std::size_t index = 0;
        for (const Json& value : values) {
            const std::string path = pathOf(key) + "[" + std::to_string(index++) + "]";
            if (!value.is_object())
                throw WrongField{path, "expected an object, found " + Described(value)};
            each(Fields(value, path));
        }
    }

  private:
    const Json& object_;
    std::string path_;
};

Message MessageFrom(const Fields& f) {
    Message m;
    const std::string severity = f.text("severity");
    if (severity != "NOTE" && severity != "PROBLEM")
        f.wrong("severity", "expected \"NOTE\" or \"PROBLEM\", found \"" + severity + "\"");
    m.problem = severity == "PROBLEM";
    m.text = f.text("text");
    m.catchment = f.deckText("catchment");
    m.storm = f.optionalInteger("storm");
    m.line = f.integer("line");
    return m;
}

std::vector<Message> MessagesIn(const Fields& f) {
    std::vector<Message> messages;
    f.eachObjectIn("messages", [&](const Fields& m) { messages.push_back(MessageFrom(m)); });
    return messages;
}

Rational RationalFrom(const Fields& f) {
    return {f.number("c"), f.number("tcMinutes"), f.number("intensityInchesPerHour"),
            f.number("peakCfs"), f.flag("tcFromKirpich")};
}

StormResult StormFrom(const Fields& f) {
    StormResult s;
    s.storm = f.integer("storm");
    if (f.find("identification")) s.identification = f.deckText("identification");
    s.computed = f.flag("computed");
    s.messages = MessagesIn(f);
    if (!s.computed) return s;
    s.returnPeriodYears = f.optionalNumber("returnPeriodYears");
    s.oneHourDepthInches = f.optionalNumber("oneHourDepthInches");
    s.timeStepHours = f.number("timeStepHours");
    s.rainfallInches = f.series("rainfallInches");
    s.lossInches = f.series("lossInches");
    s.excessInches = f.series("excessInches");
    s.hydrographTimesHours = f.series("hydrographTimesHours");
    s.hydrographFlowsCfs = f.series("hydrographFlowsCfs");
    if (s.hydrographFlowsCfs.size() != s.hydrographTimesHours.size())
        f.wrong("hydrographFlowsCfs", "holds " + std::to_string(s.hydrographFlowsCfs.size()) +
                                          " flows for " +
                                          std::to_string(s.hydrographTimesHours.size()) + " times");
    s.peakCfs = f.number("peakCfs");
    s.timeToPeakHours = f.number("timeToPeakHours");
    s.runoffInches = f.number("runoffInches");
    s.runoffAcreFeet = f.number("runoffAcreFeet");
    if (f.find("rational")) s.rational = RationalFrom(f.object("rational"));
    return s;
}

CatchmentResult CatchmentFrom(const Fields& f) {
    CatchmentResult c;
    c.identification = f.deckText("identification");
    c.number = f.integer("number");
    c.description = f.deckText("description");
    c.line = f.integer("line");
    c.computed = f.flag("computed");
    c.messages = MessagesIn(f);
    if (!c.computed) return c;
    c.areaSquareMiles = f.number("areaSquareMiles");
    c.unitDurationHours = f.number("unitDurationHours");
    const Fields unitHydrograph = f.object("unitHydrograph");
    c.unitHydrographStepHours = unitHydrograph.number("timeStepHours");
    c.unitHydrographCfs = unitHydrograph.series("ordinatesCfs");
    f.eachObjectIn("storms", [&](const Fields& s) { c.storms.push_back(StormFrom(s)); });
    return c;
}

void ReadRun(const Fields& f, RunResults& results) {
    results.input = f.text("input");
    results.report = f.text("report");
    results.drelm = f.text("drelm");
    results.peak = f.text("peak");
}

void ReadDeck(const Fields& f, RunResults& results) {
    results.title = f.deckText("title");
    results.rainfallOption = f.integer("rainfallOption");
    results.deckMessages = MessagesIn(f);
}

// The parser's events, turned into the results as they come. The top level is read member by
// member; below it, each member's value (and each catchment) is built as a tree and read as a
// whole once it ends.
class ResultsStream {
  public:
    explicit ResultsStream(RunResults& results) : results_(results) {}

    bool null() { return put(nullptr); }
    bool boolean(bool value) { return put(value); }
    bool number_integer(Json::number_integer_t value) { return put(value); }
    bool number_unsigned(Json::number_unsigned_t value) { return put(value); }
    bool number_float(Json::number_float_t value, const std::string&) { return put(value); }
    bool string(std::string& value) { return put(std::move(value)); }
    bool binary(Json::binary_t&) { return false; } // not in JSON text
    bool start_object(std::size_t) { return open(Json::object()); }
    bool start_array(std::size_t) { return open(Json::array()); }
    bool key(std::string& key) {
        if (atTopLevel()) return topLevelKey(std::move(key));
        if (open_.back()->contains(key))
            throw WrongField{pathOf(open_.size()) + "." + key, "given twice"};
        key_ = std::move(key);
        return true;
    }
    bool end_object() { return close(); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& e) {
        errorAt_ = position;
        errorText_ = e.what();
        return false;
    }

    std::size_t errorAt() const { return errorAt_; }
    const std::string& errorText() const { return errorText_; }
    bool complete() const { return complete_; }
    // The first member every results file has that this one lacks, or nothing.
    std::optional<std::string> missingMember() const {
        for (const char* member : {"run", "deck", "catchments", "complete"})
            if (!seen_.count(member)) return member;
        return std::nullopt;
    }

  private:
    bool atTopLevel() const { return open_.empty() && !inCatchments_; }
    std::size_t depth() const { return (root_ ? 1 : 0) + (inCatchments_ ? 1 : 0) + open_.size(); }

    // The path of the value that the first `levels` open containers lead to.
    std::string pathOf(std::size_t levels) const {
        std::string path = inCatchments_
                               ? "catchments[" + std::to_string(results_.catchments.size()) + "]"
                               : member_;
        for (std::size_t i = 1; i < levels; ++i)
            path += segments_[i];
        return path;
    }
    // Where the next value goes, as a step of its path.
    std::string nextSegment() const {
        if (open_.empty()) return {};
        const Json& container = *open_.back();
        return container.is_array() ? "[" + std::to_string(container.size()) + "]" : "." + key_;
    }

    bool topLevelKey(std::string key) {
        ++members_;
        if (members_ == 1 && key != "format") throw NotOurs{"it does not begin with its format"};
        if (members_ == 2 && key != "version") throw UnknownVersion{"none"};
        if (!seen_.insert(key).second) throw WrongField{key, "given twice"};
        member_ = std::move(key);
        return true;
    }

    bool open(Json container) {
        if (!root_) {
            if (!container.is_object()) throw NotOurs{"it is not a JSON object"};
            root_ = true;
            return true;
        }
        if (depth() >= kDeepest)
            throw WrongField{pathOf(open_.size()) + nextSegment(),
                             "nested deeper than " + std::to_string(kDeepest) + " levels"};
        if (atTopLevel() && member_ == "catchments" && container.is_array()) {
            inCatchments_ = true;
            return true;
        }
        segments_.push_back(nextSegment());
        if (open_.empty()) {
            tree_ = std::move(container);
            open_.push_back(&tree_);
        } else {
            open_.push_back(&insert(std::move(container)));
        }
        return true;
    }

    bool close() {
        if (open_.empty()) {
            inCatchments_ = false; // the end of the catchments, or of the whole file
            return true;
        }
        open_.pop_back();
        segments_.pop_back();
        if (open_.empty()) treeEnded();
        return true;
    }

    bool put(Json value) {
        if (atTopLevel()) return topLevelValue(std::move(value));
        if (open_.empty())
            throw WrongField{pathOf(0), "expected an object, found " + Described(value)};
        insert(std::move(value));
        return true;
    }

    Json& insert(Json value) {
        Json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return container.back();
        }
        return container[key_] = std::move(value);
    }

    bool topLevelValue(Json value) {
        if (member_ == "format" && value != "tovan-results")
            throw NotOurs{"its format is " + value.dump()};
        if (member_ == "version" && !(value.is_number_integer() && value == 1))
            throw UnknownVersion{value.dump()};
        if (member_ == "complete") complete_ = value == true;
        if (member_ == "run" || member_ == "deck")
            throw WrongField{member_, "expected an object, found " + Described(value)};
        if (member_ == "catchments")
            throw WrongField{member_, "expected an array, found " + Described(value)};
        return true;
    }

    // A top-level member's value, or one catchment, has been read whole.
    void treeEnded() {
        if (inCatchments_) {
            const std::string path = pathOf(0);
            if (!tree_.is_object()) throw WrongField{path, "expected an object, found an array"};
            results_.catchments.push_back(CatchmentFrom(Fields(tree_, path)));
        } else if (member_ == "run" || member_ == "deck") {
            if (!tree_.is_object()) throw WrongField{member_, "expected an object, found an array"};
            (member_ == "run" ? ReadRun : ReadDeck)(Fields(tree_, member_), results_);
        } else if (member_ == "catchments") {
            throw WrongField{member_, "expected an array, found an object"};
        }
        tree_ = nullptr;
    }

    RunResults& results_;
    bool root_ = false, inCatchments_ = false, complete_ = false;
    std::size_t members_ = 0;
    std::set<std::string> seen_;
    std::string member_, key_;
    Json tree_;
    std::vector<Json*> open_;
    std::vector<std::string> segments_; // the step of each open container's path
    std::size_t errorAt_ = 0;
    std::string errorText_;
};

// nlohmann's "[json.exception.parse_error.101] parse error at line 1, column 5: syntax error
// while parsing value - invalid literal; last read: 'NaN'" without its bookkeeping, and without
// the text last read, which may hold any bytes at all.
std::string SyntaxReason(const std::string& what) {
    const std::size_t colon = what.find(": ");
    std::string reason = colon == std::string::npos ? what : what.substr(colon + 2);
    reason.erase(std::min(reason.find("; last read"), reason.size()));
    return reason;
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
            void* at = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
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

RunResults ParseResults(std::string_view text, const fs::path& file) {
    const std::string named = file.empty() ? std::string("the results") : file.string();
    RunResults results;
    results.file = file;
    ResultsStream stream(results);
    try {
        if (!Json::sax_parse(text.begin(), text.end(), &stream)) {
            // A file cut short is the usual case: a copy or a disk that broke off.
            if (stream.errorAt() > text.size())
                throw ResultsError(named + " is not a complete results file: it breaks off after " +
                                   std::to_string(text.size()) + " bytes.");
            throw ResultsError(named + " is not a results file: it is not valid JSON at byte " +
                               std::to_string(stream.errorAt()) + ": " +
                               SyntaxReason(stream.errorText()) + ".");
        }
    } catch (const NotOurs& e) {
        throw ResultsError(named + " is not a results file of the engine: " + e.why + ".");
    } catch (const UnknownVersion& e) {
        throw ResultsError(named +
                           " has a version of the results file this program does not "
                           "know (version: " +
                           e.found + ").");
    } catch (const WrongField& e) {
        throw ResultsError(named + " is not a results file of the engine: " + e.path + ": " +
                           e.what + ".");
    }
    if (const auto member = stream.missingMember(); member && *member != "complete")
        throw ResultsError(named + " is not a results file of the engine: " + *member +
                           ": missing.");
    if (!stream.complete()) throw ResultsError(named + " is incomplete: its run did not end.");
    return results;
}

RunResults ReadResults(const fs::path& file) {
    const FileText text(file);
    return ParseResults(text.view(), file);
}

} // namespace tovan::results
