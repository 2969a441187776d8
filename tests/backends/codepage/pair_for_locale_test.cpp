#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pair_for_locale.h"

namespace rawlet::codepage {
namespace {

using Environment = std::map<std::string, std::string>;

CodePagePair Choose(const Environment& environment)
{
    return PairFromEnvironment([&environment](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
    });
}

std::string ErrorOf(const Environment& environment)
{
    try {
        Choose(environment);
    } catch (const UnsupportedCodePage& error) {
        return error.what();
    }
    return "no error";
}

TEST(CodePageChoiceTest, FollowsTheLanguageOfTheLocale)
{
    EXPECT_EQ(PairForLocale("en_US.UTF-8"), (CodePagePair{1252, 437}));
    EXPECT_EQ(PairForLocale("de_DE@euro"), (CodePagePair{1252, 850}));
    EXPECT_EQ(PairForLocale("pt_BR"), (CodePagePair{1252, 850}));
    EXPECT_EQ(PairForLocale("cs_CZ.UTF-8"), (CodePagePair{1250, 852}));
    EXPECT_EQ(PairForLocale("uk_UA.UTF-8"), (CodePagePair{1251, 866}));
    EXPECT_EQ(PairForLocale("el_GR.ISO-8859-7"), (CodePagePair{1253, 737}));
    EXPECT_EQ(PairForLocale("tr"), (CodePagePair{1254, 857}));
}

TEST(CodePageChoiceTest, FallsBackToTheEnglishPairForOtherLocales)
{
    for (const char* locale : {"C", "POSIX", "C.UTF-8", "ja_JP.UTF-8", "", "english"})
        EXPECT_EQ(PairForLocale(locale), (CodePagePair{1252, 437})) << locale;
}

TEST(CodePageChoiceTest, TakesLcAllThenLcCtypeThenLang)
{
    EXPECT_EQ(Choose({{"LC_ALL", "ru_RU.UTF-8"}, {"LC_CTYPE", "pl_PL"}, {"LANG", "de_DE"}}),
              (CodePagePair{1251, 866}));
    EXPECT_EQ(Choose({{"LC_CTYPE", "pl_PL"}, {"LANG", "de_DE"}}), (CodePagePair{1250, 852}));
    EXPECT_EQ(Choose({{"LC_ALL", ""}, {"LANG", "de_DE"}}), (CodePagePair{1252, 850}));
    EXPECT_EQ(Choose({}), (CodePagePair{1252, 437}));
}

TEST(CodePageChoiceTest, OverridesReplaceEitherHalf)
{
    EXPECT_EQ(Choose({{"LANG", "en_US"}, {"RAWLET_OEM_CODEPAGE", "850"}}), (CodePagePair{1252, 850}));
    EXPECT_EQ(Choose({{"LANG", "de_DE"}, {"RAWLET_ANSI_CODEPAGE", "1251"}, {"RAWLET_OEM_CODEPAGE", "866"}}),
              (CodePagePair{1251, 866}));
    EXPECT_EQ(Choose({{"LANG", "tr_TR"}, {"RAWLET_ANSI_CODEPAGE", ""}}), (CodePagePair{1254, 857}));
}

TEST(CodePageChoiceTest, ExplainsOverridesThatCannotBeHonoured)
{
    EXPECT_THAT(ErrorOf({{"RAWLET_OEM_CODEPAGE", "999"}}), testing::HasSubstr("1252/999 is not supported"));
    EXPECT_THAT(ErrorOf({{"RAWLET_ANSI_CODEPAGE", "1251"}}), testing::HasSubstr("1251/437 is not supported"));
    EXPECT_THAT(ErrorOf({{"RAWLET_ANSI_CODEPAGE", "cp1252"}}),
                testing::HasSubstr("RAWLET_ANSI_CODEPAGE=cp1252 is not a code-page number"));
    EXPECT_THAT(ErrorOf({{"RAWLET_OEM_CODEPAGE", "437 "}}), testing::HasSubstr("RAWLET_OEM_CODEPAGE"));
}

} // namespace
} // namespace rawlet::codepage
