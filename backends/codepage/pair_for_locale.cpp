#include "pair_for_locale.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdlib>

#include "code_page_tables.h"

namespace rawlet::codepage {
namespace {

struct LanguagePair {
    std::string_view language;
    CodePagePair pair;
};

constexpr CodePagePair kDefaultPair{1252, 437};

constexpr std::array kLanguagePairs{
    LanguagePair{"en", {1252, 437}}, LanguagePair{"de", {1252, 850}}, LanguagePair{"fr", {1252, 850}},
    LanguagePair{"es", {1252, 850}}, LanguagePair{"it", {1252, 850}}, LanguagePair{"nl", {1252, 850}},
    LanguagePair{"pt", {1252, 850}}, LanguagePair{"pl", {1250, 852}}, LanguagePair{"cs", {1250, 852}},
    LanguagePair{"hu", {1250, 852}}, LanguagePair{"ru", {1251, 866}}, LanguagePair{"uk", {1251, 866}},
    LanguagePair{"el", {1253, 737}}, LanguagePair{"tr", {1254, 857}},
};

std::string LanguageOf(std::string_view locale)
{
    std::string language(locale.substr(0, locale.find_first_of("_.@")));
    std::ranges::transform(language, language.begin(), [](char c) {
        return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    });
    return language;
}

std::optional<std::string> NonEmpty(const EnvironmentLookup& lookup, const char* name)
{
    std::optional<std::string> value = lookup(name);
    if (value && value->empty())
        return std::nullopt;
    return value;
}

std::string LocaleOf(const EnvironmentLookup& lookup)
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"})
        if (std::optional<std::string> value = NonEmpty(lookup, name))
            return *value;
    return "C";
}

int ParseOverride(const char* name, const std::string& value)
{
    int codePage = 0;
    const char* end = value.data() + value.size();
    const auto [stop, error] = std::from_chars(value.data(), end, codePage);
    if (error != std::errc() || stop != end)
        throw UnsupportedCodePage(std::string(name) + "=" + value + " is not a code-page number");
    return codePage;
}

void ApplyOverride(const EnvironmentLookup& lookup, const char* name, int& codePage)
{
    if (std::optional<std::string> value = NonEmpty(lookup, name))
        codePage = ParseOverride(name, *value);
}

} // namespace

CodePagePair PairForLocale(std::string_view locale)
{
    const std::string language = LanguageOf(locale);
    const auto found = std::ranges::find(kLanguagePairs, language, &LanguagePair::language);
    return found == kLanguagePairs.end() ? kDefaultPair : found->pair;
}

CodePagePair PairFromEnvironment(const EnvironmentLookup& lookup)
{
    CodePagePair pair = PairForLocale(LocaleOf(lookup));
    ApplyOverride(lookup, "RAWLET_ANSI_CODEPAGE", pair.ansi);
    ApplyOverride(lookup, "RAWLET_OEM_CODEPAGE", pair.oem);
    // Fails here, naming the pair, rather than later when the tables are looked up.
    FindOemTranslation(pair);
    return pair;
}

CodePagePair PairFromProcessEnvironment()
{
    return PairFromEnvironment([](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    });
}

} // namespace rawlet::codepage
