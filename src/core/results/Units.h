// The units a reader sees the results in. The deck and the engine work in US customary units;
// a reader in SI can have the tables, plots and exports in SI instead or beside them. The
// factors follow from the definitions of the units (the international foot of 0.3048 m, the
// inch of 25.4 mm, the acre of 43,560 square feet, the mile of 5,280 feet), so they are exact
// to the last digit a double holds.
#pragma once

#include <string>
#include <vector>

namespace tovan::results {

enum class UnitSystem { USCustomary, SI, Both };

// What a figure measures, in the unit the engine gives it in.
enum class Quantity {
    Flow,      // cfs -> m³/s
    Depth,     // in -> mm
    Volume,    // acre-ft -> m³
    AreaMiles, // sq mi -> km²
    AreaAcres, // acre -> ha
};

inline constexpr double kMetresPerFoot = 0.3048;
inline constexpr double kMillimetresPerInch = 25.4;
inline constexpr double kSquareFeetPerAcre = 43'560;
inline constexpr double kFeetPerMile = 5'280;

// What a value in the engine's unit is multiplied by to give it in SI.
double SiFactor(Quantity quantity);
double InSystem(double value, Quantity quantity, bool si);

// The unit's symbol as the tables show it ("cfs", "m³/s") and as a CSV header's suffix
// ("cfs", "m3s").
std::string UnitSymbol(Quantity quantity, bool si);
std::string UnitSuffix(Quantity quantity, bool si);

// The systems shown, in their order: US customary first when both are.
std::vector<bool> SiColumns(UnitSystem units);

// The setting's text ("US", "SI", "US+SI") and back; an unknown text is US customary.
std::string UnitSystemKey(UnitSystem units);
UnitSystem UnitSystemFromKey(const std::string& key);
// For a menu: "US customary", "SI", "US customary and SI".
std::string UnitSystemName(UnitSystem units);

} // namespace tovan::results
