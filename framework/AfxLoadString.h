// Reads a string resource of the program, whatever its length.
#pragma once

#include "framework/CString.h"

#include <windows.h>

// FALSE, with rString empty, when the string does not exist or is empty.
BOOL AfxLoadString(UINT nID, CString& rString);
