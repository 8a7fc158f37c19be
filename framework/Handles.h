// Owners of the system's handles: each gives back what it holds when it goes
// out of scope, so that no early return leaks one. Thin in WTL's manner: the
// raw handle stays at hand for the calls that take it.
#pragma once

#include <windows.h>

template <typename Traits> class CHandleOwner
{
public:
    using Handle = typename Traits::Handle;

    CHandleOwner() = default;
    explicit CHandleOwner(Handle h) : m_h(h) {}
    ~CHandleOwner() { Close(); }

    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;
    CHandleOwner(CHandleOwner&& other) noexcept : m_h(other.Detach()) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }

    Handle Get() const { return m_h; }
    bool IsValid() const { return Traits::IsValid(m_h); }
    explicit operator bool() const { return IsValid(); }

    // For the calls that hand a new handle back through a pointer.
    Handle* Receive()
    {
        Close();
        return &m_h;
    }
    // Takes h, giving back what was held before.
    void Attach(Handle h)
    {
        Close();
        m_h = h;
    }
    // Gives up the handle without closing it.
    Handle Detach()
    {
        Handle h = m_h;
        m_h = Traits::None();
        return h;
    }
    // Closes now; false when there was something and the system refused.
    bool Close()
    {
        if (!Traits::IsValid(m_h))
            return true;
        const bool bOk = Traits::Close(m_h);
        m_h = Traits::None();
        return bOk;
    }

private:
    Handle m_h = Traits::None();
};

// A handle that the system answers failures with either of two values for,
// null or INVALID_HANDLE_VALUE.
template <BOOL(WINAPI* CloseCall)(HANDLE)> struct KernelObjectTraits
{
    using Handle = HANDLE;
    static Handle None() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Close(Handle h) { return CloseCall(h) != FALSE; }
};

// A handle whose "none" is null, given back by a call that answers
// non-zero on success.
template <typename T, typename Arg, BOOL(WINAPI* CloseCall)(Arg)> struct NullHandleTraits
{
    using Handle = T;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return CloseCall(h) != FALSE; }
};

struct RegKeyTraits
{
    using Handle = HKEY;
    static Handle None() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static bool Close(Handle h) { return ::RegCloseKey(h) == ERROR_SUCCESS; }
};

using KernelHandleTraits = KernelObjectTraits<::CloseHandle>;
using FindHandleTraits = KernelObjectTraits<::FindClose>;
template <typename T> using GdiObjectTraits = NullHandleTraits<T, HGDIOBJ, ::DeleteObject>;
using IconTraits = NullHandleTraits<HICON, HICON, ::DestroyIcon>;
using CursorTraits = NullHandleTraits<HCURSOR, HCURSOR, ::DestroyCursor>;
using MemoryDCTraits = NullHandleTraits<HDC, HDC, ::DeleteDC>;

using CKernelHandle = CHandleOwner<KernelHandleTraits>;
using CFindHandle = CHandleOwner<FindHandleTraits>;
using CRegKeyHandle = CHandleOwner<RegKeyTraits>;
template <typename T> using CGdiObject = CHandleOwner<GdiObjectTraits<T>>;
// An icon of one's own (LoadImage without LR_SHARED).
using CIconHandle = CHandleOwner<IconTraits>;
// A cursor of one's own (LoadImage without LR_SHARED, CopyCursor).
using CCursorHandle = CHandleOwner<CursorTraits>;
// A device context of one's own (CreateCompatibleDC).
using CMemoryDC = CHandleOwner<MemoryDCTraits>;

// An object selected into a device context; the one it replaced goes back
// in when this goes, before the object itself may be deleted.
class CSelectedObject
{
public:
    CSelectedObject() = default;
    CSelectedObject(HDC hDC, HGDIOBJ hObject) { Select(hDC, hObject); }
    ~CSelectedObject() { Restore(); }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

    // Selects hObject; the object first replaced stays the one to restore.
    void Select(HDC hDC, HGDIOBJ hObject)
    {
        if (hDC == nullptr || hObject == nullptr)
            return;
        HGDIOBJ hOld = ::SelectObject(hDC, hObject);
        if (m_hDC == nullptr && hOld != nullptr && hOld != HGDI_ERROR)
        {
            m_hDC = hDC;
            m_hOld = hOld;
        }
    }
    void Restore()
    {
        if (m_hDC != nullptr)
            ::SelectObject(m_hDC, m_hOld);
        m_hDC = nullptr;
        m_hOld = nullptr;
    }

private:
    HDC m_hDC = nullptr;
    HGDIOBJ m_hOld = nullptr;
};
