#include "tests/support/Bytes.h"

#include <cstdio>

namespace
{
bool WriteRaw(const std::string& path, const void* data, size_t size)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}
} // namespace

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    return WriteRaw(path, bytes.data(), bytes.size());
}

bool WriteBytes(const std::string& path, const Bytes& bytes)
{
    return WriteRaw(path, bytes.data(), bytes.size());
}

std::string ReadBytes(const std::string& path)
{
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return bytes;
    char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
        bytes.append(chunk, n);
    std::fclose(file);
    return bytes;
}
