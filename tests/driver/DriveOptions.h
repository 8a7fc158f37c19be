// What one run of chronoshift-drive is asked to do, read from its command line.
#pragma once

#include <string>
#include <vector>

struct DriveOptions
{
    // "Date to Change:" item to select: 0, 1, 2, or -1 for no selection;
    // kKeep leaves the list as the stored option set it.
    enum
    {
        kKeep = -2
    };
    int nTarget = kKeep;
    // "Process Subfolders": 1 on, 0 off, -1 as stored.
    int nSubfolders = -1;

    bool bUndo = false;
    bool bUndoAnswerYes = true;
    bool bDropAgain = false;
    // Drops the paths once more while the first batch is running, the way a
    // user's second drop arrives through the batch's message pump.
    bool bDropDuring = false;
    bool bDeleteLogBetween = false;
    bool bNtfsTimes = false;
    // Local creation time given to every file under the paths ("Y-M-D h:m:s"),
    // in the NTFS-like store; empty: the files keep what the system reports.
    std::string strCreated;
    bool bPrintTimes = false;

    std::string strLogCopy;
    std::string strJournalCopy;
    std::string strScreenshot;
    // Milliseconds the dialog stays on screen at the end (for a picture of
    // the screen), with the about box open in front of it when bAbout.
    int nShowMs = 0;
    bool bAbout = false;
    std::vector<std::string> holds;
    std::vector<std::string> locks;
    std::vector<std::string> removals;
    std::vector<std::string> paths;
};

// Fills `options` from the arguments (without the program name); on a usage
// error returns false with the reason in `error`.
bool ParseDriveOptions(const std::vector<std::string>& args, DriveOptions& options, std::string& error);

// The usage text printed on a usage error.
const char* DriveUsage();
