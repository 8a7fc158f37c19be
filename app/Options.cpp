// The three options live under one key of the current user. They are read
// once while the dialog initialises and written once when it is destroyed.
#include "app/MainDlg.h"
#include "engine/DateTarget.h"
#include "app/RegSettings.h"
#include "resources/resource.h"

#include <string.h>

namespace
{
const char kSettingsKey[] = "Software\\Freeware\\Chronoshift";
const char kWindowOnTop[] = "window on top";
const char kProcessSubfolders[] = "process subfolders";
const char kDateToChange[] = "date to change";

// Exact and case-sensitive: anything unknown means "Date Modified".
DateTarget DateTargetFromText(const char* pszText)
{
    if (strcmp(pszText, "c") == 0)
        return kDateCreated;
    if (strcmp(pszText, "mc") == 0)
        return kModifiedAndCreated;
    return kDateModified;
}

const char* DateTargetToText(DateTarget target)
{
    switch (target)
    {
    case kDateModified:
        break;
    case kDateCreated:
        return "c";
    case kModifiedAndCreated:
        return "mc";
    }
    return "m";
}
} // namespace

void CMainDlg::LoadOptions()
{
    DateTarget target = kDateModified;

    CRegSettings reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    // No key yet (first start): nothing is read and the defaults stand.
    if (reg.SetKey(kSettingsKey, false))
    {
        if (reg.ReadIntValue(kWindowOnTop, 0) != 0)
        {
            CheckDlgButton(IDC_KEEP_ON_TOP, BST_CHECKED);
            OnKeepOnTop();
        }
        m_bProcessSubfolders = reg.ReadIntValue(kProcessSubfolders, m_bProcessSubfolders) != 0 ? 1 : 0;
        target = DateTargetFromText(reg.ReadStringValue(kDateToChange, "m"));
    }

    CheckDlgButton(IDC_PROCESS_SUBFOLDERS, m_bProcessSubfolders ? BST_CHECKED : BST_UNCHECKED);
    m_cbDateToChange.SetCurSel(target);
}

void CMainDlg::SaveOptions()
{
    // The boxes, not the members, are what the user last saw.
    int nKeepOnTop = IsDlgButtonChecked(IDC_KEEP_ON_TOP) == BST_CHECKED ? 1 : 0;
    int nSubfolders = IsDlgButtonChecked(IDC_PROCESS_SUBFOLDERS) == BST_CHECKED ? 1 : 0;
    DateTarget target = DateTargetFromIndex(m_cbDateToChange.GetCurSel());

    CRegSettings reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.SetKey(kSettingsKey, true))
        return;
    // Each write is tried even when the one before it failed.
    reg.WriteIntValue(kWindowOnTop, nKeepOnTop);
    reg.WriteIntValue(kProcessSubfolders, nSubfolders);
    reg.WriteStringValue(kDateToChange, DateTargetToText(target));
}
