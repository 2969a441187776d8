#include "interruptible.h"

#include <atomic>
#include <csignal>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>

#include <pybind11/pybind11.h>

#include "unique_fd.h"

namespace py = pybind11;

namespace rawlet::python {

namespace {

using posixapi::UniqueFd;

// Python's own SIGINT handler while ours stands in for it, and how ours tells the watcher.
struct sigaction pythonsHandler;
std::atomic<bool> interrupted = false;
std::atomic<int> interruptionPipe = -1;

extern "C" void OnInterrupt(int number)
{
    const int savedErrno = errno;
    pythonsHandler.sa_handler(number); // the main thread raises KeyboardInterrupt once it can
    interrupted = true;
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(interruptionPipe, &byte, 1);
    errno = savedErrno;
}

// The thread that stops the main thread's call when SIGINT comes: a signal handler may do
// next to nothing itself. One for the process, kept for its life, as its thread is.
class Watcher {
public:
    Watcher()
    {
        int ends[2];
        if (::pipe(ends) != 0)
            throw std::system_error(errno, std::generic_category(), "rawlet: no pipe for Ctrl-C");
        readEnd_.Reset(ends[0]);
        writeEnd_.Reset(ends[1]);
        ::fcntl(writeEnd_.get(), F_SETFL, O_NONBLOCK); // a handler never blocks
        ::fcntl(readEnd_.get(), F_SETFD, FD_CLOEXEC);
        ::fcntl(writeEnd_.get(), F_SETFD, FD_CLOEXEC);
        interruptionPipe = writeEnd_.get();
        std::thread([this] { Watch(); }).detach();
    }

    // While armed, SIGINT stops the call with `stop`.
    void Arm(const std::function<void()>& stop)
    {
        std::lock_guard lock(mutex_);
        stop_ = &stop;
        interrupted = false; // an earlier SIGINT, whose byte may still be unread, is not this call's
    }

    void Disarm()
    {
        std::lock_guard lock(mutex_);
        stop_ = nullptr;
    }

private:
    void Watch()
    {
        for (;;) {
            char byte;
            const ssize_t got = ::read(readEnd_.get(), &byte, 1);
            if (got < 0 && errno == EINTR)
                continue;
            if (got != 1)
                return;
            std::lock_guard lock(mutex_);
            if (stop_ && interrupted)
                (*stop_)();
        }
    }

    UniqueFd readEnd_;
    UniqueFd writeEnd_;
    std::mutex mutex_; // guards stop_, which the call holds until it has disarmed
    const std::function<void()>* stop_ = nullptr;
};

// Made at the first call; a child of fork() has no thread for it, and makes its own.
Watcher* watcher = nullptr;

void ForgetWatcher() { watcher = nullptr; }

Watcher& TheWatcher()
{
    static std::once_flag forgottenByForks;
    std::call_once(forgottenByForks, [] { ::pthread_atfork(nullptr, nullptr, ForgetWatcher); });
    if (!watcher)
        watcher = new Watcher();
    return *watcher;
}

bool OnMainThread()
{
    static const unsigned long mainThread =
        py::module_::import("threading").attr("main_thread")().attr("ident").cast<unsigned long>();
    return PyThread_get_thread_ident() == mainThread;
}

// Only a handler known to raise may have the call stopped for it. Looked up once, and kept
// past the interpreter's end, as module objects are; in the module under `signal`, whose
// getsignal() costs an exception caught for each answer that is no number.
bool CtrlCRaises()
{
    static const py::handle signal = py::module_::import("_signal").release();
    static const py::handle getsignal = py::object(signal.attr("getsignal")).release();
    static const py::handle raising = py::object(signal.attr("default_int_handler")).release();
    return getsignal(SIGINT).is(raising);
}

// SIGINT goes to our handler, then Python's, for the length of one call on the main thread,
// when Python's own handler is in place (a program may have installed its own, in C).
class CtrlCStops {
public:
    explicit CtrlCStops(const std::function<void()>& stop)
    {
        ::sigaction(SIGINT, nullptr, &pythonsHandler);
        if (pythonsHandler.sa_handler == SIG_DFL || pythonsHandler.sa_handler == SIG_IGN ||
            (pythonsHandler.sa_flags & SA_SIGINFO))
            return;
        struct sigaction ours = pythonsHandler;
        ours.sa_handler = OnInterrupt;
        watcher_ = &TheWatcher();
        watcher_->Arm(stop);
        ::sigaction(SIGINT, &ours, nullptr);
        armed = true;
    }
    ~CtrlCStops()
    {
        if (!watcher_)
            return;
        ::sigaction(SIGINT, &pythonsHandler, nullptr);
        watcher_->Disarm();
        armed = false;
    }
    CtrlCStops(const CtrlCStops&) = delete;
    CtrlCStops& operator=(const CtrlCStops&) = delete;

    // The main thread's call is under way: one a progress call makes meanwhile runs as it is.
    static inline bool armed = false;

private:
    Watcher* watcher_ = nullptr;
};

} // namespace

void RunWithoutGil(const std::function<void()>& work, const std::function<void()>& stop)
{
    if (!OnMainThread() || CtrlCStops::armed || !CtrlCRaises()) {
        py::gil_scoped_release released;
        work();
        return;
    }
    std::exception_ptr failure;
    {
        py::gil_scoped_release released;
        const CtrlCStops ctrlC(stop);
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    if (PyErr_CheckSignals() != 0)
        throw py::error_already_set();
    if (failure)
        std::rethrow_exception(failure);
}

} // namespace rawlet::python
