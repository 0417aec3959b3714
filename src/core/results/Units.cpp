#include "results/Units.h"

namespace tovan::results {

namespace {

constexpr double kSquareMetresPerAcre = kSquareFeetPerAcre * kMetresPerFoot * kMetresPerFoot;
constexpr double kMetresPerMile = kFeetPerMile * kMetresPerFoot;

struct UnitNames {
    const char *us, *si, *usSuffix, *siSuffix;
};

UnitNames NamesOf(Quantity quantity) {
    switch (quantity) {
    case Quantity::Flow:
        return {"cfs", "m\u00b3/s", "cfs", "m3s"};
    case Quantity::Depth:
        return {"in", "mm", "in", "mm"};
    case Quantity::Volume:
        return {"acre-ft", "m\u00b3", "acre_ft", "m3"};
    case Quantity::AreaMiles:
        return {"sq mi", "km\u00b2", "sq_mi", "km2"};
    case Quantity::AreaAcres:
        break;
    }
    return {"acre", "ha", "acre", "ha"};
}

} // namespace

double SiFactor(Quantity quantity) {
    switch (quantity) {
    case Quantity::Flow:
        return kMetresPerFoot * kMetresPerFoot * kMetresPerFoot;
    case Quantity::Depth:
        return kMillimetresPerInch;
    case Quantity::Volume:
        return kSquareMetresPerAcre * kMetresPerFoot;
    case Quantity::AreaMiles:
        return kMetresPerMile * kMetresPerMile / 1e6;
    case Quantity::AreaAcres:
        break;
    }
    return kSquareMetresPerAcre / 1e4;
}

double InSystem(double value, Quantity quantity, bool si) {
    return si ? value * SiFactor(quantity) : value;
}

std::string UnitSymbol(Quantity quantity, bool si) {
    const UnitNames names = NamesOf(quantity);
    return si ? names.si : names.us;
}

std::string UnitSuffix(Quantity quantity, bool si) {
    const UnitNames names = NamesOf(quantity);
    return si ? names.siSuffix : names.usSuffix;
}

std::vector<bool> SiColumns(UnitSystem units) {
    switch (units) {
    case UnitSystem::SI:
        return {true};
    case UnitSystem::Both:
        return {false, true};
    case UnitSystem::USCustomary:
        break;
    }
    return {false};
}

std::string UnitSystemKey(UnitSystem units) {
    switch (units) {
    case UnitSystem::SI:
        return "SI";
    case UnitSystem::Both:
        return "US+SI";
    case UnitSystem::USCustomary:
        break;
    }
    return "US";
}

UnitSystem UnitSystemFromKey(const std::string& key) {
    if (key == "SI") return UnitSystem::SI;
    if (key == "US+SI") return UnitSystem::Both;
    return UnitSystem::USCustomary;
}

std::string UnitSystemName(UnitSystem units) {
    switch (units) {
    case UnitSystem::SI:
        return "SI";
    case UnitSystem::Both:
        return "US customary and SI";
    case UnitSystem::USCustomary:
        break;
    }
    return "US customary";
}

} // namespace tovan::results
