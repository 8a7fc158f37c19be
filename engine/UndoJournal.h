// The undo journal's text format: three lines per file (path, creation time,
// last-write time), the times as "%d:%d:%d %d:%d:%d" in local time.
#pragma once

#include "framework/Framework.h"

// Reads the next number of a journal line: skips non-digits, takes the digits
// that follow and negates them when a hyphen came right before. Advances pos
// past the digits; at the end of the text returns 0 and leaves pos there.
int ParseNextInt(const char*& pos);

// Reads the six numbers of a journal date line as a local time. False when
// they are out of their calendar ranges or name no moment of local time.
bool ParseJournalTime(const char* line, CTime& time);

// One record as written to the journal, "\n" at each line end; false when a
// time cannot be broken down into local calendar fields.
bool FormatJournalRecord(const char* path, const CTime& timeCreated, const CTime& timeModified,
                         CString& record);
