// The MFC-style layer in one include, as the program's sources use it.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "framework/CString.h"
#include "framework/CTime.h"
#include "framework/CFile.h"
#include "framework/FileTimeStore.h"
#include "framework/LongPath.h"
#include "framework/CStdioFile.h"
#include "framework/CFileFind.h"
#include "framework/CDC.h"
#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CWnd.h"
#include "framework/CDialog.h"
#include "framework/CWinApp.h"
#include "framework/CStatic.h"
#include "framework/CComboBox.h"
#include "framework/CToolTipCtrl.h"
#include "framework/AfxMessageBox.h"
