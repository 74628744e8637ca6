// WindowsExecutable::kindOf over any file: it reads only the headers, and a kind
// of Windows program needs the PE signature where e_lfanew points.

#include "Fuzz.h"
#include "platform/WindowsExecutable.h"

#include <cstring>

using platform::WindowsExecutable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = fuzz::scratchPath("pe.exe");
    fuzz::writeFile(path, data, size);
    const WindowsExecutable::Kind kind = WindowsExecutable::kindOf(path);
    QFile::remove(path);

    if (kind == WindowsExecutable::Kind::NotWindows)
        return 0;
    FUZZ_CHECK(kind != WindowsExecutable::Kind::Unreadable, "a readable file reads as unreadable");
    FUZZ_CHECK(size >= 64 && data[0] == 'M' && data[1] == 'Z', "a Windows program without the MZ header");
    const std::uint64_t pe = std::uint64_t(data[0x3c]) | std::uint64_t(data[0x3d]) << 8 |
                             std::uint64_t(data[0x3e]) << 16 | std::uint64_t(data[0x3f]) << 24;
    FUZZ_CHECK(pe >= 64 && pe + 6 <= size && std::memcmp(data + pe, "PE\0\0", 4) == 0,
               "a Windows program without the PE signature where e_lfanew points");
    const unsigned machine = unsigned(data[pe + 4]) | unsigned(data[pe + 5]) << 8;
    const WindowsExecutable::Kind expected = machine == 0x014c   ? WindowsExecutable::Kind::X86
                                             : machine == 0x8664 ? WindowsExecutable::Kind::X64
                                                                 : WindowsExecutable::Kind::OtherMachine;
    FUZZ_CHECK(kind == expected, "the kind is not the header's machine");
    return 0;
}
