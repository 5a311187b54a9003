// The subcommands of mirk. Each lives in a file of its own with one Setup
// function that declares its options on the parser's subcommand and returns
// the action to run once the command line has been parsed. A new subcommand
// is a new file and one line in the table of Subcommands.cpp.
#pragma once

#include <functional>
#include <span>

namespace CLI {
class App;
}

namespace mirk::tool {

// Runs the parsed subcommand; returns the exit status. Failures throw
// (CommandError, or the library's errors about no particular file).
using Action = std::function<int()>;

struct Subcommand {
  const char* name;
  const char* summary;
  Action (*setup)(CLI::App& command);
};

// In the order the help lists them.
std::span<const Subcommand> Subcommands();

Action SetupInfo(CLI::App& command);
Action SetupLabels(CLI::App& command);
Action SetupPlot(CLI::App& command);

}  // namespace mirk::tool
