// mirk labels NET [-o FILE]: the default label file of a Mirk network, the
// same bytes Tagwright writes.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "FileHandler/LabelFile.h"
#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "MirkTool/Inputs.h"
#include "MirkTool/OutputFile.h"
#include "MirkTool/Subcommand.h"

namespace mirk::tool {

namespace {

struct LabelsOptions {
  std::string network;
  std::string output = "-";
};

}  // namespace

Action SetupLabels(CLI::App& command) {
  auto options = std::make_shared<LabelsOptions>();
  command.add_option("NET", options->network, "Mirk network file")->required()->type_name("");
  command
      .add_option("-o,--output", options->output, "Label file to write ('-': standard output, the default)")
      ->type_name("FILE");
  return [options] {
    const std::unique_ptr<TMirk> network = LoadMirkNetwork(options->network);
    const std::unique_ptr<TMirkLabel> labels = GenerateLabels(*network);
    OutputFile out(options->output);
    WriteLabels(out.Stream(), *labels);
    out.Commit();
    return 0;
  };
}

}  // namespace mirk::tool
