// Uniquely named temporary files: "Chronoshift Temp hhmmssmmmN.txt" in the
// temporary folder, N counting the attempts made at one moment.
#pragma once

#include "framework/Framework.h"

// Attempts a single call may make in all, and attempts that fail for another
// reason than an existing name (folder not writable, disk full).
const int kMaxTempFileAttempts = 1000;
const int kMaxTempFileFailures = 100;

// The temporary folder as the system returns it (ending in a backslash), in
// the ANSI code page; false when there is none or memory runs out.
bool GetTempFolder(CString& folder);

CString FormatTempFileName(const char* folder, const SYSTEMTIME& time, int counter);

// Creates a new empty file named for the given moment, trying counters 0, 1,
// 2... while names exist. True with the path of the created file.
bool CreateUniqueTempFile(const char* folder, const SYSTEMTIME& time, CString& path,
                          int maxAttempts = kMaxTempFileAttempts, int maxFailures = kMaxTempFileFailures);
