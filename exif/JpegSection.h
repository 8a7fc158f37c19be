#pragma once

// One marker section held by the reader: the two big-endian length bytes
// followed by the content, exactly as in the file (the marker bytes are not kept).
struct JpegSection
{
    unsigned char* data; // size bytes, owned by the reader; null when the slot is empty
    int type;            // marker code (the byte after 0xFF), -1 when the file ended there
    int size;            // the section's length field, which counts the two length bytes
};
