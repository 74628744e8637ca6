#include "SegundoPlano.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace shell {

void emSegundoPlano(const std::function<void()> &trabalho, const std::function<void()> &enquanto)
{
    std::unique_ptr<QThread> thread(QThread::create(trabalho));
    QEventLoop espera;
    // The end may be seen while enquanto runs its own event loop, before ours starts.
    bool terminou = false;
    QObject::connect(thread.get(), &QThread::finished, &espera, [&] {
        terminou = true;
        espera.quit();
    });
    thread->start();
    if (enquanto)
        enquanto();
    if (!terminou)
        espera.exec();
    thread->wait();
}

} // namespace shell
