// The bytes of a held picture for the reader, taken from its handle a block
// at a time: the reader asks for a few bytes at once, the system is asked
// rarely. Each request to the system costs about as much as copying a few
// KiB under Wine, so the block holds a whole typical header.
#pragma once

#include "exif/ByteSource.h"
#include "framework/CHeldFile.h"

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
        while (done < count)
        {
            if (m_nPos == m_nFilled)
            {
                // The rest of a long section goes straight to the caller, in
                // one request, rather than a block at a time through here.
                if (count - done >= sizeof(m_buffer))
                    return done + ReadDirect(buffer + done, count - done);
                if (!Fill())
                    break;
            }
            size_t take = count - done < m_nFilled - m_nPos ? count - done : m_nFilled - m_nPos;
            std::memcpy(buffer + done, m_buffer + m_nPos, take);
            m_nPos += take;
            done += take;
        }
        return done;
    }

private:
    size_t ReadDirect(unsigned char* buffer, size_t count)
    {
        const size_t kMaxRequest = 0x40000000;
        size_t done = 0;
        while (done < count && !m_bEnd)
        {
            const size_t want = count - done < kMaxRequest ? count - done : kMaxRequest;
            const DWORD nRead = m_file.Read(buffer + done, static_cast<DWORD>(want));
            m_bEnd = nRead == 0;
            done += nRead;
        }
        return done;
    }

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
    // The whole header of most pictures, up to their scan: one request.
    unsigned char m_buffer[16384];
    size_t m_nPos = 0;
    size_t m_nFilled = 0;
    bool m_bEnd = false;
};
