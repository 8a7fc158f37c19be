#pragma once

#include <string>

#include "exif/ExifReader.h"
#include "tests/support/Bytes.h"

// Runs one reader over the given file bytes, read back through a temporary
// file, and keeps the reader alive so that its sections can be inspected.
struct ReaderRun
{
    explicit ReaderRun(const Bytes& file);

    ExifInfo info{};
    CExifReader reader{&info};
    bool result = false;
    std::string output;  // what the read wrote to standard output
    long bytesRead = -1; // stream position after the read
    std::string Error() const { return reader.GetErrorText(); }
};

// Parses one EXIF block (APP1 content) lying in a buffer that goes on past the
// block's end with the given bytes, so that a read past the end shows in the record.
struct BlockParse
{
    BlockParse(const Bytes& content, const Bytes& beyond);

    ExifInfo info{};
    CExifReader reader{&info};
    Bytes buffer;
    bool result = false;
    std::string Error() const { return reader.GetErrorText(); }
};
