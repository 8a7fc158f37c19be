#include "exif/ExifReader.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
const unsigned kTagMake = 0x010F;
const unsigned kTagModel = 0x0110;
const unsigned kTagOrientation = 0x0112;
const unsigned kTagXResolution = 0x011A;
const unsigned kTagYResolution = 0x011B;
const unsigned kTagResolutionUnit = 0x0128;
const unsigned kTagThumbnailOffset = 0x0201;
const unsigned kTagThumbnailLength = 0x0202;
const unsigned kTagExposureTime = 0x829A;
const unsigned kTagFNumber = 0x829D;
const unsigned kTagExifOffset = 0x8769;
const unsigned kTagExposureProgram = 0x8822;
const unsigned kTagIsoSpeed = 0x8827;
const unsigned kTagExifVersion = 0x9000;
const unsigned kTagDateTimeOriginal = 0x9003;
const unsigned kTagCompressedBitsPerPixel = 0x9102;
const unsigned kTagShutterSpeed = 0x9201;
const unsigned kTagAperture = 0x9202;
const unsigned kTagBrightness = 0x9203;
const unsigned kTagExposureBias = 0x9204;
const unsigned kTagMaxAperture = 0x9205;
const unsigned kTagSubjectDistance = 0x9206;
const unsigned kTagMeteringMode = 0x9207;
const unsigned kTagLightSource = 0x9208;
const unsigned kTagFlash = 0x9209;
const unsigned kTagFocalLength = 0x920A;
const unsigned kTagUserComment = 0x9286;
const unsigned kTagPixelXDimension = 0xA002;
const unsigned kTagPixelYDimension = 0xA003;
const unsigned kTagInteropOffset = 0xA005;
const unsigned kTagFocalPlaneXRes = 0xA20E;
const unsigned kTagFocalPlaneYRes = 0xA20F;
const unsigned kTagFocalPlaneUnit = 0xA210;

// Bytes one component takes, by format code 1 to 12.
const unsigned kFormatBytes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

// Truncates toward zero. Values a 32-bit integer cannot hold (and NaN) give
// INT32_MIN, as the x86 conversion instruction does, instead of undefined behaviour.
int WholeNumber(double value)
{
    if (!(value > -2147483649.0 && value < 2147483648.0))
        return INT32_MIN;
    return static_cast<int>(value);
}

// Size of a resolution unit in inches; 0 for a unit code without meaning.
float UnitInches(int unit)
{
    switch (unit)
    {
    case 1:
    case 2:
        return 1.0f;
    case 3:
        return static_cast<float>(1 / 2.54);
    case 4:
        return static_cast<float>(1 / 25.4);
    case 5:
        return static_cast<float>(1 / 25400.0);
    default:
        return 0.0f;
    }
}

// Copies text up to its zero byte, at most maxChars characters and never past end.
void CopyText(char* dest, unsigned maxChars, const unsigned char* src, const unsigned char* end)
{
    unsigned n = 0;
    while (n < maxChars && src + n < end && src[n] != 0)
    {
        dest[n] = static_cast<char>(src[n]);
        n++;
    }
    dest[n] = '\0';
}
} // namespace

unsigned CExifReader::ReadU16(const unsigned char* p) const
{
    if (motorolaOrder)
        return (static_cast<unsigned>(p[0]) << 8) | p[1];
    return (static_cast<unsigned>(p[1]) << 8) | p[0];
}

unsigned CExifReader::ReadU32(const unsigned char* p) const
{
    if (motorolaOrder)
        return (static_cast<unsigned>(p[0]) << 24) | (static_cast<unsigned>(p[1]) << 16) |
               (static_cast<unsigned>(p[2]) << 8) | p[3];
    return (static_cast<unsigned>(p[3]) << 24) | (static_cast<unsigned>(p[2]) << 16) |
           (static_cast<unsigned>(p[1]) << 8) | p[0];
}

int CExifReader::ReadS32(const unsigned char* p) const
{
    return static_cast<int32_t>(ReadU32(p));
}

double CExifReader::ValueAsNumber(const unsigned char* value, int format) const
{
    switch (format)
    {
    case 1:
        return value[0];
    case 3:
        return ReadU16(value);
    case 4:
        return ReadU32(value);
    case 5:
    case 10:
    {
        const int numerator = ReadS32(value);
        const int denominator = ReadS32(value + 4);
        if (denominator == 0)
            return 0;
        return static_cast<double>(numerator) / denominator;
    }
    case 6:
        return static_cast<signed char>(value[0]);
    case 8:
        return static_cast<int16_t>(ReadU16(value));
    case 9:
        return ReadS32(value);
    case 11:
    {
        const uint32_t bits = ReadU32(value);
        float number;
        std::memcpy(&number, &bits, sizeof(number));
        return number;
    }
    case 12:
    {
        const uint64_t first = ReadU32(value);
        const uint64_t second = ReadU32(value + 4);
        const uint64_t bits = motorolaOrder ? (first << 32) | second : (second << 32) | first;
        double number;
        std::memcpy(&number, &bits, sizeof(number));
        return number;
    }
    default:
        return 0;
    }
}

bool CExifReader::ParseExifBlock(unsigned char* content, int length)
{
    info->flashUsed = 0;
    info->comments[0] = '\0';
    maxImageDimension = 0;
    walkedCount = 0;

    // Each header check fails with its own message when its bytes are missing.
    const int contentLength = length > 2 ? length - 2 : 0;
    if (contentLength < 6 || std::memcmp(content, "Exif\0\0", 6) != 0)
    {
        SetErrorText("Incorrect Exif header");
        return false;
    }
    if (contentLength >= 8 && content[6] == 'I' && content[7] == 'I')
        motorolaOrder = 0;
    else if (contentLength >= 8 && content[6] == 'M' && content[7] == 'M')
        motorolaOrder = 1;
    else
    {
        SetErrorText("Invalid Exif alignment marker.");
        return false;
    }
    if (contentLength < 10 || ReadU16(content + 8) != 42)
    {
        SetErrorText("Invalid Exif start (1)");
        return false;
    }
    if (contentLength < 14)
    {
        SetErrorText("Suspicious offset of first IFD value");
        return false;
    }
    const unsigned firstOffset = ReadU32(content + 10);
    if (firstOffset < 8 || firstOffset > 16)
    {
        SetErrorText("Suspicious offset of first IFD value");
        return false;
    }

    // The first directory is always read at offset 8 from the base.
    EnterDirectory(8);
    if (!WalkDirectory(content + 14, content + 6, static_cast<unsigned>(length - 8)))
        return false;

    if (info->focalPlaneXRes != 0)
        info->ccdWidth = static_cast<float>(static_cast<double>(maxImageDimension) *
                                            info->focalPlaneUnitInches / info->focalPlaneXRes);
    return true;
}

bool CExifReader::EnterDirectory(unsigned offset)
{
    for (int i = 0; i < walkedCount; i++)
    {
        if (walkedDirectories[i] == offset)
            return false;
    }
    if (walkedCount >= kMaxDirectories)
        return false;
    walkedDirectories[walkedCount++] = offset;
    return true;
}

bool CExifReader::WalkDirectory(unsigned char* start, unsigned char* base, unsigned blockLength)
{
    // Positions are kept as offsets from base in 64 bits, so no sum can wrap.
    unsigned char* const end = base + blockLength;
    const uint64_t dirOffset = static_cast<uint64_t>(start - base);
    if (dirOffset + 2 > blockLength)
    {
        SetErrorText("Illegally sized directory");
        return false;
    }
    const unsigned entryCount = ReadU16(start);
    const uint64_t entriesEnd = dirOffset + 2 + 12 * static_cast<uint64_t>(entryCount);
    if (entriesEnd > blockLength)
    {
        SetErrorText("Illegally sized directory");
        return false;
    }

    int thumbnailOffset = 0;
    int thumbnailSize = 0;
    for (unsigned i = 0; i < entryCount; i++)
    {
        unsigned char* entry = start + 2 + 12 * i;
        const unsigned tag = ReadU16(entry);
        const unsigned format = ReadU16(entry + 2);
        const unsigned components = ReadU32(entry + 4);
        if (format < 1 || format > 12)
        {
            SetErrorText("Illegal format code in EXIF dir");
            return false;
        }

        const uint64_t byteCount = static_cast<uint64_t>(components) * kFormatBytes[format];
        unsigned char* value = entry + 8;
        if (byteCount > 4)
        {
            const unsigned valueOffset = ReadU32(entry + 8);
            if (valueOffset + byteCount > blockLength)
            {
                SetErrorText("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = base + valueOffset;
        }

        // The first component is read whatever the count; without components a
        // rational or double still takes eight bytes, which may lie past the block.
        const bool hasNumber = static_cast<uint64_t>(value - base) + kFormatBytes[format] <= blockLength;
        if (tag == kTagThumbnailOffset || tag == kTagThumbnailLength)
        {
            if (hasNumber)
            {
                const int number = WholeNumber(ValueAsNumber(value, static_cast<int>(format)));
                (tag == kTagThumbnailOffset ? thumbnailOffset : thumbnailSize) = number;
            }
        }
        else if (tag == kTagUserComment)
            TakeUserComment(value, static_cast<unsigned>(byteCount), end);
        else
            TakeEntry(tag, static_cast<int>(format), hasNumber, value, end);

        if (tag == kTagExifOffset || tag == kTagInteropOffset)
        {
            const unsigned linkOffset = ReadU32(value);
            if (linkOffset > blockLength)
            {
                SetErrorText("Illegal subdirectory link");
                return false;
            }
            // A directory already walked in this block, or one past the limit,
            // is not walked again: links that loop or nest without end stop here.
            if (EnterDirectory(linkOffset))
                WalkDirectory(base + linkOffset, base, blockLength);
            else
                SetErrorText("Illegal subdirectory link");
        }
    }

    if (entriesEnd + 4 <= blockLength)
    {
        const unsigned nextOffset = ReadU32(start + entriesEnd - dirOffset);
        if (nextOffset != 0)
        {
            if (nextOffset > blockLength)
            {
                SetErrorText("Illegal subdirectory link");
                return false;
            }
            if (EnterDirectory(nextOffset))
                WalkDirectory(base + nextOffset, base, blockLength);
            else
                SetErrorText("Illegal subdirectory link");
        }
    }

    // Both must be positive: a negative offset would point before the block.
    if (thumbnailOffset > 0 && thumbnailSize > 0 &&
        static_cast<uint64_t>(thumbnailOffset) + static_cast<uint64_t>(thumbnailSize) <= blockLength)
    {
        info->thumbnail = base + thumbnailOffset;
        info->thumbnailSize = static_cast<unsigned>(thumbnailSize);
    }
    return true;
}

void CExifReader::TakeUserComment(unsigned char* value, unsigned byteCount, unsigned char* end)
{
    // Trailing spaces are removed in the held section itself.
    for (unsigned i = byteCount; i > 0 && value[i - 1] == ' '; i--)
        value[i - 1] = '\0';

    // The prefix and the positions after it are looked at in the block, past
    // the value's own bytes if need be, but never past the block's end.
    const uint64_t room = static_cast<uint64_t>(end - value);
    if (room >= 5 && std::memcmp(value, "ASCII", 5) == 0)
    {
        // The text starts at the first of positions 5 to 9 that is neither zero nor a space.
        for (unsigned pos = 5; pos < 10 && pos < room; pos++)
        {
            if (value[pos] != '\0' && value[pos] != ' ')
            {
                CopyText(info->comments, 199, value + pos, end);
                return;
            }
        }
        return;
    }
    CopyText(info->comments, 199, value, end);
}

void CExifReader::TakeEntry(unsigned tag, int format, bool hasNumber, unsigned char* value,
                            unsigned char* end)
{
    switch (tag)
    {
    case kTagMake:
        CopyText(info->make, 31, value, end);
        return;
    case kTagModel:
        CopyText(info->model, 39, value, end);
        return;
    case kTagExifVersion:
        CopyText(info->exifVersion, 4, value, end);
        return;
    case kTagDateTimeOriginal:
        CopyText(info->dateTimeOriginal, 19, value, end);
        return;
    default:
        break;
    }

    // The remaining tags take the value's first component as a number.
    if (!hasNumber)
        return;
    const double number = ValueAsNumber(value, format);
    switch (tag)
    {
    case kTagOrientation:
    {
        const int orientation = WholeNumber(number);
        if (orientation < 1 || orientation > 8)
        {
            info->orientation = 0;
            SetErrorText("Undefined rotation value");
        }
        else
            info->orientation = orientation;
        break;
    }
    case kTagXResolution:
        info->xResolution = static_cast<float>(number);
        break;
    case kTagYResolution:
        info->yResolution = static_cast<float>(number);
        break;
    case kTagResolutionUnit:
    {
        const float inches = UnitInches(WholeNumber(number));
        if (inches != 0)
            info->resolutionUnitInches = inches;
        break;
    }
    case kTagExposureTime:
        info->exposureTime = static_cast<float>(number);
        break;
    case kTagFNumber:
        info->fNumber = static_cast<float>(number);
        break;
    case kTagExposureProgram:
        info->exposureProgram = WholeNumber(number);
        break;
    case kTagIsoSpeed:
    {
        const int speed = WholeNumber(number);
        // Multiplied in unsigned arithmetic so that a hostile value wraps instead of overflowing.
        info->isoSpeed = speed < 50 ? static_cast<int32_t>(static_cast<uint32_t>(speed) * 200u) : speed;
        break;
    }
    case kTagCompressedBitsPerPixel:
        info->compressedBitsPerPixel = WholeNumber(number);
        break;
    case kTagShutterSpeed:
        if (info->exposureTime == 0)
            info->exposureTime = static_cast<float>(1 / std::pow(2.0, number));
        break;
    case kTagAperture:
    case kTagMaxAperture:
        if (info->fNumber == 0)
            info->fNumber = static_cast<float>(std::pow(2.0, number / 2));
        break;
    case kTagBrightness:
        info->brightness = static_cast<float>(number);
        break;
    case kTagExposureBias:
        info->exposureBias = static_cast<float>(number);
        break;
    case kTagSubjectDistance:
        info->subjectDistance = static_cast<float>(number);
        break;
    case kTagMeteringMode:
        info->meteringMode = WholeNumber(number);
        break;
    case kTagLightSource:
        info->lightSource = WholeNumber(number);
        break;
    case kTagFlash:
        info->flashUsed = (WholeNumber(number) & 7) != 0 ? 1 : 0;
        break;
    case kTagFocalLength:
        info->focalLength = static_cast<float>(number);
        break;
    case kTagPixelXDimension:
    case kTagPixelYDimension:
    {
        const int dimension = WholeNumber(number);
        if (dimension > maxImageDimension)
            maxImageDimension = dimension;
        break;
    }
    case kTagFocalPlaneXRes:
        info->focalPlaneXRes = static_cast<float>(number);
        break;
    case kTagFocalPlaneYRes:
        info->focalPlaneYRes = static_cast<float>(number);
        break;
    case kTagFocalPlaneUnit:
    {
        const float inches = UnitInches(WholeNumber(number));
        if (inches != 0)
            info->focalPlaneUnitInches = inches;
        break;
    }
    default:
        break;
    }
}
