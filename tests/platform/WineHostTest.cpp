// Finding Wine's loaders and telling which Windows programs can run here.

#include "platform/WineHost.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using platform::WindowsExecutable;
using platform::WineHost;
using Limit32 = WineHost::Limit32;

namespace {

// The first bytes of an ELF program: class 1 or 2, little endian, the machine field.
QByteArray elfHeader(int elfClass, int machine)
{
    QByteArray h("\x7f"
                 "ELF",
                 4);
    h.append(char(elfClass)).append('\1').append('\1');
    h.append(QByteArray(11, '\0'));
    h.append(char(machine & 0xff)).append(char(machine >> 8));
    return h + QByteArray(64, '\0');
}

class FakeWineInstall {
  public:
    QString put(const QString &relative, const QByteArray &bytes, bool executable = true)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        if (executable)
            f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        return QFileInfo(path).canonicalFilePath();
    }
    QString link(const QString &relative, const QString &target)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(QFile::link(target, path));
        return path;
    }
    QString dir(const QString &relative) const { return m_dir.filePath(relative); }

  private:
    QTemporaryDir m_dir;
};

const QByteArray kElf32 = elfHeader(1, 3);
const QByteArray kElf64 = elfHeader(2, 62);
const QByteArray kWrapper = "#!/bin/sh\nexec /usr/lib/wine/wine \"$@\"\n";

} // namespace

// Debian: `wine` is a shell script, both loaders live in /usr/lib/wine.
TEST(WineHostFacts, DebianWrapperAndLoadersInTheLibraryFolder)
{
    FakeWineInstall fake;
    fake.put("bin/wine", kWrapper);
    const QString loader32 = fake.put("lib/wine/wine", kElf32);
    const QString loader64 = fake.put("lib/wine/wine64", kElf64);
    const WineHost::Facts facts = WineHost::gatherFacts({fake.dir("bin")}, {fake.dir("lib/wine")});
    EXPECT_EQ(facts.loader32, loader32);
    EXPECT_EQ(facts.loader64, loader64);
}

// Packages that put a link to the 32-bit loader on the path keep the 64-bit one
// beside it, off the path.
TEST(WineHostFacts, LoadersBesideALinkOnThePath)
{
    FakeWineInstall fake;
    const QString loader32 = fake.put("opt/wine/bin/wine", kElf32);
    const QString loader64 = fake.put("opt/wine/bin/wine64", kElf64);
    fake.link("bin/wine", loader32);
    const WineHost::Facts facts = WineHost::gatherFacts({fake.dir("bin")}, {});
    EXPECT_EQ(facts.loader32, loader32);
    EXPECT_EQ(facts.loader64, loader64);
}

// For 64-bit programs `wine` comes first when it is a 64-bit loader itself, then
// `wine64` on the path, then the library folder.
TEST(WineHostFacts, SixtyFourBitLoaderInOrder)
{
    FakeWineInstall fake;
    const QString wine = fake.put("a/wine", kElf64);
    const QString wine64 = fake.put("b/wine64", kElf64);
    const QString lib64 = fake.put("lib/wine/wine64", kElf64);
    EXPECT_EQ(WineHost::gatherFacts({fake.dir("a"), fake.dir("b")}, {fake.dir("lib/wine")}).loader64, wine);
    EXPECT_EQ(WineHost::gatherFacts({fake.dir("b")}, {fake.dir("lib/wine")}).loader64, wine64);
    EXPECT_EQ(WineHost::gatherFacts({fake.dir("empty")}, {fake.dir("lib/wine")}).loader64, lib64);
}

// The first 32-bit loader found wins likewise: `wine` on the path, then the library folder.
TEST(WineHostFacts, ThirtyTwoBitLoaderInOrder)
{
    FakeWineInstall fake;
    const QString wine = fake.put("a/wine", kElf32);
    const QString lib32 = fake.put("lib/wine/wine", kElf32);
    EXPECT_EQ(WineHost::gatherFacts({fake.dir("a")}, {fake.dir("lib/wine")}).loader32, wine);
    EXPECT_EQ(WineHost::gatherFacts({fake.dir("empty")}, {fake.dir("lib/wine")}).loader32, lib32);
}

// What cannot run here is no loader: a file without execute permission, an ELF
// program for another processor, a script.
TEST(WineHostFacts, OnlyRunnableLoadersForThisProcessorCount)
{
    FakeWineInstall fake;
    fake.put("lib/wine/wine", kElf32, /*executable=*/false);
    fake.put("lib/wine/wine64", elfHeader(2, 183)); // aarch64
    fake.put("bin/wine", kWrapper);
    const WineHost::Facts facts = WineHost::gatherFacts({fake.dir("bin")}, {fake.dir("lib/wine")});
    EXPECT_TRUE(facts.loader32.isEmpty()) << facts.loader32.toStdString();
    EXPECT_TRUE(facts.loader64.isEmpty()) << facts.loader64.toStdString();
    EXPECT_FALSE(WineHost(facts).installed());
}

// Each lack gets its own reason, and a program of a kind that cannot run gets no loader.
TEST(WineHostDecision, ReasonsAndLoaders)
{
    const QString l32 = "/x/wine", l64 = "/x/wine64";
    const auto X86 = WindowsExecutable::Kind::X86;
    const auto X64 = WindowsExecutable::Kind::X64;

    const WineHost none(WineHost::Facts{});
    EXPECT_FALSE(none.installed());
    EXPECT_EQ(none.limit32(), Limit32::NotInstalled);
    EXPECT_EQ(none.reason32(), "Wine is not installed");
    EXPECT_EQ(none.loaderFor(X64), "");

    const WineHost no32Part(WineHost::Facts{QString(), l64, true});
    EXPECT_EQ(no32Part.limit32(), Limit32::No32BitWine);
    EXPECT_EQ(no32Part.reason32(), "Wine's 32-bit part is not installed (wine32)");
    EXPECT_EQ(no32Part.loaderFor(X86), "");
    EXPECT_EQ(no32Part.loaderFor(X64), l64);
    EXPECT_EQ(no32Part.loaderForPrefix(/*win64=*/true), l64);
    EXPECT_EQ(no32Part.loaderForPrefix(/*win64=*/false), "");

    const WineHost no32Linux(WineHost::Facts{l32, l64, false});
    EXPECT_EQ(no32Linux.limit32(), Limit32::No32BitLinux);
    EXPECT_EQ(no32Linux.reason32(), "this Linux was started without 32-bit support");
    EXPECT_EQ(no32Linux.loaderFor(X86), "");
    EXPECT_EQ(no32Linux.loaderFor(X64), l64);

    // Installing wine32 alone would not help here, so the kernel is named first.
    const WineHost neither(WineHost::Facts{QString(), l64, false});
    EXPECT_EQ(neither.limit32(), Limit32::No32BitLinux);
    EXPECT_TRUE(neither.reason32().contains("without 32-bit support"));
    EXPECT_TRUE(neither.reason32().contains("(wine32)"));

    const WineHost both(WineHost::Facts{l32, l64, true});
    EXPECT_TRUE(both.runs32());
    EXPECT_EQ(both.reason32(), "");
    EXPECT_EQ(both.loaderFor(X86), l32);
    EXPECT_EQ(both.loaderFor(X64), l64);
    EXPECT_EQ(both.loaderFor(WindowsExecutable::Kind::OtherMachine), "");
    EXPECT_EQ(both.loaderForPrefix(/*win64=*/false), l32);

    // When the kernel could not be asked, the loaders decide; the start itself
    // then reports a loader that cannot run.
    EXPECT_TRUE(WineHost(WineHost::Facts{l32, l64, std::nullopt}).runs32());

    const WineHost only32(WineHost::Facts{l32, QString(), true});
    EXPECT_FALSE(only32.runs64());
    EXPECT_EQ(only32.loaderFor(X64), "");
}

// The kernel's answer agrees with what happens to Wine's real 32-bit loader.
TEST(WineHostOnThisMachine, KernelAnswerMatchesTheRealLoader)
{
    const std::optional<bool> runs32 = WineHost::linuxRuns32BitPrograms();
    ASSERT_TRUE(runs32.has_value()) << "the 32-bit check could not run";
    const QString loader32 = WineHost::current().facts().loader32;
    if (loader32.isEmpty())
        GTEST_SKIP() << "Wine's 32-bit part is not installed (wine32), so there is no real 32-bit loader to "
                        "compare with";
    QProcess loader;
    loader.start(loader32, {"--version"});
    const bool ran = loader.waitForStarted(10000) && loader.waitForFinished(30000) && loader.exitCode() == 0;
    EXPECT_EQ(*runs32, ran) << loader.errorString().toStdString();
    EXPECT_EQ(WineHost::current().runs32(), ran);
}
