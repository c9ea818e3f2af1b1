// What the heap does while a piece of code runs: the allocations and frees the calling
// thread makes and the largest of those allocations, counted through the sanitizer allocator's hooks, and the bytes allocated
// in the process. The suite is built with AddressSanitizer; a build without it has no
// hooks, and a test that needs them skips.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocator interface (GCC ships no header for it).
extern "C" {
std::size_t __sanitizer_get_current_allocated_bytes();
int __sanitizer_install_malloc_and_free_hooks(void (*MallocHook)(const volatile void*, std::size_t),
                                              void (*FreeHook)(const volatile void*));
}
#endif

namespace heapcount {

// Whether this build can count.
inline bool Available()
{
#if defined(__SANITIZE_ADDRESS__)
    return true;
#else
    return false;
#endif
}

// Why a test that needs the counts skips.
inline constexpr const char* Unavailable =
    "the heap is counted through the sanitizer allocator's hooks, which this build has not";

// Bytes the program has allocated and not freed, over all threads; 0 without the sanitizer.
inline std::size_t AllocatedBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return 0;
#endif
}

// Counts the calling thread's allocations and frees from its construction on.
class TScope {
public:
    TScope()
    {
        Install();
        peak_ = AllocatedBytes();
        outer_ = Active();
        Active() = this;
    }
    ~TScope() { Active() = outer_; }
    TScope(const TScope&) = delete;
    TScope& operator=(const TScope&) = delete;

    std::size_t Allocations() const { return allocations_; }
    std::size_t Frees() const { return frees_; }
    // The size of the largest single allocation.
    std::size_t Largest() const { return largest_; }
    // The sizes of all the allocations added up: what copies of a text cost.
    std::size_t BytesAllocated() const { return bytes_; }
    // The most bytes the process had allocated at once (all threads) since the scope began:
    // taken at each allocation of the calling thread, which is where a peak of its own
    // work lies.
    std::size_t PeakAllocatedBytes() const { return peak_; }

private:
    static TScope*& Active()
    {
        static thread_local TScope* active = nullptr;
        return active;
    }
    // Hooks cannot be taken off again: they are put in once and count only for a scope.
    static void Install()
    {
#if defined(__SANITIZE_ADDRESS__)
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(
                                          [](const volatile void*, std::size_t size) {
                                              if (TScope* scope = Active()) {
                                                  ++scope->allocations_;
                                                  scope->bytes_ += size;
                                                  if (size > scope->largest_)
                                                      scope->largest_ = size;
                                                  const std::size_t now = AllocatedBytes();
                                                  if (now > scope->peak_)
                                                      scope->peak_ = now;
                                              }
                                          },
                                          [](const volatile void*) {
                                              if (TScope* scope = Active())
                                                  ++scope->frees_;
                                          }) != 0;
        (void)installed;
#endif
    }

    TScope* outer_ = nullptr;
    std::size_t allocations_ = 0;
    std::size_t frees_ = 0;
    std::size_t largest_ = 0;
    std::size_t bytes_ = 0;
    std::size_t peak_ = 0;
};

}  // namespace heapcount
