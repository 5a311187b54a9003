// mirk plot NET [-o FILE.svg] [--labels FILE]: one panel per input and per
// output with its membership triangles, as a self-contained SVG image.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Common/NumberText.h"
#include "Mirk/TMirk.h"
#include "MirkTool/CommandError.h"
#include "MirkTool/Inputs.h"
#include "MirkTool/OutputFile.h"
#include "MirkTool/Subcommand.h"
#include "MirkTool/Text.h"

namespace mirk::tool {

namespace {

constexpr double kWidth = 640;
constexpr double kPanelHeight = 170;
constexpr double kLeft = 50;
constexpr double kRight = 30;
constexpr double kTop = 44;         // from the panel's top to the line of full membership
constexpr double kPlotHeight = 90;  // from full membership down to the axis
constexpr const char* kColours[] = {"#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf"};

struct Panel {
  std::string title;
  std::vector<double> centres;
  std::vector<std::string> labels;
};

// The byte length of the valid UTF-8 sequence at the start of text, 0 when
// it is not one.
size_t Utf8Length(std::string_view text) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  size_t n = lead < 0x80                   ? 1
             : lead >= 0xC2 && lead < 0xE0 ? 2
             : lead >= 0xE0 && lead < 0xF0 ? 3
             : lead >= 0xF0 && lead < 0xF5 ? 4
                                           : 0;
  if (n == 0 || n > text.size()) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
  }
  // Overlong forms, surrogates and values past U+10FFFF.
  if (n == 3 && ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) >= 0xA0))) return 0;
  if (n == 4 && ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) >= 0x90))) return 0;
  return n;
}

// Text as XML character data. Bytes that XML cannot hold (control
// characters, broken UTF-8) become '?', so any label gives a valid image.
void AppendEscaped(std::string& out, std::string_view text) {
  while (!text.empty()) {
    const size_t n = Utf8Length(text);
    if (n > 1) {
      out.append(text.substr(0, n));
      text.remove_prefix(n);
      continue;
    }
    const char c = text[0];
    text.remove_prefix(1);
    if (n == 0 || (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')) {
      out += '?';
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
}

std::string Px(double v) { return FormatFixed(v, 2); }

// The domain shown: [0, 1], widened to take in every centre.
struct Scale {
  double low;
  double high;
  // Halved first, so that centres near the largest double do not overflow.
  double X(double v) const {
    return kLeft + (v * 0.5 - low * 0.5) / (high * 0.5 - low * 0.5) * (kWidth - kLeft - kRight);
  }
  static double Y(double membership) { return kTop + (1.0 - membership) * kPlotHeight; }
};

// The triangle of membership function k: its feet are the neighbouring
// centres; the first and the last stay at full membership out to the edge.
std::vector<std::pair<double, double>> Outline(const std::vector<double>& c, size_t k, const Scale& s) {
  const size_t m = c.size();
  std::vector<std::pair<double, double>> points;
  if (m == 1) return {{s.low, 1}, {s.high, 1}};
  if (k == 0) {
    points = {{s.low, 1}, {c[0], 1}, {c[1], 0}};
  } else if (k + 1 == m) {
    points = {{c[k - 1], 0}, {c[k], 1}, {s.high, 1}};
  } else {
    points = {{c[k - 1], 0}, {c[k], 1}, {c[k + 1], 0}};
  }
  return points;
}

void AppendPanel(std::string& svg, const Panel& panel, double top) {
  const auto [lowest, highest] = std::minmax_element(panel.centres.begin(), panel.centres.end());
  const Scale s{std::min(0.0, *lowest), std::max(1.0, *highest)};
  svg += "<g transform=\"translate(0," + Px(top) + ")\">\n";
  svg += "<text x=\"" + Px(kLeft) + "\" y=\"16\" font-weight=\"bold\">";
  AppendEscaped(svg, panel.title);
  svg += "</text>\n";
  // Axis with the ends of the domain, and the levels 0 and 1.
  const std::string axisY = Px(Scale::Y(0));
  svg += "<line x1=\"" + Px(s.X(s.low)) + "\" y1=\"" + axisY + "\" x2=\"" + Px(s.X(s.high)) + "\" y2=\"" +
         axisY + "\" stroke=\"#444\"/>\n";
  svg += "<line x1=\"" + Px(s.X(s.low)) + "\" y1=\"" + Px(Scale::Y(1)) + "\" x2=\"" + Px(s.X(s.high)) +
         "\" y2=\"" + Px(Scale::Y(1)) + "\" stroke=\"#ccc\" stroke-dasharray=\"4 4\"/>\n";
  svg += "<text x=\"" + Px(kLeft - 6) + "\" y=\"" + Px(Scale::Y(1) + 4) + "\" text-anchor=\"end\">1</text>\n";
  svg += "<text x=\"" + Px(kLeft - 6) + "\" y=\"" + Px(Scale::Y(0) + 4) + "\" text-anchor=\"end\">0</text>\n";
  for (const double end : {s.low, s.high}) {
    svg += "<text x=\"" + Px(s.X(end)) + "\" y=\"" + Px(Scale::Y(0) + 18) + "\" text-anchor=\"middle\">" +
           Shortest(end) + "</text>\n";
  }
  for (size_t k = 0; k < panel.centres.size(); ++k) {
    const char* colour = kColours[k % std::size(kColours)];
    svg += "<polyline fill=\"none\" stroke-width=\"2\" stroke=\"";
    svg += colour;
    svg += "\" points=\"";
    for (const auto& [x, y] : Outline(panel.centres, k, s)) {
      svg += Px(s.X(x)) + "," + Px(Scale::Y(y)) + " ";
    }
    svg.pop_back();
    svg += "\"/>\n";
    svg += "<text x=\"" + Px(s.X(panel.centres[k])) + "\" y=\"" + Px(Scale::Y(1) - 6) +
           "\" text-anchor=\"middle\" fill=\"";
    svg += colour;
    svg += "\">";
    AppendEscaped(svg, panel.labels[k]);
    svg += "</text>\n";
  }
  svg += "</g>\n";
}

std::vector<Panel> Panels(const TMirk& network, const TMirkLabel& labels) {
  int inputs, conditions, rules, actions, outputs;
  std::vector<int> inputMF, outputMF;
  network.GetStructure(inputs, conditions, inputMF, rules, actions, outputMF, outputs);
  std::vector<Panel> panels;
  const auto add = [&](const std::vector<double>& centres, const std::vector<int>& counts, bool input) {
    size_t next = 0;
    for (size_t v = 0; v < counts.size(); ++v) {
      const int index = static_cast<int>(v);
      Panel panel;
      panel.title = input ? labels.GetInputName(index) : labels.GetOutputName(index);
      panel.title += input ? " (input " : " (output ";
      panel.title += std::to_string(v) + ")";
      for (int k = 0; k < counts[v]; ++k, ++next) {
        const int number = static_cast<int>(next);
        panel.centres.push_back(centres.at(next));
        panel.labels.emplace_back(input ? labels.GetConditionName(number) : labels.GetActionName(number));
      }
      panels.push_back(std::move(panel));
    }
  };
  add(network.GetWeightLayer(1), inputMF, true);
  add(network.GetWeightLayer(4), outputMF, false);
  return panels;
}

std::string Svg(const std::vector<Panel>& panels, std::string_view title) {
  const double height = kPanelHeight * static_cast<double>(panels.size()) + 10;
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(kWidth) + "\" height=\"" + Px(height) +
         "\" viewBox=\"0 0 " + Px(kWidth) + " " + Px(height) +
         "\" font-family=\"sans-serif\" font-size=\"12\">\n<title>";
  AppendEscaped(svg, title);
  svg += "</title>\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  for (size_t i = 0; i < panels.size(); ++i)
    AppendPanel(svg, panels[i], kPanelHeight * static_cast<double>(i));
  svg += "</svg>\n";
  return svg;
}

struct PlotOptions {
  std::string network;
  std::string output = "-";
  std::string labels;
};

}  // namespace

Action SetupPlot(CLI::App& command) {
  auto options = std::make_shared<PlotOptions>();
  command.add_option("NET", options->network, "Mirk network file")->required()->type_name("");
  command.add_option("-o,--output", options->output, "SVG file to write ('-': standard output, the default)")
      ->type_name("FILE");
  command
      .add_option("--labels", options->labels,
                  "Label file naming the variables (default: the default labels)")
      ->type_name("FILE");
  command.footer(
      "Draws one panel per input and per output with its triangular membership functions\n"
      "(the first and the last are shoulders), each named by its label. The image is plain\n"
      "SVG without external fonts or scripts.");
  return [options] {
    const std::unique_ptr<TMirk> network = LoadMirkNetwork(options->network);
    const std::unique_ptr<TMirkLabel> labels = LabelsFor(options->labels, *network);
    const std::vector<Panel> panels =
        AboutFile(options->network, nullptr, [&] { return Panels(*network, *labels); });
    for (const Panel& panel : panels) {
      for (const double c : panel.centres) {
        if (!std::isfinite(c)) {
          throw CommandError(options->network + ": membership centre " + Shortest(c) + " of " + panel.title +
                             " cannot be drawn");
        }
      }
    }
    const std::string name = std::filesystem::path(options->network).filename().string();
    WriteOutput(options->output, Svg(panels, "Membership functions of " + name));
    return 0;
  };
}

}  // namespace mirk::tool
