#pragma once

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

// A throw-away install folder holding fresh copies of the built catalogue, of an
// empty registry and of its template, so tests can change, lock or break them freely.
class InstallDir {
  public:
    InstallDir()
    {
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEKO_CATALOGUE_DB), catalogue()));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEKO_REGISTRY_TEMPLATE), registry()));
        EXPECT_TRUE(QFile::copy(QStringLiteral(ZEKO_REGISTRY_TEMPLATE), registryTemplate()));
        QFile::setPermissions(catalogue(), QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(registry(), QFile::ReadOwner | QFile::WriteOwner);
        // Pictures and help are only read: the built ones serve every test.
        QFile::link(QStringLiteral(ZEKO_APP_DIR "/Imagens"), m_dir.path() + QStringLiteral("/Imagens"));
        QFile::link(QStringLiteral(ZEKO_APP_DIR "/Help"), m_dir.path() + QStringLiteral("/Help"));
    }
    QString path() const { return m_dir.path(); }
    QString catalogue() const { return m_dir.path() + QStringLiteral("/BancoMsgVD.db"); }
    QString registry() const { return m_dir.path() + QStringLiteral("/ZEKOVD.db"); }
    QString registryTemplate() const { return m_dir.path() + QStringLiteral("/ZEKOVD.template.db"); }

    // Makes the registry refuse every row added ("INSERT") or changed ("UPDATE"),
    // as a full or damaged database would: the tests run as root, whom file
    // permissions do not stop.
    void refuseRows(const char *statement) const
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(registry()).constData(), &db), SQLITE_OK);
        const QByteArray sql = QByteArray("CREATE TRIGGER refuse_") + statement + " BEFORE " + statement +
                               " ON Mapeamento BEGIN SELECT RAISE(ABORT, 'refused'); END;";
        EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    }

  private:
    QTemporaryDir m_dir;
};
