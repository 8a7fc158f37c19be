#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/exif/ReaderRun.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

namespace
{
const char kDate[] = "2003:12:24 18:30:05";

Bytes Le16(unsigned v)
{
    return {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>(v >> 8)};
}

Bytes Le32(uint32_t v)
{
    return {static_cast<uint8_t>(v & 0xFF), static_cast<uint8_t>((v >> 8) & 0xFF),
            static_cast<uint8_t>((v >> 16) & 0xFF), static_cast<uint8_t>(v >> 24)};
}

Bytes LeEntry(unsigned tag, unsigned format, uint32_t components, uint32_t value)
{
    return Le16(tag) + Le16(format) + Le32(components) + Le32(value);
}

// The smallest useful block, laid out by hand: 64 bytes after the offset base.
Bytes MinimalBlock()
{
    Bytes tiff = BytesOf("II") + Le16(42) + Le32(8);
    tiff += Le16(1) + LeEntry(0x8769, 4, 1, 26) + Le32(0);
    tiff += Le16(1) + LeEntry(0x9003, 2, 20, 44) + Le32(0);
    tiff += BytesOf(kDate) + Bytes{0};
    return ExifContent(tiff);
}

// A one-directory block with the given entries, date included after them.
TiffBuilder DateInFirstDirectory(bool bigEndian = false)
{
    TiffBuilder tiff(bigEndian);
    const int ifd0 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x9003, kDate);
    return tiff;
}
} // namespace

TEST(ExifBlock, MinimalBlockAndTheSameBlockOneByteShort)
{
    const Bytes content = MinimalBlock();
    ASSERT_EQ(content.size(), 70u);
    {
        ReaderRun run(JpegWithExif(content));
        EXPECT_TRUE(run.result);
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_EQ(run.reader.GetSection(0).size, 72);
        EXPECT_EQ(run.Error(), "");
    }
    {
        // Section length 71: the date's last byte falls outside; the failure stays in the sub-directory.
        const Bytes shortContent(content.begin(), content.end() - 1);
        ReaderRun run(JpegWithExif(shortContent));
        EXPECT_EQ(run.reader.GetSection(0).size, 71);
        EXPECT_TRUE(run.result);
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, "");
        EXPECT_EQ(run.Error(), "Illegal pointer offset value in EXIF.");
    }
}

TEST(ExifBlock, DateInTheExifSubDirectoryInBothByteOrders)
{
    for (bool bigEndian : {false, true})
    {
        TiffBuilder tiff(bigEndian);
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddAscii(ifd0, 0x010F, "Maker");
        tiff.AddShort(ifd0, 0x0112, 6);
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddAscii(exif, 0x9003, kDate);
        tiff.AddRational(exif, 0x829A, 1, 250);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif) << bigEndian;
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate) << bigEndian;
        EXPECT_STREQ(run.info.make, "Maker");
        EXPECT_EQ(run.info.orientation, 6);
        EXPECT_FLOAT_EQ(run.info.exposureTime, 1.0f / 250);
    }
}

TEST(ExifBlock, FirstDirectoryOffset)
{
    const TiffBuilder tiff = DateInFirstDirectory();
    for (uint32_t offset : {8u, 10u, 16u})
    {
        // Any accepted value reads the directory at offset 8.
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build(offset))));
        EXPECT_TRUE(run.info.isExif) << offset;
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate) << offset;
    }
    for (uint32_t offset : {0u, 7u, 17u, 20u, 0xFFFFFFFFu})
    {
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build(offset))));
        EXPECT_FALSE(run.info.isExif) << offset;
        EXPECT_EQ(run.Error(), "Suspicious offset of first IFD value") << offset;
        EXPECT_STREQ(run.info.dateTimeOriginal, "");
        EXPECT_TRUE(run.result);
    }
}

TEST(ExifBlock, HeaderFailures)
{
    struct Case
    {
        std::string content;
        const char* message;
    };
    const Case cases[] = {
        {std::string("Exif\0\x01II*\0\x08\0\0\0", 14), "Incorrect Exif header"},
        {std::string("Exif\0\0IM*\0\x08\0\0\0", 14), "Invalid Exif alignment marker."},
        {std::string("Exif\0\0II+\0\x08\0\0\0", 14), "Invalid Exif start (1)"},
        {std::string("Exif\0\0MM*\0\0\0\0\x08", 14), "Invalid Exif start (1)"},
        // Blocks too short for a header field fail with that field's message.
        {std::string("Exif", 4), "Incorrect Exif header"},
        {std::string("Exif\0", 5), "Incorrect Exif header"},
        {std::string("Exif\0\0", 6), "Invalid Exif alignment marker."},
        {std::string("Exif\0\0I", 7), "Invalid Exif alignment marker."},
        {std::string("Exif\0\0II", 8), "Invalid Exif start (1)"},
        {std::string("Exif\0\0II*", 9), "Invalid Exif start (1)"},
        {std::string("Exif\0\0II*\0", 10), "Suspicious offset of first IFD value"},
        {std::string("Exif\0\0II*\0\x08\0\0", 13), "Suspicious offset of first IFD value"},
        // Header complete, but no room for the first directory's entry count.
        {std::string("Exif\0\0II*\0\x08\0\0\0", 14), "Illegally sized directory"},
        {std::string("Exif\0\0II*\0\x08\0\0\0\x01", 15), "Illegally sized directory"},
        // One entry announced, none there.
        {std::string("Exif\0\0II*\0\x08\0\0\0\x01\0", 16), "Illegally sized directory"},
    };
    for (const Case& c : cases)
    {
        ReaderRun run(JpegWithExif(BytesOf(c.content)));
        EXPECT_TRUE(run.result) << c.message;
        EXPECT_FALSE(run.info.isExif) << c.content.size();
        EXPECT_EQ(run.Error(), c.message) << c.content.size();
    }
}

TEST(ExifBlock, ParseCalledDirectlyWithShortLengths)
{
    // A whole block with an empty first directory, cut by the section length
    // alone: each check sees only the bytes the length gives it, and lengths
    // below 8 must not turn into huge block lengths.
    const Bytes content = BytesOf(std::string("Exif\0\0II*\0\x08\0\0\0\0\0\0\0\0\0", 20));
    const struct
    {
        int length;
        const char* message;
    } cases[] = {
        {-5, "Incorrect Exif header"},
        {0, "Incorrect Exif header"},
        {2, "Incorrect Exif header"},
        {7, "Incorrect Exif header"},
        {8, "Invalid Exif alignment marker."},
        {9, "Invalid Exif alignment marker."},
        {10, "Invalid Exif start (1)"},
        {11, "Invalid Exif start (1)"},
        {12, "Suspicious offset of first IFD value"},
        {15, "Suspicious offset of first IFD value"},
        {16, "Illegally sized directory"},
        {17, "Illegally sized directory"},
        {18, nullptr}, // the entry count fits; the next-directory offset does not
        {22, nullptr},
    };
    for (const auto& c : cases)
    {
        ExifInfo info{};
        CExifReader reader(&info);
        Bytes buffer = content;
        EXPECT_EQ(reader.ParseExifBlock(buffer.data(), c.length), c.message == nullptr) << c.length;
        EXPECT_STREQ(reader.GetErrorText(), c.message == nullptr ? "" : c.message) << c.length;
    }
}

TEST(ExifBlock, DateTimeWithoutDateTimeOriginal)
{
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x0132, "2005:01:01 00:00:00");
    tiff.AddLink(ifd0, 0x8769, exif);
    tiff.AddAscii(exif, 0x9004, "2005:01:01 00:00:01");
    ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
    EXPECT_TRUE(run.info.isExif);
    EXPECT_STREQ(run.info.dateTimeOriginal, "");
}

TEST(ExifBlock, DateTextLengths)
{
    struct Case
    {
        Bytes value;
        const char* expected;
    };
    const Case cases[] = {
        {BytesOf(kDate) + Bytes{0}, kDate},
        {BytesOf("2003:12:24 18:30:05 and more"), kDate},
        {BytesOf("2003:12:24") + Bytes{0}, "2003:12:24"},
        {BytesOf("2003:12:24 18:30:05\0ZZZZ"), kDate},
        {BytesOf("abc"), "abc"},
    };
    for (const Case& c : cases)
    {
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddEntry(ifd0, 0x9003, 2, static_cast<uint32_t>(c.value.size()), c.value);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_STREQ(run.info.dateTimeOriginal, c.expected);
    }
    {
        // Text at the very end of the block without a zero byte: the copy stops at the block's end.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddEntry(ifd0, 0x9003, 2, 7, BytesOf("2003:12"));
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_STREQ(run.info.dateTimeOriginal, "2003:12");
    }
    {
        // A one-component text value in the entry is read up to the block's end, not its count.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddEntry(ifd0, 0x9003, 2, 1, BytesOf("AB"));
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_STREQ(run.info.dateTimeOriginal, "AB");
    }
}

TEST(ExifBlock, EntryFailures)
{
    for (unsigned format : {0u, 13u, 0xFFFFu})
    {
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddAscii(ifd0, 0x010F, "Before");
        tiff.AddRawEntry(ifd0, 0x0110, format, 1, 0);
        tiff.AddAscii(ifd0, 0x9003, kDate);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_FALSE(run.info.isExif) << format;
        EXPECT_EQ(run.Error(), "Illegal format code in EXIF dir");
        // What was stored before the failure stays; the rest of the directory is abandoned.
        EXPECT_STREQ(run.info.make, "Before");
        EXPECT_STREQ(run.info.dateTimeOriginal, "");
    }
    struct Case
    {
        unsigned format;
        uint32_t components;
        uint32_t offset;
    };
    const Case cases[] = {
        {2, 30, 200},           // just past the end
        {2, 0x20, 0xFFFFFFF0u}, // the sum wraps in 32 bits
        {4, 0x40000000u, 8},    // the byte count is 2^32
        {12, 0xFFFFFFFFu, 8},   // the byte count needs 35 bits
        {5, 0x20000000u, 0},    // 2^32 again, from rationals
        {7, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
    {
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddRawEntry(ifd0, 0x9003, c.format, c.components, c.offset);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_FALSE(run.info.isExif) << c.components;
        EXPECT_EQ(run.Error(), "Illegal pointer offset value in EXIF.") << c.components;
    }
    {
        // A value that ends exactly at the block's end is fine.
        TiffBuilder tiff = DateInFirstDirectory();
        const Bytes tiffBytes = tiff.Build();
        ReaderRun run(JpegWithExif(ExifContent(tiffBytes)));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
}

TEST(ExifBlock, DirectoryCountBeyondTheBlock)
{
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    tiff.AddLink(ifd0, 0x8769, exif);
    tiff.AddAscii(exif, 0x9003, kDate);
    Bytes bytes = tiff.Build();
    // The sub-directory claims 0xFFFF entries.
    const uint32_t at = tiff.DirectoryOffset(exif);
    bytes[at] = 0xFF;
    bytes[at + 1] = 0xFF;
    ReaderRun run(JpegWithExif(ExifContent(bytes)));
    EXPECT_TRUE(run.info.isExif);
    EXPECT_EQ(run.Error(), "Illegally sized directory");
    EXPECT_STREQ(run.info.dateTimeOriginal, "");
}

TEST(ExifBlock, DirectoriesThatEndExactlyAtTheBlockEnd)
{
    {
        // The first directory's entries end at the block's end: no next-directory offset.
        TiffBuilder tiff;
        tiff.AddDirectory();
        tiff.AddEntry(0, 0x010F, 2, 3, BytesOf(std::string("ab", 3)));
        Bytes bytes = tiff.Build();
        bytes.resize(bytes.size() - 4);
        ReaderRun run(JpegWithExif(ExifContent(bytes)));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.make, "ab");
        EXPECT_EQ(run.Error(), "");
    }
    {
        // A linked directory of no entries whose count is the block's last two bytes.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int empty = tiff.AddDirectory();
        tiff.AddLink(ifd0, 0x8769, empty);
        tiff.AddAscii(ifd0, 0x9003, kDate);
        Bytes bytes = tiff.Build();
        bytes.resize(bytes.size() - 4);
        ASSERT_EQ(tiff.DirectoryOffset(empty) + 2, bytes.size());
        ReaderRun run(JpegWithExif(ExifContent(bytes)));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_EQ(run.Error(), "");
    }
    {
        // The last directory's next-directory offset is the block's last four
        // bytes; it leads back to a directory nothing else links to.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int dated = tiff.AddDirectory();
        const int last = tiff.AddDirectory();
        tiff.AddAscii(dated, 0x9003, kDate);
        tiff.SetNext(ifd0, last);
        tiff.SetNext(last, dated);
        const Bytes bytes = tiff.Build();
        ASSERT_EQ(tiff.DirectoryOffset(last) + 6, bytes.size());
        ReaderRun run(JpegWithExif(ExifContent(bytes)));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_EQ(run.Error(), "");
    }
    {
        // A next directory at the block's very end is not beyond it: it is
        // walked, found too small, and only that walk fails.
        TiffBuilder tiff = DateInFirstDirectory();
        tiff.SetNextRaw(0, static_cast<uint32_t>(tiff.Build().size()));
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Illegally sized directory");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
}

TEST(ExifBlock, EachBlockStartsAfresh)
{
    // Two blocks of the same layout: the second's sub-directory lies where the
    // first's did and is walked again; its smaller pixel size is the one used.
    const auto block = [](uint32_t pixels, const char* date)
    {
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddLong(ifd0, 0xA002, pixels);
        tiff.AddRational(ifd0, 0xA20E, 1000, 1);
        tiff.AddShort(ifd0, 0xA210, 2);
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddAscii(exif, 0x9003, date);
        return ExifContent(tiff.Build());
    };
    const Bytes first = block(4000, "1999:01:01 00:00:00");
    const Bytes second = block(1000, kDate);
    ASSERT_EQ(first.size(), second.size());
    ReaderRun run(JpegBuilder().Soi().Section(0xE1, first).Section(0xE1, second).Scan().Data());
    EXPECT_TRUE(run.info.isExif);
    EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    EXPECT_EQ(run.info.ccdWidth, 1.0f);
    EXPECT_EQ(run.Error(), "");
}

TEST(ExifBlock, DirectoryLinks)
{
    {
        // An EXIF link beyond the block fails the first directory.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddRawEntry(ifd0, 0x8769, 4, 1, 5000);
        tiff.AddAscii(ifd0, 0x010F, "After");
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_FALSE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
        EXPECT_STREQ(run.info.make, "");
    }
    for (uint32_t far : {0x7FFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFF8u})
    {
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        tiff.AddRawEntry(ifd0, 0x8769, 4, 1, far);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_FALSE(run.info.isExif) << far;
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
    }
    {
        // A bad interoperability link inside the EXIF sub-directory stays local.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddAscii(ifd0, 0x010F, "Make");
        tiff.AddAscii(exif, 0x9003, kDate);
        tiff.AddRawEntry(exif, 0xA005, 4, 1, 0xFFFFFFF0u);
        tiff.AddAscii(exif, 0x9000, "0220");
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_STREQ(run.info.make, "Make");
        EXPECT_STREQ(run.info.exifVersion, ""); // after the failed link: abandoned
    }
    {
        // A next-directory offset beyond the block fails the directory holding it.
        TiffBuilder tiff = DateInFirstDirectory();
        tiff.SetNextRaw(0, 0xFFFFFFFFu);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_FALSE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
    {
        // The next directory is walked; its values come after the first directory's.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int ifd1 = tiff.AddDirectory();
        tiff.AddAscii(ifd0, 0x010F, "First");
        tiff.AddAscii(ifd1, 0x010F, "Second");
        tiff.SetNext(ifd0, ifd1);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.make, "Second");
    }
    {
        // A link to the block's very end: an empty directory there is too small.
        TiffBuilder tiff = DateInFirstDirectory();
        const int ifd0 = 0;
        Bytes probe = tiff.Build();
        tiff.AddRawEntry(ifd0, 0x8769, 4, 1, static_cast<uint32_t>(probe.size() + 12));
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Illegally sized directory");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
}

TEST(ExifBlock, LinksThatLoopEnd)
{
    {
        // The first directory names itself as the next one.
        TiffBuilder tiff = DateInFirstDirectory();
        tiff.SetNext(0, 0);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.result);
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
    }
    {
        // EXIF sub-directory links back to the first directory, whose next is the sub-directory.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.SetNext(ifd0, exif);
        tiff.AddAscii(exif, 0x9003, kDate);
        tiff.AddLink(exif, 0xA005, ifd0);
        tiff.AddLink(exif, 0x8769, exif);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
    {
        // Many links in one directory to one other directory, which links back:
        // it is walked once, at the first link, so the make set between the
        // first and the second link stands.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddAscii(ifd0, 0x010F, "First directory");
        for (int i = 1; i < 2000; i++)
            tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddLink(exif, 0x8769, ifd0);
        tiff.AddAscii(exif, 0x010F, "Sub-directory");
        tiff.AddShort(exif, 0x8827, 2);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.make, "First directory");
        EXPECT_EQ(run.info.isoSpeed, 400);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
    }
    {
        // A sub-directory linking back to the first directory does not walk it
        // again: the aperture fallback of the first directory stays unused.
        TiffBuilder tiff;
        const int ifd0 = tiff.AddDirectory();
        const int exif = tiff.AddDirectory();
        tiff.AddRational(ifd0, 0x9202, 2, 1);
        tiff.AddLink(ifd0, 0x8769, exif);
        tiff.AddRational(exif, 0x829D, 0, 1);
        tiff.AddLink(exif, 0xA005, ifd0);
        ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.info.fNumber, 0.0f);
        EXPECT_EQ(run.Error(), "Illegal subdirectory link");
    }
}

TEST(ExifBlock, DeepNestingIsCutOff)
{
    // A chain of directories, each linking to the next: the walk takes at most
    // kMaxDirectories of them, so a date far down the chain is not reached.
    for (bool viaNext : {false, true})
    {
        for (int depth : {10, CExifReader::kMaxDirectories, CExifReader::kMaxDirectories + 1, 3000})
        {
            TiffBuilder tiff;
            int previous = tiff.AddDirectory();
            for (int i = 1; i < depth; i++)
            {
                const int dir = tiff.AddDirectory();
                if (viaNext)
                    tiff.SetNext(previous, dir);
                else
                    tiff.AddLink(previous, 0x8769, dir);
                previous = dir;
            }
            tiff.AddAscii(previous, 0x9003, kDate);
            const Bytes content = ExifContent(tiff.Build());
            ASSERT_LE(content.size() + 2, 0xFFFFu);
            ReaderRun run(JpegWithExif(content));
            EXPECT_TRUE(run.info.isExif) << depth;
            if (depth <= CExifReader::kMaxDirectories)
                EXPECT_STREQ(run.info.dateTimeOriginal, kDate) << depth;
            else
            {
                EXPECT_STREQ(run.info.dateTimeOriginal, "") << depth;
                EXPECT_EQ(run.Error(), "Illegal subdirectory link") << depth;
            }
        }
    }
}

TEST(ExifBlock, ExifVersionMakeAndModelAreCut)
{
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, std::string(50, 'M'));
    tiff.AddAscii(ifd0, 0x0110, std::string(60, 'm'));
    tiff.AddEntry(ifd0, 0x9000, 7, 4, BytesOf("0220"));
    ReaderRun run(JpegWithExif(ExifContent(tiff.Build())));
    EXPECT_EQ(std::string(run.info.make), std::string(31, 'M'));
    EXPECT_EQ(std::string(run.info.model), std::string(39, 'm'));
    EXPECT_STREQ(run.info.exifVersion, "0220");
}
