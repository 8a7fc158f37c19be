// Measures pictures read per second by CExifReader, over the sample pictures
// and over a generated tree of pictures, against the bare cost of opening each
// file, reading the same header bytes and closing it again.
//
//   bench_exif [synthetic file count] [rounds]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "exif/ExifReader.h"
#include "tests/support/Bytes.h"
#include "tests/support/JpegBuilder.h"
#include "tests/support/TiffBuilder.h"

namespace fs = std::filesystem;

namespace
{
using Clock = std::chrono::steady_clock;

struct Picture
{
    std::string path;
    long headerBytes; // what the reader reads of it
};

// Reads every picture once; returns the seconds taken and counts the dates found.
double ReadWithReader(std::vector<Picture>& pictures, int& dates)
{
    dates = 0;
    const Clock::time_point start = Clock::now();
    for (Picture& picture : pictures)
    {
        FILE* stream = std::fopen(picture.path.c_str(), "rb");
        if (stream == nullptr)
            continue;
        ExifInfo info;
        std::memset(&info, 0, sizeof(info));
        {
            CExifReader reader(&info);
            reader.ReadSections(stream);
        }
        picture.headerBytes = std::ftell(stream);
        std::fclose(stream);
        if (info.isExif && info.dateTimeOriginal[0] != '\0')
            dates++;
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Opens each picture, reads the given number of bytes (the reader's count when
// fixedBytes is 0) and closes it.
double ReadBare(const std::vector<Picture>& pictures, long fixedBytes, std::vector<unsigned char>& buffer)
{
    const Clock::time_point start = Clock::now();
    for (const Picture& picture : pictures)
    {
        FILE* stream = std::fopen(picture.path.c_str(), "rb");
        if (stream == nullptr)
            continue;
        const size_t want = static_cast<size_t>(fixedBytes > 0 ? fixedBytes : picture.headerBytes);
        if (buffer.size() < want)
            buffer.resize(want);
        if (std::fread(buffer.data(), 1, want, stream) == 0 && want > 0)
            buffer[0] = 0;
        std::fclose(stream);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A camera-like picture: EXIF block with a thumbnail of the given size, tables,
// frame header, scan header and a stretch of scan data.
Bytes SyntheticPicture(int index)
{
    const size_t thumbnailSize = 2000 + static_cast<size_t>(index % 7) * 1500;
    Bytes thumbnail(thumbnailSize, static_cast<uint8_t>(index));
    TiffBuilder tiff(index % 2 == 1);
    const int ifd0 = tiff.AddDirectory();
    const int exif = tiff.AddDirectory();
    const int ifd1 = tiff.AddDirectory();
    tiff.AddAscii(ifd0, 0x010F, "Synthetic");
    tiff.AddAscii(ifd0, 0x0110, "Model " + std::to_string(index % 13));
    tiff.AddShort(ifd0, 0x0112, 1 + index % 8);
    tiff.AddRational(ifd0, 0x011A, 72, 1);
    tiff.AddRational(ifd0, 0x011B, 72, 1);
    tiff.AddShort(ifd0, 0x0128, 2);
    tiff.AddLink(ifd0, 0x8769, exif);
    tiff.SetNext(ifd0, ifd1);
    char date[20];
    std::snprintf(date, sizeof(date), "20%02d:%02d:%02d %02d:%02d:%02d", index % 24, 1 + index % 12,
                  1 + index % 28, index % 24, index % 60, (index * 7) % 60);
    tiff.AddAscii(exif, 0x9003, date);
    tiff.AddRational(exif, 0x829A, 1, 60 + index % 500);
    tiff.AddRational(exif, 0x829D, 28, 10);
    tiff.AddShort(exif, 0x8827, 100);
    tiff.AddShort(exif, 0x9209, index % 2);
    tiff.AddRational(exif, 0x920A, 35, 1);
    tiff.AddLong(exif, 0xA002, 3000);
    tiff.AddLong(exif, 0xA003, 2000);
    const uint32_t size = static_cast<uint32_t>(thumbnail.size());
    tiff.AddLong(ifd1, 0x0201, 0);
    tiff.AddLong(ifd1, 0x0202, size);
    Bytes block = tiff.Build();
    const uint32_t at = static_cast<uint32_t>(block.size());
    // The thumbnail follows the block: patch its offset into the value field of
    // the last directory's first entry.
    const uint32_t entry = tiff.DirectoryOffset(ifd1) + 2;
    const Bytes field = tiff.U32(at);
    std::copy(field.begin(), field.end(), block.begin() + entry + 8);

    JpegBuilder jpeg;
    jpeg.Soi().Section(0xE1, ExifContent(block + thumbnail));
    jpeg.Section(0xDB, Bytes(130, 3)).Frame(0xC0, 2000, 3000, 3);
    for (int i = 0; i < 4; i++)
        jpeg.Section(0xC4, Bytes(100, static_cast<uint8_t>(i)));
    jpeg.Scan().Raw(Bytes(60000 + static_cast<size_t>(index % 5) * 20000, 0x5A)).Eoi();
    return jpeg.Data();
}

struct Figures
{
    double reader = 1e9, bareSame = 1e9, bare64k = 1e9;
};

void Measure(const char* title, std::vector<Picture>& pictures, int rounds)
{
    std::vector<unsigned char> buffer;
    int dates = 0;
    // Warm the page cache and learn each file's header length.
    ReadWithReader(pictures, dates);
    ReadBare(pictures, 65536, buffer);

    Figures best;
    for (int round = 0; round < rounds; round++)
    {
        best.reader = std::min(best.reader, ReadWithReader(pictures, dates));
        best.bareSame = std::min(best.bareSame, ReadBare(pictures, 0, buffer));
        best.bare64k = std::min(best.bare64k, ReadBare(pictures, 65536, buffer));
    }
    long long headerTotal = 0;
    for (const Picture& picture : pictures)
        headerTotal += picture.headerBytes;
    const double n = static_cast<double>(pictures.size());
    std::printf("%s: %zu files, %d with a date, %.0f header bytes per file on average (best of %d rounds)\n",
                title, pictures.size(), dates, static_cast<double>(headerTotal) / n, rounds);
    std::printf("  reader                    %9.0f files/s  %7.2f us/file\n", n / best.reader,
                1e6 * best.reader / n);
    std::printf("  bare, same header bytes   %9.0f files/s  %7.2f us/file  reader/bare %.2f\n",
                n / best.bareSame, 1e6 * best.bareSame / n, best.reader / best.bareSame);
    std::printf("  bare, first 64 KiB        %9.0f files/s  %7.2f us/file  reader/bare %.2f\n",
                n / best.bare64k, 1e6 * best.bare64k / n, best.reader / best.bare64k);
}
} // namespace

int main(int argc, char** argv)
{
    const int syntheticCount = argc > 1 ? std::atoi(argv[1]) : 3000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;

    // The sample pictures, listed often enough to give measurable times.
    std::vector<Picture> samples;
    std::vector<fs::path> samplePaths;
    for (const fs::directory_entry& entry :
         fs::directory_iterator(fs::path(CHRONOSHIFT_TESTDATA_DIR) / "cameras"))
    {
        if (entry.path().extension() == ".jpg")
            samplePaths.push_back(entry.path());
    }
    std::sort(samplePaths.begin(), samplePaths.end());
    for (int copy = 0; copy < 200; copy++)
    {
        for (const fs::path& path : samplePaths)
            samples.push_back({path.string(), 0});
    }
    Measure("sample pictures (15 files, each read 200 times)", samples, rounds);

    // A generated tree: folders of 100 files, two levels deep, synthetic pictures
    // and copies of the samples in turn.
    std::string pattern = (fs::temp_directory_path() / "bench_exif_XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
    {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;
    std::vector<Bytes> sampleBytes;
    for (const fs::path& path : samplePaths)
        sampleBytes.push_back(BytesOf(ReadBytes(path.string())));
    std::vector<Picture> tree;
    for (int i = 0; i < syntheticCount; i++)
    {
        const fs::path folder = root / ("d" + std::to_string(i / 1000)) / ("e" + std::to_string(i / 100));
        fs::create_directories(folder);
        const fs::path file = folder / ("p" + std::to_string(i) + ".jpg");
        const bool ok = i % 4 == 3 ? WriteBytes(file.string(),
                                                sampleBytes[static_cast<size_t>(i / 4) % sampleBytes.size()])
                                   : WriteBytes(file.string(), SyntheticPicture(i));
        if (!ok)
        {
            std::fprintf(stderr, "could not write %s\n", file.string().c_str());
            fs::remove_all(root);
            return 1;
        }
        tree.push_back({file.string(), 0});
    }
    char title[128];
    std::snprintf(title, sizeof(title), "generated tree (%d files in %s)", syntheticCount,
                  root.string().c_str());
    Measure(title, tree, rounds);
    fs::remove_all(root);
    return 0;
}
