// What the system's accessibility layer reads of a markup label: the
// standard object of its client area, whose name is the label's text as a
// person reads it instead of the markup.
#include "markup/MarkupStatic.h"
#include "markup/EntityTable.h"

#include <oleacc.h>

// The wrapper hands most calls on to the standard object; guessing that
// object to be another wrapper and inlining for it would triple the code.
#pragma GCC optimize("no-devirtualize-speculatively")

#include <new>
#include <string.h>
#include <vector>

namespace
{
typedef HRESULT(WINAPI* CreateStdAccessibleObjectFn)(HWND, LONG, REFIID, void**);
typedef LRESULT(WINAPI* LresultFromObjectFn)(REFIID, WPARAM, LPUNKNOWN);
typedef BSTR(WINAPI* SysAllocStringLenFn)(const OLECHAR*, UINT);
typedef HRESULT(WINAPI* CoInitializeExFn)(LPVOID, DWORD);

struct AccessibilityApi
{
    CreateStdAccessibleObjectFn createStandard;
    LresultFromObjectFn lresultFromObject;
    SysAllocStringLenFn allocString;
    CoInitializeExFn initializeCom;
};

template <typename Fn> Fn ProcAddress(HMODULE module, const char* name)
{
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// From the system folder only: never a file of that name beside the program.
HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH + 1] = {0};
    UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + strlen(name) >= sizeof(path))
        return nullptr;
    strcat(path, "\\");
    strcat(path, name);
    return ::LoadLibraryA(path);
}

// Loaded at the first request, not at start-up: a program that nobody reads
// aloud never maps them. They stay loaded, as objects handed out live on.
const AccessibilityApi* Api()
{
    static bool s_bLoaded = false;
    static AccessibilityApi s_api = {nullptr, nullptr, nullptr, nullptr};
    if (!s_bLoaded)
    {
        s_bLoaded = true;
        HMODULE oleacc = LoadSystemLibrary("oleacc.dll");
        HMODULE oleaut = LoadSystemLibrary("oleaut32.dll");
        HMODULE ole = LoadSystemLibrary("ole32.dll");
        s_api.createStandard = ProcAddress<CreateStdAccessibleObjectFn>(oleacc, "CreateStdAccessibleObject");
        s_api.lresultFromObject = ProcAddress<LresultFromObjectFn>(oleacc, "LresultFromObject");
        s_api.allocString = ProcAddress<SysAllocStringLenFn>(oleaut, "SysAllocStringLen");
        s_api.initializeCom = ProcAddress<CoInitializeExFn>(ole, "CoInitializeEx");
    }
    const bool bComplete =
        s_api.createStandard && s_api.lresultFromObject && s_api.allocString && s_api.initializeCom;
    return bComplete ? &s_api : nullptr;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The standard object with the name of our own. A reader may hold it after
// the label is gone: the label is used only while its window is still its own.
class CLabelAccessible : public IAccessible
{
public:
    CLabelAccessible(CMarkupStatic* label, IAccessible* standard, const AccessibilityApi& api)
        : m_nRefs(1), m_label(label), m_hWnd(label->m_hWnd), m_standard(standard), m_api(api)
    {
    }
    virtual ~CLabelAccessible() { m_standard->Release(); }

    CLabelAccessible(const CLabelAccessible&) = delete;
    CLabelAccessible& operator=(const CLabelAccessible&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == nullptr)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
        {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        LONG nRefs = ::InterlockedDecrement(&m_nRefs);
        if (nRefs == 0)
            delete this;
        return static_cast<ULONG>(nRefs);
    }

    STDMETHODIMP get_accName(VARIANT child, BSTR* pName) override
    {
        if (!IsSelf(child) || pName == nullptr || CWnd::FromHandlePermanent(m_hWnd) != m_label)
            return m_standard->get_accName(child, pName);
        std::vector<wchar_t> text = m_label->GetPlainText();
        *pName = nullptr;
        if (text.empty())
            return S_FALSE;
        *pName = m_api.allocString(text.data(), static_cast<UINT>(text.size()));
        return *pName != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    // The rest is the standard object's.
    STDMETHODIMP GetTypeInfoCount(UINT* p) override { return m_standard->GetTypeInfoCount(p); }
    STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** p) override
    {
        return m_standard->GetTypeInfo(i, l, p);
    }
    STDMETHODIMP GetIDsOfNames(REFIID r, LPOLESTR* n, UINT c, LCID l, DISPID* d) override
    {
        return m_standard->GetIDsOfNames(r, n, c, l, d);
    }
    STDMETHODIMP Invoke(DISPID d, REFIID r, LCID l, WORD f, DISPPARAMS* p, VARIANT* v, EXCEPINFO* e,
                        UINT* a) override
    {
        return m_standard->Invoke(d, r, l, f, p, v, e, a);
    }
    STDMETHODIMP get_accParent(IDispatch** p) override { return m_standard->get_accParent(p); }
    STDMETHODIMP get_accChildCount(long* p) override { return m_standard->get_accChildCount(p); }
    STDMETHODIMP get_accChild(VARIANT c, IDispatch** p) override { return m_standard->get_accChild(c, p); }
    STDMETHODIMP get_accValue(VARIANT c, BSTR* p) override { return m_standard->get_accValue(c, p); }
    STDMETHODIMP get_accDescription(VARIANT c, BSTR* p) override
    {
        return m_standard->get_accDescription(c, p);
    }
    STDMETHODIMP get_accRole(VARIANT c, VARIANT* p) override { return m_standard->get_accRole(c, p); }
    STDMETHODIMP get_accState(VARIANT c, VARIANT* p) override { return m_standard->get_accState(c, p); }
    STDMETHODIMP get_accHelp(VARIANT c, BSTR* p) override { return m_standard->get_accHelp(c, p); }
    STDMETHODIMP get_accHelpTopic(BSTR* f, VARIANT c, long* t) override
    {
        return m_standard->get_accHelpTopic(f, c, t);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT c, BSTR* p) override
    {
        return m_standard->get_accKeyboardShortcut(c, p);
    }
    STDMETHODIMP get_accFocus(VARIANT* p) override { return m_standard->get_accFocus(p); }
    STDMETHODIMP get_accSelection(VARIANT* p) override { return m_standard->get_accSelection(p); }
    STDMETHODIMP get_accDefaultAction(VARIANT c, BSTR* p) override
    {
        return m_standard->get_accDefaultAction(c, p);
    }
    STDMETHODIMP accSelect(long f, VARIANT c) override { return m_standard->accSelect(f, c); }
    STDMETHODIMP accLocation(long* x, long* y, long* w, long* h, VARIANT c) override
    {
        return m_standard->accLocation(x, y, w, h, c);
    }
    STDMETHODIMP accNavigate(long d, VARIANT s, VARIANT* p) override
    {
        return m_standard->accNavigate(d, s, p);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* p) override { return m_standard->accHitTest(x, y, p); }
    STDMETHODIMP accDoDefaultAction(VARIANT c) override { return m_standard->accDoDefaultAction(c); }
    STDMETHODIMP put_accName(VARIANT c, BSTR n) override { return m_standard->put_accName(c, n); }
    STDMETHODIMP put_accValue(VARIANT c, BSTR v) override { return m_standard->put_accValue(c, v); }

private:
    LONG m_nRefs;
    CMarkupStatic* m_label;
    HWND m_hWnd;
    IAccessible* m_standard;
    const AccessibilityApi& m_api;
};

// Known tags, which the renderer draws nothing for; those with attributes
// need their ">" to be tags at all.
const char* const kPlainTags[] = {"<B>",      "</B>",      "<I>",      "</I>",      "<U>",   "</U>",
                                  "<CENTER>", "</CENTER>", "<STRIKE>", "</STRIKE>", "<BIG>", "</BIG>",
                                  "<SMALL>",  "</SMALL>",  "<SUB>",    "</SUB>",    "<SUP>", "</SUP>",
                                  "</FONT>",  "<CODE>",    "</CODE>",  "</A>"};
const char* const kTagsWithAttributes[] = {"<FONT", "<A HREF="};

bool StartsWith(const char* p, const char* end, const char* tag)
{
    size_t length = strlen(tag);
    return static_cast<size_t>(end - p) >= length && _strnicmp(p, tag, length) == 0;
}

// Where the tag at p ends (past its ">"), p when none starts there; a line
// break or a rule also reads as a space.
const char* SkipTag(const char* p, const char* end, bool& bBreak)
{
    bBreak = false;
    for (const char* tag : kPlainTags)
        if (StartsWith(p, end, tag))
            return p + strlen(tag);
    const void* close = memchr(p, '>', static_cast<size_t>(end - p));
    if (close != nullptr)
    {
        for (const char* tag : kTagsWithAttributes)
            if (StartsWith(p, end, tag))
                return static_cast<const char*>(close) + 1;
        if (StartsWith(p, end, "<HR"))
        {
            bBreak = true;
            return static_cast<const char*>(close) + 1;
        }
    }
    if (StartsWith(p, end, "<BR>"))
    {
        bBreak = true;
        return p + 4;
    }
    return p;
}

void AppendText(std::vector<wchar_t>& text, const char* p, int length)
{
    int count = ::MultiByteToWideChar(CP_ACP, 0, p, length, nullptr, 0);
    if (count <= 0)
        return;
    size_t at = text.size();
    text.resize(at + static_cast<size_t>(count));
    ::MultiByteToWideChar(CP_ACP, 0, p, length, &text[at], count);
}

// Runs of white space read as one space, and none at either end.
std::vector<wchar_t> CollapseSpaces(const std::vector<wchar_t>& text)
{
    std::vector<wchar_t> result;
    result.reserve(text.size());
    bool bSpace = false;
    for (wchar_t ch : text)
    {
        if (ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n')
        {
            bSpace = !result.empty();
            continue;
        }
        if (bSpace)
            result.push_back(L' ');
        bSpace = false;
        result.push_back(ch);
    }
    return result;
}
} // namespace

std::vector<wchar_t> CMarkupStatic::GetPlainText() const
{
    // Entities become escapes first, as for drawing, so that "&lt;b&gt;"
    // reads as the text it shows and not as a tag.
    CString markup = GetMarkup();
    EscapeEntities(markup);

    std::vector<wchar_t> text;
    const char* p = markup;
    const char* end = p + markup.GetLength();
    const char* runStart = p;
    while (p < end)
    {
        bool bBreak = false;
        const char* next = *p == '<' ? SkipTag(p, end, bBreak) : p;
        if (next == p && *p != kEntityEscape)
        {
            ++p;
            continue;
        }
        AppendText(text, runStart, static_cast<int>(p - runStart));
        if (*p == kEntityEscape && next == p)
        {
            if (p + 1 < end)
                text.push_back(EntityWideCharFromCode(static_cast<unsigned char>(p[1])));
            next = p + 2 < end ? p + 2 : end;
        }
        if (bBreak)
            text.push_back(L' ');
        p = runStart = next;
    }
    AppendText(text, runStart, static_cast<int>(end - runStart));
    return CollapseSpaces(text);
}

LRESULT CMarkupStatic::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    // Only the client area is ours to describe; the frame and the rest stay
    // the system's.
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return Default();
    const AccessibilityApi* api = Api();
    if (api == nullptr)
        return Default();

    IAccessible* standard = nullptr;
    if (FAILED(api->createStandard(m_hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&standard))) ||
        standard == nullptr)
        return Default();
    CLabelAccessible* object = new (std::nothrow) CLabelAccessible(this, standard, *api);
    if (object == nullptr)
    {
        standard->Release();
        return Default();
    }
    LRESULT result = api->lresultFromObject(__uuidof(IAccessible), wParam, object);
    if (result == CO_E_NOTINITIALIZED)
    {
        // Handing the object to a reader goes through COM, which a thread
        // that never needed it has not started.
        api->initializeCom(nullptr, COINIT_APARTMENTTHREADED);
        result = api->lresultFromObject(__uuidof(IAccessible), wParam, object);
    }
    // What was handed over holds its own reference.
    object->Release();
    return result;
}
