#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

JpegBuilder& JpegBuilder::Soi()
{
    return Raw({0xFF, 0xD8});
}

JpegBuilder& JpegBuilder::Section(int marker, const Bytes& content)
{
    const size_t length = content.size() + 2;
    m_bytes.push_back(0xFF);
    m_bytes.push_back(static_cast<uint8_t>(marker));
    m_bytes.push_back(static_cast<uint8_t>((length >> 8) & 0xFF));
    m_bytes.push_back(static_cast<uint8_t>(length & 0xFF));
    return Raw(content);
}

JpegBuilder& JpegBuilder::Frame(int marker, unsigned height, unsigned width, unsigned components)
{
    Bytes content{8,
                  static_cast<uint8_t>(height >> 8),
                  static_cast<uint8_t>(height & 0xFF),
                  static_cast<uint8_t>(width >> 8),
                  static_cast<uint8_t>(width & 0xFF),
                  static_cast<uint8_t>(components)};
    for (unsigned i = 0; i < components; i++)
        content += Bytes{static_cast<uint8_t>(i + 1), 0x11, 0};
    return Section(marker, content);
}

JpegBuilder& JpegBuilder::Scan()
{
    Section(0xDA, {1, 1, 0, 0, 63, 0});
    return Raw({0x12, 0x34, 0xFF, 0x00, 0x56});
}

JpegBuilder& JpegBuilder::Eoi()
{
    return Raw({0xFF, 0xD9});
}

JpegBuilder& JpegBuilder::Raw(const Bytes& bytes)
{
    m_bytes += bytes;
    return *this;
}

Bytes JpegWithExif(const Bytes& exifContent)
{
    return JpegBuilder().Soi().Section(0xE1, exifContent).Frame(0xC0, 480, 640, 3).Scan().Eoi().Data();
}

namespace
{
// The scan header for one component, a few bytes of scan data, and EOI.
JpegBuilder& ScanAndEnd(JpegBuilder& jpeg)
{
    return jpeg.Section(0xDA, {1, 1, 0, 0, 63, 0}).Raw({0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}).Eoi();
}
} // namespace

std::string MakeExifJpeg(const std::string& dateTimeOriginal)
{
    // IFD0 at 8 links to the EXIF IFD at 26, whose DateTimeOriginal value
    // lies at 44.
    TiffBuilder tiff;
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    tiff.AddLink(ifd0, 0x8769, exif);
    Bytes value = BytesOf(dateTimeOriginal.substr(0, 20));
    value.resize(20, 0);
    tiff.AddEntry(exif, 0x9003, 2, 20, value);
    JpegBuilder jpeg;
    jpeg.Soi().Section(0xE1, ExifContent(tiff.Build()));
    return TextOf(ScanAndEnd(jpeg).Data());
}

std::string MakePlainJpeg()
{
    // SOI and a comment section, then the scan.
    JpegBuilder jpeg;
    jpeg.Soi().Section(0xFE, BytesOf("hello"));
    return TextOf(ScanAndEnd(jpeg).Data());
}
