#include <cstddef>
#include <type_traits>

#include <gtest/gtest.h>

#include "exif/ExifReader.h"

// The record is cleared with memset and shared with the date-change code:
// it stays a plain struct with its fields in the agreed order and sizes.
TEST(RecordLayout, ExifInfoIsPlainWithFieldsInOrder)
{
    EXPECT_TRUE(std::is_trivially_copyable<ExifInfo>::value);
    EXPECT_TRUE(std::is_standard_layout<ExifInfo>::value);
    const size_t offsets[] = {
        offsetof(ExifInfo, exifVersion),
        offsetof(ExifInfo, make),
        offsetof(ExifInfo, model),
        offsetof(ExifInfo, dateTimeOriginal),
        offsetof(ExifInfo, height),
        offsetof(ExifInfo, width),
        offsetof(ExifInfo, orientation),
        offsetof(ExifInfo, isColor),
        offsetof(ExifInfo, frameMarker),
        offsetof(ExifInfo, flashUsed),
        offsetof(ExifInfo, focalLength),
        offsetof(ExifInfo, exposureTime),
        offsetof(ExifInfo, fNumber),
        offsetof(ExifInfo, subjectDistance),
        offsetof(ExifInfo, ccdWidth),
        offsetof(ExifInfo, exposureBias),
        offsetof(ExifInfo, lightSource),
        offsetof(ExifInfo, meteringMode),
        offsetof(ExifInfo, exposureProgram),
        offsetof(ExifInfo, isoSpeed),
        offsetof(ExifInfo, compressedBitsPerPixel),
        offsetof(ExifInfo, focalPlaneXRes),
        offsetof(ExifInfo, focalPlaneYRes),
        offsetof(ExifInfo, focalPlaneUnitInches),
        offsetof(ExifInfo, xResolution),
        offsetof(ExifInfo, yResolution),
        offsetof(ExifInfo, resolutionUnitInches),
        offsetof(ExifInfo, brightness),
        offsetof(ExifInfo, comments),
        offsetof(ExifInfo, thumbnail),
        offsetof(ExifInfo, thumbnailSize),
        offsetof(ExifInfo, isExif),
    };
    for (size_t i = 1; i < sizeof(offsets) / sizeof(offsets[0]); i++)
        EXPECT_LT(offsets[i - 1], offsets[i]) << i;

    ExifInfo info{};
    EXPECT_EQ(sizeof(info.exifVersion), 5u);
    EXPECT_EQ(sizeof(info.make), 32u);
    EXPECT_EQ(sizeof(info.model), 40u);
    EXPECT_EQ(sizeof(info.dateTimeOriginal), 20u);
    EXPECT_EQ(sizeof(info.comments), 1000u);
    EXPECT_EQ(sizeof(info.height), 4u);
    EXPECT_EQ(sizeof(info.focalLength), 4u);
    EXPECT_EQ(sizeof(info.thumbnailSize), 4u);

    CExifReader reader(&info);
    EXPECT_EQ(sizeof(reader.errorText), 256u);
    EXPECT_EQ(reader.GetInfo(), &info);
}
