// Storage shared by the fully connected and the pruneable set. Destination
// neurons are grouped in blocks of kLanes; within a block the values of one
// source neuron lie side by side, so Aggregate sums a block's destinations
// at once, each in its own exact order (sources from 0 upwards, one rounding
// per step). The last block is padded to kLanes destinations.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace mirk::detail {

inline constexpr int kLanes = 8;

struct TDenseShape {
  int fromSize = 0;
  int toSize = 0;

  int Blocks() const noexcept { return (toSize + kLanes - 1) / kLanes; }
  size_t StorageSize() const noexcept { return static_cast<size_t>(Blocks()) * kLanes * fromSize; }
  // Where the value of arc (from, to) lies.
  size_t Index(int from, int to) const noexcept {
    return static_cast<size_t>(to - to % kLanes) * fromSize + static_cast<size_t>(from) * kLanes + to % kLanes;
  }
  // Where the exists bit of arc (from, to) lies: bit to % kLanes of this byte.
  size_t BitsIndex(int from, int to) const noexcept {
    return static_cast<size_t>(to / kLanes) * fromSize + static_cast<size_t>(from);
  }
  size_t BitsSize() const noexcept { return static_cast<size_t>(Blocks()) * fromSize; }
};

// How a node operation maps positions of the new shape to the old one along
// one side: -1 for the inserted position.
struct TNodeEdit {
  int node = 0;
  int delta = 0;  // +1 insertion, -1 removal, 0 no change on this side

  int OldIndex(int i) const noexcept {
    if (i < node || delta == 0) return i;
    if (delta > 0) return i == node ? -1 : i - 1;
    return i + 1;
  }
};

// Storage of `old` (shape `from`) rebuilt for `next`; new positions hold T().
template <class T>
std::vector<T> Reshape(const std::vector<T>& old, const TDenseShape& shape, const TDenseShape& next,
                       TNodeEdit fromEdit, TNodeEdit toEdit) {
  std::vector<T> result(next.StorageSize(), T());
  for (int to = 0; to < next.toSize; ++to) {
    const int oldTo = toEdit.OldIndex(to);
    if (oldTo < 0) continue;
    for (int from = 0; from < next.fromSize; ++from) {
      const int oldFrom = fromEdit.OldIndex(from);
      if (oldFrom >= 0) result[next.Index(from, to)] = old[shape.Index(oldFrom, oldTo)];
    }
  }
  return result;
}

// net[to] += sum over from of weight(from, to) x x[from].
void AggregateDense(const double* weights, const TDenseShape& shape, const double* x, double* net);
// The same over the positions whose exists bit is set; bit-identical to
// skipping the others, whatever values they hold.
void AggregateMasked(const double* weights, const unsigned char* existsBits, const TDenseShape& shape,
                     const double* x, double* net);

// Several rows at once: row r reads its source values at x[r * xStride] and
// adds to net[r * netStride], each row bit for bit as the one-row forms.
// A block of destinations serves all rows while its weights are in cache.
// Both spans must reach the last row's values (checked).
void AggregateDenseRows(const double* weights, const TDenseShape& shape, std::span<const double> x, size_t xStride,
                        std::span<double> net, size_t netStride, int numRows);
void AggregateMaskedRows(const double* weights, const unsigned char* existsBits, const TDenseShape& shape,
                         std::span<const double> x, size_t xStride, std::span<double> net, size_t netStride,
                         int numRows);

}  // namespace mirk::detail
