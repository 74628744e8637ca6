#pragma once

#include "platform/WinePrefix.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A Wine prefix laid out on disk the way Wine lays one out (dosdevices/c: and z:,
// drive_c/windows, the architecture line of system.reg), without running Wine.
class PrefixDir {
  public:
    explicit PrefixDir(bool win64 = true)
    {
        const QString root = m_dir.path();
        QDir(root).mkpath(QStringLiteral("dosdevices"));
        QDir(root).mkpath(QStringLiteral("drive_c/windows/system32"));
        if (win64)
            QDir(root).mkpath(QStringLiteral("drive_c/windows/syswow64"));
        QFile::link(QStringLiteral("../drive_c"), root + QStringLiteral("/dosdevices/c:"));
        QFile::link(QStringLiteral("/"), root + QStringLiteral("/dosdevices/z:"));
        QFile reg(root + QStringLiteral("/system.reg"));
        EXPECT_TRUE(reg.open(QIODevice::WriteOnly));
        reg.write(win64 ? "WINE REGISTRY Version 2\n\n#arch=win64\n"
                        : "WINE REGISTRY Version 2\n\n#arch=win32\n");
    }

    QString root() const { return m_dir.path(); }
    platform::WinePrefix prefix() const { return platform::WinePrefix(root()); }
    QString driveC() const { return root() + QStringLiteral("/drive_c"); }
    // Where a 32-bit program's C:\windows\system32 lies.
    QString systemFolder() const
    {
        return driveC() + (QFileInfo(driveC() + QStringLiteral("/windows/syswow64")).isDir()
                               ? QStringLiteral("/windows/syswow64")
                               : QStringLiteral("/windows/system32"));
    }
    QString zekoIni() const { return systemFolder() + QStringLiteral("/zeko.ini"); }

    void writeFile(const QString &path, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    void writeZekoIni(const QByteArray &bytes) const { writeFile(zekoIni(), bytes); }
    QByteArray readFile(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

  private:
    QTemporaryDir m_dir;
};
