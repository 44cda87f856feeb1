#pragma once
// Counts the allocations the calling thread makes between Start and Stop, through the hooks the
// sanitizer runtimes call in the allocating thread. Without a sanitizer there are no hooks:
// Available() is false and a test should say it was skipped.

#include <cstddef>
#include <cstdlib>

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                          void (*)(const volatile void*)) __attribute__((weak));

namespace alloc_count
{
inline thread_local bool tCounting = false;
inline thread_local int tAllocations = 0;

inline void OnAllocation(const volatile void*, size_t)
{
  if (tCounting) ++tAllocations;
}
inline void OnFree(const volatile void*) {}

inline bool Available()
{
  return __sanitizer_install_malloc_and_free_hooks != nullptr;
}

// Starts counting; false when the hooks did not see a test allocation (the count is then
// meaningless).
inline bool Start()
{
  __sanitizer_install_malloc_and_free_hooks(OnAllocation, OnFree);
  tAllocations = 0;
  tCounting = true;
  void* (*volatile allocate)(size_t) = std::malloc;  // not optimised away
  std::free(allocate(16));
  const bool seen = tAllocations == 1;
  tAllocations = 0;
  return seen;
}

// The number of allocations since Start.
inline int Stop()
{
  tCounting = false;
  __sanitizer_install_malloc_and_free_hooks(nullptr, nullptr);
  return tAllocations;
}
}  // namespace alloc_count
