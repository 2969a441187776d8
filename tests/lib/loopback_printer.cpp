#include "loopback_printer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace rawlet::testing {

namespace {

// Starts and stops the fake printers, and waits for them to listen.
const std::string kLauncher = "'" RAWLET_SOURCE_DIR "/scripts/lib/fake-printer'";

} // namespace

TemporaryFolder::TemporaryFolder()
    : path_((std::filesystem::temp_directory_path() / "rawlet-printer-XXXXXX").string())
{
    if (!::mkdtemp(path_.data()))
        throw std::runtime_error("cannot make a folder for the printer");
}

TemporaryFolder::~TemporaryFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

FakePrinter::FakePrinter(const std::string& mode, const std::string& folder) : folder_(folder)
{
    // The launcher prints the port once the printer listens, and says on standard error why
    // it does not.
    const std::string start = kLauncher + " start '" + mode + "' '" + folder_ + "'";
    const std::unique_ptr<FILE, decltype(&::pclose)> output(::popen(start.c_str(), "r"), ::pclose);
    if (!output || std::fscanf(output.get(), "%d", &port_) != 1)
        throw std::runtime_error("the fake printer did not start: " + start);
}

FakePrinter::~FakePrinter()
{
    const std::string stop = kLauncher + " stop '" + folder_ + "'";
    if (std::system(stop.c_str()) != 0)
        std::fprintf(stderr, "the fake printer in %s did not stop\n", folder_.c_str());
}

LoopbackPrinter::LoopbackPrinter(const std::string& language, const std::string& state)
    : LoopbackPrinter(language + ":" + state)
{}

LoopbackPrinter::LoopbackPrinter(const std::string& mode) : printer_(mode, folder_.path()) {}

posixapi::UniqueFd LoopbackPrinter::Connect() const
{
    posixapi::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(printer_.port()));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!fd || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot reach the loopback printer");
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
    return fd;
}

} // namespace rawlet::testing
