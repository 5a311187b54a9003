#include "NeuralNets/DenseArcs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace mirk::detail {
namespace {

// Two lanes of doubles. The compilers' vector extension keeps the block's
// sums in registers; a plain loop over the lanes is left to memory by g++.
using V2 = double __attribute__((vector_size(16)));
using V2Bits = std::int64_t __attribute__((vector_size(16)));

static_assert(kLanes == 8, "the kernels hold one block in four pairs of lanes");

V2 Load(const double* p) {
  V2 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Selects lanes of a pair by two exists bits: a masked product is +0.0,
// which leaves any sum that started at +0.0 unchanged bit for bit.
constexpr V2Bits kPairMask[4] = {{0, 0}, {-1, 0}, {0, -1}, {-1, -1}};

V2 Select(V2 product, unsigned bits) { return reinterpret_cast<V2>(reinterpret_cast<V2Bits>(product) & kPairMask[bits & 3u]); }

void Store(const V2 (&sums)[4], int block, const TDenseShape& shape, double* net) {
  const int first = block * kLanes;
  const int lanes = std::min(kLanes, shape.toSize - first);
  for (int k = 0; k < lanes; ++k) net[first + k] += sums[k / 2][k % 2];
}

}  // namespace

void AggregateDense(const double* weights, const TDenseShape& shape, const double* x, double* net) {
  const int blocks = shape.Blocks();
  for (int b = 0; b < blocks; ++b) {
    V2 s0{}, s1{}, s2{}, s3{};
    const double* column = weights + static_cast<size_t>(b) * kLanes * shape.fromSize;
    for (int f = 0; f < shape.fromSize; ++f, column += kLanes) {
      const V2 xf = {x[f], x[f]};
      s0 += Load(column) * xf;
      s1 += Load(column + 2) * xf;
      s2 += Load(column + 4) * xf;
      s3 += Load(column + 6) * xf;
    }
    Store({s0, s1, s2, s3}, b, shape, net);
  }
}

void AggregateMasked(const double* weights, const unsigned char* existsBits, const TDenseShape& shape,
                     const double* x, double* net) {
  const int blocks = shape.Blocks();
  for (int b = 0; b < blocks; ++b) {
    V2 s0{}, s1{}, s2{}, s3{};
    const double* column = weights + static_cast<size_t>(b) * kLanes * shape.fromSize;
    const unsigned char* bits = existsBits + static_cast<size_t>(b) * shape.fromSize;
    for (int f = 0; f < shape.fromSize; ++f, column += kLanes) {
      const V2 xf = {x[f], x[f]};
      const unsigned m = bits[f];
      s0 += Select(Load(column) * xf, m);
      s1 += Select(Load(column + 2) * xf, m >> 2);
      s2 += Select(Load(column + 4) * xf, m >> 4);
      s3 += Select(Load(column + 6) * xf, m >> 6);
    }
    Store({s0, s1, s2, s3}, b, shape, net);
  }
}

}  // namespace mirk::detail
