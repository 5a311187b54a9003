// The failure of a subcommand's own step: main prints its text after
// "mirk: " on one line and exits 1.
#pragma once

#include <stdexcept>
#include <string>

namespace mirk::tool {

class CommandError : public std::runtime_error {
 public:
  explicit CommandError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace mirk::tool
