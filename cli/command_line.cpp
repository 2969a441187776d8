#include "command_line.h"

#include <map>

namespace rawlet::cli {

const char* const kUsage = R"(Usage: rawlet COMMAND [OPTIONS]
Send text to a printer queue in raw form: the printer receives exactly the bytes given.

Commands:
  printers [--long]             list the printers, one device name per line; with
                                --long, each with its kind (queue or direct) and URI
  status [-d PRINTER [--probe escpos|zpl]] [--json]
                                show whether the printer (or each one) is ready, and why
                                not, and where each fact came from; exit status 0 when
                                ready, 1 when not. --probe also asks the direct printer in
                                its own language (bytes a printer of another one prints)
  print -d PRINTER [-t TITLE] [--utf8] [--translate] [--wait [--wait-timeout SECONDS]]
        [--check] [--quiet] [FILE...]
                                print the files (standard input when none, or "-") as
                                one document, byte for byte
      -d, --printer PRINTER     the printer (see "rawlet printers"); letter case is free;
                                or a device URI (socket://HOST:PORT, ipp://HOST/PATH,
                                serial:/dev/PATH?baud=N, file:/dev/PATH)
      -t, --title TITLE         the document's name in the print queue
      --utf8                    the input is UTF-8: convert it to the ANSI code page
      --translate               translate from the ANSI to the OEM (DOS) code page
      --wait                    wait until the printer has printed the job; fail if it
                                was stopped, canceled or aborted
      --wait-timeout SECONDS    wait at most this long; a job still open then is unknown
      --check                   ask the printer's status first; print nothing, exit
                                status 1, when it is known not to be ready
      -q, --quiet               show no progress (shown on a terminal for long jobs)
  reset -d PRINTER              send the printer the reset sequence ESC @
  about                         show the About texts and version
  serve [--listen HOST:PORT] [--allow ORIGIN[=PRINTER,...]]...
                                the bridge for web pages: an HTTP service on loopback
                                (127.0.0.1 and [::1], port 9187) through which pages of
                                the allowed origins print; see docs/web.md
      --listen HOST:PORT        HOST is 127.0.0.1, [::1] or localhost (both)
      --allow ORIGIN[=PRINTER,...]
                                let pages of ORIGIN (https://pos.example.com, exactly)
                                print, to the printers named, or to any; also the
                                "allow ORIGIN[=PRINTER,...]" lines of bridge.conf

Options:
  -h, --help                    show this help
  --version                     show the version

Exit status: 0 printed (with --wait) or delivered; 1 not printed (it never will) or
another error, shown as "rawlet: error NUMBER (SOURCE): DESCRIPTION" on standard error;
3 unknown (it may print: the message names the job); 2 a wrong command line. Empty input
makes no job ("nothing to print", status 1). SIGINT, SIGTERM or SIGHUP during print
cancels the job and exits 128 + signal.
Code pages follow the locale; RAWLET_ANSI_CODEPAGE and RAWLET_OEM_CODEPAGE override them.
Direct printers: RAWLET_PRINTERS or ~/.config/rawlet/printers.conf, /etc/rawlet/printers.conf.
Allowed origins: RAWLET_BRIDGE_CONF or ~/.config/rawlet/bridge.conf, /etc/rawlet/bridge.conf.
)";

namespace {

Command CommandNamed(const std::string& name)
{
    static const std::map<std::string, Command> kCommands = {
        {"printers", Command::Printers}, {"print", Command::Print}, {"reset", Command::Reset},
        {"about", Command::About},       {"help", Command::Help},   {"status", Command::Status},
        {"serve", Command::Serve},
    };
    auto it = kCommands.find(name);
    if (it == kCommands.end())
        throw UsageError("unknown command '" + name + "'");
    return it->second;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    Options Parse()
    {
        Options options;
        bool commandSeen = false;
        bool optionsEnded = false;
        for (index_ = 0; index_ < arguments_.size(); ++index_) {
            const std::string& argument = arguments_[index_];
            if (optionsEnded || argument == "-" || argument.empty() || argument[0] != '-') {
                if (!commandSeen) {
                    options.command = CommandNamed(argument);
                    commandSeen = true;
                } else {
                    options.files.push_back(argument);
                }
            } else if (argument == "--") {
                optionsEnded = true;
            } else if (argument == "-h" || argument == "--help") {
                return Options{};
            } else if (argument == "--version") {
                options.command = Command::Version;
                return options;
            } else if (argument == "--translate") {
                options.translate = true;
            } else if (argument == "--utf8") {
                options.utf8 = true;
            } else if (argument == "--wait") {
                options.wait = true;
            } else if (argument == "--wait-timeout" || argument.starts_with("--wait-timeout=")) {
                options.waitTimeout = Seconds(Value(argument, "--wait-timeout", "--wait-timeout"));
            } else if (argument == "--long") {
                options.longList = true;
            } else if (argument == "-q" || argument == "--quiet") {
                options.quiet = true;
            } else if (argument == "--json") {
                options.json = true;
            } else if (argument == "--check") {
                options.check = true;
            } else if (argument == "--probe" || argument.starts_with("--probe=")) {
                options.probe = Value(argument, "--probe", "--probe");
            } else if (argument == "--listen" || argument.starts_with("--listen=")) {
                options.listen = Value(argument, "--listen", "--listen");
            } else if (argument == "--allow" || argument.starts_with("--allow=")) {
                options.allow.push_back(Value(argument, "--allow", "--allow"));
            } else if (Matches(argument, "-d", "--printer")) {
                options.printer = Value(argument, "-d", "--printer");
            } else if (Matches(argument, "-t", "--title")) {
                options.title = Value(argument, "-t", "--title");
            } else {
                throw UsageError("unknown option '" + argument + "'");
            }
        }
        Check(options, commandSeen);
        return options;
    }

private:
    static bool Matches(const std::string& argument, const std::string& shortName,
                        const std::string& longName)
    {
        return argument.starts_with(shortName) || argument == longName ||
               argument.starts_with(longName + "=");
    }

    // The value of an option given as "-dNAME", "-d NAME", "--printer=NAME" or "--printer NAME".
    std::string Value(const std::string& argument, const std::string& shortName, const std::string& longName)
    {
        if (argument.starts_with(longName + "="))
            return argument.substr(longName.size() + 1);
        if (argument != longName && argument.size() > shortName.size() && !argument.starts_with("--"))
            return argument.substr(shortName.size());
        if (index_ + 1 >= arguments_.size())
            throw UsageError("option '" + argument + "' needs a value");
        return arguments_[++index_];
    }

    static int Seconds(const std::string& value)
    {
        std::size_t end = 0;
        int seconds = 0;
        try {
            seconds = std::stoi(value, &end);
        } catch (const std::exception&) {
            end = 0;
        }
        if (end == 0 || end != value.size() || seconds <= 0)
            throw UsageError("--wait-timeout takes a whole number of seconds, not '" + value + "'");
        return seconds;
    }

    static void Check(const Options& options, bool commandSeen)
    {
        if (!commandSeen)
            throw UsageError("no command given");
        const bool printing = options.command == Command::Print || options.command == Command::Reset;
        if (printing && options.printer.empty())
            throw UsageError("no printer given (-d PRINTER)");
        if (options.longList && options.command != Command::Printers)
            throw UsageError("--long goes with the printers command");
        if (options.waitTimeout != 0 && !options.wait)
            throw UsageError("--wait-timeout goes with --wait");
        if (options.check && options.command != Command::Print)
            throw UsageError("--check goes with the print command");
        const bool asksStatus = options.command == Command::Status || options.check;
        if (!options.probe.empty() && !asksStatus)
            throw UsageError("--probe goes with the status command or print --check");
        if (!options.probe.empty() && options.probe != "escpos" && options.probe != "zpl")
            throw UsageError("--probe takes escpos or zpl, not '" + options.probe + "'");
        // Its queries are print data to a printer of another language: never sent to them all.
        if (!options.probe.empty() && options.printer.empty())
            throw UsageError("--probe asks one printer in its own language: name it with -d PRINTER");
        if ((!options.listen.empty() || !options.allow.empty()) && options.command != Command::Serve)
            throw UsageError("--listen and --allow go with the serve command");
        if (options.command != Command::Print && !options.files.empty())
            throw UsageError("unexpected argument '" + options.files.front() + "'");
    }

    const std::vector<std::string>& arguments_;
    std::size_t index_ = 0;
};

} // namespace

Options ParseCommandLine(const std::vector<std::string>& arguments) { return Parser(arguments).Parse(); }

} // namespace rawlet::cli
