#include "Mirk/RuleExtraction/TMirkRule.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "Mirk/RuleExtraction/DefaultLabels.h"
#include "Mirk/RuleExtraction/TMirkLabel.h"
#include "Mirk/TMirk.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";
constexpr const char* kSetWhere = "TMirkRule::SetMirkMF";

// Inputs of 3 and 2 MFs, one output of 4: condition centres 0.1 0.4 0.9 |
// 0.25 0.75, action centres 0 0.125 0.5 1.
class MirkRuleTest : public ::testing::Test {
 protected:
  MirkRuleTest() {
    net.SetWeightLayer(1, std::vector<double>{0.1, 0.4, 0.9, 0.25, 0.75});
    net.SetWeightLayer(4, std::vector<double>{0.0, 0.125, 0.5, 1.0});
    net.SetWeightLayer(2, std::vector<double>(5 * 2, 0.5));
  }

  std::vector<std::vector<double>> AllWeights() const {
    std::vector<std::vector<double>> weights;
    for (int layer = 1; layer <= 4; ++layer) weights.push_back(net.GetWeightLayer(layer));
    return weights;
  }

  struct Lists {
    std::unique_ptr<TMFSetList> inputs;
    std::unique_ptr<TMFSetList> outputs;
  };

  Lists Get() const {
    Lists lists;
    TMirkRule::GetMirkMF(net, *labels, lists.inputs, lists.outputs);
    return lists;
  }

  TMirk net{2, std::array{3, 2}, 2, std::array{4}, 1};
  std::unique_ptr<TMirkLabel> labels = GenerateLabels(net);
};

TEST_F(MirkRuleTest, GetMirkMFPlacesShouldersAndTrianglesOnTheCentres) {
  const Lists lists = Get();
  TMFSetList inputs(2, "Inputs");
  auto a = std::make_unique<TBasicMFSet>("Triangular", "InputA", 3, 0.0, 1.0);
  a->SetMF(0, std::make_unique<TLShoulderTriangularMF>("A", 0.1, 0.4));
  a->SetMF(1, std::make_unique<TTriangularMF>("B", 0.1, 0.4, 0.9));
  a->SetMF(2, std::make_unique<TRShoulderTriangularMF>("C", 0.4, 0.9));
  inputs.SetMFSet(0, std::move(a));
  // Two MFs: no plain triangle; the first takes its centre from the node
  // right after the first input's last.
  auto b = std::make_unique<TBasicMFSet>("Triangular", "InputB", 2, 0.0, 1.0);
  b->SetMF(0, std::make_unique<TLShoulderTriangularMF>("A", 0.25, 0.75));
  b->SetMF(1, std::make_unique<TRShoulderTriangularMF>("B", 0.25, 0.75));
  inputs.SetMFSet(1, std::move(b));
  EXPECT_EQ(*lists.inputs, inputs);

  TMFSetList outputs(1, "Outputs");
  auto o = std::make_unique<TBasicMFSet>("Triangular", "OutputA", 4, 0.0, 1.0);
  o->SetMF(0, std::make_unique<TLShoulderTriangularMF>("A", 0.0, 0.125));
  o->SetMF(1, std::make_unique<TTriangularMF>("B", 0.0, 0.125, 0.5));
  o->SetMF(2, std::make_unique<TTriangularMF>("C", 0.125, 0.5, 1.0));
  o->SetMF(3, std::make_unique<TRShoulderTriangularMF>("D", 0.5, 1.0));
  outputs.SetMFSet(0, std::move(o));
  EXPECT_EQ(*lists.outputs, outputs);
}

TEST_F(MirkRuleTest, GetMirkMFKeepsSetBoundsWhateverTheCentresAndLeavesUnsetNamesNull) {
  net.SetWeightLayer(1, std::vector<double>{-3.0, 0.5, 7.0, 2.0, 2.5});
  const std::vector<int> inputMF{3, 2}, outputMF{4};
  const TMirkLabel unnamed(2, inputMF, 1, outputMF);
  std::unique_ptr<TMFSetList> inputs, outputs;
  TMirkRule::GetMirkMF(net, unnamed, inputs, outputs);
  const TBasicMFSet& set = *inputs->GetMFSet(0);
  EXPECT_EQ(set.GetLowerBound(), 0.0);
  EXPECT_EQ(set.GetUpperBound(), 1.0);
  EXPECT_EQ(set.GetName(), nullptr);
  EXPECT_EQ(set.GetMF(1)->GetName(), nullptr);
  EXPECT_EQ(dynamic_cast<const TTriangularMF&>(*set.GetMF(1)).RightBound, 7.0);
}

TEST_F(MirkRuleTest, GetMirkMFRefusesLabelsOfAnotherSizeAndStoresNothing) {
  const struct {
    const char* what;
    std::vector<int> inputMF;
    std::vector<int> outputMF;
  } cases[] = {
      {"one input too many", {3, 2, 2}, {4}},
      {"one output too many", {3, 2}, {4, 2}},
      {"one condition too many", {3, 3}, {4}},
      {"one action too few", {3, 2}, {3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TMirkLabel other(static_cast<int>(c.inputMF.size()), c.inputMF,
                           static_cast<int>(c.outputMF.size()), c.outputMF);
    std::unique_ptr<TMFSetList> inputs, outputs;
    EXPECT_TEXCEPTION(TMirkRule::GetMirkMF(net, other, inputs, outputs), "Labels unsuitable for this network",
                      "Bad Format", "TMirkRule::GetMirkMF");
    EXPECT_EQ(inputs, nullptr);
    EXPECT_EQ(outputs, nullptr);
  }
}

TEST_F(MirkRuleTest, SetMirkMFWritesOnlyTheCentresBack) {
  Lists lists = Get();
  const auto before = AllWeights();
  // Bounds, names, set bounds and list names are not read.
  auto& mid = dynamic_cast<TTriangularMF&>(*lists.inputs->GetMFSet(0)->GetMF(1));
  mid.LeftBound = -5.0;
  mid.RightBound = 5.0;
  lists.inputs->SetMFSet(1, [&] {
    auto set = std::make_unique<TBasicMFSet>("Other", "Renamed", 2, 3.0, -3.0);
    set->SetMF(0, std::make_unique<TLShoulderTriangularMF>("x", 0.25, 99.0));
    set->SetMF(1, std::make_unique<TRShoulderTriangularMF>("y", -99.0, 0.75));
    return set;
  }());
  TMirkRule::SetMirkMF(net, *lists.inputs, *lists.outputs);
  EXPECT_EQ(AllWeights(), before);

  // One centre changed: that condition weight and nothing else.
  mid.Centre = 0.45;
  dynamic_cast<TRShoulderTriangularMF&>(*lists.outputs->GetMFSet(0)->GetMF(3)).Centre = 0.875;
  TMirkRule::SetMirkMF(net, *lists.inputs, *lists.outputs);
  auto expected = before;
  expected[0][1] = 0.45;
  expected[3][3] = 0.875;
  EXPECT_EQ(AllWeights(), expected);
}

TEST_F(MirkRuleTest, SetMirkMFIgnoresExtraSetsAndTheLetterCaseOfTypes) {
  Lists lists = Get();
  TMFSetList longer(3, "More");
  longer.SetMFSet(0, std::make_unique<TBasicMFSet>(std::move(*lists.inputs->GetMFSet(0))));
  longer.SetMFSet(1, std::make_unique<TBasicMFSet>(std::move(*lists.inputs->GetMFSet(1))));
  // Slot 2 stays empty: it is never looked at.
  // A shape of our own whose type name is in lower case.
  struct LowerCaseTriangle : TCentredMF {
    LowerCaseTriangle() : TCentredMF("triangular", "lower", 0.3) {}
    double GetMembership(double) const override { return 0.0; }
  };
  longer.GetMFSet(0)->SetMF(1, std::make_unique<LowerCaseTriangle>());
  TMirkRule::SetMirkMF(net, longer, *lists.outputs);
  EXPECT_EQ(net.GetWeightLayer(1)[1], 0.3);
}

TEST_F(MirkRuleTest, SetMirkMFRefusalsLeaveEveryWeightUnchanged) {
  using Spoil = void (*)(TMFSetList& inputs, TMFSetList& outputs);
  const struct {
    const char* what;
    Spoil spoil;
    const char* message;
    const char* where;
  } cases[] = {
      {"too few input sets",
       [](TMFSetList& in, TMFSetList&) {
         TMFSetList shorter(1, "Inputs");
         shorter.SetMFSet(0, std::make_unique<TBasicMFSet>(std::move(*in.GetMFSet(0))));
         in = std::move(shorter);
       },
       "Invalid MF set number", "TMFSetList::GetMFSet"},
      {"empty input set slot", [](TMFSetList& in, TMFSetList&) { in.SetMFSet(1, nullptr); },
       "Invalid MF set number", kSetWhere},
      {"empty output set slot", [](TMFSetList&, TMFSetList& out) { out.SetMFSet(0, nullptr); },
       "Invalid MF set number", kSetWhere},
      {"input set of another size",
       [](TMFSetList& in, TMFSetList&) { in.SetMFSet(1, std::make_unique<TBasicMFSet>("T", "B", 3, 0, 1)); },
       "Number of Fuzzy MF not appropriate for this network", kSetWhere},
      {"output set of another size",
       [](TMFSetList&, TMFSetList& out) { out.SetMFSet(0, std::make_unique<TBasicMFSet>("T", "O", 3, 0, 1)); },
       "Number of Fuzzy MF not appropriate for this network", "TMirkRule:SetMirkMF"},
      // Sizes are checked for every set before any shape.
      {"bad shape before a bad output size",
       [](TMFSetList& in, TMFSetList& out) {
         in.GetMFSet(0)->SetMF(0, nullptr);
         out.SetMFSet(0, std::make_unique<TBasicMFSet>("T", "O", 3, 0, 1));
       },
       "Number of Fuzzy MF not appropriate for this network", "TMirkRule:SetMirkMF"},
      {"first input MF a triangle",
       [](TMFSetList& in, TMFSetList&) { in.GetMFSet(0)->SetMF(0, std::make_unique<TTriangularMF>("A", 0, 0.1, 0.4)); },
       "Inappropriate Input MF type: Should be LeftShouldered", kSetWhere},
      {"inner input MF a singleton",
       [](TMFSetList& in, TMFSetList&) { in.GetMFSet(0)->SetMF(1, std::make_unique<TSingletonMF>("B", 0.4)); },
       "Inappropriate Input MF type: Should be Centred", kSetWhere},
      {"last MF of the second input empty", [](TMFSetList& in, TMFSetList&) { in.GetMFSet(1)->SetMF(1, nullptr); },
       "Inappropriate Input MF type: Should be RightShouldered", kSetWhere},
      {"first output MF a right shoulder",
       [](TMFSetList&, TMFSetList& out) {
         out.GetMFSet(0)->SetMF(0, std::make_unique<TRShoulderTriangularMF>("A", 0, 0.1));
       },
       "Inappropriate Output MF type: Should be LeftShouldered", kSetWhere},
      {"inner output MF empty", [](TMFSetList&, TMFSetList& out) { out.GetMFSet(0)->SetMF(2, nullptr); },
       "Inappropriate Output MF type: Should be Centred", kSetWhere},
      {"last output MF a rectangle",
       [](TMFSetList&, TMFSetList& out) { out.GetMFSet(0)->SetMF(3, std::make_unique<TRectangularMF>("D", 0, 1)); },
       "Inappropriate Output MF type: Should be RightShouldered", kSetWhere},
      // Inputs are checked before outputs.
      {"bad input and output shapes",
       [](TMFSetList& in, TMFSetList& out) {
         out.GetMFSet(0)->SetMF(0, nullptr);
         in.GetMFSet(1)->SetMF(0, nullptr);
       },
       "Inappropriate Input MF type: Should be LeftShouldered", kSetWhere},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Lists lists = Get();
    // Changed centres everywhere, so a partial write would show.
    for (int v = 0; v < 2; ++v) {
      for (int m = 0; m < lists.inputs->GetMFSet(v)->GetNumberOfMF(); ++m) {
        if (auto* mf = dynamic_cast<TCentredMF*>(lists.inputs->GetMFSet(v)->GetMF(m))) mf->Centre += 0.01;
        if (auto* mf = dynamic_cast<TTriangularMF*>(lists.inputs->GetMFSet(v)->GetMF(m))) mf->Centre += 0.01;
      }
    }
    const auto before = AllWeights();
    c.spoil(*lists.inputs, *lists.outputs);
    EXPECT_TEXCEPTION(TMirkRule::SetMirkMF(net, *lists.inputs, *lists.outputs), c.message, kBad, c.where);
    EXPECT_EQ(AllWeights(), before);
  }
}

TEST(TMirkRule, IncompleteNetworkIsRefusedBeforeAnythingIsRead) {
  const TMirk empty;
  const std::vector<int> inputMF{2}, outputMF{2};
  const TMirkLabel labels(1, inputMF, 1, outputMF);
  std::unique_ptr<TMFSetList> inputs, outputs;
  EXPECT_TEXCEPTION(TMirkRule::GetMirkMF(empty, labels, inputs, outputs), "Incomplete Mirk network", kBad,
                    "TMirk::GetStructure");
  EXPECT_EQ(inputs, nullptr);
}

}  // namespace
}  // namespace mirk
