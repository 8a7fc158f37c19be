// Writes a few built JPEG files into the given folder as fuzzing seeds.
#include <cstdio>
#include <string>

#include "tests/support/Bytes.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

namespace
{
TiffBuilder CameraTiff(bool bigEndian, uint32_t thumbnailAt, uint32_t thumbnailSize)
{
    TiffBuilder tiff(bigEndian);
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    const int interop = tiff.AddDirectory();
    const int ifd1 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, "Maker");
    tiff.AddAscii(ifd0, 0x0110, "Model 1");
    tiff.AddShort(ifd0, 0x0112, 1);
    tiff.AddRational(ifd0, 0x011A, 72, 1);
    tiff.AddRational(ifd0, 0x011B, 72, 1);
    tiff.AddShort(ifd0, 0x0128, 2);
    tiff.AddLink(ifd0, 0x8769, exif);
    tiff.SetNext(ifd0, ifd1);
    tiff.AddRational(exif, 0x829A, 1, 60);
    tiff.AddRational(exif, 0x829D, 28, 10);
    tiff.AddShort(exif, 0x8822, 2);
    tiff.AddShort(exif, 0x8827, 100);
    tiff.AddEntry(exif, 0x9000, 7, 4, BytesOf("0220"));
    tiff.AddAscii(exif, 0x9003, "2001:06:09 15:17:32");
    tiff.AddRational(exif, 0x9102, 3, 1);
    tiff.AddRational(exif, 0x9201, 6, 1, 10);
    tiff.AddRational(exif, 0x9202, 3, 1);
    tiff.AddRational(exif, 0x9203, 1, 2, 10);
    tiff.AddRational(exif, 0x9204, 0, 1, 10);
    tiff.AddRational(exif, 0x9205, 3, 1);
    tiff.AddRational(exif, 0x9206, 5, 2);
    tiff.AddShort(exif, 0x9207, 5);
    tiff.AddShort(exif, 0x9208, 1);
    tiff.AddShort(exif, 0x9209, 1);
    tiff.AddRational(exif, 0x920A, 35, 1);
    tiff.AddEntry(exif, 0x9286, 7, 16, BytesOf(std::string("ASCII\0\0\0Hello   ", 16)));
    tiff.AddLong(exif, 0xA002, 640);
    tiff.AddLong(exif, 0xA003, 480);
    tiff.AddLink(exif, 0xA005, interop);
    tiff.AddRational(exif, 0xA20E, 2000, 1);
    tiff.AddRational(exif, 0xA20F, 2000, 1);
    tiff.AddShort(exif, 0xA210, 2);
    tiff.AddAscii(interop, 0x0001, "R98");
    tiff.AddLong(ifd1, 0x0201, thumbnailAt);
    tiff.AddLong(ifd1, 0x0202, thumbnailSize);
    return tiff;
}

// A camera-like block with make, model, every known tag, the three links and a thumbnail.
Bytes CameraBlock(bool bigEndian)
{
    const Bytes thumbnail = {0xFF, 0xD8, 0xFF, 0xD9};
    const uint32_t size = static_cast<uint32_t>(thumbnail.size());
    // The layout does not depend on the values, so a first build gives the thumbnail's offset.
    const uint32_t at = static_cast<uint32_t>(CameraTiff(bigEndian, 0, size).Build().size());
    return ExifContent(CameraTiff(bigEndian, at, size).Build() + thumbnail);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: fuzz_make_seeds <folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = true;
    ok &= WriteBytes(folder + "seed-camera-le.jpg", JpegWithExif(CameraBlock(false)));
    ok &= WriteBytes(folder + "seed-camera-be.jpg", JpegWithExif(CameraBlock(true)));
    JpegBuilder mixed;
    mixed.Soi().Section(0xE0, BytesOf("JFIF")).Section(0xFE, {'A', 0x0D, 0x0A, 'B', 0x01});
    mixed.Section(0xE1, CameraBlock(false)).Section(0xE2, Bytes(20, 1)).Frame(0xC2, 100, 200, 1).Scan();
    ok &= WriteBytes(folder + "seed-mixed.jpg", mixed.Data());
    return ok ? 0 : 1;
}
