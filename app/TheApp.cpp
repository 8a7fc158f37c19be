// The one application object of the program, started by WinMain.
#include "app/MainApp.h"

CMainApp theApp;
