#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <rawlet/codepage/code_page_pair.h>

namespace rawlet::codepage {

// The value of an environment variable, or nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// The pair Windows gives a user of the locale's language (the part of a name such as
// "de_DE.UTF-8" before '_', '.' or '@'); 1252/437 for C, POSIX and languages not listed.
CodePagePair PairForLocale(std::string_view locale);

// The pair for the locale in LC_ALL, else LC_CTYPE, else LANG (empty counts as unset), with
// either half replaced by RAWLET_ANSI_CODEPAGE / RAWLET_OEM_CODEPAGE when set. Throws
// UnsupportedCodePage when an override is not a number or the pair has no tables.
CodePagePair PairFromEnvironment(const EnvironmentLookup& lookup);

// PairFromEnvironment over this process's environment.
CodePagePair PairFromProcessEnvironment();

} // namespace rawlet::codepage
