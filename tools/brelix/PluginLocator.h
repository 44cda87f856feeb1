#pragma once
// Finds the Brelix bundle when no --plugin is given. A brelix run from the build tree prefers
// the bundle built beside it; an installed brelix prefers the installed one (~/.vst3, then the
// system folders). Errors as HostError, naming every place looked at.
#include <string>

namespace brelix {

std::string DefaultPluginPath();

} // namespace brelix
