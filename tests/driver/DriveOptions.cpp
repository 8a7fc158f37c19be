#include "tests/driver/DriveOptions.h"

#include <cstdio>
#include <cstdlib>

namespace
{
bool ParseTarget(const std::string& value, int& nTarget)
{
    if (value == "m")
        nTarget = 0;
    else if (value == "c")
        nTarget = 1;
    else if (value == "mc")
        nTarget = 2;
    else if (value == "none")
        nTarget = -1;
    else
        return false;
    return true;
}
} // namespace

bool ParseDriveOptions(const std::vector<std::string>& args, DriveOptions& options, std::string& error)
{
    options = DriveOptions();
    size_t i = 0;
    // Options that take a value read it from the next argument.
    auto value = [&](const std::string& name, std::string& out)
    {
        if (i + 1 >= args.size())
        {
            error = name + " needs a value";
            return false;
        }
        out = args[++i];
        return true;
    };

    for (; i < args.size(); ++i)
    {
        const std::string& arg = args[i];
        std::string v;
        if (arg == "--")
        {
            ++i;
            break;
        }
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0)
            break;
        if (arg == "--target")
        {
            if (!value(arg, v))
                return false;
            if (!ParseTarget(v, options.nTarget))
            {
                error = "--target takes m, c, mc or none, not \"" + v + "\"";
                return false;
            }
        }
        else if (arg == "--subfolders")
        {
            if (!value(arg, v))
                return false;
            if (v != "on" && v != "off")
            {
                error = "--subfolders takes on or off, not \"" + v + "\"";
                return false;
            }
            options.nSubfolders = v == "on" ? 1 : 0;
        }
        else if (arg == "--undo")
            options.bUndo = true;
        else if (arg == "--undo-answer")
        {
            if (!value(arg, v))
                return false;
            if (v != "yes" && v != "no")
            {
                error = "--undo-answer takes yes or no, not \"" + v + "\"";
                return false;
            }
            options.bUndo = true;
            options.bUndoAnswerYes = v == "yes";
        }
        else if (arg == "--drop-again")
            options.bDropAgain = true;
        else if (arg == "--drop-during")
            options.bDropDuring = true;
        else if (arg == "--delete-log")
        {
            options.bDropAgain = true;
            options.bDeleteLogBetween = true;
        }
        else if (arg == "--ntfs-times")
            options.bNtfsTimes = true;
        else if (arg == "--created")
        {
            if (!value(arg, options.strCreated))
                return false;
            int y, mo, d, h, mi, sec;
            char chEnd;
            if (sscanf(options.strCreated.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &sec,
                       &chEnd) != 6)
            {
                error = "--created takes \"YYYY-MM-DD hh:mm:ss\", not \"" + options.strCreated + "\"";
                return false;
            }
            options.bNtfsTimes = true;
        }
        else if (arg == "--times")
            options.bPrintTimes = true;
        else if (arg == "--log")
        {
            if (!value(arg, options.strLogCopy))
                return false;
        }
        else if (arg == "--journal")
        {
            if (!value(arg, options.strJournalCopy))
                return false;
        }
        else if (arg == "--screenshot")
        {
            if (!value(arg, options.strScreenshot))
                return false;
        }
        else if (arg == "--show")
        {
            if (!value(arg, v))
                return false;
            char* end = nullptr;
            const long ms = strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || ms < 0 || ms > 600000)
            {
                error = "--show takes milliseconds from 0 to 600000, not \"" + v + "\"";
                return false;
            }
            options.nShowMs = static_cast<int>(ms);
        }
        else if (arg == "--about")
            options.bAbout = true;
        else if (arg == "--hold")
        {
            if (!value(arg, v))
                return false;
            options.holds.push_back(v);
        }
        else if (arg == "--lock")
        {
            if (!value(arg, v))
                return false;
            options.locks.push_back(v);
        }
        else if (arg == "--remove")
        {
            if (!value(arg, v))
                return false;
            options.bUndo = true;
            options.removals.push_back(v);
        }
        else
        {
            error = "unknown option " + arg;
            return false;
        }
    }
    options.paths.assign(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
    // Only a run that is there to be looked at may drop nothing.
    if (options.paths.empty() && options.nShowMs == 0)
    {
        error = "no path to drop";
        return false;
    }
    return true;
}

const char* DriveUsage()
{
    return "usage: chronoshift-drive [options] path...\n"
           "       chronoshift-drive --show MS [--about]   (the dialog as it starts)\n"
           "  --target m|c|mc|none   select the \"Date to Change:\" item\n"
           "  --subfolders on|off    set \"Process Subfolders\"\n"
           "  --hold FILE            keep FILE open without write sharing during the drops\n"
           "  --lock FILE            keep FILE open without any sharing during the drops\n"
           "  --remove FILE          delete FILE after the drops, before Undo (implies --undo)\n"
           "  --ntfs-times           keep creation times in memory, as NTFS would\n"
           "  --created TIME         with --ntfs-times: every file's creation time, \"YYYY-MM-DD hh:mm:ss\"\n"
           "  --times                print the files' times before and after\n"
           "  --drop-again           drop the same paths a second time\n"
           "  --drop-during          drop the same paths again while the first batch runs\n"
           "  --delete-log           delete the log before the second drop (implies --drop-again)\n"
           "  --undo                 press Undo after the drops and answer Yes\n"
           "  --undo-answer yes|no   press Undo and give this answer\n"
           "  --log FILE             copy of the processing log\n"
           "  --journal FILE         copy of the undo journal after the last drop\n"
           "  --screenshot FILE      the dialog as a 24-bit BMP at the end\n"
           "  --show MS              keep the dialog on screen MS milliseconds at the end\n"
           "  --about                with --show: the about box open in front of it\n";
}
