#include "platform/WindowsExecutable.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

namespace {

struct Discard {
    void operator()(zip_t *z) const { zip_discard(z); }
};
using Zip = std::unique_ptr<zip_t, Discard>;

Zip openSample()
{
    int code = 0;
    return Zip(zip_open(ZEKO_SAMPLE_BOOK, ZIP_RDONLY | ZIP_CHECKCONS, &code));
}

std::string names(zip_t *zip)
{
    std::string all;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        all += std::string(zip_get_name(zip, zip_uint64_t(i), ZIP_FL_ENC_RAW)) + '\n';
    return all;
}

QByteArray contentOf(zip_t *zip, const char *name)
{
    zip_stat_t st;
    if (zip_stat(zip, name, 0, &st) != 0)
        return {};
    zip_file_t *f = zip_fopen(zip, name, 0);
    if (!f)
        return {};
    QByteArray data(qsizetype(st.size), '\0');
    const zip_int64_t got = zip_fread(f, data.data(), st.size);
    zip_fclose(f);
    return got == zip_int64_t(st.size) ? data : QByteArray();
}

} // namespace

// What the manager and the course look for at the book's root: the start
// program, a 32-bit one as the course is, and the language.
TEST(SampleBook, RootHoldsTheCourseFiles)
{
    Zip zip = openSample();
    ASSERT_TRUE(zip) << ZEKO_SAMPLE_BOOK;

    const QByteArray autorun = contentOf(zip.get(), "Autorun.exe");
    ASSERT_FALSE(autorun.isEmpty()) << names(zip.get());
    QTemporaryDir dir;
    QFile exe(dir.filePath("Autorun.exe"));
    ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
    exe.write(autorun);
    exe.close();
    EXPECT_EQ(platform::WindowsExecutable::kindOf(exe.fileName()), platform::WindowsExecutable::Kind::X86);

    EXPECT_EQ(contentOf(zip.get(), "Idioma.kvt"), "POR");
    EXPECT_TRUE(contentOf(zip.get(), "Livro.txt").startsWith("Livro de Exemplo\r\n"));
}

// Accented names are flagged UTF-8, so a reader that follows the ZIP rules to the
// letter (CP437 unless flagged) gets them right; every file is deflated.
TEST(SampleBook, AccentedNamesAndCompression)
{
    Zip zip = openSample();
    ASSERT_TRUE(zip) << ZEKO_SAMPLE_BOOK;
    for (const char *name : {"Lições/Lição 1.txt", "Lições/Lição 2.txt", "Áudio/Ação.txt"}) {
        const zip_int64_t i = zip_name_locate(zip.get(), name, ZIP_FL_ENC_STRICT);
        ASSERT_GE(i, 0) << name << " not in\n" << names(zip.get());
        EXPECT_STREQ(zip_get_name(zip.get(), zip_uint64_t(i), ZIP_FL_ENC_STRICT), name);
        EXPECT_FALSE(contentOf(zip.get(), name).isEmpty()) << name;
    }
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip.get(), 0); ++i) {
        zip_stat_t st;
        ASSERT_EQ(zip_stat_index(zip.get(), zip_uint64_t(i), 0, &st), 0);
        if (st.size > 0) {
            EXPECT_EQ(st.comp_method, ZIP_CM_DEFLATE) << st.name;
        }
    }
}

// The same bytes on every build, wherever it runs: ZIP times are local times, so
// a generator that did not pin them would differ in another time zone.
TEST(SampleBook, SameBytesInAnotherTimeZone)
{
    QTemporaryDir dir;
    const QString again = dir.filePath("again.zip");
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TZ", "BRT3"); // three hours west of UTC, no zone database needed
    tool.setProcessEnvironment(env);
    tool.start(ZEKO_SAMPLE_BOOK_TOOL, {ZEKO_TEST_WIN32_DIR "/AUTORUN.EXE", again});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    QFile built(ZEKO_SAMPLE_BOOK), rebuilt(again);
    ASSERT_TRUE(built.open(QIODevice::ReadOnly));
    ASSERT_TRUE(rebuilt.open(QIODevice::ReadOnly));
    EXPECT_TRUE(built.readAll() == rebuilt.readAll());

    // And the time is the fixed one, not the time of the build.
    Zip zip = openSample();
    ASSERT_TRUE(zip);
    setenv("TZ", "UTC0", 1);
    tzset();
    zip_stat_t st;
    ASSERT_EQ(zip_stat(zip.get(), "Autorun.exe", 0, &st), 0);
    EXPECT_EQ(st.mtime, std::time_t(1704067200)); // 2024-01-01 00:00 UTC
}
