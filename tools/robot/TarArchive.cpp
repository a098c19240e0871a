#include "tools/robot/TarArchive.h"

#include <algorithm>
#include <cstring>

namespace korvane::robot {
namespace {

constexpr std::size_t kBlock = 512;

// width - 1 octal digits, zero-padded, and the NUL ustar wants; a value too large for
// them keeps its low digits (no file the robot archives comes near 8 GB).
void octal(char* field, std::size_t width, unsigned long long value)
{
    field[width - 1] = '\0';
    for (std::size_t i = width - 1; i-- > 0; value >>= 3)
        field[i] = static_cast<char>('0' + (value & 7));
}

} // namespace

void TarArchive::add(const std::string& name, std::string_view bytes, long long modifiedUnix)
{
    char header[kBlock] = {};
    // ustar's fixed fields need no terminating NUL when full.
    std::copy_n(name.data(), std::min<std::size_t>(name.size(), 100), header);
    octal(header + 100, 8, 0644);
    octal(header + 108, 8, 0);
    octal(header + 116, 8, 0);
    octal(header + 124, 12, bytes.size());
    octal(header + 136, 12, modifiedUnix > 0 ? static_cast<unsigned long long>(modifiedUnix) : 0);
    header[156] = '0';
    std::memcpy(header + 257, "ustar", 6);
    std::copy_n("00", 2, header + 263);
    // The checksum is taken with its own field as blanks.
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : header)
        sum += c;
    octal(header + 148, 7, sum);
    header[155] = ' ';
    data_.append(header, kBlock);
    data_.append(bytes.data(), bytes.size());
    data_.append((kBlock - bytes.size() % kBlock) % kBlock, '\0');
}

std::string TarArchive::finish()
{
    data_.append(2 * kBlock, '\0');
    return std::move(data_);
}

} // namespace korvane::robot
