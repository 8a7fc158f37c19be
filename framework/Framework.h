// The MFC-style layer in one include, as the program's sources use it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// Pieces arrive one by one while the layer is being built.
#if __has_include("CString.h")
#include "CString.h"
#endif
#if __has_include("CTime.h")
#include "CTime.h"
#endif
#if __has_include("CFile.h")
#include "CFile.h"
#endif
#if __has_include("FileTimeStore.h")
#include "FileTimeStore.h"
#endif
#if __has_include("CStdioFile.h")
#include "CStdioFile.h"
#endif
#if __has_include("CFileFind.h")
#include "CFileFind.h"
#endif
#if __has_include("CWnd.h")
#include "CWnd.h"
#endif
#if __has_include("CDialog.h")
#include "CDialog.h"
#endif
#if __has_include("CWinApp.h")
#include "CWinApp.h"
#endif
#if __has_include("CStatic.h")
#include "CStatic.h"
#endif
#if __has_include("CButton.h")
#include "CButton.h"
#endif
#if __has_include("CComboBox.h")
#include "CComboBox.h"
#endif
#if __has_include("CToolTipCtrl.h")
#include "CToolTipCtrl.h"
#endif
#if __has_include("AfxMessageBox.h")
#include "AfxMessageBox.h"
#endif
