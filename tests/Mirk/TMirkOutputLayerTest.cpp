#include "Mirk/TMirkOutputLayer.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "Mirk/TMirk.h"
#include "Mirk/TToOutputConnections.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

constexpr const char* kBad = "Bad Parameter";

// A network whose action layer outputs and action centres the tests write
// directly, then run the output layer's pass alone.
class MirkOutputLayerTest : public ::testing::Test {
 protected:
  TMirkOutputLayer& Layer() { return dynamic_cast<TMirkOutputLayer&>(*net.GetLayer(TMirk::kOutputLayer)); }
  TToOutputConnections& Set() {
    return dynamic_cast<TToOutputConnections&>(*net.GetConnections(TMirk::kActionLayer, TMirk::kOutputLayer));
  }

  std::vector<double> Defuzzify(const std::vector<double>& activations, const std::vector<double>& centres) {
    const std::span<double> actions = net.GetLayer(TMirk::kActionLayer)->GetOutputs();
    std::copy(activations.begin(), activations.end(), actions.begin());
    for (size_t a = 0; a < centres.size(); ++a) *Set().GetWeight(static_cast<int>(a), 0) = centres[a];
    Layer().Propagate({});
    return {Layer().GetOutputs().begin(), Layer().GetOutputs().end()};
  }

  TMirk net{1, std::array{2}, 1, std::array{2, 3}, 2};
};

TEST_F(MirkOutputLayerTest, ActionsMapToTheirOutputsInBlocks) {
  EXPECT_EQ(Layer().GetNumActions(), 5);
  EXPECT_EQ(std::vector<int>(Layer().GetOutputMF().begin(), Layer().GetOutputMF().end()), (std::vector<int>{2, 3}));
  const int owner[] = {0, 0, 1, 1, 1};
  const int position[] = {0, 1, 0, 1, 2};
  for (int a = 0; a < 5; ++a) {
    EXPECT_EQ(Layer().GetOutputOf(a), owner[a]) << a;
    EXPECT_EQ(Layer().GetMFIndex(a), position[a]) << a;
  }
  EXPECT_TEXCEPTION(Layer().GetOutputOf(5), "Invalid node number", kBad, "TMirkOutputLayer::GetOutputOf");
  EXPECT_TEXCEPTION(Layer().GetMFIndex(-1), "Invalid node number", kBad, "TMirkOutputLayer::GetMFIndex");
  EXPECT_STREQ(Layer().GetLayerNType(), "Defuzzify");
  EXPECT_EQ(Layer().GetLayerCode(), 5);
  EXPECT_EQ(Layer().GetActivationFunction(), ActCog);
}

TEST_F(MirkOutputLayerTest, CentreOfGravityPerOutput) {
  struct Case {
    std::vector<double> activations;
    std::vector<double> centres;
    std::vector<double> expected;
  };
  const Case cases[] = {
      {{0.5, 0.5, 0.2, 0.6, 0.2}, {0.0, 1.0, 0.0, 0.5, 1.0}, {0.5, 0.5}},
      {{0.25, 0.75, 0.2, 0.6, 0.2}, {0.0, 1.0, 0.0, 0.0, 1.0}, {0.75, 0.2}},
      // A zero denominator, then a zero numerator, give 0 without dividing.
      {{0.0, 0.0, 0.3, 0.3, 0.3}, {0.0, 1.0, 0.0, 0.0, 0.0}, {0.0, 0.0}},
      {{0.5, 0.0, 0.0, 0.0, 0.7}, {0.0, 1.0, 0.5, 0.5, 1.0}, {0.0, 1.0}},
  };
  for (const Case& c : cases) EXPECT_EQ(Defuzzify(c.activations, c.centres), c.expected);
}

TEST_F(MirkOutputLayerTest, FrozenCentresStillDefuzzify) {
  Set().FreezeWeight(1, 0);
  EXPECT_EQ(Defuzzify({0.25, 0.75, 0.0, 0.0, 1.0}, {0.0, 1.0, 0.0, 0.5, 1.0}), (std::vector<double>{0.75, 1.0}));
}

TEST_F(MirkOutputLayerTest, OutOfRangeOutputIsWrittenAndKept) {
  test::CaptureStream out(std::cout);
  const std::vector<double> y = Defuzzify({1.0, 1.0, 1.0, 0.0, 0.0}, {2.0, 3.0, -0.125, 0.0, 1.0});
  EXPECT_EQ(y, (std::vector<double>{2.5, -0.125}));
  EXPECT_EQ(out.Text(), "2.5\n-0.125\n");
}

TEST_F(MirkOutputLayerTest, OutOfRangeOutputIsWrittenWithFifteenDigits) {
  test::CaptureStream out(std::cout);
  Defuzzify({3.0, 0.0, 0.0, 0.0, 0.0}, {1.0 + 1.0 / 3.0, 0.0, 0.0, 0.0, 0.0});
  EXPECT_EQ(out.Text(), "1.33333333333333\n");
}

TEST_F(MirkOutputLayerTest, InRangeOutputsWriteNothing) {
  test::CaptureStream out(std::cout);
  Defuzzify({1.0, 1.0, 1.0, 1.0, 1.0}, {0.0, 1.0, 0.0, 1.0, 1.0});
  EXPECT_EQ(out.Text(), "");
}

TEST_F(MirkOutputLayerTest, BadCountsAreRefusedAndLeaveTheLayerAsItWas) {
  struct Case {
    int numActions;
    std::vector<int> counts;
    const char* message;
  };
  const Case cases[] = {
      {5, {1, 4}, "Must be >= 2 MF per output"},
      {5, {5, 0}, "Must be >= 2 MF per output"},
      {6, {2, 3}, "Membership counts do not match the layer"},
      {5, {5}, "Membership counts do not match the layer"},
      {-1, {2, 3}, "Membership counts do not match the layer"},
  };
  for (const Case& c : cases) {
    EXPECT_TEXCEPTION(Layer().SetOutputMF(c.numActions, c.counts), c.message, kBad, "TMirkOutputLayer::SetOutputMF");
  }
  EXPECT_EQ(Layer().GetNumActions(), 5);
  EXPECT_EQ(Layer().GetOutputOf(2), 1);
}

TEST_F(MirkOutputLayerTest, SetOutputMFTakesOneCountPerOutput) {
  Layer().SetOutputMF(5, std::array{3, 2, 7, 7});
  EXPECT_EQ(Layer().GetOutputMF().size(), 2u);
  EXPECT_EQ(Layer().GetOutputOf(2), 0);
  EXPECT_EQ(Layer().GetOutputOf(3), 1);
}

TEST_F(MirkOutputLayerTest, PropagateNeedsCountsActionsAndCentres) {
  const char* where = "TMirkOutputLayer::Propagate";
  TMirk read;
  TMirkOutputLayer unset(&read, 5, 1);
  EXPECT_TEXCEPTION(unset.Propagate({}), "Membership counts of the output layer not set", "Invalid Parameter", where);

  TMirk plain(1, std::array{2}, 1, std::array{2}, 1);
  auto& layer = dynamic_cast<TMirkOutputLayer&>(*plain.GetLayer(TMirk::kOutputLayer));
  plain.Disconnect(TMirk::kActionLayer, TMirk::kOutputLayer);
  EXPECT_TEXCEPTION(layer.Propagate({}), "The output layer has no action centres", "Invalid Parameter", where);
  layer.SetOutputMF(3, std::array{3});
  EXPECT_TEXCEPTION(layer.Propagate({}), "The layer below the output layer does not hold its actions",
                    "Invalid Parameter", where);
}

TEST_F(MirkOutputLayerTest, CloneKeepsTheCounts) {
  TMirk owner;
  const std::unique_ptr<TBasicLayer> copy = Layer().Clone(&owner);
  auto& clone = dynamic_cast<TMirkOutputLayer&>(*copy);
  EXPECT_EQ(clone.GetNetwork(), &owner);
  EXPECT_EQ(clone.GetNumActions(), 5);
  EXPECT_EQ(clone.GetOutputOf(4), 1);
  EXPECT_EQ(clone.GetNumNeurons(), 2);
  EXPECT_EQ(clone.GetActivationFunction(), ActCog);
}

}  // namespace
}  // namespace mirk
