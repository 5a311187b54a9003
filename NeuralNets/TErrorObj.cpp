#include "NeuralNets/TErrorObj.h"

#include <cmath>

#include "Common/Check.h"
#include "Common/Exceptions.h"
#include "KQmessage/KQML.h"

namespace mirk {
namespace {

// The value of key as a number, or fallback when the structure lacks it.
double NumberOr(const TKQstructure& parameters, const char* key, double fallback) {
  const TKQstructure* value = parameters.Lookup(key);
  return value != nullptr ? KQParseDouble(value->GetName()) : fallback;
}

double QuadPenalty(std::span<const double> weights, const TKQstructure& parameters, double scale) {
  const double epsilon1 = NumberOr(parameters, "EPSILON1", 0.0);
  const double epsilon2 = NumberOr(parameters, "EPSILON2", 0.0);
  const double beta = NumberOr(parameters, "BETA", 1.0);
  double sum = 0.0;
  for (const double w : weights) {
    const double w2 = w * w;
    sum += scale * (epsilon1 * beta * w2 / (beta * w2 + 1.0) + epsilon2 * w2);
  }
  return sum;
}

double LwfPenalty(std::span<const double> weights, const TKQstructure& parameters) {
  const double learningRate = NumberOr(parameters, "LEARNINGRATE", 0.0);
  const double forgettingRate = NumberOr(parameters, "FORGETTINGRATE", 0.0);
  double sum = 0.0;
  for (const double w : weights) sum += std::fabs(w);
  return learningRate * forgettingRate * sum;
}

}  // namespace

TErrorObj::TErrorObj(int numOutputs) : numOutputs(numOutputs) {
  if (numOutputs < 0) throw TException("Invalid number of outputs", "Bad Parameter", "TErrorObj::TErrorObj");
}

TErrorObj::~TErrorObj() = default;

void TErrorObj::CheckRow(std::span<const double> target, std::span<const double> actual) const {
  MIRK_CHECK(target.size() >= static_cast<size_t>(numOutputs));
  MIRK_CHECK(actual.size() >= static_cast<size_t>(numOutputs));
}

double TErrorObj::Penalty(std::span<const double> weights, const TKQstructure* parameters, double scale) {
  if (parameters == nullptr) return 0.0;
  const std::string& name = parameters->GetName();
  if (strcasecmp(name, "NONE") == 0) return 0.0;
  if (strcasecmp(name, "QUADPENALTY") == 0) return QuadPenalty(weights, *parameters, scale);
  if (strcasecmp(name, "LWF") == 0) return LwfPenalty(weights, *parameters);
  auto detail = KQNewError("invalid-message");
  detail->SetString("unknown-penalty", name);
  throw TKQstructure::Error(std::move(detail));
}

TErrorRMSObj::TErrorRMSObj(int numOutputs) : TErrorObj(numOutputs) {}

void TErrorRMSObj::Reset() {
  count = 0;
  sumSquares = 0.0;
}

void TErrorRMSObj::Accumulate(std::span<const double> target, std::span<const double> actual) {
  CheckRow(target, actual);
  for (size_t i = 0; i < static_cast<size_t>(numOutputs); ++i) {
    const double d = target[i] - actual[i];
    sumSquares += d * d;
  }
  ++count;
}

double TErrorRMSObj::Result() const {
  if (count == 0 || numOutputs == 0) return 0.0;
  return std::sqrt(sumSquares / numOutputs / count);
}

void TErrorRMSObj::AddPenalty(std::span<const double> weights, const TKQstructure* parameters) {
  sumSquares += Penalty(weights, parameters, 1.0);
}

TErrorCrossEntropyObj::TErrorCrossEntropyObj(int numOutputs) : TErrorObj(numOutputs) {}

void TErrorCrossEntropyObj::Reset() {
  count = 0;
  sum = 0.0;
}

void TErrorCrossEntropyObj::Accumulate(std::span<const double> target, std::span<const double> actual) {
  CheckRow(target, actual);
  for (size_t i = 0; i < static_cast<size_t>(numOutputs); ++i) {
    const double t = target[i];
    const double y = actual[i];
    if (y == 1.0 || y == 0.0) {
      sum += t == y ? 0.0 : kCertainMiss;
    } else {
      sum += -t * std::log(y) - (1.0 - t) * std::log(1.0 - y);
    }
  }
  ++count;
}

double TErrorCrossEntropyObj::Result() const { return sum; }

void TErrorCrossEntropyObj::AddPenalty(std::span<const double> weights, const TKQstructure* parameters) {
  sum += Penalty(weights, parameters, 1.0);
}

}  // namespace mirk
