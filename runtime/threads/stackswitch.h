#pragma once
// Internal to runtime/threads: tells AddressSanitizer of every switch between the scheduler's
// stack and a thread's, which it cannot see by itself. Nothing without the sanitizer.
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#define TBK_FIBER_ANNOTATIONS 1
#endif

namespace tbk::detail {

struct StackBounds {
    const void *bottom = nullptr;
    std::size_t size = 0;
};

#if defined(TBK_FIBER_ANNOTATIONS)
// Before leaving the present stack for the one given; a stack being left for good passes
// nullptr as its fake-stack slot.
inline void beginSwitch(void **fakeStack, const StackBounds &to) {
    __sanitizer_start_switch_fiber(fakeStack, to.bottom, to.size);
}
// On arriving on a stack; learns the bounds of the stack just left when asked.
inline void endSwitch(void *fakeStack, StackBounds *from) {
    __sanitizer_finish_switch_fiber(fakeStack, from ? &from->bottom : nullptr, from ? &from->size : nullptr);
}
#else
inline void beginSwitch(void **, const StackBounds &) {}
inline void endSwitch(void *, StackBounds *) {}
#endif

} // namespace tbk::detail
