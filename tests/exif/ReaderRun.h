#pragma once

#include <string>

#include "Bytes.h"
#include "ExifReader.h"

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
