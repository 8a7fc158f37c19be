// Times in the local time of the system's zone, as the tests and the driver
// write and compare them, and the last-write time of a file read and set
// directly, past the program's file-time store.
#pragma once

#include <windows.h>

#include <string>

#include "framework/CTime.h"

// "YYYY-MM-DD hh:mm:ss", or "invalid" when the time has no local form.
std::string LocalText(const CTime& time);
std::string LocalText(const FILETIME& time);
// The same fields without leading zeros ("2008-5-17 14:3:9"), the way the
// undo journal writes its numbers.
std::string LocalFields(const CTime& time);

// FILETIME of a local calendar time, through the framework's CTime.
FILETIME LocalFileTime(int year, int month, int day, int hour, int minute, int second);

bool SetLastWriteTime(const std::string& path, const FILETIME& time);
bool GetLastWriteTime(const std::string& path, FILETIME& time);
