// A drop handle as the shell makes it for WM_DROPFILES.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A GlobalAlloc'ed DROPFILES block with the paths as 8-bit text, each ended by
// a zero and the list by one more (fWide FALSE). nullptr when memory runs out.
HDROP BuildDropFiles(const std::vector<std::string>& paths);
