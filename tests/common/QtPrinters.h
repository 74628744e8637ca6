#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <ostream>

// Readable failure output for Qt strings in GoogleTest.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline void PrintTo(const QByteArray &b, std::ostream *os)
{
    *os << '"';
    for (char c : b) {
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n";
        else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            *os << "\\x" << std::hex << int(static_cast<unsigned char>(c)) << std::dec;
        else
            *os << c;
    }
    *os << '"';
}

inline void PrintTo(const QVariant &v, std::ostream *os)
{
    *os << v.toString().toStdString();
}
