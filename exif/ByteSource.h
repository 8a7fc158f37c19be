// Where the reader takes a picture's bytes from: a C stream, or anything
// else that can hand out bytes in order (the program reads through the
// handle it already holds, without a stream around it).
#pragma once

#include <cstddef>
#include <cstdio>

class CByteSource
{
public:
    virtual ~CByteSource() = default;
    // The next byte, or EOF at the end or on an error.
    virtual int GetByte() = 0;
    // Up to count bytes; fewer only at the end or on an error.
    virtual size_t Read(unsigned char* buffer, size_t count) = 0;
};

// A binary stream, read from its current position; not closed.
class CStreamByteSource : public CByteSource
{
public:
    explicit CStreamByteSource(FILE* stream) : m_stream(stream) {}
    int GetByte() override { return std::fgetc(m_stream); }
    size_t Read(unsigned char* buffer, size_t count) override
    {
        return std::fread(buffer, 1, count, m_stream);
    }

private:
    FILE* m_stream;
};
