#pragma once

#include <functional>

namespace shell {

// Runs work on a thread of its own while the calling (window) thread goes on:
// first with enquanto, when given (a notice box, say), then in an event loop
// until the work is done. Returns once the work has finished.
void inBackground(const std::function<void()> &trabalho, const std::function<void()> &enquanto = {});

} // namespace shell
