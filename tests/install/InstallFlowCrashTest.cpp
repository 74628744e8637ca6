// An installation killed with SIGKILL in the middle of the extraction: the
// registry and the disk still agree, the archive is still there, and installing
// it again cleans up and works.

#include "common/InstallDoubles.h"
#include "common/ManagerFixture.h"
#include "common/ZipBuilder.h"
#include "drive/MountDrive.h"
#include "install/InstallFlow.h"
#include "messages/Codes.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace code = messages::code;

namespace {

int filesBelow(const QString &dir)
{
    int n = 0;
    QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

// Incompressible data, so the archive is as large as the book and the extraction takes a while.
QByteArray noise(int size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = seed | 1;
    for (int i = 0; i < size; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b[i] = char(x);
    }
    return b;
}

// The helper opens the databases itself, and they are this program's only once it has gone.
class InstallFlowCrashTest : public ManagerFixture {
  protected:
    void SetUp() override {}
};

} // namespace

TEST_F(InstallFlowCrashTest, KilledMidExtractionLeavesNothingHalfDone)
{
    QTemporaryDir zips;
    const QString zip = zips.path() + "/Grande.zip";
    {
        ZipBuilder builder(zip);
        builder.file("Autorun.exe", "MZ");
        builder.file("Idioma.kvt", "POR");
        for (int i = 0; i < 400; ++i)
            builder.file(QStringLiteral("Midia/arquivo%1.bin").arg(i).toUtf8(), noise(512 * 1024, quint32(i)),
                         true);
        builder.close();
    }
    const qint64 zipSize = QFileInfo(zip).size();
    const QString download = prefix.driveC() + "/ZEKO_Download/Download";
    // The installation's working folder, once it has made one.
    auto stagingFolder = [&download] {
        const QStringList found = QDir(download).entryList({".zeko-staging-*"}, QDir::Dirs | QDir::Hidden);
        return found.isEmpty() ? QString() : download + "/" + found.first();
    };
    QString staging;

    QProcess helper;
    helper.start(ZEKO_INSTALL_CRASH_HELPER,
                 {prefix.root(), install.path(), zip, lockDir.path() + "/helper.lock"});
    ASSERT_TRUE(helper.waitForStarted(10000));
    QElapsedTimer clock;
    clock.start();
    // Waiting on the process also notices when it ends.
    while ((staging = stagingFolder()).isEmpty() || filesBelow(staging) < 20) {
        if (clock.elapsed() > 60000 || helper.waitForFinished(2))
            break;
    }
    ASSERT_EQ(helper.state(), QProcess::Running)
        << "the helper ended before it could be killed: " << helper.readAllStandardOutput().toStdString()
        << helper.readAllStandardError().toStdString();
    ::kill(pid_t(helper.processId()), SIGKILL);
    ASSERT_TRUE(helper.waitForFinished(10000));
    const int staged = filesBelow(staging);
    ASSERT_GT(staged, 0);
    ASSERT_LT(staged, 402) << "the extraction had finished: nothing was cut short";

    // Registry and disk agree: no row, no drive, no book folder; the archive whole.
    startUp();
    EXPECT_FALSE(state.rsMapeamento->findFirst("Curso", "Grande"));
    EXPECT_FALSE(QFileInfo::exists(download + "/Grande"));
    EXPECT_TRUE(mapped('Y').isEmpty());
    EXPECT_EQ(QFileInfo(zip).size(), zipSize);

    // Installing again clears what the killed one left and completes.
    drive::MountDrive drives(wine, state, box);
    ScriptedChoice chosen(zip);
    SilentPanel panel;
    install::InstallFlow flow(wine, state, box, drives, chosen, panel);
    (void)flow.InstalaLivro();
    EXPECT_EQ(box.texts(), QStringList{texto(code::BookInstalled, {"Grande", "Y"})});
    EXPECT_FALSE(QFileInfo::exists(staging));
    EXPECT_EQ(filesBelow(download + "/Grande"), 402);
    EXPECT_FALSE(QFileInfo::exists(zip));
}
