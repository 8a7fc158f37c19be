// The items of a shell drop, as full paths of any length.
#pragma once

#include "framework/Framework.h"

#include <vector>

std::vector<CString> ReadDropPaths(HDROP hDrop);
