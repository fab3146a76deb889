// Owners for Win32 handles: one owner each, movable, never copied.
#pragma once
#include <windows.h>
#include <utility>

namespace uikit {

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T h) noexcept : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }

    T get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return Traits::valid(h_); }
    T release() noexcept { return std::exchange(h_, Traits::invalid()); }
    void reset(T h = Traits::invalid()) noexcept {
        if (Traits::valid(h_)) Traits::close(h_);
        h_ = h;
    }

private:
    T h_ = Traits::invalid();
};

struct KernelTraits {
    static HANDLE invalid() noexcept { return nullptr; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { CloseHandle(h); }
};
struct FileTraits {
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { CloseHandle(h); }
};
struct FindTraits {
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool valid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) noexcept { FindClose(h); }
};
template <typename H, BOOL(WINAPI* Close)(H)>
struct PtrTraits {
    static H invalid() noexcept { return nullptr; }
    static bool valid(H h) noexcept { return h != nullptr; }
    static void close(H h) noexcept { Close(h); }
};
template <typename H>
struct GdiTraits {
    static H invalid() noexcept { return nullptr; }
    static bool valid(H h) noexcept { return h != nullptr; }
    static void close(H h) noexcept { DeleteObject(h); }
};
struct AtomTraits {
    static ATOM invalid() noexcept { return 0; }
    static bool valid(ATOM a) noexcept { return a != 0; }
    static void close(ATOM a) noexcept { GlobalDeleteAtom(a); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelTraits>;
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;
using UniqueHwnd = UniqueHandle<HWND, PtrTraits<HWND, DestroyWindow>>;
using UniqueMenu = UniqueHandle<HMENU, PtrTraits<HMENU, DestroyMenu>>;
using UniqueModule = UniqueHandle<HMODULE, PtrTraits<HMODULE, FreeLibrary>>;
using UniqueHook = UniqueHandle<HHOOK, PtrTraits<HHOOK, UnhookWindowsHookEx>>;
using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueGlobalAtom = UniqueHandle<ATOM, AtomTraits>;

}  // namespace uikit
