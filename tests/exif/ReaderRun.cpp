#include "tests/exif/ReaderRun.h"

#include <cstdio>

#include <gtest/gtest.h>

ReaderRun::ReaderRun(const Bytes& file)
{
    FILE* stream = std::tmpfile();
    if (stream == nullptr)
    {
        ADD_FAILURE() << "no temporary file";
        return;
    }
    if (!file.empty() && std::fwrite(file.data(), 1, file.size(), stream) != file.size())
        ADD_FAILURE() << "temporary file not written";
    std::rewind(stream);

    testing::internal::CaptureStdout();
    result = reader.ReadSections(stream);
    output = testing::internal::GetCapturedStdout();
    bytesRead = std::ftell(stream);
    std::fclose(stream);

    // Standard output of a Windows program turns each LF into CR LF.
    std::string plain;
    for (char c : output)
    {
        if (c != '\r')
            plain += c;
    }
    output = plain;
}

BlockParse::BlockParse(const Bytes& content, const Bytes& beyond) : buffer(content + beyond)
{
    // The length field counts its own two bytes.
    result = reader.ParseExifBlock(buffer.data(), static_cast<int>(content.size()) + 2);
}
