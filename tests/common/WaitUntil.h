#pragma once

#include <QElapsedTimer>
#include <QThread>

#include <chrono>
#include <functional>
#include <string>

#include <gtest/gtest.h>

// Asks `condition` again and again until it holds, for what another program does
// and tells nobody about: a file it writes, a process it starts. Fails, naming
// what never came, once `timeout` has passed without it.
inline ::testing::AssertionResult
waitUntil(const std::string &what, const std::function<bool()> &condition, std::chrono::milliseconds timeout,
          std::chrono::milliseconds interval = std::chrono::milliseconds(50))
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return ::testing::AssertionSuccess();
        if (clock.elapsed() >= timeout.count())
            return ::testing::AssertionFailure()
                   << "still waiting after " << timeout.count() << " ms until " << what;
        QThread::msleep(static_cast<unsigned long>(interval.count()));
    }
}
