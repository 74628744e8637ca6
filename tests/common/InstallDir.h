#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A throw-away install folder holding fresh copies of the built catalogue and of
// an empty registry, so tests can change, lock or break them freely.
class InstallDir {
  public:
    InstallDir()
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEKO_CATALOGUE_DB), catalogue()));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEKO_REGISTRY_TEMPLATE), registry()));
        QFile::setPermissions(catalogue(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(registry(), QFile::ReadOwner | QFile::WriteOwner);
        // Pictures and help are only read: the built ones serve every test.
        QFile::link(QStringLiteral(ZEKO_APP_DIR "/Imagens"), m_dir.path() + QStringLiteral("/Imagens"));
        QFile::link(QStringLiteral(ZEKO_APP_DIR "/Help"), m_dir.path() + QStringLiteral("/Help"));
    }
    QString path() const { return m_dir.path(); }
    QString catalogue() const { return m_dir.path() + QStringLiteral("/BancoMsgVD.db"); }
    QString registry() const { return m_dir.path() + QStringLiteral("/ZEKOVD.db"); }

  private:
    QTemporaryDir m_dir;
};
