// A storm that Tovan2000 built names its step at the end of its identification ("N2 5/5m"),
// so that a check of the deck can compare it with the unit duration of the catchments that
// process the storm, long after the storm was placed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovan {

// "/5m" for a step of 5 minutes.
std::string StepMark(double stepMinutes);
// The step an identification ends with, or nothing.
std::optional<double> StepInIdent(std::string_view ident);

} // namespace tovan
