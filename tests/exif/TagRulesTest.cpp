#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/exif/ReaderRun.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

namespace
{
std::unique_ptr<ReaderRun> ReadBlock(const TiffBuilder& tiff)
{
    return std::make_unique<ReaderRun>(JpegWithExif(ExifContent(tiff.Build())));
}

Bytes FloatBytes(const TiffBuilder& tiff, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return tiff.U32(bits);
}

Bytes DoubleBytes(const TiffBuilder& tiff, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    const uint32_t low = static_cast<uint32_t>(bits);
    const uint32_t high = static_cast<uint32_t>(bits >> 32);
    // The whole 64 bits in the block's order: most significant half first for "MM".
    const Bytes probe = tiff.U16(1);
    return probe[0] == 0 ? tiff.U32(high) + tiff.U32(low) : tiff.U32(low) + tiff.U32(high);
}
} // namespace

TEST(TagRules, Orientation)
{
    for (unsigned value = 1; value <= 8; value++)
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x0112, value);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.orientation, static_cast<int>(value));
        EXPECT_EQ(run->Error(), "");
    }
    for (unsigned value : {0u, 9u, 0xFFFFu})
    {
        // Out of range: 0 and a message, and the walk goes on to the date.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x0112, 3);
        tiff.AddShort(0, 0x0112, value);
        tiff.AddAscii(0, 0x9003, "2000:01:02 03:04:05");
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.orientation, 0) << value;
        EXPECT_EQ(run->Error(), "Undefined rotation value");
        EXPECT_TRUE(run->info.isExif);
        EXPECT_STREQ(run->info.dateTimeOriginal, "2000:01:02 03:04:05");
    }
}

TEST(TagRules, ResolutionUnits)
{
    const struct
    {
        unsigned unit;
        float inches;
    } cases[] = {{1, 1.0f}, {2, 1.0f}, {3, 0.39370078f}, {4, 0.039370079f}, {5, 0.000039370079f}};
    for (const auto& c : cases)
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x0128, c.unit);
        tiff.AddShort(0, 0xA210, c.unit);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.resolutionUnitInches, c.inches) << c.unit;
        EXPECT_FLOAT_EQ(run->info.focalPlaneUnitInches, c.inches) << c.unit;
    }
    for (unsigned unit : {0u, 6u, 7u})
    {
        // An unknown unit leaves the field as it was.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x0128, unit);
        tiff.AddShort(0, 0xA210, 3);
        tiff.AddShort(0, 0xA210, unit);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.resolutionUnitInches, 0.0f) << unit;
        EXPECT_FLOAT_EQ(run->info.focalPlaneUnitInches, 0.39370078f) << unit;
    }
}

TEST(TagRules, IsoSpeed)
{
    const struct
    {
        unsigned value;
        int expected;
    } cases[] = {{2, 400}, {49, 9800}, {50, 50}, {100, 100}, {0, 0}};
    for (const auto& c : cases)
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x8827, c.value);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.isoSpeed, c.expected) << c.value;
    }
    {
        // A hostile negative speed wraps instead of overflowing.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x8827, 9, 1, tiff.U32(0x80000001u));
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.isoSpeed, static_cast<int32_t>(0x80000001u * 200u));
    }
}

TEST(TagRules, ExposureAndApertureFallbacks)
{
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x829A, 1, 60);
        tiff.AddRational(0, 0x9201, 6, 1, 10);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.exposureTime, 1.0f / 60);
    }
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x9201, 6, 1, 10);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.exposureTime, 1.0f / 64);
    }
    {
        // The fallback comes first and ExposureTime, met later, overwrites it.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x9201, 6, 1, 10);
        tiff.AddRational(0, 0x829A, 1, 125);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.exposureTime, 1.0f / 125);
    }
    for (unsigned tag : {0x9202u, 0x9205u})
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, tag, 5, 1);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.fNumber, static_cast<float>(std::pow(2.0, 2.5))) << tag;
    }
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x829D, 28, 10);
        tiff.AddRational(0, 0x9202, 4, 1);
        tiff.AddRational(0, 0x9205, 2, 1);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.fNumber, 2.8f);
    }
    {
        // Only the first aperture value counts while FNumber is missing.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x9202, 4, 1);
        tiff.AddRational(0, 0x9205, 2, 1);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.fNumber, 4.0f);
    }
}

TEST(TagRules, NumberFormatsInBothByteOrders)
{
    for (bool bigEndian : {false, true})
    {
        TiffBuilder tiff(bigEndian);
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9207, 1, 1, {200});                    // unsigned byte
        tiff.AddEntry(0, 0x9208, 6, 1, {0xFB});                   // signed byte
        tiff.AddEntry(0, 0x8822, 8, 1, tiff.U16(0xFFFE));         // signed 16-bit
        tiff.AddEntry(0, 0x9102, 9, 1, tiff.U32(0xFFFFFF85u));    // signed 32-bit
        tiff.AddEntry(0, 0x920A, 11, 1, FloatBytes(tiff, 35.5f)); // float
        tiff.AddEntry(0, 0x9206, 12, 1, DoubleBytes(tiff, 2.25)); // double
        tiff.AddRational(0, 0x9204, 0xFFFFFFFFu, 3, 10);          // -1/3
        tiff.AddRational(0, 0x9203, 7, 2);                        // 3.5
        tiff.AddEntry(0, 0x011A, 4, 1, tiff.U32(4000000000u));    // unsigned 32-bit
        tiff.AddEntry(0, 0x011B, 3, 1, tiff.U16(300));            // unsigned 16-bit
        tiff.AddEntry(0, 0xA20E, 2, 4, BytesOf("123"));           // text is no number
        tiff.AddEntry(0, 0xA20F, 7, 4, {1, 2, 3, 4});             // nor are undefined bytes
        auto run = ReadBlock(tiff);
        const ExifInfo& info = run->info;
        EXPECT_EQ(info.meteringMode, 200) << bigEndian;
        EXPECT_EQ(info.lightSource, -5) << bigEndian;
        EXPECT_EQ(info.exposureProgram, -2) << bigEndian;
        EXPECT_EQ(info.compressedBitsPerPixel, -123) << bigEndian;
        EXPECT_FLOAT_EQ(info.focalLength, 35.5f) << bigEndian;
        EXPECT_FLOAT_EQ(info.subjectDistance, 2.25f) << bigEndian;
        EXPECT_FLOAT_EQ(info.exposureBias, -1.0f / 3) << bigEndian;
        EXPECT_FLOAT_EQ(info.brightness, 3.5f) << bigEndian;
        EXPECT_FLOAT_EQ(info.xResolution, 4e9f) << bigEndian;
        EXPECT_FLOAT_EQ(info.yResolution, 300.0f) << bigEndian;
        EXPECT_EQ(info.focalPlaneXRes, 0.0f) << bigEndian;
        EXPECT_EQ(info.focalPlaneYRes, 0.0f) << bigEndian;
    }
}

TEST(TagRules, FirstOfSeveralComponents)
{
    // Values longer than four bytes lie out of line; the number is their first component.
    for (bool bigEndian : {false, true})
    {
        TiffBuilder t(bigEndian);
        const struct
        {
            unsigned format;
            uint32_t components;
            Bytes value;
            float number;
        } cases[] = {
            {1, 5, {7, 1, 1, 1, 1}, 7},
            {6, 5, {0xF9, 1, 1, 1, 1}, -7},
            {3, 3, t.U16(300) + t.U16(1) + t.U16(1), 300},
            {8, 3, t.U16(0xFFFE) + t.U16(1) + t.U16(1), -2},
            {4, 2, t.U32(70000) + t.U32(1), 70000},
            {9, 2, t.U32(static_cast<uint32_t>(-9)) + t.U32(1), -9},
            {11, 2, FloatBytes(t, 1.5f) + FloatBytes(t, 9.0f), 1.5f},
            {5, 2, t.U32(3) + t.U32(2) + t.U32(9) + t.U32(1), 1.5f},
            {10, 2, t.U32(static_cast<uint32_t>(-3)) + t.U32(2) + t.U32(9) + t.U32(1), -1.5f},
            {12, 2, DoubleBytes(t, 2.5) + DoubleBytes(t, 9.0), 2.5f},
        };
        for (const auto& c : cases)
        {
            TiffBuilder tiff(bigEndian);
            tiff.AddDirectory();
            tiff.AddEntry(0, 0x920A, c.format, c.components, c.value);
            auto run = ReadBlock(tiff);
            EXPECT_TRUE(run->info.isExif);
            EXPECT_EQ(run->info.focalLength, c.number) << c.format << " " << bigEndian;
        }
    }
}

TEST(TagRules, WholeNumbersAndZeroDenominators)
{
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x920A, 5, 0);
        tiff.AddRational(0, 0x9204, 5, 0, 10);
        tiff.AddRational(0, 0x8822, 7, 2);                     // 3.5 truncates to 3
        tiff.AddRational(0, 0x9207, 0xFFFFFFF9u, 2, 10);       // -3.5 truncates to -3
        tiff.AddEntry(0, 0x9208, 4, 1, tiff.U32(0xFFFFFFFFu)); // beyond 32-bit signed
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.focalLength, 0.0f);
        EXPECT_EQ(run->info.exposureBias, 0.0f);
        EXPECT_EQ(run->info.exposureProgram, 3);
        EXPECT_EQ(run->info.meteringMode, -3);
        EXPECT_EQ(run->info.lightSource, INT32_MIN);
    }
}

TEST(TagRules, EntriesWithoutComponentsStillGiveTheirFirstComponent)
{
    for (bool bigEndian : {false, true})
    {
        TiffBuilder tiff(bigEndian);
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9207, 1, 0, {200});
        tiff.AddEntry(0, 0x9208, 6, 0, {0xFB});
        tiff.AddEntry(0, 0x8827, 3, 0, tiff.U16(2));
        tiff.AddEntry(0, 0x9102, 4, 0, tiff.U32(17));
        tiff.AddEntry(0, 0x8822, 8, 0, tiff.U16(0xFFFE));
        tiff.AddEntry(0, 0x9209, 9, 0, tiff.U32(1));
        tiff.AddEntry(0, 0x920A, 11, 0, FloatBytes(tiff, 35.5f));
        tiff.AddEntry(0, 0x0112, 3, 0, tiff.U16(6));
        auto run = ReadBlock(tiff);
        const ExifInfo& info = run->info;
        EXPECT_TRUE(info.isExif) << bigEndian;
        EXPECT_EQ(info.meteringMode, 200) << bigEndian;
        EXPECT_EQ(info.lightSource, -5) << bigEndian;
        EXPECT_EQ(info.isoSpeed, 400) << bigEndian;
        EXPECT_EQ(info.compressedBitsPerPixel, 17) << bigEndian;
        EXPECT_EQ(info.exposureProgram, -2) << bigEndian;
        EXPECT_EQ(info.flashUsed, 1) << bigEndian;
        EXPECT_FLOAT_EQ(info.focalLength, 35.5f) << bigEndian;
        EXPECT_EQ(info.orientation, 6) << bigEndian;
        EXPECT_EQ(run->Error(), "") << bigEndian;
    }
    {
        // Orientation 9 without components is still out of range.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x0112, 3);
        tiff.AddRawEntry(0, 0x0112, 3, 0, 9);
        tiff.AddAscii(0, 0x9003, "2000:01:02 03:04:05");
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.orientation, 0);
        EXPECT_EQ(run->Error(), "Undefined rotation value");
        EXPECT_TRUE(run->info.isExif);
        EXPECT_STREQ(run->info.dateTimeOriginal, "2000:01:02 03:04:05");
    }
    {
        // A rational takes eight bytes: the denominator is the next entry's tag and format.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddRational(0, 0x829D, 28, 10);
        tiff.AddRawEntry(0, 0x829D, 5, 0, 5 * 0x10000);
        tiff.AddRawEntry(0, 0x0000, 1, 1, 0);
        auto run = ReadBlock(tiff);
        EXPECT_TRUE(run->info.isExif);
        EXPECT_FLOAT_EQ(run->info.fNumber, 5.0f);
    }
    for (unsigned format : {5u, 10u, 12u})
    {
        // Those eight bytes reach past the block here: the entry gives no number.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x829D, 11, 1, FloatBytes(tiff, 2.8f));
        tiff.AddRawEntry(0, 0x829D, format, 0, 0x40000000u);
        Bytes bytes = tiff.Build();
        bytes.resize(bytes.size() - 4); // no room for the next-directory offset
        ReaderRun run(JpegWithExif(ExifContent(bytes)));
        EXPECT_TRUE(run.info.isExif) << format;
        EXPECT_FLOAT_EQ(run.info.fNumber, 2.8f) << format;
        // With bytes after the block, a read past its end would give a number.
        BlockParse parse(ExifContent(bytes), tiff.U32(1));
        EXPECT_TRUE(parse.result) << format;
        EXPECT_FLOAT_EQ(parse.info.fNumber, 2.8f) << format;
    }
}

TEST(TagRules, Flash)
{
    const struct
    {
        unsigned value;
        int fired;
    } cases[] = {{0x00, 0}, {0x01, 1}, {0x04, 1}, {0x05, 1}, {0x07, 1},
                 {0x10, 0}, {0x18, 0}, {0x19, 1}, {0x06, 1}};
    for (const auto& c : cases)
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0x9209, c.value);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.flashUsed, c.fired) << c.value;
    }
    {
        // Each block starts from "not fired".
        TiffBuilder fired;
        fired.AddDirectory();
        fired.AddShort(0, 0x9209, 1);
        TiffBuilder silent;
        silent.AddDirectory();
        silent.AddAscii(0, 0x010F, "x");
        JpegBuilder jpeg;
        jpeg.Soi()
            .Section(0xE1, ExifContent(fired.Build()))
            .Section(0xE1, ExifContent(silent.Build()))
            .Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_EQ(run.info.flashUsed, 0);
    }
}

TEST(TagRules, SensorWidthFromPixelDimensionsAndFocalPlane)
{
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddLong(0, 0xA002, 2048);
        tiff.AddLong(0, 0xA003, 1536);
        tiff.AddRational(0, 0xA20E, 2048000, 1000);
        tiff.AddRational(0, 0xA20F, 1536000, 1000);
        tiff.AddShort(0, 0xA210, 2);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.focalPlaneXRes, 2048.0f);
        EXPECT_EQ(run->info.focalPlaneYRes, 1536.0f);
        EXPECT_FLOAT_EQ(run->info.ccdWidth, 1.0f);
    }
    {
        // Worked out in double precision and rounded once: in single precision
        // the product would round first and the result differ in its last bit.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0xA002, 1000);
        tiff.AddRational(0, 0xA20E, 1008, 1);
        tiff.AddShort(0, 0xA210, 3);
        auto run = ReadBlock(tiff);
        const float inches = run->info.focalPlaneUnitInches;
        EXPECT_EQ(inches, 0.39370078f);
        EXPECT_EQ(run->info.ccdWidth, static_cast<float>(1000.0 * inches / 1008.0));
        EXPECT_EQ(run->info.ccdWidth, 0.390576184f);
    }
    {
        // The larger dimension is used, whichever tag carries it; centimetre units.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0xA002, 1200);
        tiff.AddShort(0, 0xA003, 1600);
        tiff.AddRational(0, 0xA20E, 800, 1);
        tiff.AddShort(0, 0xA210, 3);
        auto run = ReadBlock(tiff);
        EXPECT_FLOAT_EQ(run->info.ccdWidth, static_cast<float>(1600 * (1 / 2.54f) / 800.0));
    }
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddShort(0, 0xA002, 1200);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.ccdWidth, 0.0f);
    }
}

TEST(TagRules, UserComment)
{
    // Each block carries the comment "First", then the value under test, then
    // (when given) a value of an unknown tag that follows it directly in the block.
    const struct
    {
        std::string value;
        std::string after;
        std::string expected;
    } cases[] = {
        {std::string("ASCII\0\0\0Hello   ", 16), "", "Hello"},
        {std::string("ASCII  \0 Word", 13), "", "Word"},
        {std::string(300, 'z'), "", std::string(199, 'z')},
        {std::string("ASCII\0\0\0", 8) + std::string(300, 'a'), "", std::string(199, 'a')},
        // A blank text after the prefix leaves the comment as the block had it.
        {std::string("ASCII\0\0 \0 \0\0   ", 15), "", "First"},
        {std::string("ASCII\0\0\0\0\0Late", 14), "", "First"},
        // Positions 5 to 9 are looked at in the block, past the value's own bytes.
        {std::string("ASCII\0\0\0", 8), std::string("Hello\0", 6), "Hello"},
        {std::string("ASCII\0\0\0\0", 9), std::string("Later", 5), "Later"},
        // A value of four bytes or less lies in the entry; its trailing spaces go too.
        {"AB  ", "", "AB"},
        {"    ", "", ""},
    };
    for (const auto& c : cases)
    {
        const Bytes value = BytesOf(c.value);
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9286, 7, 6, BytesOf(std::string("First", 6)));
        tiff.AddEntry(0, 0x9286, 7, static_cast<uint32_t>(value.size()), value);
        if (!c.after.empty())
            tiff.AddEntry(0, 0x9999, 7, static_cast<uint32_t>(c.after.size()), BytesOf(c.after));
        auto run = ReadBlock(tiff);
        EXPECT_TRUE(run->info.isExif);
        EXPECT_EQ(std::string(run->info.comments), c.expected) << c.value.size() << " " << c.after;
    }
    {
        // The trailing spaces were zeroed in the held section itself.
        const Bytes value = BytesOf(std::string("ASCII\0\0\0Hello   ", 16));
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9286, 7, static_cast<uint32_t>(value.size()), value);
        auto run = ReadBlock(tiff);
        const JpegSection& section = run->reader.GetSection(0);
        const unsigned char* block = section.data + 2 + 6;
        const uint32_t at = tiff.Build().size() - value.size();
        EXPECT_EQ(std::memcmp(block + at, "ASCII\0\0\0Hello\0\0\0", 16), 0);
    }
    {
        // An empty value is left alone and copied as it stands in the entry.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9286, 7, 0, BytesOf("    "));
        auto run = ReadBlock(tiff);
        EXPECT_TRUE(run->info.isExif);
        EXPECT_STREQ(run->info.comments, "    ");
    }
    {
        // The prefix, too, is looked for in the block: "ASCI" in the entry and the
        // "I" of the next-directory offset after it. That offset fails the block,
        // but the comment is already taken.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9286, 7, 4, BytesOf("ASCI"));
        tiff.SetNextRaw(0, 'I' | 'O' << 8 | 'K' << 16);
        auto run = ReadBlock(tiff);
        EXPECT_FALSE(run->info.isExif);
        EXPECT_STREQ(run->info.comments, "OK");
    }
    for (const std::string& tail : {std::string("ASCII"), std::string("ASCII\0\0", 7)})
    {
        // The prefix at the very end of the block: nothing past the end is looked
        // at, so the earlier comment stays.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x9286, 7, 6, BytesOf(std::string("First", 6)));
        tiff.AddEntry(0, 0x9286, 7, static_cast<uint32_t>(tail.size()), BytesOf(tail));
        {
            auto run = ReadBlock(tiff);
            EXPECT_TRUE(run->info.isExif);
            EXPECT_STREQ(run->info.comments, "First") << tail.size();
        }
        BlockParse parse(ExifContent(tiff.Build()), BytesOf("Beyond"));
        EXPECT_TRUE(parse.result);
        EXPECT_STREQ(parse.info.comments, "First") << tail.size();
    }
}

TEST(TagRules, Thumbnail)
{
    const Bytes picture = {0xFF, 0xD8, 0xFF, 0xDB, 1, 2, 3, 4, 5, 0xFF, 0xD9};
    for (uint32_t components : {1u, 0u})
    {
        // The thumbnail lies after the directories, found through the next directory;
        // entries without components still give their value.
        TiffBuilder placed;
        placed.AddDirectory();
        placed.AddDirectory();
        placed.SetNext(0, 1);
        placed.AddEntry(1, 0x0201, 4, components, placed.U32(0));
        placed.AddEntry(1, 0x0202, 4, components, placed.U32(static_cast<uint32_t>(picture.size())));
        const uint32_t at = static_cast<uint32_t>(placed.Build().size());
        placed = TiffBuilder();
        placed.AddDirectory();
        placed.AddDirectory();
        placed.SetNext(0, 1);
        placed.AddEntry(1, 0x0201, 4, components, placed.U32(at));
        placed.AddEntry(1, 0x0202, 4, components, placed.U32(static_cast<uint32_t>(picture.size())));
        ReaderRun run(JpegWithExif(ExifContent(placed.Build() + picture)));
        const unsigned char* block = run.reader.GetSection(0).data + 2 + 6;
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.info.thumbnail, block + at) << components;
        EXPECT_EQ(run.info.thumbnailSize, picture.size()) << components;
        ASSERT_NE(run.info.thumbnail, nullptr);
        EXPECT_EQ(Bytes(run.info.thumbnail, run.info.thumbnail + run.info.thumbnailSize), picture);
    }
    const struct
    {
        uint32_t offset;
        uint32_t size;
    } refused[] = {{0, 11},          {30, 0},         {30, 5000}, {0x7FFFFFFFu, 0x7FFFFFFFu},
                   {0xFFFFFFFCu, 8}, {8, 0xFFFFFFF0u}};
    for (const auto& c : refused)
    {
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddLong(0, 0x0201, c.offset);
        tiff.AddLong(0, 0x0202, c.size);
        auto run = ReadBlock(tiff);
        EXPECT_TRUE(run->info.isExif);
        EXPECT_EQ(run->info.thumbnail, nullptr) << c.offset << " " << c.size;
        EXPECT_EQ(run->info.thumbnailSize, 0u);
    }
    {
        // A negative offset (signed format) would point before the block.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x0201, 9, 1, tiff.U32(static_cast<uint32_t>(-4)));
        tiff.AddLong(0, 0x0202, 8);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.thumbnail, nullptr);
    }
    {
        // Offset and length must come from the same directory.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddDirectory();
        tiff.SetNext(0, 1);
        tiff.AddLong(0, 0x0201, 8);
        tiff.AddLong(1, 0x0202, 4);
        auto run = ReadBlock(tiff);
        EXPECT_EQ(run->info.thumbnail, nullptr);
    }
}
