#include "app/AboutDlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {}
