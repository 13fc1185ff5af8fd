// The launcher carries no C++ exception machinery (it would triple the size
// of the executable). Allocation failure and the library's few "throw" paths
// therefore end the process at once with the launcher's failure code.
#include <windows.h>
#include <cstdlib>
#include <new>

namespace {
[[noreturn]] void outOfResources() { ExitProcess(static_cast<UINT>(-1)); }
}

void* operator new(std::size_t size)
{
    if (void* p = std::malloc(size ? size : 1))
        return p;
    outOfResources();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace std {
[[noreturn]] void __throw_length_error(const char*) { outOfResources(); }
[[noreturn]] void __throw_logic_error(const char*) { outOfResources(); }
[[noreturn]] void __throw_out_of_range(const char*) { outOfResources(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { outOfResources(); }
[[noreturn]] void __throw_invalid_argument(const char*) { outOfResources(); }
[[noreturn]] void __throw_bad_alloc() { outOfResources(); }
[[noreturn]] void __throw_bad_array_new_length() { outOfResources(); }
} // namespace std
