#pragma once

#include "tests/support/Bytes.h"

// Writes the marker sections of a JPEG file one after another.
class JpegBuilder
{
public:
    JpegBuilder& Soi();
    // FF, the marker code and the two length bytes, which count themselves.
    JpegBuilder& Section(int marker, const Bytes& content);
    // A frame header: precision 8, lines, samples per line, components.
    JpegBuilder& Frame(int marker, unsigned height, unsigned width, unsigned components);
    // A scan header for one component followed by a few bytes of scan data.
    JpegBuilder& Scan();
    JpegBuilder& Eoi();
    JpegBuilder& Raw(const Bytes& bytes);

    const Bytes& Data() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// SOI, an APP1 section with the given EXIF block content, a frame header and a scan.
Bytes JpegWithExif(const Bytes& exifContent);

// A picture that carries nothing but an EXIF DateTimeOriginal: SOI, an APP1
// block (little-endian, IFD0 -> EXIF IFD -> 0x9003), SOS, a little scan data
// and EOI. The date is stored in a 20-byte value: longer texts are cut by the
// reader, an empty one reads as a missing date.
std::string MakeExifJpeg(const std::string& dateTimeOriginal);
// A JPEG stream without any APP1 section.
std::string MakePlainJpeg();
