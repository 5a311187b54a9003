// mirk plot: a well-formed SVG image with one panel per variable, named by
// the default or the given labels.
#include <filesystem>
#include <string>
#include <vector>

#include "MirkTool/MirkToolTest.h"

namespace mirk::test {
namespace {

namespace fs = std::filesystem;

// Runs xmllint on the file; empty when it is well-formed XML.
std::string XmlProblems(const fs::path& svg, const fs::path& dir) {
  const ProgramResult r = RunProgram("/usr/bin/xmllint", {"--noout", svg.string()}, dir);
  return r.status == 0 ? std::string() : "xmllint status " + std::to_string(r.status) + ": " + r.err;
}

// The texts of the image's text elements of the given fill, in order.
std::vector<std::string> Texts(const std::string& svg, const std::string& marker) {
  std::vector<std::string> texts;
  for (size_t at = svg.find(marker); at != std::string::npos; at = svg.find(marker, at + 1)) {
    const size_t start = svg.find('>', at) + 1;
    texts.push_back(svg.substr(start, svg.find("</text>", start) - start));
  }
  return texts;
}

TEST_F(MirkToolTest, PlotDrawsOnePanelPerVariableWithItsLabels) {
  const fs::path svg = Path("fan.svg");
  ExpectResult(Run({"plot", Fan(), "-o", svg.string()}), 0, "", "");
  EXPECT_EQ(XmlProblems(svg, dir_), "");
  const std::string image = ReadFileText(svg);
  EXPECT_EQ(Texts(image, "font-weight=\"bold\""),
            (std::vector<std::string>{"InputA (input 0)", "InputB (input 1)", "OutputA (output 0)"}));
  EXPECT_EQ(Texts(image, "text-anchor=\"middle\" fill="),
            (std::vector<std::string>{"A", "B", "C", "A", "B", "A", "B", "C"}));
  // Nothing fetched from elsewhere.
  for (const char* outside : {"<script", "href", "@import", "url("})
    EXPECT_EQ(image.find(outside), std::string::npos);
  // Standard output holds the same image.
  ExpectResult(Run({"plot", Fan()}), 0, image, "");
}

// The first membership function is a left shoulder, the last a right one,
// the middle one a triangle between its neighbours' centres: x = 50 + v * 560
// and y = 134 - 90 * membership.
TEST_F(MirkToolTest, PlotTrianglesStandOnTheNeighbouringCentres) {
  const ProgramResult r = Run({"plot", Fan()});
  ASSERT_EQ(r.status, 0);
  for (const char* points : {
           "points=\"50.00,44.00 95.57,44.00 315.39,134.00\"",    // 0.0813..., 0.4739...
           "points=\"95.57,134.00 315.39,44.00 569.77,134.00\"",  // 0.9281...
           "points=\"315.39,134.00 569.77,44.00 610.00,44.00\"",
       }) {
    EXPECT_NE(r.out.find(points), std::string::npos) << points;
  }
}

TEST_F(MirkToolTest, PlotTakesNamesFromALabelFileAndEscapesThem) {
  // Names with XML's special characters, and a network file whose name is
  // neither XML-safe nor UTF-8.
  const fs::path net = Path("fan&\xff.mirk");
  fs::copy_file(Fan(), net);
  const fs::path svg = Path("named.svg");
  ExpectResult(Run({"plot", net.string(), "--labels", Data("mirk/fan-named.labels"), "-o", svg.string()}), 0,
               "", "");
  EXPECT_EQ(XmlProblems(svg, dir_), "");
  const std::string image = ReadFileText(svg);
  EXPECT_EQ(Texts(image, "font-weight=\"bold\""),
            (std::vector<std::string>{"temperature (input 0)", "humidity&amp;more (input 1)",
                                      "&quot;fan&quot; (output 0)"}));
  EXPECT_EQ(
      Texts(image, "text-anchor=\"middle\" fill="),
      (std::vector<std::string>{"cold", "&apos;mild&apos;", "hot", "dry", "wet", "slow", "medium", "fast"}));
  EXPECT_NE(image.find("<title>Membership functions of fan&amp;?.mirk</title>"), std::string::npos);
}

TEST_F(MirkToolTest, PlotRefusesLabelsThatDoNotFitTheNetwork) {
  const std::string misfit = Data("mirk/misfit.labels");
  const std::string missing = Path("missing.labels").string();
  ExpectResult(Run({"plot", Fan(), "--labels", misfit}), 1, "",
               "mirk: " + misfit +
                   ": the labels do not fit the network (other inputs, outputs or membership counts)\n");
  ExpectResult(Run({"plot", Fan(), "--labels", missing}), 1, "",
               "mirk: cannot open " + missing + ": No such file or directory\n");
  ExpectResult(Run({"plot", Fan(), "--labels", Fan()}), 1, "",
               "mirk: " + Fan() + ":3: [MirkLabels] expected\n");
}

}  // namespace
}  // namespace mirk::test
