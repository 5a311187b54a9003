// Recall of data sets through a Mirk network.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "DataObject/Data.h"
#include "Mirk/TMirk.h"
#include "support/TestUtil.h"

namespace mirk {
namespace {

using Rows = std::vector<std::vector<double>>;

// Two inputs with 3 and 2 conditions, 4 rules, two outputs of 3 and 2
// actions, rule weights drawn once.
class MirkRecallTest : public ::testing::Test {
 protected:
  MirkRecallTest() {
    net.InitWeights(-2.0, 2.0);
    net.SetWeightLayer(4, std::vector{0.0, 0.3, 0.9, 0.2, 0.7});
  }

  // The single-vector pass of a copy, so that the network under test is not
  // touched.
  std::vector<double> Expected(const std::vector<double>& inputs) {
    TMirk copy = net;
    std::vector<double> outputs(2);
    copy.Recall(std::span<const double>(inputs).first(2), outputs);
    return outputs;
  }

  // A ring of three rows that has wrapped: four rows appended, the first lost.
  std::unique_ptr<Data> Wrapped(int inputs, int outputs) {
    auto data = std::make_unique<Data>(3, inputs, outputs, false);
    for (const auto& row : rows) {
      data->AppendRow(std::span<const double>(row).first(static_cast<size_t>(inputs)),
                      std::vector<double>(static_cast<size_t>(outputs), 0.5));
    }
    return data;
  }

  TMirk net{2, std::vector{3, 2}, 4, std::vector{3, 2}, 2};
  const Rows rows{{0.1, 0.9, 7.0}, {0.25, 0.4, 8.0}, {0.8, 0.05, 9.0}, {-0.3, 1.4, 10.0}};
};

std::vector<double> InputRow(const Data& data, int row) {
  std::vector<double> values(static_cast<size_t>(data.GetNumInputs()));
  data.GetInputRow(row, values);
  return values;
}

std::vector<double> OutputRow(const Data& data, int row) {
  std::vector<double> values(static_cast<size_t>(data.GetNumOutputs()));
  data.GetOutputRow(row, values);
  return values;
}

TEST_F(MirkRecallTest, RowsOfAWrappedRingComeOutOldestFirst) {
  const auto data = Wrapped(2, 2);
  const int changes = data->GetChanges();
  std::unique_ptr<Data> result, outputsOnly;
  net.Recall(data.get(), result);
  net.RecallOutputOnly(data.get(), outputsOnly);
  ASSERT_NE(result, nullptr);
  ASSERT_NE(outputsOnly, nullptr);
  ASSERT_EQ(result->GetNumDataRows(), 3);
  EXPECT_EQ(result->GetNumInputs(), 2);
  EXPECT_EQ(result->GetNumOutputs(), 2);
  EXPECT_FALSE(result->HasLabels());
  ASSERT_EQ(outputsOnly->GetNumDataRows(), 3);
  EXPECT_EQ(outputsOnly->GetNumInputs(), 0);
  EXPECT_EQ(outputsOnly->GetNumOutputs(), 2);
  for (int k = 0; k < 3; ++k) {
    const std::vector<double> inputs{rows[static_cast<size_t>(k + 1)][0], rows[static_cast<size_t>(k + 1)][1]};
    EXPECT_EQ(InputRow(*result, k), inputs) << k;
    EXPECT_EQ(OutputRow(*result, k), Expected(inputs)) << k;
    EXPECT_EQ(OutputRow(*outputsOnly, k), Expected(inputs)) << k;
  }
  EXPECT_EQ(data->GetChanges(), changes);
  // The layers hold the last row's values.
  double last = -1.0;
  net.GetActivationValue(TMirk::kOutputLayer, 1, last);
  EXPECT_EQ(last, Expected(rows[3])[1]);

  // Each recall positions the cursor itself.
  data->MoveCursor(2);
  std::unique_ptr<Data> again;
  net.Recall(data.get(), again);
  for (int k = 0; k < 3; ++k) EXPECT_EQ(OutputRow(*again, k), OutputRow(*result, k)) << k;
}

TEST_F(MirkRecallTest, WiderDataFeedsItsFirstColumnsAndSelectionsPickThem) {
  const auto wide = Wrapped(3, 2);
  std::unique_ptr<Data> result;
  net.Recall(wide.get(), result);
  ASSERT_EQ(result->GetNumInputs(), 2);
  EXPECT_EQ(InputRow(*result, 0), (std::vector{0.25, 0.4}));
  EXPECT_EQ(OutputRow(*result, 0), Expected(rows[1]));

  // Selected columns 1 then 0: the network reads them in that order.
  wide->SetInputSelection(std::vector{1, 0});
  net.RecallOutputOnly(wide.get(), result);
  for (int k = 0; k < 3; ++k) {
    const auto& row = rows[static_cast<size_t>(k + 1)];
    EXPECT_EQ(OutputRow(*result, k), Expected({row[1], row[0]})) << k;
  }
}

TEST_F(MirkRecallTest, ErrorIsTheRootMeanSquareOverRowsAndOutputs) {
  // Expected outputs equal to the network's: error 0.0.
  Data exact(4, 2, 2, false);
  for (const auto& row : rows) exact.AppendRow(std::span<const double>(row).first(2), Expected(row));
  double error = -1.0;
  net.RecallOutputOnly(&exact, error);
  EXPECT_EQ(error, 0.0);

  // Expected outputs 0 and 1 on every row.
  Data targets(4, 2, 2, false);
  double sum = 0.0;
  for (const auto& row : rows) {
    targets.AppendRow(std::span<const double>(row).first(2), std::vector{0.0, 1.0});
    const std::vector<double> y = Expected(row);
    sum += y[0] * y[0];
    sum += (1.0 - y[1]) * (1.0 - y[1]);
  }
  net.RecallOutputOnly(&targets, error);
  EXPECT_DOUBLE_EQ(error, std::sqrt(sum / 2 / 4));
  EXPECT_GT(error, 0.0);

  // A data set without rows: an empty result, and error 0.0.
  Data empty(5, 2, 2, false);
  error = -1.0;
  net.RecallOutputOnly(&empty, error);
  EXPECT_EQ(error, 0.0);
  std::unique_ptr<Data> result;
  net.Recall(&empty, result);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->GetNumDataRows(), 0);
}

TEST_F(MirkRecallTest, RefusalsLeaveTheResultUntouched) {
  constexpr const char* kRecall = "TMirk::Recall";
  constexpr const char* kOutputOnly = "TMirk::RecallOutputOnly";
  constexpr const char* kBad = "Bad Parameter";
  std::unique_ptr<Data> result;
  double error = -1.0;
  EXPECT_TEXCEPTION(net.Recall(nullptr, result), "Null data pointer", "Null Pointer Parameter", kRecall);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(nullptr, result), "Null data pointer", "Null Pointer Parameter",
                    kOutputOnly);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(nullptr, error), "Null data pointer", "Null Pointer Parameter",
                    kOutputOnly);

  // Too narrow for the network: refused before a row is read.
  const auto narrow = Wrapped(1, 2);
  const int cursor = narrow->GetCurrentRow();
  EXPECT_TEXCEPTION(net.Recall(narrow.get(), result), "Data set has too few inputs", kBad, kRecall);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(narrow.get(), error), "Data set has too few inputs", kBad, kOutputOnly);
  EXPECT_EQ(narrow->GetCurrentRow(), cursor);
  const auto selected = Wrapped(3, 2);
  selected->SetInputSelection(std::vector{2});
  EXPECT_TEXCEPTION(net.RecallOutputOnly(selected.get(), result), "Data set has too few inputs", kBad, kOutputOnly);
  const auto fewOutputs = Wrapped(2, 1);
  EXPECT_TEXCEPTION(net.RecallOutputOnly(fewOutputs.get(), error), "Data set has too few outputs", kBad,
                    kOutputOnly);
  EXPECT_EQ(result, nullptr);
  EXPECT_EQ(error, -1.0);
  // Outputs are not needed to recall.
  net.RecallOutputOnly(fewOutputs.get(), result);
  EXPECT_NE(result, nullptr);

  TMirk unread;
  EXPECT_TEXCEPTION(unread.Recall(fewOutputs.get(), result), "Incomplete Mirk network", kBad, kRecall);
}

}  // namespace
}  // namespace mirk
