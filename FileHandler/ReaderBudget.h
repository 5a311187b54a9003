// Internal to the network file reader, not part of the library's interface:
// the memory a file makes the reader allocate, counted before each
// allocation against ReaderLimits::memoryBudget.
#pragma once

#include <cstddef>
#include <iosfwd>

namespace mirk {

class TReaderBudget {
 public:
  // Bytes of a layer, a set or the network object itself besides its
  // per-item storage (object, vector headers, allocator overhead).
  static constexpr long long kPartBytes = 256;

  // Format errors name the stream in.
  TReaderBudget(std::istream& in, long long budget) : in_(in), budget_(budget) {}

  // Counts one more part of count items of itemBytes each. When the total
  // would pass the budget: FileTools::Error "Network needs N bytes, more than
  // the reader's memory budget of B bytes", and nothing is counted.
  void Take(long long count, std::size_t itemBytes);

  long long Used() const noexcept { return used_; }

 private:
  std::istream& in_;
  long long budget_;
  long long used_ = 0;
};

}  // namespace mirk
