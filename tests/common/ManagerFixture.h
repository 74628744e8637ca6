#pragma once

#include "common/InstallDir.h"
#include "common/NamedUserPlatform.h"
#include "common/PrefixDir.h"
#include "common/ScriptedMessageBox.h"
#include "messages/Catalogue.h"
#include "platform/SingleInstance.h"
#include "shell/Startup.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

// The manager as the start-up leaves it, on a prefix laid out on disk, with a
// fresh registry and catalogue, user MARIA and a scripted message box.
class ManagerFixture : public ::testing::Test {
  protected:
    explicit ManagerFixture(const char *language = "POR")
        : wine(prefix.prefix(), "maria")
        , instance("ZEKODownload", lockDir.path() + "/lock")
        , box(state)
    {
        prefix.writeZekoIni(QByteArray("[InstalacaoVersao5]\r\nIdiomaInst=") + language +
                            "\r\nDriveCD=D:\r\n");
        QDir().mkpath(prefix.driveC() + "/ZEKO_Download/Download");
    }

    // Whatever a test did, no box it showed mixed English into the user's language.
    ~ManagerFixture() override { EXPECT_EQ(box.inEnglishAmidst, QStringList()); }

    void SetUp() override { startUp(); }

    void startUp()
    {
        state = shell::SharedState{};
        const shell::StartupResult r = shell::Startup(*platform(), instance, install.path()).run(state);
        ASSERT_EQ(r.status, shell::StartupResult::Status::Ok) << r.message.toStdString();
    }

    // The platform the flows use; a test may put a failing one in its place.
    virtual platform::Platform *platform() { return &wine; }

    // A book folder with the two files that make it a book.
    QString makeBook(const QString &name)
    {
        const QString folder = prefix.driveC() + "/ZEKO_Download/Download/" + name;
        prefix.writeFile(folder + "/Autorun.exe", "MZ");
        prefix.writeFile(folder + "/Idioma.kvt", "POR");
        return "C:\\ZEKO_Download\\Download\\" + name;
    }

    void registerBook(const QString &user, const QString &course, const QString &letter,
                      const QString &caminho)
    {
        ASSERT_TRUE(state.rsMapeamento->addNew(
            {{"Usuario", user}, {"Curso", course}, {"LetraDrive", letter}, {"Caminho", caminho}}));
    }

    // Maps a letter by hand, as another program or an earlier run left it.
    void link(QChar letter, const QString &unixTarget)
    {
        ASSERT_TRUE(QFile::link(unixTarget, prefix.root() + "/dosdevices/" + letter.toLower() + ":"));
    }
    QString mapped(QChar letter) const
    {
        return QFileInfo(prefix.root() + "/dosdevices/" + letter.toLower() + ":").canonicalFilePath();
    }
    QString unixOf(const QString &windowsPath) const
    {
        return QFileInfo(wine.toUnixPath(windowsPath)).canonicalFilePath();
    }

    QString texto(int code, const QStringList &params = {})
    {
        return state.catalogue->mensagem(code, params);
    }
    QString descricao(int code) { return state.catalogue->descricao(code); }

    PrefixDir prefix;
    InstallDir install;
    QTemporaryDir lockDir;
    NamedUserPlatform wine;
    platform::SingleInstance instance;
    shell::SharedState state;
    ScriptedMessageBox box;
};
