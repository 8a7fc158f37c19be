// The version details of the shipped program, read back from its file the
// way Explorer's Properties page reads them.
#include "resources/Version.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{
std::vector<char> ReadVersionBlock(const char* path)
{
    DWORD dwHandle = 0;
    const DWORD dwSize = ::GetFileVersionInfoSizeA(path, &dwHandle);
    std::vector<char> block(dwSize);
    if (dwSize == 0 || !::GetFileVersionInfoA(path, 0, dwSize, block.data()))
        block.clear();
    return block;
}

std::string StringField(std::vector<char>& block, const char* name)
{
    char* value = nullptr;
    UINT length = 0;
    const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || !value)
        return "<missing>";
    return std::string(value, length > 0 ? length - 1 : 0);
}

const WORD kVersion[] = {CHRONOSHIFT_VERSION_NUMBERS};
} // namespace

TEST(VersionInfoTest, TheProgramCarriesItsVersionDetails)
{
    std::vector<char> block = ReadVersionBlock(CHRONOSHIFT_PROGRAM_PATH);
    ASSERT_FALSE(block.empty()) << "no version resource in " << CHRONOSHIFT_PROGRAM_PATH;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(MAKELONG(kVersion[1], kVersion[0]), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(kVersion[1], kVersion[0]), fixed->dwProductVersionMS);
    EXPECT_EQ(0u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);

    EXPECT_EQ(CHRONOSHIFT_VERSION_DOTTED, StringField(block, "FileVersion"));
    EXPECT_EQ(CHRONOSHIFT_VERSION_DOTTED, StringField(block, "ProductVersion"));
    EXPECT_EQ("Chronoshift", StringField(block, "ProductName"));
    EXPECT_EQ("chronoshift.exe", StringField(block, "OriginalFilename"));
    EXPECT_EQ("Copyright (C) The Chronoshift authors", StringField(block, "LegalCopyright"));
    EXPECT_EQ("Chronoshift: sets the dates of JPEG files to the moment they were taken",
              StringField(block, "FileDescription"));
    // The dotted text and the numbers come from the one version source.
    EXPECT_EQ(std::string(CHRONOSHIFT_VERSION) + ".0.0", StringField(block, "FileVersion"));
}
