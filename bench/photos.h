#pragma once

// Photos for benchmarks: an 8x8 grey JPEG with an EXIF DateTimeOriginal, a different date each.
#include <cstdio>
#include <string>

namespace bench {

inline void put16(std::string& out, unsigned value)
{
    out += char(value >> 8);
    out += char(value & 0xff);
}

inline void put32(std::string& out, unsigned value)
{
    put16(out, value >> 16);
    put16(out, value & 0xffff);
}

inline void segment(std::string& out, unsigned char marker, const std::string& payload)
{
    out += '\xff';
    out += char(marker);
    put16(out, unsigned(payload.size() + 2));
    out += payload;
}

inline std::string photo(const char* taken)
{
    // Big-endian TIFF: IFD0 at 8 holds only the pointer to the Exif IFD at 26, which holds the
    // date; the date's 20 bytes follow at 44.
    std::string tiff("MM\0*", 4);
    put32(tiff, 8);
    put16(tiff, 1);
    put16(tiff, 0x8769);
    put16(tiff, 4);
    put32(tiff, 1);
    put32(tiff, 26);
    put32(tiff, 0);
    put16(tiff, 1);
    put16(tiff, 0x9003);
    put16(tiff, 2);
    put32(tiff, 20);
    put32(tiff, 44);
    put32(tiff, 0);
    tiff.append(taken, 19);
    tiff += '\0';

    std::string out("\xff\xd8", 2);
    segment(out, 0xe1, std::string("Exif\0\0", 6) + tiff);
    segment(out, 0xdb, std::string(1, '\0') + std::string(64, '\1'));
    segment(out, 0xc0, std::string("\x08\0\x08\0\x08\x01\x01\x11\0", 9));
    const std::string huffman = std::string(1, '\1') + std::string(16, '\0');
    segment(out, 0xc4, std::string(1, '\0') + huffman);
    segment(out, 0xc4, std::string(1, '\x10') + huffman);
    segment(out, 0xda, std::string("\x01\x01\0\0\x3f\0", 6));
    return out + std::string("\x3f\xff\xd9", 3);
}

inline std::string takenOf(int i)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d:%02d:%02d %02d:%02d:%02d", 1990 + i % 35, 1 + i % 12,
                  1 + i % 28, i % 24, (i / 24) % 60, (i / 7) % 60);
    return text;
}

} // namespace bench
