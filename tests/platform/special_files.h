// Special files in place of the game's files, for the tests that check that
// nothing waits on one or reads one without end.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace specialfiles {

// A FIFO at path with nobody at either end: opening it for reading the
// ordinary way waits for a writer forever.
inline void makeFifo(const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path; }

// Runs read on another thread and reports whether it finished without
// waiting on the FIFO. A read stuck there is released by opening the FIFO's
// other end, so that a failing test still ends.
template <class Read>
bool finishesWithoutWaiting(const std::string& fifo, Read read)
{
    auto done = std::async(std::launch::async, read);
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) return true;
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    done.wait();
    if (writer >= 0) ::close(writer);
    return false;
}

}  // namespace specialfiles
