#pragma once

#include <QByteArray>

#include <functional>
#include <optional>

namespace quibo {

// Runs `work` in a forked child process and returns the bytes it made. For a library call that may
// crash or corrupt its heap on a damaged file: the fault ends the child, not the program. Empty
// when the child was killed, exited with a failure, threw, or sent less (or more) than it made.
// `work` runs in a copy of this process with only the calling thread: it may use QtCore's value
// types and the library, nothing that waits on another thread.
std::optional<QByteArray> RunInChild(const std::function<QByteArray()>& work);

} // namespace quibo
