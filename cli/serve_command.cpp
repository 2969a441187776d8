#include "serve_command.h"

#include <iostream>

#include <http_service.h>

#include "printer_text.h"

namespace rawlet::cli {

namespace {

bridge::AllowList AllowedOrigins(const Options& options)
{
    bridge::AllowList allowed;
    for (const std::string& entry : options.allow) {
        try {
            allowed.Add(bridge::ParseAllowEntry(entry));
        } catch (const bridge::BadAllowEntry& problem) {
            throw UsageError(std::string("--allow: ") + problem.what());
        }
    }
    std::vector<std::string> problems;
    bridge::LoadAllowConf(allowed, problems);
    for (const std::string& problem : problems)
        std::cerr << "rawlet: " << Shown(problem) << "\n";
    if (allowed.empty())
        throw UsageError("no origin is allowed: give --allow ORIGIN, or allow lines in bridge.conf");
    return allowed;
}

bridge::ListenAddress Address(const Options& options)
{
    if (options.listen.empty())
        return {};
    try {
        return bridge::ParseListenAddress(options.listen);
    } catch (const std::invalid_argument& problem) {
        throw UsageError(problem.what());
    }
}

} // namespace

int Serve(const Options& options)
{
    const bridge::ListenAddress address = Address(options);
    bridge::HttpService service(AllowedOrigins(options), address);
    std::cerr << "rawlet serve: listening on port " << address.port << " of";
    for (const std::string& host : address.addresses)
        std::cerr << " " << host;
    std::cerr << std::endl;
    service.Run();
    return 0;
}

} // namespace rawlet::cli
