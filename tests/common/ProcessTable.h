#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>

// What /proc tells of the machine's processes, for tests that must know whether a
// program runs, or has ended, without being the one that started it.

// The state letter of the process in /proc/PID/stat: 'R' or 'S' while it runs, 'Z'
// once it has ended and waits for its parent to reap it; '\0' when the process is
// gone altogether.
inline char processState(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '\0';
    // The name in brackets may hold blanks and brackets itself: the state follows the last one.
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line[close + 2] : '\0';
}

// The processes, other than this one, with `text` in any of their arguments
// (program name included). A process that has ended shows no arguments any more.
inline QList<qint64> processesMentioning(const QString &text)
{
    QList<qint64> found;
    const QByteArray wanted = text.toLocal8Bit();
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid || pid == self)
            continue;
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> arguments = cmdline.readAll().split('\0');
        for (const QByteArray &argument : arguments) {
            if (argument.contains(wanted)) {
                found.append(pid);
                break;
            }
        }
    }
    return found;
}
