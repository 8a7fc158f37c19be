#include "tests/driver/DriveApp.h"

#include "tests/driver/DriveDlg.h"
#include "tests/driver/DriveOptions.h"
#include "tests/driver/FileTimesReport.h"
#include "tests/driver/FullPath.h"
#include "tests/support/NtfsLikeTimeStore.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

CDriveApp theDriveApp;

namespace
{
// The arguments in the process code page, the way the program sees paths.
std::vector<std::string> ReadArguments()
{
    std::vector<std::string> args;
    int nArgs = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &nArgs);
    if (argv == nullptr)
        return args;
    for (int i = 1; i < nArgs; ++i)
    {
        const int cb = WideCharToMultiByte(CP_ACP, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(cb > 0 ? static_cast<size_t>(cb) : 1, '\0');
        if (cb > 0)
            WideCharToMultiByte(CP_ACP, 0, argv[i], -1, &arg[0], cb, nullptr, nullptr);
        arg.resize(strlen(arg.c_str()));
        args.push_back(arg);
    }
    LocalFree(argv);
    return args;
}

// Gives every file under the paths the same creation time in the store, as if
// they had all been made then.
void SeedCreationTimes(NtfsLikeTimeStore& store, const DriveOptions& options)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    sscanf(options.strCreated.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s);
    FILETIME ft;
    if (!CTime(y, mo, d, h, mi, s).GetAsFileTime(ft))
        return;
    std::vector<std::string> paths;
    for (const std::string& path : options.paths)
        paths.push_back(FullPath(path));
    for (const std::string& file : ListFilesUnder(paths))
        store.SetCreated(file.c_str(), ft);
}
} // namespace

BOOL CDriveApp::InitInstance()
{
    DriveOptions options;
    std::string error;
    if (!ParseDriveOptions(ReadArguments(), options, error))
    {
        fprintf(stderr, "chronoshift-drive: %s\n%s", error.c_str(), DriveUsage());
        fflush(stderr);
        m_nExitCode = 2;
        return FALSE;
    }

    // Creation times kept in memory like NTFS keeps them, for the whole run.
    std::unique_ptr<NtfsLikeTimeStore> pStore;
    if (options.bNtfsTimes)
        pStore = std::make_unique<NtfsLikeTimeStore>();
    if (pStore && !options.strCreated.empty())
        SeedCreationTimes(*pStore, options);

    CDriveDlg dlg(options);
    m_pMainWnd = &dlg;
    const INT_PTR nResult = dlg.DoModal();
    m_pMainWnd = nullptr;
    if (nResult == -1)
        printf("dialog: could not be created\n");
    else
    {
        dlg.ReportClosed();
        m_nExitCode = dlg.GetExitCode();
    }
    fflush(stdout);
    return FALSE;
}

int CDriveApp::ExitInstance()
{
    CWinApp::ExitInstance();
    return m_nExitCode;
}
