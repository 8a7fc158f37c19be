#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exif/ExifReader.h"

namespace
{
const std::string kFolder = std::string(CHRONOSHIFT_TESTDATA_DIR) + "/cameras/";

struct Expected
{
    std::string file, make, model, date, orientation;
};

// Some cameras pad make and model with spaces; the reader keeps the text as
// stored, while expected.tsv lists it trimmed.
std::string WithoutTrailingSpaces(const char* text)
{
    std::string s = text;
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::vector<Expected> LoadExpected()
{
    std::vector<Expected> rows;
    std::ifstream in(kFolder + "expected.tsv");
    std::string line;
    std::getline(in, line); // column names
    while (std::getline(in, line))
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t'))
            fields.push_back(field);
        if (fields.size() != 5)
        {
            ADD_FAILURE() << "malformed row: " << line;
            continue;
        }
        rows.push_back({fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return rows;
}
} // namespace

TEST(CameraPictures, EachGivesTheExpectedMakeModelDateAndOrientation)
{
    const std::vector<Expected> rows = LoadExpected();
    ASSERT_EQ(rows.size(), 15u);
    int withExif = 0;
    for (const Expected& row : rows)
    {
        SCOPED_TRACE(row.file);
        FILE* stream = std::fopen((kFolder + row.file).c_str(), "rb");
        ASSERT_NE(stream, nullptr);
        ExifInfo info{};
        CExifReader reader(&info);
        const bool result = reader.ReadSections(stream);
        std::fclose(stream);

        // Every sample is a complete picture: the reader reaches its scan.
        EXPECT_TRUE(result) << reader.GetErrorText();
        if (row.make == "-")
        {
            EXPECT_FALSE(info.isExif);
            EXPECT_STREQ(info.dateTimeOriginal, "");
            continue;
        }
        withExif++;
        EXPECT_TRUE(info.isExif);
        EXPECT_EQ(WithoutTrailingSpaces(info.make), row.make);
        EXPECT_EQ(WithoutTrailingSpaces(info.model), row.model);
        EXPECT_EQ(info.dateTimeOriginal, row.date);
        EXPECT_EQ(info.orientation, std::atoi(row.orientation.c_str()));
        EXPECT_GT(info.width, 0);
        EXPECT_GT(info.height, 0);
    }
    EXPECT_EQ(withExif, 13);
}
