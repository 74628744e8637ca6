#include "Background.h"

#include <QEventLoop>
#include <QThread>

#include <memory>

namespace shell {

void inBackground(const std::function<void()> &trabalho, const std::function<void()> &enquanto)
{
    std::unique_ptr<QThread> thread(QThread::create(trabalho));
    QEventLoop waits;
    // The end may be seen while enquanto runs its own event loop, before ours starts.
    bool terminou = false;
    QObject::connect(thread.get(), &QThread::finished, &waits, [&] {
        terminou = true;
        waits.quit();
    });
    thread->start();
    if (enquanto)
        enquanto();
    if (!terminou)
        waits.exec();
    thread->wait();
}

} // namespace shell
