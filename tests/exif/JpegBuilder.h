#pragma once

#include "Bytes.h"

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
