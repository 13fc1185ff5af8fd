#pragma once
// One owner per platform handle: a move-only wrapper whose destructor
// releases the handle exactly once, and only when one was obtained.
#include <windows.h>
#include <utility>

namespace kanne {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const { return value_; }
    explicit operator bool() const { return Traits::isValid(value_); }

    Type release() { return std::exchange(value_, Traits::invalid()); }
    void reset(Type value = Traits::invalid())
    {
        Type old = std::exchange(value_, value);
        if (Traits::isValid(old))
            Traits::close(old);
    }

private:
    Type value_ = Traits::invalid();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static bool isValid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct ModuleHandleTraits {
    using Type = HMODULE;
    static Type invalid() { return nullptr; }
    static bool isValid(Type h) { return h != nullptr; }
    static void close(Type h) { FreeLibrary(h); }
};
using ModuleHandle = UniqueHandle<ModuleHandleTraits>;

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type invalid() { return nullptr; }
    static bool isValid(Type h) { return h != nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
using RegistryKey = UniqueHandle<RegistryKeyTraits>;

struct MappedViewTraits {
    using Type = void*;
    static Type invalid() { return nullptr; }
    static bool isValid(Type view) { return view != nullptr; }
    static void close(Type view) { UnmapViewOfFile(view); }
};
using MappedView = UniqueHandle<MappedViewTraits>;

// A critical section that lives as long as its owner.
class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&section_); }
    ~CriticalSection() { DeleteCriticalSection(&section_); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    class Lock {
    public:
        explicit Lock(CriticalSection& owner) : owner_(owner) { EnterCriticalSection(&owner_.section_); }
        ~Lock() { LeaveCriticalSection(&owner_.section_); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

    private:
        CriticalSection& owner_;
    };

private:
    CRITICAL_SECTION section_;
};

} // namespace kanne
