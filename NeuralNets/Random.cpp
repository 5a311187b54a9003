#include "NeuralNets/Random.h"

#include <cstdint>

namespace mirk {
namespace {

std::uint32_t state = 1;

}  // namespace

int NextRandom() noexcept {
  state = state * 22695477u + 1u;
  return static_cast<int>((state >> 16) & 0x7FFFu);
}

double RandomWeight(double min, double max) noexcept {
  const long double r = NextRandom() % 32767;
  const long double lo = min;
  const long double hi = max;
  return static_cast<double>(lo + r * (1.0L / 32767.0L) * (hi - lo));
}

namespace detail {

void ResetRandomForTesting() noexcept { state = 1; }

}  // namespace detail
}  // namespace mirk
