#include "tests/support/TiffBuilder.h"

int TiffBuilder::AddDirectory()
{
    m_dirs.emplace_back();
    return static_cast<int>(m_dirs.size()) - 1;
}

void TiffBuilder::AddEntry(int dir, unsigned tag, unsigned format, uint32_t components, const Bytes& value)
{
    m_dirs[dir].entries.push_back(Entry{tag, format, components, value, false, 0, -1});
}

void TiffBuilder::AddRawEntry(int dir, unsigned tag, unsigned format, uint32_t components, uint32_t field)
{
    m_dirs[dir].entries.push_back(Entry{tag, format, components, Bytes(), true, field, -1});
}

void TiffBuilder::AddLink(int dir, unsigned tag, int target)
{
    m_dirs[dir].entries.push_back(Entry{tag, 4, 1, Bytes(), false, 0, target});
}

void TiffBuilder::SetNext(int dir, int target)
{
    m_dirs[dir].next = target;
    m_dirs[dir].rawNext = false;
}

void TiffBuilder::SetNextRaw(int dir, uint32_t offset)
{
    m_dirs[dir].rawNext = true;
    m_dirs[dir].nextField = offset;
}

void TiffBuilder::AddAscii(int dir, unsigned tag, const std::string& text)
{
    Bytes value = BytesOf(text);
    value.push_back(0);
    AddEntry(dir, tag, 2, static_cast<uint32_t>(value.size()), value);
}

void TiffBuilder::AddShort(int dir, unsigned tag, unsigned value)
{
    AddEntry(dir, tag, 3, 1, U16(value));
}

void TiffBuilder::AddLong(int dir, unsigned tag, uint32_t value)
{
    AddEntry(dir, tag, 4, 1, U32(value));
}

void TiffBuilder::AddRational(int dir, unsigned tag, uint32_t numerator, uint32_t denominator,
                              unsigned format)
{
    AddEntry(dir, tag, format, 1, U32(numerator) + U32(denominator));
}

Bytes TiffBuilder::U16(unsigned value) const
{
    const uint8_t lo = static_cast<uint8_t>(value & 0xFF);
    const uint8_t hi = static_cast<uint8_t>((value >> 8) & 0xFF);
    return m_bigEndian ? Bytes{hi, lo} : Bytes{lo, hi};
}

Bytes TiffBuilder::U32(uint32_t value) const
{
    Bytes out(4);
    for (int i = 0; i < 4; i++)
    {
        const uint8_t b = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
        out[m_bigEndian ? 3 - i : i] = b;
    }
    return out;
}

std::vector<uint32_t> TiffBuilder::Layout() const
{
    std::vector<uint32_t> offsets;
    uint32_t pos = 8;
    for (const Directory& d : m_dirs)
    {
        offsets.push_back(pos);
        pos += static_cast<uint32_t>(2 + 12 * d.entries.size() + 4);
        for (const Entry& e : d.entries)
        {
            if (!e.raw && e.target < 0 && e.value.size() > 4)
                pos += static_cast<uint32_t>(e.value.size());
        }
    }
    return offsets;
}

uint32_t TiffBuilder::DirectoryOffset(int dir) const
{
    return Layout()[dir];
}

Bytes TiffBuilder::Build(uint32_t firstDirectoryOffset) const
{
    const std::vector<uint32_t> offsets = Layout();
    Bytes out = m_bigEndian ? BytesOf("MM") : BytesOf("II");
    out += U16(42);
    out += U32(firstDirectoryOffset);
    for (size_t d = 0; d < m_dirs.size(); d++)
    {
        const Directory& dir = m_dirs[d];
        uint32_t dataPos = offsets[d] + static_cast<uint32_t>(2 + 12 * dir.entries.size() + 4);
        Bytes data;
        out += U16(static_cast<unsigned>(dir.entries.size()));
        for (const Entry& e : dir.entries)
        {
            out += U16(e.tag);
            out += U16(e.format);
            out += U32(e.components);
            if (e.raw)
                out += U32(e.field);
            else if (e.target >= 0)
                out += U32(offsets[e.target]);
            else if (e.value.size() > 4)
            {
                out += U32(dataPos);
                dataPos += static_cast<uint32_t>(e.value.size());
                data += e.value;
            }
            else
            {
                Bytes field = e.value;
                field.resize(4, 0);
                out += field;
            }
        }
        if (dir.rawNext)
            out += U32(dir.nextField);
        else
            out += U32(dir.next >= 0 ? offsets[dir.next] : 0);
        out += data;
    }
    return out;
}

Bytes ExifContent(const Bytes& tiff)
{
    return Bytes{'E', 'x', 'i', 'f', 0, 0} + tiff;
}
