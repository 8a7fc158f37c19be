// Root of the classes that have a message map: windows and the application.
#pragma once

#include "framework/MessageMap.h"

class CCmdTarget
{
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;

    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the command handler for (nID, nCode) from this object's map chain;
    // TRUE when one ran.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode);

    // The wait cursor, counted: every Begin needs its End.
    void BeginWaitCursor();
    void EndWaitCursor();

    // The first entry of kind nKind in the map chain that matches.
    static const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* pMap, UINT nKind, UINT nMessage, UINT nCode,
                                             UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};
