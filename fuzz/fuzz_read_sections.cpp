// libFuzzer target: any byte string as a JPEG file for CExifReader::ReadSections.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "exif/ExifReader.h"

namespace
{
void Check(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

bool Terminated(const char* text, size_t size)
{
    return std::memchr(text, '\0', size) != nullptr;
}

// The thumbnail must lie inside one held section.
bool InsideHeldSection(const CExifReader& reader, const unsigned char* start, unsigned size)
{
    for (int i = 0; i < reader.GetSectionCount(); i++)
    {
        const JpegSection& section = reader.GetSection(i);
        const unsigned char* data = section.data;
        if (data != nullptr && start >= data && start <= data + section.size &&
            size <= static_cast<size_t>(data + section.size - start))
            return true;
    }
    return false;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (stream == nullptr)
        return 0;

    ExifInfo info;
    std::memset(&info, 0, sizeof(info));
    CExifReader reader(&info);
    const bool result = reader.ReadSections(stream);
    std::fclose(stream);

    Check(Terminated(reader.GetErrorText(), 256), "errorText");
    Check(Terminated(info.exifVersion, sizeof(info.exifVersion)), "exifVersion");
    Check(Terminated(info.make, sizeof(info.make)), "make");
    Check(Terminated(info.model, sizeof(info.model)), "model");
    Check(Terminated(info.dateTimeOriginal, sizeof(info.dateTimeOriginal)), "dateTimeOriginal");
    Check(Terminated(info.comments, sizeof(info.comments)), "comments");
    Check(reader.GetSectionCount() >= 0 && reader.GetSectionCount() <= CExifReader::kMaxSections, "count");
    Check(info.orientation >= 0 && info.orientation <= 8, "orientation");
    if (info.thumbnail != nullptr)
        Check(InsideHeldSection(reader, info.thumbnail, info.thumbnailSize), "thumbnail");
    if (result)
        Check(reader.GetSection(reader.GetSectionCount() - 1).type == 0xDA, "scan last");
    return 0;
}
