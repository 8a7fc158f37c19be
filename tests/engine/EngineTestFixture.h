// A created main dialog whose temporary files go to a folder of the test,
// plus a folder for the test's pictures.
#pragma once

#include "tests/support/Bytes.h"
#include "tests/support/DropFiles.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/LocalTime.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestMainDlg.h"

#include "resources/resource.h"

#include <gtest/gtest.h>

#include <string>

class EngineTest : public testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a picture with that DateTimeOriginal and gives it that last-write time.
    std::string Picture(const std::string& name, const std::string& date, const FILETIME& written);
    std::string Picture(const std::string& name, const std::string& date);

    // Runs ProcessFile on one path; returns its log line (stamp cut off) or "".
    std::string Process(const std::string& path, bool bModified, bool bCreated,
                        const CFolderHandle* pFolder = nullptr);
    // The expected log line of the n-th JPEG file.
    static std::string Line(int n, const std::string& outcome, const std::string& path);
    // The journal's text, read while it is open for the running batch.
    std::string JournalText();

    std::string Modified(const std::string& path);

    TempDir m_temp;
    TempFolderRedirect m_redirect{m_temp.Path()};
    TempDir m_work;
    CTestMainDlg m_dlg;
    int m_nJpgFiles = 0;
    int m_nChanged = 0;
};

std::string Lower(std::string text);
