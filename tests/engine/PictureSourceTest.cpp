#include "framework/CHeldFile.h"
#include "exif/ExifReader.h"
#include "engine/PictureSource.h"

#include "tests/support/JpegBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/TiffBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::string Pattern(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

Bytes Filler(size_t size, uint8_t first)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(first + i);
    return bytes;
}
} // namespace

TEST(PictureSourceTest, GivesTheFileInOrderWhateverTheSizesAskedFor)
{
    TempDir dir;
    const std::string content = Pattern(70000);
    CString path = dir.Write("pattern.jpg", content);
    CHeldFile file;
    ASSERT_TRUE(file.Open(path));
    CPictureSource source(file);

    // Small pieces across the first block's end; a long request that finds
    // the block used up, one that starts inside a block, and one past the end.
    std::string got;
    auto read = [&](size_t count)
    {
        std::vector<unsigned char> buffer(count + 1, 0xEE);
        size_t n = source.Read(buffer.data(), count);
        EXPECT_EQ(0xEE, buffer[count]) << "wrote past the request of " << count;
        got.append(reinterpret_cast<const char*>(buffer.data()), n);
        return n;
    };
    got += static_cast<char>(source.GetByte());
    got += static_cast<char>(source.GetByte());
    EXPECT_EQ(16000u, read(16000));
    EXPECT_EQ(382u, read(382));
    EXPECT_EQ(20000u, read(20000));
    got += static_cast<char>(source.GetByte());
    EXPECT_EQ(7u, read(7));
    EXPECT_EQ(16384u, read(16384));
    const size_t rest = content.size() - got.size();
    EXPECT_EQ(rest, read(100000));
    EXPECT_EQ(content, got);

    EXPECT_EQ(0u, read(10));
    EXPECT_EQ(EOF, source.GetByte());
}

TEST(PictureSourceTest, TheReaderFindsTheSectionsAfterOnesLongerThanTheBlock)
{
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    tiff.AddLink(ifd0, 0x8769, exif);
    tiff.AddAscii(exif, 0x9003, "2011:12:13 14:15:16");
    // Sections of the longest size a marker allows and of one block and a bit,
    // around the EXIF block and before the frame header.
    JpegBuilder jpeg;
    jpeg.Soi()
        .Section(0xE2, Filler(65533, 1))
        .Section(0xE1, ExifContent(tiff.Build()))
        .Section(0xE3, Filler(16390, 2))
        .Frame(0xC0, 480, 640, 3)
        .Scan()
        .Eoi();
    TempDir dir;
    CString path = dir.Write("long.jpg", TextOf(jpeg.Data()));

    CHeldFile file;
    ASSERT_TRUE(file.Open(path));
    CPictureSource source(file);
    ExifInfo info = {};
    CExifReader reader(&info);
    EXPECT_TRUE(reader.ReadSections(source));
    EXPECT_TRUE(info.isExif);
    EXPECT_STREQ("2011:12:13 14:15:16", info.dateTimeOriginal);
    EXPECT_EQ(640, info.width);
    EXPECT_EQ(480, info.height);
}
