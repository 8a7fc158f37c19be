#pragma once

#include <cstdio>

#include "exif/ByteSource.h"
#include "exif/ExifInfo.h"
#include "exif/JpegSection.h"

// Reads the marker sections of one JPEG file up to the start of the scan and
// walks the EXIF directories of its APP1 sections into an ExifInfo record.
// One reader serves one file: construct, ReadSections once, read the record, destroy.
class CExifReader
{
public:
    static const int kMaxSections = 20;
    static const int kMaxPadding = 6;
    static const int kMaxDirectories = 64;

    explicit CExifReader(ExifInfo* info = nullptr);
    ~CExifReader();
    CExifReader(const CExifReader&) = delete;
    CExifReader& operator=(const CExifReader&) = delete;

    // Reads from the current position of a binary stream; true when the
    // start-of-scan section was reached. The stream is not closed.
    bool ReadSections(FILE* stream);
    // The same from any source of the file's bytes.
    bool ReadSections(CByteSource& source);

    const char* GetErrorText() const { return errorText; }
    ExifInfo* GetInfo() const { return info; }
    int GetSectionCount() const { return sectionCount; }
    const JpegSection& GetSection(int index) const { return sections[index]; }

    // Section handlers, called by ReadSections for held sections.
    void TakeFrameHeader(const unsigned char* data, int marker, int size);
    void TakeComment(const unsigned char* data, int length);

    // EXIF block of an APP1 section: content follows the two length bytes,
    // length is the section's length field. Rewrites trailing spaces of a
    // UserComment in place, so the content must be writable.
    bool ParseExifBlock(unsigned char* content, int length);

    // First component of a value as a number, in the block's byte order.
    double ValueAsNumber(const unsigned char* value, int format) const;
    unsigned ReadU16(const unsigned char* p) const;
    int ReadS32(const unsigned char* p) const;
    unsigned ReadU32(const unsigned char* p) const;

private:
    bool WalkDirectory(unsigned char* start, unsigned char* base, unsigned blockLength);
    bool EnterDirectory(unsigned offset);
    void TakeEntry(unsigned tag, int format, bool hasNumber, unsigned char* value, unsigned char* end);
    void TakeUserComment(unsigned char* value, unsigned byteCount, unsigned char* end);
    void SetErrorText(const char* text);
    unsigned char* AllocateSection(int size);
    void ReleaseSection(JpegSection& section);
    bool InStore(const unsigned char* data) const;
    void DropLastSection();

    ExifInfo* info;

public:
    // Reason for the last failure; never cleared during a read.
    char errorText[256];

private:
    int maxImageDimension;
    int motorolaOrder;
    JpegSection sections[kMaxSections];
    int sectionCount;
    bool ownsInfo;

    // The sections of most headers, one after the other: a heap block for
    // each of a picture's ten or so sections costs more than reading them.
    // Larger ones go to the heap.
    static const int kStoreSize = 16384;
    unsigned char store[kStoreSize];
    int storeUsed;

    // Directories walked in the current EXIF block, by offset from its base:
    // each is walked once, and at most kMaxDirectories of them, which also
    // bounds how deep the links nest.
    unsigned walkedDirectories[kMaxDirectories];
    int walkedCount;
};
