// Time of one read of a 10 MB zeko.ini whose key is on its last line, from disk
// through ProfileFile::readFile as the course settings are read: once with a
// file of ordinary sections and keys, once with a long block of lines without
// '=' (notes, commented-out keys), the shape that used to cost time quadratic in
// the number of lines. Also gives the heap an IniDocument of the file holds, as
// a multiple of the file's size (its bytes and their decoded text).

#include "platform/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr qsizetype kFileSize = 10 * 1000 * 1000;

QByteArray ordinaryFile()
{
    QByteArray ini;
    ini.reserve(kFileSize + 4096);
    for (int book = 0; ini.size() < kFileSize; ++book) {
        const QByteArray n = QByteArray::number(book).rightJustified(6, '0');
        ini += "[Livro" + n + "]\r\nLetraDrive=X:\r\nCaminho=C:\\ZEKO_Download\\Download\\LIVRO_" + n +
               "\r\nIdioma=POR\r\n\r\n";
    }
    return ini + "[InstalacaoVersao5]\r\nIdiomaInst=ESP\r\n";
}

QByteArray linesWithoutEquals()
{
    QByteArray ini = "[Notas]\r\n";
    ini.reserve(kFileSize + 4096);
    for (int line = 0; ini.size() < kFileSize; ++line)
        ini += "; nota " + QByteArray::number(line) + " sem valor nenhum\r\n";
    return ini + "[InstalacaoVersao5]\r\nIdiomaInst=ESP\r\n";
}

size_t heapInUse()
{
    const struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;
}

void readAtTheEnd(benchmark::State &state, const QByteArray &content)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/zeko.ini");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) {
            state.SkipWithError("cannot write the file");
            return;
        }
    }
    size_t held = 0;
    {
        const size_t before = heapInUse();
        // Read as readFile reads it, into a block of the file's size.
        QFile f(path);
        QByteArray bytes(content.size(), Qt::Uninitialized);
        if (!f.open(QIODevice::ReadOnly) || f.read(bytes.data(), bytes.size()) != bytes.size()) {
            state.SkipWithError("cannot read the file");
            return;
        }
        const platform::IniDocument profile(std::move(bytes));
        held = heapInUse() - before;
    }
    for (auto _ : state) {
        const platform::ProfileRead r = platform::ProfileFile::readFile(
            path, QStringLiteral("InstalacaoVersao5"), QStringLiteral("IdiomaInst"), QString(), 255);
        if (r.value != QStringLiteral("ESP")) {
            state.SkipWithError("the key was not found");
            return;
        }
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * content.size());
    state.counters["file_mb"] = double(content.size()) / 1e6;
    state.counters["held_x"] = double(held) / double(content.size());
}

void BM_ReadZekoIni_Ordinary(benchmark::State &state)
{
    static const QByteArray content = ordinaryFile();
    readAtTheEnd(state, content);
}

void BM_ReadZekoIni_LinesWithoutEquals(benchmark::State &state)
{
    static const QByteArray content = linesWithoutEquals();
    readAtTheEnd(state, content);
}

} // namespace

BENCHMARK(BM_ReadZekoIni_Ordinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadZekoIni_LinesWithoutEquals)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
