#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

// The code pages of Portuguese and Spanish Windows that the course's files come
// in. Every byte maps to one UTF-16 code unit.

// Windows-1252 (the ANSI code page, zeko.ini's) for 0x80..0x9F; the five
// undefined bytes map to the same code point, as Windows does, so every byte
// survives a round trip.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Inline: a profile file is decoded a byte at a time.
inline char16_t cp1252ToUnicode(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b);
}

inline char unicodeToCp1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c)
            return char(0x80 + i);
    return '?'; // the default character Windows substitutes
}

// Code page 850 (the OEM code page, in which Windows' zip tools store entry
// names) to Unicode.
QString decodeCp850(const QByteArray &bytes);

} // namespace platform
