// Every pair of names a run may not give one file: an output over the deck, an output or the
// deck named as a scratch file the run deletes. The run form and tovandeck run must refuse each
// one before the engine starts, naming the file, and write nothing.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace tovan::testing {

struct RunNameClash {
    const char* deck;
    const char* report; // what is typed for the report, the DRELM and the peak file: "" is none
    const char* drelm;
    const char* peak;
    const char* said; // the refusal begins with this
    // When set, `link` is made a second name of the file `linkedTo` (made first when it is not
    // the deck), so that two different names are one file.
    const char* link = nullptr;
    const char* linkedTo = nullptr;
};

inline const std::vector<RunNameClash>& RunNameClashes() {
    static const std::vector<RunNameClash> clashes = {
        {"a.tvo", "a", "", "", "The report file a.tvo would overwrite the input deck."},
        {"a.tvd", "", "a", "", "The DRELM file a.tvd would overwrite the input deck."},
        {"kwPeak.tvi", "", "", "kw", "The peak file kwPeak.tvi would overwrite the input deck."},
        {"r.results.json", "r", "", "",
         "The results file r.results.json would overwrite the input deck."},
        {"a.tvi", "Killz__1", "", "", "The report file name Killz__1.tvo is the name of a"},
        {"a.tvi", "", "Killz__1", "", "The DRELM file name Killz__1.tvd is the name of a"},
        {"Killz__1.tvi", "", "", "", "The deck Killz__1.tvi has the name of a scratch file"},
#if !defined(_WIN32)
        {"a.tvi", "", "", "", "The peak file aPeak.tvi would overwrite the input deck.",
         "aPeak.tvi", "a.tvi"},
        {"a.tvi", "", "", "", "The report and DRELM files would both be a.tvo.", "a.tvd", "a.tvo"},
#endif
    };
    return clashes;
}

// Empties `folder` and puts the clash's deck (holding `deckText`) and its link in it.
inline void ArrangeRunNameClash(const std::filesystem::path& folder, const RunNameClash& clash,
                                const std::string& deckText) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
    std::ofstream(folder / clash.deck, std::ios::binary) << deckText;
    if (clash.link == nullptr) return;
    if (!fs::exists(folder / clash.linkedTo)) std::ofstream(folder / clash.linkedTo) << "earlier";
    fs::create_hard_link(folder / clash.linkedTo, folder / clash.link);
}

// The names in `folder`, to see that a refused run wrote nothing.
inline std::vector<std::string> FileNamesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace tovan::testing
