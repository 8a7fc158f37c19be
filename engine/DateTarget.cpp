#include "engine/DateTarget.h"

DateTarget DateTargetFromIndex(int nIndex)
{
    switch (nIndex)
    {
    case kDateCreated:
        return kDateCreated;
    case kModifiedAndCreated:
        return kModifiedAndCreated;
    default:
        return kDateModified;
    }
}

const char* DateTargetItemText(DateTarget target)
{
    switch (target)
    {
    case kDateModified:
        break;
    case kDateCreated:
        return "Date Created";
    case kModifiedAndCreated:
        return "Modified & Created";
    }
    return "Date Modified";
}
