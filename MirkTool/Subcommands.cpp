#include "MirkTool/Subcommand.h"

namespace mirk::tool {

namespace {

constexpr Subcommand kSubcommands[] = {
    {"info", "Describe a network: layers, connections, membership functions", SetupInfo},
    {"labels", "Write the default label file of a Mirk network", SetupLabels},
    {"plot", "Draw a Mirk network's membership functions as an SVG image", SetupPlot},
};

}  // namespace

std::span<const Subcommand> Subcommands() { return kSubcommands; }

}  // namespace mirk::tool
