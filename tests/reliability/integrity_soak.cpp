// The integrity soak: jobs of random sizes and random bytes through the control into a raw
// queue of a private scheduler, then every job's SHA-256 at the device compared with the
// sent one. Prints "N jobs, N bytes, N lost, N corrupted" and exits with 1 unless nothing
// was lost or corrupted and the scheduler reported every job completed.
//
//   rawlet_integrity_soak SANDBOX_DIR QUEUE JOBS MAX_BYTES [SEED]
//
// The queue is added to the sandbox's scheduler (CUPS_SERVER must name it) if it is new.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cups_printer_list.h"
#include "cups_spooler.h"
#include "job_bytes.h"
#include "posix_platform.h"
#include "queue_job_follow.h"
#include <rawlet/rawlet.h>

namespace {

using namespace rawlet;
using namespace rawlet::testing;
namespace fs = std::filesystem;

struct Settings {
    fs::path sandbox;
    std::string queue;
    int jobs = 0;
    std::size_t maxBytes = 0;
    std::uint64_t seed = 1;
};

struct SentJob {
    std::size_t size;
    std::string sha256;
};

fs::path DeviceFile(const Settings& settings, int number)
{
    return settings.sandbox / "devices" / settings.queue / ("job-" + std::to_string(number) + ".bin");
}

int CountDeviceFiles(const Settings& settings)
{
    int count = 0;
    while (fs::exists(DeviceFile(settings, count + 1)))
        ++count;
    return count;
}

// Half the sizes spread evenly over the range, half evenly over its orders of magnitude,
// so that tiny jobs are as common as large ones.
std::size_t RandomSize(std::mt19937_64& random, std::size_t maxBytes)
{
    if (random() % 2 == 0)
        return std::uniform_int_distribution<std::size_t>(1, maxBytes)(random);
    const double exponent =
        std::uniform_real_distribution<double>(0.0, std::log(static_cast<double>(maxBytes)))(random);
    return std::clamp<std::size_t>(static_cast<std::size_t>(std::exp(exponent)), 1, maxBytes);
}

// One job through the control, in writes of random lengths, ended without adding a byte.
SentJob PrintJob(Rawlet& control, std::mt19937_64& random, const Settings& settings)
{
    const std::size_t size = RandomSize(random, settings.maxBytes);
    const std::string bytes = RandomBytes(random(), size);
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 1 << 20)(random);
        control.SetPrinterData(rest.substr(0, length));
        rest.remove_prefix(std::min(length, rest.size()));
    }
    control.PrinterClose();
    return {size, Sha256(bytes)};
}

bool WaitForDeviceFiles(const Settings& settings, int count, std::chrono::seconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (CountDeviceFiles(settings) < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

int Run(const Settings& settings)
{
    const std::string add = std::string(RAWLET_SOURCE_DIR) + "/scripts/cups-sandbox add '" +
                            settings.sandbox.string() + "' '" + settings.queue + "' >/dev/null";
    if (std::system(add.c_str()) != 0) {
        std::cerr << "cannot add queue " << settings.queue << "\n";
        return 1;
    }
    const int earlierFiles = CountDeviceFiles(settings);

    posix::PosixPlatform application{{1252, 437}};
    Rawlet control(application.Services());
    control.SetPrinterName(settings.queue);
    std::mt19937_64 random(settings.seed);
    std::vector<SentJob> sent;
    std::size_t totalBytes = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int job = 0; job < settings.jobs; ++job) {
        sent.push_back(PrintJob(control, random, settings));
        totalBytes += sent.back().size;
    }

    // The device stores a job once the scheduler has sent all of it; allow a generous rate.
    const auto timeout = std::chrono::seconds(60 + totalBytes / (20 << 20));
    WaitForDeviceFiles(settings, earlierFiles + settings.jobs, timeout);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    int lost = 0;
    int corrupted = 0;
    for (int job = 0; job < settings.jobs; ++job) {
        const fs::path file = DeviceFile(settings, earlierFiles + job + 1);
        if (!fs::exists(file))
            ++lost;
        else if (Sha256OfFile(file) != sent[static_cast<std::size_t>(job)].sha256)
            ++corrupted;
    }
    int notCompleted = 0;
    for (const cups::CreatedJob& job : application.spooler().CreatedJobs())
        notCompleted += !job.accepted || cups::FollowJob(job).outcome != Outcome::printed;

    std::cout << settings.jobs << " jobs, " << totalBytes << " bytes, " << lost << " lost, " << corrupted
              << " corrupted\n";
    std::cout << "scheduler: " << settings.jobs - notCompleted << " of " << settings.jobs
              << " jobs completed; " << seconds << " s until the device held every job\n";
    return lost == 0 && corrupted == 0 && notCompleted == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        std::cerr << "usage: rawlet_integrity_soak SANDBOX_DIR QUEUE JOBS MAX_BYTES [SEED]\n";
        return 2;
    }
    Settings settings{argv[1], argv[2], std::atoi(argv[3]), std::stoull(argv[4]),
                      argc > 5 ? std::stoull(argv[5]) : 1};
    try {
        return Run(settings);
    } catch (const Error& error) {
        std::cerr << "error " << error.number() << ": " << error.description() << "\n";
        return 1;
    }
}
