#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace rawlet::cli {

enum class Command { Help, Version, Printers, Print, Reset, About, Status, Serve };

struct Options {
    Command command = Command::Help;
    std::string printer;
    std::string title;
    bool translate = false;
    bool wait = false;
    int waitTimeout = 0;            // seconds --wait waits at most; 0: until the job ends
    bool utf8 = false;              // the input is UTF-8, to be converted to the ANSI code page
    bool longList = false;          // printers --long: with kind and URI
    bool quiet = false;             // no progress on the terminal
    bool json = false;              // status for programs
    bool check = false;             // print only when the printer is not known to be unready
    std::string probe;              // status in the printer's own language: "escpos" or "zpl"
    std::vector<std::string> files; // "-" or none: standard input
    std::string listen;             // serve --listen HOST:PORT
    std::vector<std::string> allow; // serve --allow ORIGIN[=PRINTER,...], each
};

// A command line that makes no sense; the message says why.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

Options ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;

} // namespace rawlet::cli
