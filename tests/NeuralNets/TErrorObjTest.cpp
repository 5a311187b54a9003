#include "NeuralNets/TErrorObj.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "KQmessage/KQML.h"
#include "support/KQErrorText.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

std::unique_ptr<TKQstructure> Params(const char* text) { return TKQstructure::Parse(text); }

TEST(ErrorRMS, RootOfMeanOverOutputsAndRows) {
  TErrorRMSObj rms(2);
  EXPECT_EQ(rms.Result(), 0.0);  // no rows yet
  rms.Accumulate(std::vector{1.0, 0.0}, std::vector{0.0, 0.0});
  EXPECT_EQ(rms.Result(), std::sqrt(0.5));
  rms.Accumulate(std::vector{0.0, 0.0}, std::vector{0.0, 2.0});
  EXPECT_EQ(rms.GetCount(), 2);
  EXPECT_EQ(rms.Result(), std::sqrt(1.25));  // (1 + 4) / 2 outputs / 2 rows
  rms.Reset();
  EXPECT_EQ(rms.GetCount(), 0);
  EXPECT_EQ(rms.Result(), 0.0);
  rms.Accumulate(std::vector{0.5, 0.5}, std::vector{0.5, 1.5});
  EXPECT_EQ(rms.Result(), std::sqrt(0.5));  // nothing of the earlier rows is left
}

TEST(ErrorRMS, PenaltyJoinsTheSumOfSquares) {
  TErrorRMSObj rms(2);
  rms.Accumulate(std::vector{1.0, 0.0}, std::vector{0.0, 0.0});
  rms.AddPenalty(std::vector{1.0, -2.0}, Params("(QUADPENALTY :EPSILON2 0.5)").get());
  EXPECT_EQ(rms.GetSumSquares(), 3.5);
  EXPECT_EQ(rms.Result(), std::sqrt(3.5 / 2));
  EXPECT_EQ(rms.GetCount(), 1);
}

TEST(ErrorObj, DeletedThroughItsBase) {
  static_assert(std::has_virtual_destructor_v<TErrorObj>);
  std::unique_ptr<TErrorObj> measure = std::make_unique<TErrorCrossEntropyObj>(3);
  EXPECT_EQ(measure->GetNumOutputs(), 3);
  measure.reset();
  EXPECT_TEXCEPTION(TErrorRMSObj(-1), "Invalid number of outputs", "Bad Parameter", "TErrorObj::TErrorObj");
}

TEST(ErrorCrossEntropy, EachValueAddsItsTerm) {
  const double ln2 = std::log(2.0);
  struct Case {
    double t, y, added;
  } const cases[] = {
      {1.0, 1.0, 0.0},       {0.0, 1.0, 1000000.0}, {0.5, 1.0, 1000000.0}, {1.0, 0.5, ln2},
      {0.25, 0.5, ln2},      {0.0, 0.0, 0.0},       {1.0, 0.0, 1000000.0}, {0.5, 0.0, 1000000.0},
      {0.0, 0.25, -std::log(0.75)},
  };
  for (const Case& c : cases) {
    TErrorCrossEntropyObj ce(1);
    ce.Accumulate(std::vector{c.t}, std::vector{c.y});
    EXPECT_EQ(ce.Result(), c.added) << "t " << c.t << " y " << c.y;
    EXPECT_FALSE(std::isnan(ce.Result()));
  }
}

TEST(ErrorCrossEntropy, ResultIsTheRawSumOverRowsAndPenalties) {
  TErrorCrossEntropyObj ce(2);
  ce.Accumulate(std::vector{1.0, 0.0}, std::vector{0.5, 0.5});
  ce.Accumulate(std::vector{1.0, 0.0}, std::vector{0.5, 1.0});
  EXPECT_EQ(ce.GetCount(), 2);
  EXPECT_EQ(ce.Result(), 3 * std::log(2.0) + 1000000.0);
  ce.AddPenalty(std::vector{1.0, -2.0}, Params("(lwf :learningrate 0.5 :forgettingrate 0.25)").get());
  EXPECT_EQ(ce.Result(), 3 * std::log(2.0) + 1000000.0 + 0.375);
  ce.Reset();
  EXPECT_EQ(ce.Result(), 0.0);
  EXPECT_EQ(ce.GetCount(), 0);
}

TEST(Penalty, ByNameAndKeys) {
  struct Case {
    const char* parameters;  // nullptr: no structure
    std::vector<double> weights;
    double scale;
    double expected;
  } const cases[] = {
      {nullptr, {1.0, 2.0}, 1.0, 0.0},
      {"NONE", {1.0, 2.0}, 1.0, 0.0},
      {"(none :EPSILON2 3)", {1.0, 2.0}, 1.0, 0.0},
      {"(QUADPENALTY :EPSILON2 0.5)", {1.0, -2.0}, 1.0, 2.5},
      {"(QUADPENALTY :EPSILON1 1 :BETA 1)", {1.0}, 1.0, 0.5},
      {"(QUADPENALTY :EPSILON1 1)", {1.0}, 1.0, 0.5},  // BETA 1.0 when absent
      {"(QUADPENALTY :EPSILON1 1 :BETA 3)", {1.0}, 1.0, 0.75},
      {"(QuadPenalty :epsilon2 0.5 :Epsilon1 1)", {1.0, -2.0}, 2.0, 2.0 + 2 * (4.0 / 5.0 + 2.0)},
      {"(QUADPENALTY)", {1.0, -2.0}, 1.0, 0.0},
      {"(LWF :LEARNINGRATE 0.5 :FORGETTINGRATE 0.25)", {1.0, -2.0}, 10.0, 0.375},  // no scale
      {"(LWF :FORGETTINGRATE 0.25)", {1.0, -2.0}, 1.0, 0.0},
      {"(LWF :LEARNINGRATE 0.5 :FORGETTINGRATE 0.25)", {}, 1.0, 0.0},
  };
  for (const Case& c : cases) {
    const auto parameters = c.parameters != nullptr ? Params(c.parameters) : nullptr;
    EXPECT_EQ(TErrorObj::Penalty(c.weights, parameters.get(), c.scale), c.expected)
        << (c.parameters != nullptr ? c.parameters : "no structure");
  }
}

TEST(Penalty, RefusesUnknownNamesAndValuesThatAreNoNumbers) {
  const std::vector<double> weights{1.0};
  EXPECT_EQ(test::KQErrorText([&] { TErrorObj::Penalty(weights, Params("(DECAY :EPSILON1 1)").get(), 1.0); }),
            "(error :type invalid-message :unknown-penalty DECAY)");
  EXPECT_EQ(test::KQErrorText([&] { TErrorObj::Penalty(weights, Params("(QUADPENALTY :BETA x1)").get(), 1.0); }),
            "(error :type invalid-message :number-expected x1)");
  // A name that is not a penalty is refused even without weights.
  EXPECT_EQ(test::KQErrorText([&] { TErrorObj::Penalty({}, Params("params").get(), 1.0); }),
            "(error :type invalid-message :unknown-penalty params)");
}

}  // namespace
}  // namespace mirk
