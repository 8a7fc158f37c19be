#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/Bytes.h"

// Lays out a TIFF structure (byte-order mark, 42, first-directory offset and
// the directories with their out-of-line values) as it sits in an EXIF block.
// Directories follow each other from offset 8 in the order they were added,
// each followed by the values of its entries that take more than four bytes.
class TiffBuilder
{
public:
    explicit TiffBuilder(bool bigEndian = false) : m_bigEndian(bigEndian) {}

    int AddDirectory();

    // The value bytes must already be in the block's byte order.
    void AddEntry(int dir, unsigned tag, unsigned format, uint32_t components, const Bytes& value);
    // An entry whose 4-byte value field is given as is (offsets of any size).
    void AddRawEntry(int dir, unsigned tag, unsigned format, uint32_t components, uint32_t field);
    // A sub-directory link entry (format 4, one component) to another directory.
    void AddLink(int dir, unsigned tag, int target);
    void SetNext(int dir, int target);
    void SetNextRaw(int dir, uint32_t offset);

    void AddAscii(int dir, unsigned tag, const std::string& text);
    void AddShort(int dir, unsigned tag, unsigned value);
    void AddLong(int dir, unsigned tag, uint32_t value);
    void AddRational(int dir, unsigned tag, uint32_t numerator, uint32_t denominator, unsigned format = 5);

    Bytes U16(unsigned value) const;
    Bytes U32(uint32_t value) const;

    uint32_t DirectoryOffset(int dir) const;
    // The TIFF bytes; the stored first-directory offset may be set to any value.
    Bytes Build(uint32_t firstDirectoryOffset = 8) const;

private:
    struct Entry
    {
        unsigned tag;
        unsigned format;
        uint32_t components;
        Bytes value;
        bool raw;
        uint32_t field;
        int target;
    };
    struct Directory
    {
        std::vector<Entry> entries;
        int next = -1;
        bool rawNext = false;
        uint32_t nextField = 0;
    };

    std::vector<uint32_t> Layout() const;

    bool m_bigEndian;
    std::vector<Directory> m_dirs;
};

// The APP1 content of an EXIF block: "Exif", two zero bytes, the TIFF structure.
Bytes ExifContent(const Bytes& tiff);
