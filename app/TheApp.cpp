// The one application object of the program, started by WinMain.
#include "MainApp.h"

CMainApp theApp;
