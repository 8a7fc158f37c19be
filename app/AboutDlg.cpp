#include "AboutDlg.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {}
