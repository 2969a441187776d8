// An operation that a driver ends long after its cancellation (some USB-serial adapters do):
// the wait gives up on it, and what the operation later moves never touches the caller's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <boost/asio/error.hpp>

#include "bounded_io.h"

namespace rawlet::direct {
namespace {

using namespace std::chrono_literals;

void IgnoreCancellation() {}

TEST(BoundedIo, AReadThatOutlivesItsWaitNeverWritesIntoTheCallersBuffer)
{
    BoundedIo io;
    boost::asio::mutable_buffer held;
    BoundedIo::Handler late;
    char into[] = "kept";
    const BoundedIo::Result read = io.Read(
        into, 4,
        [&](boost::asio::mutable_buffer buffer, const BoundedIo::Handler& handler) {
            held = buffer;
            late = handler;
        },
        Clock::now() + 10ms, IgnoreCancellation);
    EXPECT_FALSE(read.ended);
    EXPECT_EQ(read.error, boost::asio::error::timed_out);
    EXPECT_EQ(read.bytes, 0u);

    std::memset(held.data(), 'x', held.size()); // the driver, at last
    late({}, held.size());
    EXPECT_STREQ(into, "kept");
}

TEST(BoundedIo, AWriteThatOutlivesItsWaitStillSendsTheBytesItWasGiven)
{
    BoundedIo io;
    boost::asio::const_buffer held;
    BoundedIo::Handler late;
    {
        std::string piece = "receipt";
        const BoundedIo::Result written = io.Write(
            piece,
            [&](boost::asio::const_buffer buffer, const BoundedIo::Handler& handler) {
                held = buffer;
                late = handler;
            },
            Clock::now() + 10ms, IgnoreCancellation);
        EXPECT_FALSE(written.ended);
        piece.assign("-------"); // the caller's next use of its memory
    }
    EXPECT_EQ(std::string(static_cast<const char*>(held.data()), held.size()), "receipt");
    late({}, held.size());
}

// Its device serves reads in order: a second would hand the first what the printer says next.
TEST(BoundedIo, NoReadStartsUntilOneThatOutlivedItsWaitHasEnded)
{
    BoundedIo io;
    BoundedIo::Handler late;
    char into[4];
    int started = 0;
    const BoundedIo::ReadStart start = [&](boost::asio::mutable_buffer, const BoundedIo::Handler& handler) {
        ++started;
        late = handler;
    };
    EXPECT_FALSE(io.Read(into, sizeof into, start, Clock::now() + 10ms, IgnoreCancellation).ended);
    const BoundedIo::Result behind =
        io.Read(into, sizeof into, start, Clock::now() + 10ms, IgnoreCancellation);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(behind.error, boost::asio::error::already_started);
    EXPECT_EQ(behind.bytes, 0u);

    late({}, 0); // the driver, at last
    io.Read(into, sizeof into, start, Clock::now() + 10ms, IgnoreCancellation);
    EXPECT_EQ(started, 2);
}

TEST(BoundedIo, AnEndedReadHandsOverWhatItRead)
{
    BoundedIo io;
    char into[8] = {};
    const BoundedIo::Result read = io.Read(
        into, sizeof into,
        [](boost::asio::mutable_buffer buffer, const BoundedIo::Handler& handler) {
            std::memcpy(buffer.data(), "\x10\x04", 2);
            handler({}, 2);
        },
        Clock::now() + 1s, IgnoreCancellation);
    EXPECT_TRUE(read.ended);
    EXPECT_EQ(read.bytes, 2u);
    EXPECT_EQ(std::string(into, 2), "\x10\x04");
}

} // namespace
} // namespace rawlet::direct
