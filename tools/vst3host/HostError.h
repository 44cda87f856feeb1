#pragma once
// The one error type of the host library and the command-line tool: a complete, one-line message
// that names the cause. Thrown inside host code only; never across the plug-in boundary.
#include <stdexcept>
#include <string>

namespace vst3host {

class HostError : public std::runtime_error
{
public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace vst3host
