// Links of the markup label: the hand cursor, hover, clicks and following a
// target (application command, shell, or the ".htm" program).
#include "markup/MarkupStatic.h"

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "resources/resource.h"

#include <mbstring.h>
#include <string.h>

namespace
{
const int kHelpHandCursorId = 106;
const int kCommandBufferSize = 520;
const DWORD kRegValueBufferSize = 260;

bool RectHoldsScreenPoint(HWND hWnd, const RECT& rcClient, POINT pt)
{
    POINT topLeft = {rcClient.left, rcClient.top};
    POINT bottomRight = {rcClient.right, rcClient.bottom};
    ::ClientToScreen(hWnd, &topLeft);
    ::ClientToScreen(hWnd, &bottomRight);
    RECT rcScreen = {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
    return PtInRect(&rcScreen, pt) != FALSE;
}
} // namespace

void CMarkupStatic::LoadHandCursor(int nDpi)
{
    // Loaded unshared, so the control owns it and destroys it; at the
    // cursor size of the label's display scale.
    m_handCursor.Attach(static_cast<HCURSOR>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR,
        AfxGetSystemMetricsForDpi(SM_CXCURSOR, nDpi), AfxGetSystemMetricsForDpi(SM_CYCURSOR, nDpi), 0)));
    if (m_handCursor)
        return;

    // The help program of older Windows versions carries a hand as well.
    char path[MAX_PATH + 1] = {0};
    UINT length = GetWindowsDirectoryA(path, MAX_PATH);
    const char helpProgram[] = "\\winhlp32.exe";
    if (length == 0 || length + sizeof(helpProgram) > sizeof(path))
        return;
    strcat(path, helpProgram);
    HMODULE module = LoadLibraryA(path);
    if (module == nullptr)
        return;
    HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursorId));
    if (cursor != nullptr)
        m_handCursor.Attach(CopyCursor(cursor));
    FreeLibrary(module);
}

void CMarkupStatic::PreSubclassWindow()
{
    // Without SS_NOTIFY a static control reports no clicks.
    ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    CStatic::PreSubclassWindow();
}

int CMarkupStatic::LinkIndexAtCursor() const
{
    POINT pt;
    if (!::GetCursorPos(&pt))
        return -1;
    for (int i = 0; i < GetLinkCount(); ++i)
    {
        if (RectHoldsScreenPoint(m_hWnd, m_linkRects[i], pt))
            return i;
    }
    return -1;
}

void CMarkupStatic::OnMouseMove(UINT, CPoint)
{
    if (GetLinkCount() > 0 && ::IsWindowVisible(m_hWnd))
    {
        m_bHover = 0;
        if (LinkIndexAtCursor() >= 0 && m_handCursor)
        {
            HCURSOR previous = ::SetCursor(m_handCursor.Get());
            if (m_hSavedCursor == nullptr)
                m_hSavedCursor = previous;
            m_bHover = 1;
        }
        if (!m_bHover && m_hSavedCursor != nullptr)
        {
            ::SetCursor(m_hSavedCursor);
            m_hSavedCursor = nullptr;
        }
    }
    Default();
}

BOOL CMarkupStatic::OnSetCursor(CWnd*, UINT, UINT)
{
    // Keep the hand: the class cursor must not replace it.
    if (m_bHover)
        return FALSE;
    return static_cast<BOOL>(Default());
}

void CMarkupStatic::OnClicked()
{
    int index = LinkIndexAtCursor();
    if (index >= 0)
    {
        CString target = m_linkTargets[index];
        ActivateLink(target, SW_SHOW);
    }
}

int CMarkupStatic::ActivateLink(const char* target, int nShowCmd)
{
    // A link whose target came out empty opens nothing (no empty browser window).
    if (target == nullptr || target[0] == 0)
        return 0;
    if (_strnicmp(target, "APP:", 4) == 0)
        return DispatchAppCommand(target + 4);
    if (target[0] == '"' && _strnicmp(target + 1, "APP:", 4) == 0)
        return DispatchAppCommand(target + 5);

    HINSTANCE result = ShellExecuteA(nullptr, "open", target, nullptr, nullptr, nShowCmd);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return 1;

    CString className;
    if (ReadClassesRootDefault(HKEY_CLASSES_ROOT, ".htm", className) != ERROR_SUCCESS)
        return 0;
    CString classCommand;
    if (ReadClassesRootDefault(HKEY_CLASSES_ROOT, className + "\\shell\\open\\command", classCommand) !=
        ERROR_SUCCESS)
        return 0;
    CString command;
    if (!BuildOpenCommand(classCommand, target, command))
        return 0;
    return WinExec(command, static_cast<UINT>(nShowCmd)) > 32 ? 1 : 0;
}

bool CMarkupStatic::BuildOpenCommand(const char* classCommand, const char* target, CString& command)
{
    command.Empty();
    if (classCommand == nullptr || target == nullptr)
        return false;
    CString result = classCommand;
    int placeholder = result.Find("\"%1\"");
    if (placeholder < 0)
        placeholder = result.Find("%1");
    if (placeholder >= 0)
        result = result.Left(placeholder);
    result += " ";
    result += target;
    // The command buffer holds 520 bytes with its terminating zero.
    if (result.GetLength() >= kCommandBufferSize)
        return false;
    command = result;
    return true;
}

int CMarkupStatic::DispatchAppCommand(const char* name)
{
    if (name == nullptr)
        return 0;
    CString command = name;
    if (!command.IsEmpty() && command[0] == '"')
        command = command.Mid(1);
    if (!command.IsEmpty() && command[command.GetLength() - 1] == '"')
        command = command.Left(command.GetLength() - 1);

    const unsigned char* wanted = reinterpret_cast<const unsigned char*>(static_cast<const char*>(command));
    for (int i = 0; i < m_nAppCommands; ++i)
    {
        const AppCommand& entry = m_pAppCommands[i];
        if (entry.name == nullptr ||
            _mbsicmp(reinterpret_cast<const unsigned char*>(entry.name), wanted) != 0)
            continue;
        // A command whose window is gone is passed over.
        if (entry.hWnd != nullptr && ::IsWindow(entry.hWnd))
        {
            ::SendMessageA(entry.hWnd, entry.message, entry.wParam, 0);
            return 1;
        }
    }
    return 0;
}

LONG CMarkupStatic::ReadClassesRootDefault(HKEY hRoot, const char* subKey, CString& output)
{
    output.Empty();
    CRegKeyHandle key;
    LONG result = RegOpenKeyExA(hRoot, subKey, 0, KEY_QUERY_VALUE, key.Receive());
    if (result != ERROR_SUCCESS)
        return result;
    char buffer[kRegValueBufferSize + 1] = {0};
    LONG size = static_cast<LONG>(kRegValueBufferSize);
    result = RegQueryValueA(key.Get(), nullptr, buffer, &size);
    if (result == ERROR_SUCCESS)
    {
        // The stored value need not end in a zero.
        buffer[kRegValueBufferSize] = 0;
        output = buffer;
    }
    return result;
}
