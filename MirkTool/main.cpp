// mirk SUBCOMMAND ...: works with Mirk networks and their files from the
// shell. Parses the command line, runs one subcommand and reports its
// failure in one place: a usage error exits 2 with the message and the
// usage, a failed file or data step exits 1 with one "mirk: " line on
// standard error, success exits 0.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "Common/Exceptions.h"
#include "MirkTool/CommandError.h"
#include "MirkTool/Subcommand.h"

#ifndef MIRK_VERSION
#error "MIRK_VERSION is the project's version"
#endif

namespace {

using mirk::tool::Action;

int Fail(const std::string& message) {
  std::cout.flush();
  std::cerr << "mirk: " << message << std::endl;
  return 1;
}

// The innermost subcommand the parser had reached, for its usage line.
const CLI::App* Reached(const CLI::App& app) {
  const CLI::App* at = &app;
  for (;;) {
    const std::vector<CLI::App*> subs = at->get_subcommands();
    if (subs.empty()) return at;
    at = subs.back();
  }
}

std::string UsageName(const CLI::App& app) {
  return app.get_parent() == nullptr ? app.get_name() : UsageName(*app.get_parent()) + " " + app.get_name();
}

}  // namespace

int main(int argc, char* argv[]) {
  CLI::App app("Inspect, recall and take apart Mirk fuzzy neural networks.", "mirk");
  app.set_version_flag("--version", "mirk " MIRK_VERSION);
  app.require_subcommand(1);
  app.footer("Run 'mirk SUBCOMMAND --help' for the options of one subcommand.");

  std::vector<std::pair<CLI::App*, Action>> actions;
  for (const mirk::tool::Subcommand& sub : mirk::tool::Subcommands()) {
    CLI::App* command = app.add_subcommand(sub.name, sub.summary);
    actions.emplace_back(command, sub.setup(*command));
  }

  // Left to the parser, a misspelt subcommand or option before it would read
  // as a missing subcommand.
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto& table = mirk::tool::Subcommands();
    std::string problem;
    if (arg == "-h" || arg == "--help" || arg == "--version") {
      continue;
    } else if (!arg.empty() && arg[0] == '-') {
      problem = "The following argument was not expected: " + arg;
    } else if (std::none_of(table.begin(), table.end(), [&](const auto& sub) { return arg == sub.name; })) {
      problem = "unknown subcommand: " + arg;
    }
    if (problem.empty()) break;
    std::cerr << "mirk: " << problem << '\n' << CLI::Formatter().make_usage(&app, "mirk") << std::flush;
    return 2;
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& e) {
    return app.exit(e, std::cout, std::cerr);
  } catch (const CLI::ParseError& e) {
    const CLI::App* at = Reached(app);
    std::cerr << "mirk: " << e.what() << '\n'
              << CLI::Formatter().make_usage(at, UsageName(*at)) << std::flush;
    return 2;
  }

  try {
    for (auto& [command, action] : actions) {
      if (command->parsed()) return action();
    }
    return Fail("no subcommand");
  } catch (const mirk::tool::CommandError& e) {
    return Fail(e.what());
  } catch (const mirk::FileTools::Error& e) {
    return Fail(e.GetMessage());
  } catch (const mirk::TException& e) {
    return Fail(e.GetMessage() != nullptr ? e.GetMessage() : "rejected argument");
  } catch (const std::bad_alloc&) {
    return Fail("out of memory");
  } catch (const std::exception& e) {
    return Fail(std::string("unexpected error: ") + e.what());
  }
}
