// The bytes of a held picture for the reader, taken from its handle a block
// at a time: the reader asks for a few bytes at once, the system is asked
// rarely.
#pragma once

#include "ByteSource.h"
#include "CHeldFile.h"

#include <cstring>

class CPictureSource : public CByteSource
{
public:
    explicit CPictureSource(CHeldFile& file) : m_file(file) {}

    int GetByte() override
    {
        if (m_nPos == m_nFilled && !Fill())
            return EOF;
        return m_buffer[m_nPos++];
    }

    size_t Read(unsigned char* buffer, size_t count) override
    {
        size_t done = 0;
        while (done < count && (m_nPos < m_nFilled || Fill()))
        {
            size_t take = count - done < m_nFilled - m_nPos ? count - done : m_nFilled - m_nPos;
            std::memcpy(buffer + done, m_buffer + m_nPos, take);
            m_nPos += take;
            done += take;
        }
        return done;
    }

private:
    bool Fill()
    {
        if (m_bEnd)
            return false;
        m_nPos = 0;
        m_nFilled = m_file.Read(m_buffer, sizeof(m_buffer));
        m_bEnd = m_nFilled == 0;
        return !m_bEnd;
    }

    CHeldFile& m_file;
    // The block size of the C library's streams, which the reader used before.
    unsigned char m_buffer[4096];
    size_t m_nPos = 0;
    size_t m_nFilled = 0;
    bool m_bEnd = false;
};
