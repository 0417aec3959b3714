// Numbers with a fixed number of decimals, written straight into a string: the report's tables,
// the DRELM and peak files and the results file hold millions of them, and printf's general
// machinery would be most of a run's time.
#pragma once

#include <string>

namespace tovan::engine {

// Appends `value` rounded to `decimals` (0 to 8) decimals, right-aligned in `width` characters
// as printf("%*.*f") would; with `trimZeros`, trailing zeros of the decimals (and a bare point)
// are left out. Values beyond 1e15 units fall back to printf.
void AppendFixed(std::string& out, double value, int decimals, int width = 0,
                 bool trimZeros = false);

// Appends an integer right-aligned in `width` characters.
void AppendInteger(std::string& out, long long value, int width = 0);

} // namespace tovan::engine
