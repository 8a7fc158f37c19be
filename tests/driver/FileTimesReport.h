// Prints the creation and last-write times, in local time, of every file under
// the given paths, read through the framework's file status (so through the
// installed file-time store).
#pragma once

#include <string>
#include <vector>

// Files of the given paths (folders walked completely), sorted by path.
std::vector<std::string> ListFilesUnder(const std::vector<std::string>& paths);

// One line per file: "times PHASE: PATH<TAB>created Y-M-D h:m:s<TAB>modified Y-M-D h:m:s".
void PrintFileTimes(const char* phase, const std::vector<std::string>& files);
