// What a screen reader reads as a label's name, asked the way it asks:
// through the system's accessibility layer, not through the label.
#include "tests/markup/LabelHarness.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
const char kStatus[] =
    "<font color=\"DarkRed\">Dropped <b>12</b> jpg files, changed date for <b>9</b> files</font>"
    "  <a href=\"app:WM_APP_COMMAND_SHOW_LOG\"><font color=\"Blue\"> (<u>View log</u>)</font></a>";
const wchar_t kStatusName[] = L"Dropped 12 jpg files, changed date for 9 files (View log)";

// The name of the window's client object; *pRefsLeft is what the reader's
// release of the object left.
std::wstring AccessibleName(HWND hWnd, ULONG* pRefsLeft = nullptr)
{
    IAccessible* object = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(hWnd, OBJID_CLIENT, __uuidof(IAccessible),
                                            reinterpret_cast<void**>(&object));
    EXPECT_EQ(S_OK, hr);
    if (object == nullptr)
        return L"(no object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    hr = object->get_accName(self, &name);
    EXPECT_EQ(S_OK, hr);
    std::wstring text = name != nullptr ? std::wstring(name, SysStringLen(name)) : L"(no name)";
    SysFreeString(name);
    ULONG nRefs = object->Release();
    if (pRefsLeft != nullptr)
        *pRefsLeft = nRefs;
    return text;
}

// COM for the test's thread, as a reader has it.
class ComThread
{
public:
    ComThread() : m_hr(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComThread()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }

private:
    HRESULT m_hr;
};

// A label as the program's status line has it, on a thread of its own that
// never starts COM, as the program's own thread never does.
struct LabelThread
{
    HANDLE hReady;
    HWND hLabel;
};

DWORD WINAPI RunLabelThread(void* param)
{
    LabelThread* thread = static_cast<LabelThread*>(param);
    LabelHost host(340, 40);
    host.Label().KeepTextInternally = 1;
    host.Label().SetMarkupText(kStatus);
    thread->hLabel = host.LabelWnd();
    ::SetEvent(thread->hReady);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
} // namespace

TEST(MarkupAccessibility, NameIsTheTextAsShownForMarkupInTheWindowTextOrKeptInside)
{
    ComThread com;
    LabelHost host(340, 40);
    TestableLabel& label = host.Label();
    // As the intro label holds it: the markup is the window text. Known tags
    // go, an unknown one shows as typed, entities are their characters, a
    // break reads as a space.
    const char intro[] = "Drop <b>JPG</b> files &amp; <i>folders</i>:&nbsp;&lt;b&gt;<BR>&copy;&euro; <blink>"
                         "<a href=\"x\"><font color=\"Blue\">here</font></a><hr size=2>end";
    label.SetMarkupText(intro);
    ULONG nRefsLeft = 1;
    EXPECT_EQ(L"Drop JPG files & folders: <b> \u00A9\u20AC <blink>here end",
              AccessibleName(host.LabelWnd(), &nRefsLeft));
    EXPECT_EQ(0u, nRefsLeft) << "the object outlives the reader's reference";
    EXPECT_EQ(CString(intro), label.GetMarkup());

    // As the status label holds it: inside, with the window text left as it was.
    ::SetWindowTextA(host.LabelWnd(), "Dropped  XXX files");
    label.KeepTextInternally = 1;
    label.SetMarkupText(kStatus);
    EXPECT_EQ(kStatusName, AccessibleName(host.LabelWnd()));
    EXPECT_EQ(CString(kStatus), label.GetMarkup());
    char windowText[64] = {0};
    ::GetWindowTextA(host.LabelWnd(), windowText, sizeof(windowText));
    EXPECT_STREQ("Dropped  XXX files", windowText);
    // The renderer still finds the link where the owner put it.
    Dib image(340, 40, 0);
    host.Render(image);
    EXPECT_EQ(3, label.GetLinkCount());
}

TEST(MarkupAccessibility, ReaderInAnotherApartmentGetsTheName)
{
    LabelThread thread = {::CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
    DWORD nThreadId = 0;
    HANDLE hThread = ::CreateThread(nullptr, 0, RunLabelThread, &thread, 0, &nThreadId);
    ASSERT_NE(nullptr, hThread);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(thread.hReady, 10000));
    {
        ComThread com;
        EXPECT_EQ(kStatusName, AccessibleName(thread.hLabel));
    }
    ::PostThreadMessageA(nThreadId, WM_QUIT, 0, 0);
    EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(hThread, 10000));
    ::CloseHandle(hThread);
    ::CloseHandle(thread.hReady);
}
