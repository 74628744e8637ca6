#include "platform/CodePage.h"
#include "common/QtPrinters.h"

#include <gtest/gtest.h>

#include <set>

// zeko.ini keeps every byte across a read and a write, the five bytes Windows
// leaves undefined among them; what the code page lacks becomes '?'.
TEST(CodePage, Cp1252KeepsEveryByte)
{
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(platform::unicodeToCp1252(platform::cp1252ToUnicode(static_cast<unsigned char>(b))),
                  char(b))
            << b;
    EXPECT_EQ(platform::cp1252ToUnicode(0x80), u'€');
    EXPECT_EQ(platform::unicodeToCp1252(u'ł'), '?');
}

// ZIP entry names from Portuguese and Spanish Windows; every high byte is a
// character of its own.
TEST(CodePage, Cp850Names)
{
    EXPECT_EQ(platform::decodeCp850("Li\x87\xc6o 2.txt"), QStringLiteral("Lição 2.txt"));
    EXPECT_EQ(platform::decodeCp850("A\x87ores/\xa5\x61nd\xa3"), QStringLiteral("Açores/Ñandú"));
    std::set<char16_t> high;
    for (int b = 0x80; b < 0x100; ++b)
        high.insert(platform::decodeCp850(QByteArray(1, char(b))).at(0).unicode());
    EXPECT_EQ(high.size(), 128u);
    EXPECT_GE(*high.begin(), 0xA0);
}
