#include "compare/DeckDiff.h"

#include "editing/CellEntry.h"
#include "fortranio/NumericText.h"
#include "results/RunResults.h"

#include <map>
#include <optional>

namespace tovan {

namespace {

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

// The same value: the same text, blanks aside, or the same number however it is written.
bool SameValue(const std::string& a, const std::string& b) {
    if (a == b) return true;
    const auto x = NumericValue(a), y = NumericValue(b);
    return x && y && *x == *y;
}

std::string ValueOf(const Grid& grid, int col, int row) {
    return Trimmed(CellCopyValue(grid, col, row));
}

int LastRecordRow(const Grid& grid, bool hasButtonRow) {
    return hasButtonRow ? grid.maxRows() - 1 : grid.dataRowCnt();
}

struct Pairing {
    std::vector<std::pair<int, int>> rows; // (row in A, row in B); 0 for none
};

void CompareRows(const Grid& a, int rowA, const Grid& b, int rowB, int firstCol,
                 const std::string& set, const std::string& catchment,
                 std::vector<CellDifference>& out) {
    for (int col = firstCol; col <= a.maxCols(); ++col) {
        const std::string va = rowA ? ValueOf(a, col, rowA) : std::string();
        const std::string vb = rowB ? ValueOf(b, col, rowB) : std::string();
        if (SameValue(va, vb)) continue;
        out.push_back({set, rowA, rowB, col, catchment, Trimmed(a.value(col, kLabelRow)), va, vb});
    }
}

// Catchments by identification first; the rest of each side in order, by position.
Pairing PairCatchments(const Grid& a, const Grid& b) {
    const int lastA = LastRecordRow(a, true), lastB = LastRecordRow(b, true);
    std::multimap<std::string, int> inB;
    for (int row = kTemplateRow; row <= lastB; ++row)
        inB.emplace(Trimmed(b.text(col::kCIdent, row)), row);
    std::vector<bool> usedB(static_cast<std::size_t>(lastB + 1));
    std::vector<int> unmatchedA;
    Pairing pairing;
    for (int row = kTemplateRow; row <= lastA; ++row) {
        const std::string ident = Trimmed(a.text(col::kCIdent, row));
        auto [from, to] = inB.equal_range(ident);
        while (from != to && usedB[static_cast<std::size_t>(from->second)])
            ++from;
        if (ident.empty() || from == to) {
            unmatchedA.push_back(row);
            continue;
        }
        usedB[static_cast<std::size_t>(from->second)] = true;
        pairing.rows.emplace_back(row, from->second);
    }
    std::size_t next = 0;
    for (int row = kTemplateRow; row <= lastB; ++row) {
        if (usedB[static_cast<std::size_t>(row)]) continue;
        pairing.rows.emplace_back(next < unmatchedA.size() ? unmatchedA[next++] : 0, row);
    }
    for (; next < unmatchedA.size(); ++next)
        pairing.rows.emplace_back(unmatchedA[next], 0);
    return pairing;
}

void DiffCatchments(const DeckGrids& a, const DeckGrids& b, std::vector<CellDifference>& out) {
    for (const auto& [rowA, rowB] : PairCatchments(a.fpCardC, b.fpCardC).rows) {
        const std::string ident =
            Trimmed((rowA ? a.fpCardC : b.fpCardC).text(col::kCIdent, rowA ? rowA : rowB));
        if (!rowA || !rowB) {
            out.push_back({"C", rowA, rowB, 0, ident, "(whole catchment)", rowA ? "present" : "",
                           rowB ? "present" : ""});
            continue;
        }
        CompareRows(a.fpCardC, rowA, b.fpCardC, rowB, 2, "C", ident, out);
        CompareRows(a.fpCardD, rowA, b.fpCardD, rowB, 2, "D", ident, out);
    }
}

// The rows of each storm number, in order.
std::map<int, std::vector<int>> StormRowsByNumber(const Grid& grid, bool hasButtonRow) {
    std::map<int, std::vector<int>> storms;
    for (int row = kTemplateRow; row <= LastRecordRow(grid, hasButtonRow); ++row) {
        const auto number = NumericValue(grid.text(col::kB1Storm, row));
        if (number) storms[static_cast<int>(*number)].push_back(row);
    }
    return storms;
}

void DiffStorms(const Grid& a, const Grid& b, const std::string& set, bool hasButtonRow,
                std::vector<CellDifference>& out) {
    const auto inA = StormRowsByNumber(a, hasButtonRow), inB = StormRowsByNumber(b, hasButtonRow);
    std::map<int, bool> numbers;
    for (const auto& [number, rows] : inA)
        numbers[number] = true;
    for (const auto& [number, rows] : inB)
        numbers[number] = true;
    for (const auto& [number, unused] : numbers) {
        const auto rowsA = inA.count(number) ? inA.at(number) : std::vector<int>{};
        const auto rowsB = inB.count(number) ? inB.at(number) : std::vector<int>{};
        if (rowsA.empty() || rowsB.empty()) {
            out.push_back({set,
                           rowsA.empty() ? 0 : rowsA.front(),
                           rowsB.empty() ? 0 : rowsB.front(),
                           0,
                           {},
                           "(whole storm " + std::to_string(number) + ")",
                           rowsA.empty() ? "" : "present",
                           rowsB.empty() ? "" : "present"});
            continue;
        }
        for (std::size_t k = 0; k < std::max(rowsA.size(), rowsB.size()); ++k)
            CompareRows(a, k < rowsA.size() ? rowsA[k] : 0, b, k < rowsB.size() ? rowsB[k] : 0, 1,
                        set, {}, out);
    }
}

std::string Record(int row) {
    return row ? std::to_string(row - 1) : std::string();
}

} // namespace

std::vector<CellDifference> DiffDecks(const DeckGrids& a, const DeckGrids& b) {
    std::vector<CellDifference> out;
    CompareRows(a.fpCardA, kTemplateRow, b.fpCardA, kTemplateRow, 1, "A", {}, out);
    DiffStorms(a.fpCardB1, b.fpCardB1, "B1", true, out);
    DiffStorms(a.fpCardB2, b.fpCardB2, "B2", false, out);
    DiffCatchments(a, b, out);
    return out;
}

std::string DifferencesCsv(const std::vector<CellDifference>& differences) {
    std::string csv = "record_set,record_a,record_b,catchment,field,value_a,value_b\n";
    for (const CellDifference& d : differences) {
        csv += d.recordSet + ',' + Record(d.rowA) + ',' + Record(d.rowB) + ',' +
               results::CsvField(d.catchment) + ',' + results::CsvField(d.field) + ',' +
               results::CsvField(d.valueA) + ',' + results::CsvField(d.valueB) + '\n';
    }
    return csv;
}

} // namespace tovan
