#include "exif/ExifReader.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#if defined(__SANITIZE_ADDRESS__)
#define EXIF_READER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define EXIF_READER_ASAN 1
#endif
#endif
#ifdef EXIF_READER_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace
{
const int kMarkerSos = 0xDA;
const int kMarkerEoi = 0xD9;
const int kMarkerApp0 = 0xE0;
const int kMarkerApp1 = 0xE1;
const int kMarkerCom = 0xFE;

// The frame headers: SOF0 to SOF15 without DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(int marker)
{
    switch (marker)
    {
    case 0xC0:
    case 0xC1:
    case 0xC2:
    case 0xC3:
    case 0xC5:
    case 0xC6:
    case 0xC7:
    case 0xC9:
    case 0xCA:
    case 0xCB:
    case 0xCD:
    case 0xCE:
    case 0xCF:
        return true;
    default:
        return false;
    }
}

// Under the address sanitizer the store's free room, and a gap after each
// section, stay poisoned: a read past a section's end is caught there as it
// is past a heap block.
#ifdef EXIF_READER_ASAN
const int kStoreGap = 16;
void PoisonRegion(const unsigned char* data, int size)
{
    ASAN_POISON_MEMORY_REGION(data, static_cast<size_t>(size));
}
void UnpoisonRegion(const unsigned char* data, int size)
{
    ASAN_UNPOISON_MEMORY_REGION(data, static_cast<size_t>(size));
}
#else
const int kStoreGap = 0;
void PoisonRegion(const unsigned char*, int) {}
void UnpoisonRegion(const unsigned char*, int) {}
#endif

void WriteMessage(const char* text)
{
    std::fputs(text, stdout);
    std::fflush(stdout);
}
} // namespace

CExifReader::CExifReader(ExifInfo* info)
    : info(info), maxImageDimension(0), motorolaOrder(0), sectionCount(0), ownsInfo(false), storeUsed(0),
      walkedCount(0)
{
    if (this->info == nullptr)
    {
        this->info = static_cast<ExifInfo*>(std::calloc(1, sizeof(ExifInfo)));
        ownsInfo = this->info != nullptr;
    }
    errorText[0] = '\0';
    PoisonRegion(store, kStoreSize);
    for (JpegSection& section : sections)
    {
        section.data = nullptr;
        section.type = 0;
        section.size = 0;
    }
}

CExifReader::~CExifReader()
{
    // Every slot, not just the held ones: a read that failed midway leaves
    // its buffer in the slot after the last held section.
    for (JpegSection& section : sections)
        ReleaseSection(section);
    // The store is the caller's memory again.
    UnpoisonRegion(store, kStoreSize);
    if (ownsInfo)
        std::free(info);
}

void CExifReader::SetErrorText(const char* text)
{
    std::strncpy(errorText, text, sizeof(errorText) - 1);
    errorText[sizeof(errorText) - 1] = '\0';
}

bool CExifReader::InStore(const unsigned char* data) const
{
    // std::less orders pointers into different objects too.
    return !std::less<const unsigned char*>()(data, store) &&
           std::less<const unsigned char*>()(data, store + kStoreSize);
}

unsigned char* CExifReader::AllocateSection(int size)
{
    if (size <= kStoreSize - kStoreGap - storeUsed)
    {
        unsigned char* data = store + storeUsed;
        storeUsed += size + kStoreGap;
        UnpoisonRegion(data, size);
        return data;
    }
    return static_cast<unsigned char*>(std::malloc(static_cast<size_t>(size)));
}

void CExifReader::ReleaseSection(JpegSection& section)
{
    if (section.data == nullptr)
        return;
    if (!InStore(section.data))
        std::free(section.data);
    else if (section.data + section.size + kStoreGap == store + storeUsed)
    {
        // The last one taken, as a dropped section always is: its room serves the next.
        storeUsed -= section.size + kStoreGap;
        PoisonRegion(section.data, section.size);
    }
    section.data = nullptr;
}

void CExifReader::DropLastSection()
{
    sectionCount--;
    JpegSection& section = sections[sectionCount];
    ReleaseSection(section);
    section.type = 0;
    section.size = 0;
}

bool CExifReader::ReadSections(FILE* stream)
{
    CStreamByteSource source(stream);
    return ReadSections(source);
}

bool CExifReader::ReadSections(CByteSource& source)
{
    if (info == nullptr)
    {
        SetErrorText("Could not allocate memory");
        return false;
    }
    if (source.GetByte() != 0xFF)
        return false;
    if (source.GetByte() != 0xD8)
        return false;

    bool commentTaken = false;
    while (sectionCount < kMaxSections)
    {
        int marker = 0;
        for (int padding = 0;; padding++)
        {
            marker = source.GetByte();
            if (marker != 0xFF)
                break;
            if (padding >= kMaxPadding)
            {
                WriteMessage("too many padding unsigned chars\n");
                return false;
            }
        }

        JpegSection& section = sections[sectionCount];
        section.type = marker;

        const int high = source.GetByte();
        const int low = source.GetByte();
        if (high == EOF || low == EOF)
        {
            SetErrorText("invalid marker");
            return false;
        }
        const int length = high * 256 + low;
        if (length < 2)
        {
            SetErrorText("invalid marker");
            return false;
        }

        section.size = length;
        unsigned char* data = AllocateSection(length);
        if (data == nullptr)
        {
            SetErrorText("Could not allocate memory");
            return false;
        }
        section.data = data;
        data[0] = static_cast<unsigned char>(high);
        data[1] = static_cast<unsigned char>(low);

        const size_t contentLength = static_cast<size_t>(length - 2);
        if (source.Read(data + 2, contentLength) != contentLength)
        {
            SetErrorText("Premature end of file?");
            return false;
        }
        sectionCount++;

        if (IsFrameHeader(marker))
        {
            TakeFrameHeader(data, marker, length);
            continue;
        }
        switch (marker)
        {
        case kMarkerEoi:
            WriteMessage("No image in jpeg!\n");
            return false;
        case kMarkerSos:
            return true;
        case kMarkerApp1:
            if (length >= 6 && std::memcmp(data + 2, "Exif", 4) == 0)
                info->isExif = ParseExifBlock(data + 2, length);
            else
                DropLastSection();
            break;
        case kMarkerCom:
            if (!commentTaken)
            {
                TakeComment(data, length);
                commentTaken = true;
            }
            else
                DropLastSection();
            break;
        case kMarkerApp0:
            DropLastSection();
            break;
        default:
            break;
        }
    }

    SetErrorText("Too many sections in jpg file");
    return false;
}

void CExifReader::TakeFrameHeader(const unsigned char* data, int marker, int size)
{
    // Precision (1 byte), lines (2), samples per line (2), components (1).
    if (data == nullptr || size < 8)
        return;
    info->height = data[3] * 256 + data[4];
    info->width = data[5] * 256 + data[6];
    info->isColor = data[7] == 3 ? 1 : 0;
    info->frameMarker = marker;
}

void CExifReader::TakeComment(const unsigned char* data, int length)
{
    const int n = length < 1000 ? length : 1000;
    char text[1000];
    int written = 0;
    for (int j = 2; j < n; j++)
    {
        const unsigned char c = data[j];
        if (c == 0x0D)
        {
            // CR LF becomes the LF alone; a lone CR is not text.
            if (j + 1 < length && data[j + 1] == 0x0A)
                continue;
            text[written++] = '?';
        }
        else if (c >= 0x20 || c == 0x0A || c == 0x09)
            text[written++] = static_cast<char>(c);
        else
            text[written++] = '?';
    }
    text[written] = '\0';
    std::memcpy(info->comments, text, static_cast<size_t>(written) + 1);
}
