#pragma once

#include <exception>
#include <string>
#include <utility>

namespace rawlet {

// A numbered error of the control, as its caller receives it. An empty source and
// description leave the host to supply its standard text for the number.
class Error : public std::exception {
public:
    Error(int number, std::string source, std::string description)
        : number_(number), source_(std::move(source)), description_(std::move(description))
    {}

    int number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

private:
    int number_;
    std::string source_;
    std::string description_;
};

} // namespace rawlet
