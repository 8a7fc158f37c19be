// A path made absolute the way a drop delivers it.
#pragma once

#include <string>

std::string FullPath(const std::string& path);
