#include "loopback_printer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace rawlet::testing {

namespace {

constexpr auto kLongestStart = std::chrono::seconds(10);

int AwaitPort(const std::string& folder)
{
    const auto giveUp = std::chrono::steady_clock::now() + kLongestStart;
    while (std::chrono::steady_clock::now() < giveUp) {
        std::ifstream file(folder + "/port");
        int port = 0;
        if (file >> port)
            return port;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    throw std::runtime_error("the loopback printer did not start");
}

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

ChildProcess::ChildProcess(const std::vector<std::string>& command)
{
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    if (pid_ < 0)
        throw std::runtime_error("cannot start " + command.front());
}

ChildProcess::~ChildProcess()
{
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
}

LoopbackPrinter::LoopbackPrinter(const std::string& script, const std::string& mode)
    : script_({"python3", std::string(RAWLET_SOURCE_DIR) + "/tests/lib/" + script, mode, folder_.path()}),
      port_(AwaitPort(folder_.path()))
{}

posixapi::UniqueFd LoopbackPrinter::Connect() const
{
    posixapi::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!fd || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw std::runtime_error("cannot reach the loopback printer");
    ::fcntl(fd.get(), F_SETFL, ::fcntl(fd.get(), F_GETFL) | O_NONBLOCK);
    return fd;
}

} // namespace rawlet::testing
