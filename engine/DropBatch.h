// The state of one drop, held by the dialog's drop handler for the length of
// the drop and handed down the folder walk; each file gets its flags and
// counters.
#pragma once

#include "engine/DateTarget.h"

struct DropBatch
{
    bool bChangeModified; // set each file's last-write time
    bool bChangeCreated;  // set each file's creation time
    int nJpgFiles;        // JPEG files met so far
    int nChanged;         // files whose times were set
};

// A drop before its first item: the flags its target stands for, nothing met yet.
DropBatch NewDropBatch(DateTarget target);
