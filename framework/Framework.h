// The MFC-style layer in one include, as the program's sources use it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "CString.h"
#include "CTime.h"
#include "CFile.h"
#include "FileTimeStore.h"
#include "LongPath.h"
#include "CStdioFile.h"
#include "CFileFind.h"
#include "CDC.h"
#include "CPoint.h"
#include "CRect.h"
#include "CWnd.h"
#include "CDialog.h"
#include "CWinApp.h"
#include "CStatic.h"
#include "CComboBox.h"
#include "CToolTipCtrl.h"
#include "AfxMessageBox.h"
