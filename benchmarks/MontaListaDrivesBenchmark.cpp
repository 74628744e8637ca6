// Time of one free-letter scan over the 23 letters D to Z with 23 registered
// books and no messages: once with every book unmounted (its row found, its
// folder checked) and once with every book mounted (its letter in use).

#include "common/ScriptedMessageBox.h"
#include "drive/MountDrive.h"
#include "platform/SingleInstance.h"
#include "platform/WinePlatform.h"
#include "shell/Startup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Setup {
    QTemporaryDir root;
    QString prefixDir = root.path() + "/prefix";
    QString installDir = root.path() + "/app";
    platform::WinePlatform wine{platform::WinePrefix(prefixDir)};
    platform::SingleInstance instance{"ZEKODownload", root.path() + "/lock"};
    shell::SharedState state;
    ScriptedMessageBox box{state};

    explicit Setup(bool mounted)
    {
        if (!platform::WinePrefix(prefixDir).ensureSkeleton())
            std::abort();
        QFile::remove(prefixDir + "/dosdevices/z:");
        QDir().mkpath(installDir);
        QFile::copy(ZEKO_CATALOGUE_DB, installDir + "/BancoMsgVD.db");
        QFile::copy(ZEKO_REGISTRY_TEMPLATE, installDir + "/ZEKOVD.db");
        QFile::setPermissions(installDir + "/ZEKOVD.db", QFile::ReadOwner | QFile::WriteOwner);
        if (shell::Startup(wine, instance, installDir).run(state).status != shell::StartupResult::Status::Ok)
            std::abort();
        for (char16_t l = u'D'; l <= u'Z'; ++l) {
            const QString name = QStringLiteral("LIVRO_%1").arg(QChar(l));
            QDir().mkpath(prefixDir + "/drive_c/ZEKO_Download/Download/" + name);
            const QString bookPath = "C:\\ZEKO_Download\\Download\\" + name;
            if (!state.rsMapeamento->addNew({{"Usuario", state.strUsuario},
                                             {"Curso", name},
                                             {"LetraDrive", QString(QChar(l)) + ":"},
                                             {"Caminho", bookPath}}))
                std::abort();
            if (mounted)
                (void)wine.defineDosDevice(QString(QChar(l)) + ":",
                                           bookPath); // a taken letter stays unmounted
        }
    }
};

void scan(benchmark::State &bench, bool mounted)
{
    Setup s(mounted);
    drive::MountDrive drives(s.wine, s.state, s.box);
    for (auto _ : bench) {
        drives.MontaListaDrives(false);
        benchmark::DoNotOptimize(s.state.strLetrasLivres);
    }
    if (!s.box.shown.isEmpty() || s.state.strLetrasLivres.size() != 1)
        bench.SkipWithError("the scan showed messages or listed letters");
}

void BM_MontaListaDrives_Unmounted(benchmark::State &bench)
{
    scan(bench, false);
}
void BM_MontaListaDrives_Mounted(benchmark::State &bench)
{
    scan(bench, true);
}

} // namespace

BENCHMARK(BM_MontaListaDrives_Unmounted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MontaListaDrives_Mounted)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
