#pragma once

#include <exception>
#include <string>
#include <utility>

namespace rawlet {

// A numbered error of the control, as its caller receives it. An empty source and
// description leave the host to supply its standard text for the number. The front door
// (rawlet::Printer) adds the reason: one line naming the printer and what it, or its
// spooler, said, such as "Receipts (socket://10.0.0.5:9100): connection refused".
class Error : public std::exception {
public:
    Error(int number, std::string source, std::string description, std::string reason = {})
        : number_(number), source_(std::move(source)), description_(std::move(description)),
          reason_(std::move(reason))
    {}

    int number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    // Empty when nothing more is known than the description.
    const std::string& reason() const noexcept { return reason_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int number_;
    std::string source_;
    std::string description_;
    std::string reason_;
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
