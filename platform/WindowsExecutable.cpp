#include "WindowsExecutable.h"

#include <QFile>

namespace platform {

namespace {

quint32 le32(const QByteArray &b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

constexpr quint16 kMachineI386 = 0x014c;
constexpr quint16 kMachineAmd64 = 0x8664;

} // namespace

WindowsExecutable::Kind WindowsExecutable::kindOf(const QString &unixPath)
{
    QFile file(unixPath);
    if (unixPath.isEmpty() || !file.open(QIODevice::ReadOnly))
        return Kind::Unreadable;
    const QByteArray dos = file.read(64);
    if (dos.size() < 64 || dos[0] != 'M' || dos[1] != 'Z')
        return Kind::NotWindows;
    // e_lfanew: where the "PE\0\0" signature and the file header begin.
    const quint32 peOffset = le32(dos, 0x3c);
    if (peOffset < 64 || !file.seek(peOffset))
        return Kind::NotWindows;
    const QByteArray pe = file.read(6);
    if (pe.size() < 6 || !pe.startsWith(QByteArrayLiteral("PE\0\0")))
        return Kind::NotWindows;
    const quint16 machine = quint16(quint8(pe[4]) | quint8(pe[5]) << 8);
    if (machine == kMachineI386)
        return Kind::X86;
    if (machine == kMachineAmd64)
        return Kind::X64;
    return Kind::OtherMachine;
}

} // namespace platform
