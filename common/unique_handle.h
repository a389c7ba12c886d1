// Move-only owners for Win32 handles and other resources that need a close call.
// One template serves every kind: its traits give the handle type, the value that
// means "nothing held" and the close function.
#pragma once

#include <windows.h>

#include <utility>

namespace clser {

template <typename Traits>
class UniqueAny {
public:
    using T = typename Traits::type;

    UniqueAny() noexcept = default;
    explicit UniqueAny(T value) noexcept : value_(value) {}
    ~UniqueAny() { reset(); }

    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    UniqueAny(UniqueAny&& other) noexcept : value_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T get() const noexcept { return value_; }
    bool valid() const noexcept { return value_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    // Closes what is held and takes the new value.
    void reset(T value = Traits::invalid()) noexcept
    {
        if (value_ != Traits::invalid())
            Traits::close(value_);
        value_ = value;
    }

    T release() noexcept { return std::exchange(value_, Traits::invalid()); }

    // For calls that fill a handle through an out-parameter.
    T* put() noexcept
    {
        reset();
        return &value_;
    }

private:
    T value_ = Traits::invalid();
};

// Traits for the common kinds: a handle type, its "none" and its close call.
template <typename H, void (*Close)(H)>
struct NullIsNone {
    using type = H;
    static H invalid() noexcept { return nullptr; }
    static void close(H h) noexcept { Close(h); }
};
template <void (*Close)(HANDLE)>
struct InvalidHandleIsNone {
    using type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { Close(h); }
};

namespace detail {
inline void closeHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void freeLibrary(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void localFree(HLOCAL h) noexcept { ::LocalFree(h); }
inline void findClose(HANDLE h) noexcept { ::FindClose(h); }
inline void regCloseKey(HKEY h) noexcept { ::RegCloseKey(h); }
} // namespace detail

// Kernel objects whose "none" is null (threads, processes, mutexes, events, tokens).
using UniqueHandle = UniqueAny<NullIsNone<HANDLE, detail::closeHandle>>;
// Files and devices, whose "none" is INVALID_HANDLE_VALUE.
using UniqueFile = UniqueAny<InvalidHandleIsNone<detail::closeHandle>>;
using UniqueFind = UniqueAny<InvalidHandleIsNone<detail::findClose>>;
using UniqueModule = UniqueAny<NullIsNone<HMODULE, detail::freeLibrary>>;
using UniqueLocal = UniqueAny<NullIsNone<HLOCAL, detail::localFree>>;
using UniqueRegKey = UniqueAny<NullIsNone<HKEY, detail::regCloseKey>>;

} // namespace clser
