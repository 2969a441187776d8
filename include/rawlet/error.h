#pragma once

#include <exception>
#include <string>
#include <utility>

namespace rawlet {

// A numbered error of the control, as its caller receives it. An empty source and
// description leave the host to supply its standard text for the number. The front door
// (rawlet::Printer) adds the reason: one line naming the printer and what it, or its
// spooler, said, such as "Receipts (socket://10.0.0.5:9100): connection refused", and, for
// a job that may print, the job.
class Error : public std::exception {
public:
    Error(int number, std::string source, std::string description, std::string reason = {},
          std::string job = {})
        : number_(number), source_(std::move(source)), description_(std::move(description)),
          reason_(std::move(reason)), job_(std::move(job)),
          what_(reason_.empty() ? description_ : description_ + ": " + reason_)
    {}

    int number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    // Empty when nothing more is known than the description.
    const std::string& reason() const noexcept { return reason_; }
    // The job the failure leaves to look at ("Receipts-7", or a direct printer's name), when
    // it may print; empty otherwise.
    const std::string& job() const noexcept { return job_; }
    // The description, then the reason.
    const char* what() const noexcept override { return what_.c_str(); }

protected:
    Error() = default; // for the kinds below, whose most derived class builds the error

private:
    int number_ = 0;
    std::string source_;
    std::string description_;
    std::string reason_;
    std::string job_;
    std::string what_;
};

// The kinds of failure, to catch by what a program does next. A job that failed either will
// not print (NotPrinted: a retry prints it once) or may print (OutcomeUnknown: look at the
// job before a retry); a failed write is a WriteFailed of one of those two outcomes too. The
// number still tells the stage where the fault showed.
class NotPrinted : public virtual Error {
public:
    explicit NotPrinted(const Error& error) : Error(error) {}

protected:
    NotPrinted() = default;
};

class OutcomeUnknown : public virtual Error {
public:
    explicit OutcomeUnknown(const Error& error) : Error(error) {}

protected:
    OutcomeUnknown() = default;
};

// 32000: there is no such printer.
class PrinterNotFound : public NotPrinted {
public:
    explicit PrinterNotFound(const Error& error) : Error(error) {}
};

// 32036: the printer or its spooler refused the job at its start.
class JobRefused : public NotPrinted {
public:
    explicit JobRefused(const Error& error) : Error(error) {}
};

// 32037: the printer broke off, or the job was cancelled, while it was being written.
class WriteFailed : public virtual Error {
protected:
    WriteFailed() = default;
};

// The printer stopped taking bytes within its deadline.
class WriteTimeout : public WriteFailed {
protected:
    WriteTimeout() = default;
};

// A failure of a kind with its outcome, as it is thrown: FailureOf<WriteTimeout,
// OutcomeUnknown> is caught as either.
template <class Kind, class JobOutcome>
class FailureOf final : public Kind, public JobOutcome {
public:
    explicit FailureOf(const Error& error) : Error(error) {}
};

// The numbers of every error the control raises, and the source it names.
namespace errors {

// The control's name as its errors' source; a host gives it to errors raised without one.
inline constexpr const char* kSource = "Rawleter";

inline constexpr int kPrinterNameNotValid = 32000;
inline constexpr int kEndPageFailed = 32032;
inline constexpr int kNoDocumentStarted = 32033;
inline constexpr int kEndDocFailed = 32034;
inline constexpr int kQueueOpenFailed = 32036;
inline constexpr int kWriteFailed = 32037;
inline constexpr int kSetNotPermitted = 387;

// The text a host gives an error raised without one: "Set not permitted" for 387, the
// generic text for any other number.
const char* StandardDescription(int number);

} // namespace errors

} // namespace rawlet
