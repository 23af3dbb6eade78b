// One move-only owner for every kind of system handle. A traits type names the
// raw handle type, tells which values mean "no handle" and how to close one:
//
//   struct Traits {
//       using pointer = ...;
//       static pointer invalid();          // the value an empty owner holds
//       static bool valid(pointer h);      // false for every "no handle" value
//       static void close(pointer h);      // called once, only for valid handles
//   };
//
// The template itself needs no system header, so portable code can own its own
// resources with it too; the Windows traits follow below.
#pragma once

#include <utility>

namespace zyn {

template <typename Traits>
class UniqueHandle {
public:
    using pointer = typename Traits::pointer;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(pointer h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    pointer get() const noexcept { return h_; }
    bool valid() const noexcept { return Traits::valid(h_); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    pointer release() noexcept { return std::exchange(h_, Traits::invalid()); }
    // Closes the current handle (if any) and takes h.
    void reset(pointer h = Traits::invalid()) noexcept {
        pointer old = std::exchange(h_, h);
        if (Traits::valid(old)) Traits::close(old);
    }
    // For calls that return a handle through an out-parameter: closes the
    // current one first, so the owner never leaks what it held.
    pointer* put() noexcept {
        reset();
        return &h_;
    }

private:
    pointer h_ = Traits::invalid();
};

}  // namespace zyn

#ifdef _WIN32
#include <windows.h>

namespace zyn {
namespace handle_traits {

// Kernel objects: some calls fail with NULL, others with INVALID_HANDLE_VALUE.
struct Kernel {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { CloseHandle(h); }
};

struct Find {
    using pointer = HANDLE;
    static pointer invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(pointer h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { FindClose(h); }
};

struct RegKey {
    using pointer = HKEY;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { RegCloseKey(h); }
};

struct Library {
    using pointer = HMODULE;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { FreeLibrary(h); }
};

struct GdiObject {
    using pointer = HGDIOBJ;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { DeleteObject(h); }
};

struct Window {
    using pointer = HWND;
    static pointer invalid() noexcept { return nullptr; }
    static bool valid(pointer h) noexcept { return h != nullptr; }
    static void close(pointer h) noexcept { DestroyWindow(h); }
};

}  // namespace handle_traits

using Handle = UniqueHandle<handle_traits::Kernel>;
using FindHandle = UniqueHandle<handle_traits::Find>;
using RegKey = UniqueHandle<handle_traits::RegKey>;
using Library = UniqueHandle<handle_traits::Library>;
using GdiObject = UniqueHandle<handle_traits::GdiObject>;
using OwnedWindow = UniqueHandle<handle_traits::Window>;

}  // namespace zyn
#endif
