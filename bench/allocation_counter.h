// Counts every allocation in a benchmark executable, so a benchmark can show that a step
// allocates nothing. Include from exactly one source file of the executable.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {

inline std::atomic<long> g_allocations{0};

inline long Allocations() { return g_allocations.load(std::memory_order_relaxed); }

}  // namespace bench

// Kept out of line: inlined into their callers, GCC misreads the malloc/free pairing.
__attribute__((noinline)) void* operator new(std::size_t n) {
  bench::g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
__attribute__((noinline)) void operator delete(void* p) noexcept { std::free(p); }
__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept { std::free(p); }
