#include "NeuralNets/DenseArcs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "Common/Check.h"

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

// All lanes pass: the dense set has every arc.
struct AllArcs {
  explicit AllArcs(const unsigned char*) {}
  V2 operator()(V2 product, unsigned) const { return product; }
  unsigned Bits(int) const { return 0; }
};

// Lanes pass by their exists bits.
struct ExistingArcs {
  const unsigned char* bits;
  V2 operator()(V2 product, unsigned m) const { return Select(product, m); }
  unsigned Bits(int f) const { return bits[f]; }
};

// One block of destinations for one row: each lane's sum starts at +0.0 and
// takes the products in source order.
template <class Arcs>
void BlockOneRow(const double* column, Arcs arcs, int fromSize, const double* x, V2 (&s)[4]) {
  V2 s0{}, s1{}, s2{}, s3{};
  for (int f = 0; f < fromSize; ++f, column += kLanes) {
    const V2 xf = {x[f], x[f]};
    const unsigned m = arcs.Bits(f);
    s0 += arcs(Load(column) * xf, m);
    s1 += arcs(Load(column + 2) * xf, m >> 2);
    s2 += arcs(Load(column + 4) * xf, m >> 4);
    s3 += arcs(Load(column + 6) * xf, m >> 6);
  }
  s[0] = s0, s[1] = s1, s[2] = s2, s[3] = s3;
}

// The same for two rows that share each weight load; every lane of each row
// adds exactly what BlockOneRow adds.
template <class Arcs>
void BlockTwoRows(const double* column, Arcs arcs, int fromSize, const double* x, const double* y, V2 (&s)[4],
                  V2 (&t)[4]) {
  V2 s0{}, s1{}, s2{}, s3{}, t0{}, t1{}, t2{}, t3{};
  for (int f = 0; f < fromSize; ++f, column += kLanes) {
    const V2 xf = {x[f], x[f]};
    const V2 yf = {y[f], y[f]};
    const unsigned m = arcs.Bits(f);
    const V2 w0 = Load(column), w1 = Load(column + 2), w2 = Load(column + 4), w3 = Load(column + 6);
    s0 += arcs(w0 * xf, m);
    s1 += arcs(w1 * xf, m >> 2);
    s2 += arcs(w2 * xf, m >> 4);
    s3 += arcs(w3 * xf, m >> 6);
    t0 += arcs(w0 * yf, m);
    t1 += arcs(w1 * yf, m >> 2);
    t2 += arcs(w2 * yf, m >> 4);
    t3 += arcs(w3 * yf, m >> 6);
  }
  s[0] = s0, s[1] = s1, s[2] = s2, s[3] = s3;
  t[0] = t0, t[1] = t1, t[2] = t2, t[3] = t3;
}

template <class Arcs>
void AggregateRows(const double* weights, const unsigned char* existsBits, const TDenseShape& shape, const double* x,
                   size_t xStride, double* net, size_t netStride, int numRows) {
  const int blocks = shape.Blocks();
  for (int b = 0; b < blocks; ++b) {
    const double* column = weights + static_cast<size_t>(b) * kLanes * shape.fromSize;
    const Arcs arcs{existsBits != nullptr ? existsBits + static_cast<size_t>(b) * shape.fromSize : nullptr};
    int r = 0;
    for (; r + 2 <= numRows; r += 2) {
      V2 s[4], t[4];
      const double* xr = x + static_cast<size_t>(r) * xStride;
      BlockTwoRows(column, arcs, shape.fromSize, xr, xr + xStride, s, t);
      double* netRow = net + static_cast<size_t>(r) * netStride;
      Store(s, b, shape, netRow);
      Store(t, b, shape, netRow + netStride);
    }
    if (r < numRows) {
      V2 s[4];
      BlockOneRow(column, arcs, shape.fromSize, x + static_cast<size_t>(r) * xStride, s);
      Store(s, b, shape, net + static_cast<size_t>(r) * netStride);
    }
  }
}

}  // namespace

void AggregateDense(const double* weights, const TDenseShape& shape, const double* x, double* net) {
  AggregateRows<AllArcs>(weights, nullptr, shape, x, 0, net, 0, 1);
}

void AggregateMasked(const double* weights, const unsigned char* existsBits, const TDenseShape& shape,
                     const double* x, double* net) {
  AggregateRows<ExistingArcs>(weights, existsBits, shape, x, 0, net, 0, 1);
}

namespace {

// Whether the spans hold numRows rows of the given strides.
void CheckRows(const TDenseShape& shape, std::span<const double> x, size_t xStride, std::span<double> net,
               size_t netStride, int numRows) {
  const size_t last = static_cast<size_t>(numRows - 1);
  MIRK_CHECK(numRows == 1 ||
             (xStride >= static_cast<size_t>(shape.fromSize) && netStride >= static_cast<size_t>(shape.toSize)));
  MIRK_CHECK(x.size() >= last * xStride + static_cast<size_t>(shape.fromSize));
  MIRK_CHECK(net.size() >= last * netStride + static_cast<size_t>(shape.toSize));
}

}  // namespace

void AggregateDenseRows(const double* weights, const TDenseShape& shape, std::span<const double> x, size_t xStride,
                        std::span<double> net, size_t netStride, int numRows) {
  if (numRows <= 0) return;
  CheckRows(shape, x, xStride, net, netStride, numRows);
  AggregateRows<AllArcs>(weights, nullptr, shape, x.data(), xStride, net.data(), netStride, numRows);
}

void AggregateMaskedRows(const double* weights, const unsigned char* existsBits, const TDenseShape& shape,
                         std::span<const double> x, size_t xStride, std::span<double> net, size_t netStride,
                         int numRows) {
  if (numRows <= 0) return;
  CheckRows(shape, x, xStride, net, netStride, numRows);
  AggregateRows<ExistingArcs>(weights, existsBits, shape, x.data(), xStride, net.data(), netStride, numRows);
}

}  // namespace mirk::detail
