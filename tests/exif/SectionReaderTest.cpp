#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "tests/exif/ReaderRun.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

namespace
{
const char kDate[] = "2001:06:09 15:17:32";

// An EXIF block as cameras write it: make and model in the first directory,
// the date in the EXIF sub-directory.
Bytes CameraExif(const std::string& make, const char* date, bool bigEndian = false)
{
    TiffBuilder tiff(bigEndian);
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, make);
    tiff.AddAscii(ifd0, 0x0110, "Model " + make);
    tiff.AddLink(ifd0, 0x8769, exif);
    if (date != nullptr)
        tiff.AddAscii(exif, 0x9003, date);
    return ExifContent(tiff.Build());
}

Bytes Filler(size_t n, uint8_t value = 0x55)
{
    return Bytes(n, value);
}
} // namespace

TEST(SectionReader, TypicalCameraLayoutHoldsNineSectionsAndStopsAtTheScan)
{
    JpegBuilder jpeg;
    jpeg.Soi().Section(0xE1, CameraExif("Canon", kDate)).Section(0xE2, Filler(30)).Section(0xDB, Filler(67));
    jpeg.Frame(0xC0, 480, 640, 3);
    for (int i = 0; i < 4; i++)
        jpeg.Section(0xC4, Filler(28, static_cast<uint8_t>(i)));
    jpeg.Scan().Eoi();

    ReaderRun run(jpeg.Data());
    EXPECT_TRUE(run.result);
    ASSERT_EQ(run.reader.GetSectionCount(), 9);
    const int types[9] = {0xE1, 0xE2, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA};
    for (int i = 0; i < 9; i++)
    {
        const JpegSection& section = run.reader.GetSection(i);
        EXPECT_EQ(section.type, types[i]) << i;
        ASSERT_NE(section.data, nullptr);
        EXPECT_EQ(section.data[0] * 256 + section.data[1], section.size) << i;
    }
    EXPECT_EQ(run.reader.GetSection(9).data, nullptr);
    // Scan data (5 bytes) and EOI (2 bytes) are never read.
    EXPECT_EQ(run.bytesRead, static_cast<long>(jpeg.Data().size()) - 7);
    EXPECT_TRUE(run.info.isExif);
    EXPECT_STREQ(run.info.make, "Canon");
    EXPECT_STREQ(run.info.model, "Model Canon");
    EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    EXPECT_EQ(run.info.height, 480);
    EXPECT_EQ(run.info.width, 640);
    EXPECT_EQ(run.info.isColor, 1);
    EXPECT_EQ(run.info.frameMarker, 0xC0);
    EXPECT_STREQ(run.reader.GetErrorText(), "");
    EXPECT_EQ(run.output, "");
}

TEST(SectionReader, HeaderFailures)
{
    {
        ReaderRun run(Bytes{});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "");
        EXPECT_EQ(run.output, "");
    }
    {
        ReaderRun run(Bytes{0x00, 0xD8, 0xFF, 0xDA, 0x00, 0x02});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "");
        EXPECT_EQ(run.reader.GetSectionCount(), 0);
    }
    {
        ReaderRun run(Bytes{0xFF, 0xD9, 0xFF, 0xDA, 0x00, 0x02});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "");
        EXPECT_EQ(run.output, "");
    }
    {
        // Only FF D8: the end-of-file value becomes the marker code, the length read fails.
        ReaderRun run(Bytes{0xFF, 0xD8});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "invalid marker");
        EXPECT_EQ(run.reader.GetSectionCount(), 0);
        EXPECT_EQ(run.reader.GetSection(0).type, -1);
    }
    for (uint8_t high : {0x00, 0x01})
    {
        // The file ends after the length's high byte.
        ReaderRun run(Bytes{0xFF, 0xD8, 0xFF, 0xE2, high});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "invalid marker") << int(high);
    }
    for (uint8_t low : {0, 1})
    {
        ReaderRun run(Bytes{0xFF, 0xD8, 0xFF, 0xE2, 0x00, low, 0xAA, 0xBB});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "invalid marker") << int(low);
        EXPECT_EQ(run.reader.GetSection(0).data, nullptr);
    }
    {
        // Length 16 but only five content bytes: the buffer stays in its slot.
        ReaderRun run(Bytes{0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x10, 1, 2, 3, 4, 5});
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "Premature end of file?");
        EXPECT_EQ(run.reader.GetSectionCount(), 0);
        const JpegSection& slot = run.reader.GetSection(0);
        ASSERT_NE(slot.data, nullptr);
        EXPECT_EQ(slot.size, 16);
        EXPECT_EQ(slot.data[1], 0x10);
        EXPECT_EQ(slot.data[2], 1);
    }
}

TEST(SectionReader, EmptySectionOfLengthTwoIsHeld)
{
    ReaderRun run(JpegBuilder().Soi().Section(0xE2, {}).Scan().Data());
    EXPECT_TRUE(run.result);
    ASSERT_EQ(run.reader.GetSectionCount(), 2);
    EXPECT_EQ(run.reader.GetSection(0).size, 2);
}

TEST(SectionReader, PaddingBytes)
{
    const Bytes app2 = {0x00, 0x04, 0xAB, 0xCD};
    {
        // FF D8, six 0xFF, then the marker code E2.
        JpegBuilder jpeg;
        jpeg.Soi().Raw(Bytes(6, 0xFF)).Raw({0xE2}).Raw(app2).Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.result);
        ASSERT_EQ(run.reader.GetSectionCount(), 2);
        EXPECT_EQ(run.reader.GetSection(0).type, 0xE2);
        EXPECT_EQ(run.reader.GetSection(0).data[3], 0xCD);
        EXPECT_EQ(run.output, "");
    }
    {
        JpegBuilder jpeg;
        jpeg.Soi().Raw(Bytes(7, 0xFF)).Raw({0xE2}).Raw(app2).Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.output, "too many padding unsigned chars\n");
        EXPECT_EQ(run.Error(), "");
        EXPECT_EQ(run.reader.GetSectionCount(), 0);
    }
    {
        // Padding in front of a later marker counts afresh; the message leaves errorText alone.
        JpegBuilder jpeg;
        jpeg.Soi().Section(0xE1, BytesOf("Exif\x01\x02")).Raw(Bytes(8, 0xFF)).Raw({0xDA}).Raw(app2);
        ReaderRun run(jpeg.Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.output, "too many padding unsigned chars\n");
        EXPECT_EQ(run.Error(), "Incorrect Exif header");
    }
    {
        // No 0xFF prefix at all: the byte itself is the marker code.
        JpegBuilder jpeg;
        jpeg.Soi().Raw({0x12}).Raw(app2).Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.result);
        ASSERT_EQ(run.reader.GetSectionCount(), 2);
        EXPECT_EQ(run.reader.GetSection(0).type, 0x12);
    }
}

TEST(SectionReader, SectionLimit)
{
    {
        JpegBuilder jpeg;
        jpeg.Soi();
        for (int i = 0; i < 25; i++)
            jpeg.Section(0xE2, Filler(10, static_cast<uint8_t>(i)));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "Too many sections in jpg file");
        EXPECT_EQ(run.reader.GetSectionCount(), 20);
        EXPECT_EQ(run.output, "");
        // Reading stopped right after the 20th section.
        EXPECT_EQ(run.bytesRead, 2 + 20 * 14);
    }
    {
        // 19 sections and the scan make 20: still a success.
        JpegBuilder jpeg;
        jpeg.Soi();
        for (int i = 0; i < 19; i++)
            jpeg.Section(0xE2, Filler(3));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.result);
        EXPECT_EQ(run.reader.GetSectionCount(), 20);
        EXPECT_EQ(run.reader.GetSection(19).type, 0xDA);
    }
    {
        JpegBuilder jpeg;
        jpeg.Soi();
        for (int i = 0; i < 20; i++)
            jpeg.Section(0xE2, Filler(3));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "Too many sections in jpg file");
    }
}

TEST(SectionReader, DroppedSectionsDoNotCountTowardTheLimit)
{
    JpegBuilder jpeg;
    jpeg.Soi();
    jpeg.Section(0xE0, BytesOf(std::string("JFIF\0\x01\x01", 7)));
    jpeg.Section(0xE1, BytesOf(std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 42)));
    jpeg.Section(0xE1, BytesOf("Exi")); // too short to carry an EXIF block
    jpeg.Section(0xFE, BytesOf("first"));
    jpeg.Section(0xFE, BytesOf("second"));
    for (int i = 0; i < 18; i++)
        jpeg.Section(0xE2, Filler(4));
    jpeg.Section(0xFE, BytesOf("third"));
    jpeg.Section(0xE0, Filler(5));
    jpeg.Scan();

    ReaderRun run(jpeg.Data());
    EXPECT_TRUE(run.result);
    ASSERT_EQ(run.reader.GetSectionCount(), 20);
    EXPECT_EQ(run.reader.GetSection(0).type, 0xFE);
    EXPECT_EQ(run.reader.GetSection(1).type, 0xE2);
    EXPECT_EQ(run.reader.GetSection(19).type, 0xDA);
    EXPECT_STREQ(run.info.comments, "first");
    EXPECT_FALSE(run.info.isExif);

    // A dropped section's slot is empty again, also when the file ends right after it.
    ReaderRun cut(JpegBuilder().Soi().Section(0xE0, Filler(5)).Data());
    EXPECT_FALSE(cut.result);
    EXPECT_EQ(cut.Error(), "invalid marker");
    EXPECT_EQ(cut.reader.GetSectionCount(), 0);
    EXPECT_EQ(cut.reader.GetSection(0).data, nullptr);
}

TEST(SectionReader, HeldSectionsKeepTheirBytesWhateverTheirSizesAndTheDroppedOnesBetween)
{
    // Small and large sections, dropped ones between them, more bytes in all
    // than a header usually has: each held one must still hold its own bytes.
    struct Part
    {
        int marker;
        size_t length;
        bool held;
    };
    const Part parts[] = {{0xE0, 100, false},   {0xE2, 5000, true}, {0xE0, 3000, false}, {0xE2, 11000, true},
                          {0xE2, 400, true},    {0xE1, 200, false}, {0xE2, 60000, true}, {0xDB, 67, true},
                          {0xE0, 16000, false}, {0xC4, 3000, true}, {0xE2, 1, true}};
    JpegBuilder jpeg;
    jpeg.Soi();
    uint8_t value = 1;
    for (const Part& part : parts)
        jpeg.Section(part.marker, Filler(part.length, value++));
    jpeg.Scan();

    ReaderRun run(jpeg.Data());
    ASSERT_TRUE(run.result);
    int index = 0;
    value = 1;
    for (const Part& part : parts)
    {
        const uint8_t expected = value++;
        if (!part.held)
            continue;
        const JpegSection& section = run.reader.GetSection(index++);
        ASSERT_NE(section.data, nullptr);
        EXPECT_EQ(section.type, part.marker);
        ASSERT_EQ(section.size, static_cast<int>(part.length) + 2);
        EXPECT_EQ(section.data[0] * 256 + section.data[1], section.size);
        EXPECT_EQ(Bytes(section.data + 2, section.data + section.size), Filler(part.length, expected))
            << "section " << index - 1;
    }
    EXPECT_EQ(run.reader.GetSection(index).type, 0xDA);
    EXPECT_EQ(run.reader.GetSectionCount(), index + 1);
}

TEST(SectionReader, EndOfImageBeforeTheScan)
{
    {
        JpegBuilder jpeg;
        jpeg.Soi().Section(0xE1, BytesOf(std::string("Exif\0\x07", 6))).Section(0xE2, Filler(4));
        jpeg.Raw({0xFF, 0xD9, 0x00, 0x02}).Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.output, "No image in jpeg!\n");
        EXPECT_EQ(run.Error(), "Incorrect Exif header");
        ASSERT_EQ(run.reader.GetSectionCount(), 3);
        EXPECT_EQ(run.reader.GetSection(2).type, 0xD9);
    }
    {
        // A bare EOI at the end of the file has no length bytes to read.
        ReaderRun run(JpegBuilder().Soi().Section(0xE2, Filler(4)).Eoi().Data());
        EXPECT_FALSE(run.result);
        EXPECT_EQ(run.Error(), "invalid marker");
        EXPECT_EQ(run.output, "");
    }
}

TEST(SectionReader, TruncatedFileAfterTheExifSectionKeepsTheDate)
{
    JpegBuilder jpeg;
    jpeg.Soi().Section(0xE1, CameraExif("Nikon", kDate)).Raw({0xFF, 0xDB, 0x00, 0x43}).Raw(Filler(20));
    ReaderRun run(jpeg.Data());
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.Error(), "Premature end of file?");
    EXPECT_TRUE(run.info.isExif);
    EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    EXPECT_STREQ(run.info.make, "Nikon");
}

TEST(SectionReader, ExifSectionsInFileOrder)
{
    {
        // The second block overwrites what it sets; the date of the first stays.
        JpegBuilder jpeg;
        jpeg.Soi().Section(0xE1, CameraExif("First", kDate)).Section(0xE1, CameraExif("Second", nullptr));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.result);
        EXPECT_EQ(run.reader.GetSectionCount(), 3);
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.make, "Second");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
    }
    {
        // The last block read decides isExif.
        JpegBuilder jpeg;
        jpeg.Soi().Section(0xE1, CameraExif("First", kDate)).Section(0xE1, BytesOf("Exif\x01\x01"));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.result);
        EXPECT_FALSE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Incorrect Exif header");
        EXPECT_STREQ(run.info.dateTimeOriginal, kDate);
        EXPECT_EQ(run.reader.GetSectionCount(), 3);
    }
    {
        JpegBuilder jpeg;
        jpeg.Soi().Section(0xE1, BytesOf("Exif\x01\x01")).Section(0xE1, CameraExif("Second", kDate));
        jpeg.Scan();
        ReaderRun run(jpeg.Data());
        EXPECT_TRUE(run.info.isExif);
        EXPECT_EQ(run.Error(), "Incorrect Exif header"); // never cleared
    }
}

TEST(SectionReader, BadExifHeaderDoesNotStopTheRead)
{
    JpegBuilder jpeg;
    jpeg.Soi().Section(0xE1, BytesOf("Exif\x12\x34 and more")).Frame(0xC0, 10, 20, 1).Scan();
    ReaderRun run(jpeg.Data());
    EXPECT_TRUE(run.result);
    EXPECT_FALSE(run.info.isExif);
    EXPECT_EQ(run.Error(), "Incorrect Exif header");
    EXPECT_EQ(run.reader.GetSectionCount(), 3);
    EXPECT_EQ(run.info.width, 20);
}

TEST(SectionReader, FrameHeaders)
{
    {
        ReaderRun run(JpegBuilder().Soi().Frame(0xC0, 0x1234, 0x0567, 3).Scan().Data());
        EXPECT_EQ(run.info.height, 0x1234);
        EXPECT_EQ(run.info.width, 0x0567);
        EXPECT_EQ(run.info.isColor, 1);
        EXPECT_EQ(run.info.frameMarker, 0xC0);
    }
    for (unsigned components : {1u, 2u, 4u})
    {
        // Only three components make a colour picture.
        ReaderRun run(JpegBuilder().Soi().Frame(0xC0, 10, 20, components).Scan().Data());
        EXPECT_EQ(run.info.width, 20);
        EXPECT_EQ(run.info.isColor, 0) << components;
    }
    {
        // A later frame header overwrites the earlier one.
        ReaderRun run(JpegBuilder().Soi().Frame(0xC0, 1, 2, 3).Frame(0xC2, 300, 400, 1).Scan().Data());
        EXPECT_EQ(run.info.height, 300);
        EXPECT_EQ(run.info.width, 400);
        EXPECT_EQ(run.info.isColor, 0);
        EXPECT_EQ(run.info.frameMarker, 0xC2);
    }
    for (int marker : {0xC1, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF})
    {
        ReaderRun run(JpegBuilder().Soi().Frame(marker, 7, 9, 3).Scan().Data());
        EXPECT_EQ(run.info.frameMarker, marker);
        EXPECT_EQ(run.info.width, 9);
    }
    for (int marker : {0xC4, 0xC8, 0xCC})
    {
        ReaderRun run(JpegBuilder().Soi().Section(marker, {8, 0, 7, 0, 9, 3}).Scan().Data());
        EXPECT_TRUE(run.result);
        EXPECT_EQ(run.info.frameMarker, 0) << marker;
        EXPECT_EQ(run.info.width, 0) << marker;
    }
    {
        // Eight bytes are enough: the fields end with the component count.
        ReaderRun run(JpegBuilder().Soi().Section(0xC2, {8, 0, 7, 0, 9, 3}).Scan().Data());
        EXPECT_EQ(run.reader.GetSection(0).size, 8);
        EXPECT_EQ(run.info.height, 7);
        EXPECT_EQ(run.info.width, 9);
        EXPECT_EQ(run.info.isColor, 1);
        EXPECT_EQ(run.info.frameMarker, 0xC2);
    }
    {
        // Under 8 bytes the section is held but nothing is taken from it.
        ReaderRun run(JpegBuilder().Soi().Section(0xC0, {8, 0, 7, 0, 9}).Scan().Data());
        EXPECT_TRUE(run.result);
        EXPECT_EQ(run.reader.GetSectionCount(), 2);
        EXPECT_EQ(run.info.width, 0);
        EXPECT_EQ(run.info.height, 0);
        EXPECT_EQ(run.info.frameMarker, 0);
    }
}

TEST(SectionReader, CommentCleaning)
{
    {
        ReaderRun run(JpegBuilder().Soi().Section(0xFE, {'A', 0x0D, 0x0A, 'B', 0x01}).Scan().Data());
        EXPECT_STREQ(run.info.comments, "A\nB?");
    }
    {
        // A lone CR and a CR in the last byte are not text; space, tab, LF and high bytes are.
        ReaderRun run(JpegBuilder()
                          .Soi()
                          .Section(0xFE, {'x', 0x0D, 'y', ' ', 0x09, 0xE9, 0x0A, 0x00, 0x0D})
                          .Scan()
                          .Data());
        EXPECT_STREQ(run.info.comments, "x?y \t\xE9\n??");
    }
    {
        // Only the first 1000 bytes (length bytes included) are used: 998 characters.
        Bytes text(1500, 'c');
        // A CR at buffer position 999 looks at the LF at 1000, still inside the section.
        text[997] = 0x0D;
        text[998] = 0x0A;
        ReaderRun run(JpegBuilder().Soi().Section(0xFE, text).Scan().Data());
        EXPECT_EQ(std::strlen(run.info.comments), 997u);
        EXPECT_EQ(std::string(run.info.comments), std::string(997, 'c'));
    }
    {
        Bytes text(1500, 'd');
        ReaderRun run(JpegBuilder().Soi().Section(0xFE, text).Scan().Data());
        EXPECT_EQ(std::string(run.info.comments), std::string(998, 'd'));
    }
    {
        ExifInfo info{};
        CExifReader reader(&info);
        const unsigned char data[] = {0, 7, 'o', 0x0D, 0x0A, 'k', 0x7F};
        reader.TakeComment(data, 7);
        EXPECT_STREQ(info.comments, "o\nk\x7F");
    }
}

TEST(SectionReader, CommentAndExifBlockOrder)
{
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, "Make");
    const Bytes withoutComment = ExifContent(tiff.Build());
    {
        ReaderRun run(
            JpegBuilder().Soi().Section(0xFE, BytesOf("before")).Section(0xE1, withoutComment).Scan().Data());
        EXPECT_TRUE(run.info.isExif);
        EXPECT_STREQ(run.info.comments, "");
        EXPECT_EQ(run.reader.GetSectionCount(), 3);
    }
    {
        // Even a block that fails its header check starts by emptying the comment.
        ReaderRun run(JpegBuilder()
                          .Soi()
                          .Section(0xFE, BytesOf("before"))
                          .Section(0xE1, BytesOf("Exif\x01\x01"))
                          .Scan()
                          .Data());
        EXPECT_FALSE(run.info.isExif);
        EXPECT_STREQ(run.info.comments, "");
    }
    tiff.AddEntry(ifd0, 0x9286, 7, 8, BytesOf("exif txt"));
    const Bytes withComment = ExifContent(tiff.Build());
    {
        ReaderRun run(
            JpegBuilder().Soi().Section(0xFE, BytesOf("before")).Section(0xE1, withComment).Scan().Data());
        EXPECT_STREQ(run.info.comments, "exif txt");
    }
    {
        ReaderRun run(
            JpegBuilder().Soi().Section(0xE1, withComment).Section(0xFE, BytesOf("after")).Scan().Data());
        EXPECT_STREQ(run.info.comments, "after");
    }
}

TEST(SectionReader, ReaderWithoutCallerRecordOwnsAZeroedOne)
{
    CExifReader reader;
    ASSERT_NE(reader.GetInfo(), nullptr);
    EXPECT_FALSE(reader.GetInfo()->isExif);
    EXPECT_EQ(reader.GetInfo()->width, 0);
    EXPECT_EQ(reader.GetInfo()->thumbnail, nullptr);
    EXPECT_STREQ(reader.GetErrorText(), "");
    EXPECT_EQ(reader.GetSectionCount(), 0);
    for (int i = 0; i < CExifReader::kMaxSections; i++)
        EXPECT_EQ(reader.GetSection(i).data, nullptr);

    const Bytes file = JpegBuilder().Soi().Section(0xE1, CameraExif("Owned", kDate)).Scan().Data();
    FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    std::fwrite(file.data(), 1, file.size(), stream);
    std::rewind(stream);
    EXPECT_TRUE(reader.ReadSections(stream));
    std::fclose(stream);
    EXPECT_STREQ(reader.GetInfo()->dateTimeOriginal, kDate);
}
