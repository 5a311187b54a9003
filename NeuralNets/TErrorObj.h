// Error measures: they accumulate the difference between expected and
// produced outputs over many rows, and can add a weight penalty described by
// a parameter structure.
#pragma once

#include <span>

namespace mirk {

class TKQstructure;

class TErrorObj {
 public:
  // numOutputs values are compared per row. A negative count throws
  // TException ("Invalid number of outputs", category "Bad Parameter",
  // where "TErrorObj::TErrorObj").
  explicit TErrorObj(int numOutputs);
  TErrorObj(const TErrorObj&) = default;
  TErrorObj& operator=(const TErrorObj&) = default;
  virtual ~TErrorObj();

  // Forgets every row and penalty accumulated.
  virtual void Reset() = 0;
  // Adds one row: expected values first, produced values second, each
  // holding at least GetNumOutputs() values (checked).
  virtual void Accumulate(std::span<const double> target, std::span<const double> actual) = 0;
  // The error so far.
  virtual double Result() const = 0;
  // Adds Penalty(weights, parameters, 1.0).
  virtual void AddPenalty(std::span<const double> weights, const TKQstructure* parameters) = 0;

  // The penalty of a list of weights, chosen by the structure's name
  // (compared without regard to case):
  //   no structure, or "NONE": 0.0;
  //   "QUADPENALTY": the sum over w of
  //       scale * (EPSILON1 * BETA * w^2 / (BETA * w^2 + 1) + EPSILON2 * w^2)
  //     with EPSILON1 and EPSILON2 0.0 and BETA 1.0 when absent;
  //   "LWF": LEARNINGRATE * FORGETTINGRATE * (sum of |w|), both 0.0 when
  //     absent; the scale is not applied.
  // Keys compare without regard to case and are looked up once per call. A
  // value that is not a number throws TKQstructure::Error (number-expected);
  // any other name throws TKQstructure::Error
  // (error :type invalid-message :unknown-penalty NAME).
  static double Penalty(std::span<const double> weights, const TKQstructure* parameters, double scale);

  int GetNumOutputs() const noexcept { return numOutputs; }
  // Rows accumulated since construction or the last Reset.
  int GetCount() const noexcept { return count; }

 protected:
  // Checks that both rows hold numOutputs values.
  void CheckRow(std::span<const double> target, std::span<const double> actual) const;

  int numOutputs;
  int count = 0;
};

// Root-mean-square error: sqrt(sum of squared differences / outputs / rows).
class TErrorRMSObj : public TErrorObj {
 public:
  explicit TErrorRMSObj(int numOutputs);

  void Reset() override;
  void Accumulate(std::span<const double> target, std::span<const double> actual) override;
  // 0.0 while no row has been accumulated (a penalty added alone does not
  // show then), and for a measure of no outputs.
  double Result() const override;
  // The penalty joins the sum of squares.
  void AddPenalty(std::span<const double> weights, const TKQstructure* parameters) override;

  double GetSumSquares() const noexcept { return sumSquares; }

 private:
  double sumSquares = 0.0;
};

// Cross-entropy of outputs in [0, 1]: per value -t ln y - (1 - t) ln(1 - y).
// A produced value of exactly 1.0 (or 0.0) adds 0.0 when the target equals
// it exactly and kCertainMiss otherwise, so that saturated outputs never give
// infinities.
class TErrorCrossEntropyObj : public TErrorObj {
 public:
  static constexpr double kCertainMiss = 1000000.0;

  explicit TErrorCrossEntropyObj(int numOutputs);

  void Reset() override;
  void Accumulate(std::span<const double> target, std::span<const double> actual) override;
  // The raw sum, not divided by anything.
  double Result() const override;
  // The penalty joins the sum.
  void AddPenalty(std::span<const double> weights, const TKQstructure* parameters) override;

 private:
  double sum = 0.0;
};

}  // namespace mirk
