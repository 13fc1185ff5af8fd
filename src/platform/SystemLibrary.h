#pragma once
// Entry points of system libraries that the launcher needs only now and then,
// loaded on first use: a static import would load the library at every start.
#include <windows.h>

namespace kanne {

template <typename Function>
Function systemEntry(const char* library, const char* name)
{
    HMODULE module = LoadLibraryA(library); // system libraries stay loaded once used
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

} // namespace kanne
