// Byte strings for building test files, and whole files read and written at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

inline Bytes BytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline std::string TextOf(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

inline Bytes& operator+=(Bytes& left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

inline Bytes operator+(Bytes left, const Bytes& right)
{
    left += right;
    return left;
}

// Creates (or replaces) the file with exactly these bytes.
bool WriteBytes(const std::string& path, const std::string& bytes);
bool WriteBytes(const std::string& path, const Bytes& bytes);
// The file's bytes as they are on disk; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
