// Counts what operator new holds, for benchmarks that report memory. It
// replaces the global operator new and delete: include it in exactly one
// source file of a benchmark binary.
#pragma once

#include <malloc.h>

#include <cstddef>
#include <cstdlib>
#include <new>

namespace mirk::bench {

// Bytes held now, and the most held since the caller last reset g_peak.
inline std::size_t g_current = 0;
inline std::size_t g_peak = 0;

inline void* CountedAllocate(std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  g_current += malloc_usable_size(p);
  if (g_current > g_peak) g_peak = g_current;
  return p;
}

inline void CountedRelease(void* p) noexcept {
  if (p == nullptr) return;
  g_current -= malloc_usable_size(p);
  std::free(p);
}

}  // namespace mirk::bench

void* operator new(std::size_t size) { return mirk::bench::CountedAllocate(size); }
void* operator new[](std::size_t size) { return mirk::bench::CountedAllocate(size); }
void operator delete(void* p) noexcept { mirk::bench::CountedRelease(p); }
void operator delete[](void* p) noexcept { mirk::bench::CountedRelease(p); }
void operator delete(void* p, std::size_t) noexcept { mirk::bench::CountedRelease(p); }
void operator delete[](void* p, std::size_t) noexcept { mirk::bench::CountedRelease(p); }
