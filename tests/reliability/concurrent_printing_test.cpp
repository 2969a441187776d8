// Eight threads, a control instance each, print at once to four queues through one spooler:
// every job a device received is exactly one job a thread sent, so no byte crossed from one
// job to another.
#include <algorithm>
#include <memory>
#include <mutex>
#include <random>
#include <thread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "job_bytes.h"
#include "posix_platform.h"
#include "sandbox_queue.h"
#include <rawlet/rawlet.h>

namespace rawlet::testing {
namespace {

constexpr std::size_t kQueues = 4;
constexpr std::size_t kThreads = 8;
constexpr int kJobsPerThread = 6;

// Jobs of random length written in pieces of random length, so writes of threads sharing a
// queue interleave.
void PrintJobs(posix::PosixPlatform& application, const std::string& printer, std::size_t thread,
               std::vector<std::string>& sent, std::mutex& sentLock)
{
    std::mt19937 random(static_cast<unsigned>(thread));
    Rawlet instance(application.Services());
    instance.SetPrinterName(printer);
    for (int job = 0; job < kJobsPerThread; ++job) {
        const auto size = std::uniform_int_distribution<std::size_t>(1, 512 << 10)(random);
        const std::string bytes = RandomBytes(thread * 1000 + static_cast<std::size_t>(job), size);
        for (std::size_t offset = 0; offset < size;) {
            const auto piece = std::uniform_int_distribution<std::size_t>(1, 16 << 10)(random);
            instance.SetPrinterData(std::string_view(bytes).substr(offset, piece));
            offset += piece;
        }
        instance.PrinterClose();
        std::lock_guard lock(sentLock);
        sent.push_back(bytes);
    }
}

std::vector<std::string> Sorted(std::vector<std::string> jobs)
{
    std::sort(jobs.begin(), jobs.end());
    return jobs;
}

TEST(ConcurrentPrinting, EightThreadsOnFourQueuesKeepEveryJobApart)
{
    std::vector<std::unique_ptr<SandboxQueue>> queues;
    for (std::size_t q = 0; q < kQueues; ++q)
        queues.push_back(std::make_unique<SandboxQueue>("concurrent-" + std::to_string(q)));
    posix::PosixPlatform application{{1252, 437}}; // one spooler serves every thread, each on its own handles
    std::vector<std::string> sent[kQueues];
    std::mutex sentLock;

    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t)
        threads.emplace_back(PrintJobs, std::ref(application), queues[t % kQueues]->name(), t,
                             std::ref(sent[t % kQueues]), std::ref(sentLock));
    for (std::thread& thread : threads)
        thread.join();

    for (std::size_t q = 0; q < kQueues; ++q) {
        const std::vector<std::string> received = queues[q]->ReceivedJobs();
        ASSERT_EQ(received.size(), sent[q].size()) << queues[q]->name();
        EXPECT_TRUE(Sorted(received) == Sorted(sent[q])) << queues[q]->name();
    }
}

} // namespace
} // namespace rawlet::testing
