// Which of a picture's times a drop sets, as the "Date to Change:" list offers
// it: each value is the index of its list item.
#pragma once

enum DateTarget
{
    kDateModified = 0,      // the last-write time only
    kDateCreated = 1,       // the creation time only
    kModifiedAndCreated = 2 // both
};

// The targets in the order of the list's items.
inline constexpr DateTarget kDateTargets[] = {kDateModified, kDateCreated, kModifiedAndCreated};

// The list's selection as a target: no selection (CB_ERR), or any index the
// list does not have, behaves like "Date Modified".
DateTarget DateTargetFromIndex(int nIndex);

// The text of the target's list item.
const char* DateTargetItemText(DateTarget target);
