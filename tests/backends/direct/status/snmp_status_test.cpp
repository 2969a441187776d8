// SNMP status asked of real agents (net-snmp's snmpd, started by tests/lib/snmp-agent.sh),
// each answering for one printer on a loopback address of its own.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "status_sources.h"

namespace rawlet::direct {
namespace {

using namespace std::chrono_literals;
using State = platform::PrinterStatus::State;

constexpr int kAgentPort = 16161;
constexpr auto kDeadline = 1500ms;
// What a call may take beyond its deadline: the last wait ends there, then sockets close.
constexpr auto kLateness = 250ms;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

// A private snmpd, stopped when the test ends.
class SnmpAgent {
public:
    SnmpAgent(const std::string& address, const std::vector<std::string>& settings)
        : directory_(std::filesystem::temp_directory_path() / ("rawlet-snmp-" + address))
    {
        std::string command = Script() + " start " + Quoted(directory_) + " " + Endpoint(address);
        for (const std::string& setting : settings)
            command += " " + Quoted(setting);
        const int status = std::system(command.c_str());
        missing_ = WIFEXITED(status) && WEXITSTATUS(status) == 77;
        started_ = status == 0;
    }
    ~SnmpAgent()
    {
        std::system((Script() + " stop " + Quoted(directory_)).c_str());
        std::filesystem::remove_all(directory_);
    }
    SnmpAgent(const SnmpAgent&) = delete;
    SnmpAgent& operator=(const SnmpAgent&) = delete;

    bool missing() const { return missing_; }
    bool started() const { return started_; }

private:
    static std::string Script() { return Quoted(RAWLET_SOURCE_DIR "/tests/lib/snmp-agent.sh"); }
    static std::string Endpoint(const std::string& address)
    {
        return address + ":" + std::to_string(kAgentPort);
    }

    std::filesystem::path directory_;
    bool missing_ = false;
    bool started_ = false;
};

#define START_AGENT(agent)                                                                                   \
    do {                                                                                                     \
        if ((agent).missing())                                                                               \
            GTEST_SKIP() << "snmpd is not installed (scripts/setup installs it)";                            \
        ASSERT_TRUE((agent).started()) << "snmpd did not start";                                             \
    } while (false)

std::optional<StatusFacts> Ask(const std::string& address, const std::string& community = "public")
{
    return AskSnmp(address, community, Clock::now() + kDeadline, kAgentPort);
}

std::string Hex(const std::string& octets)
{
    static const char digits[] = "0123456789abcdef";
    std::string hex = "0x";
    for (const char character : octets) {
        const auto octet = static_cast<unsigned char>(character);
        hex += {digits[octet >> 4], digits[octet & 0xf]};
    }
    return hex;
}

struct PrinterCondition {
    const char* name;
    const char* address;
    const char* printerStatus;
    const char* errorState;
    std::optional<State> state;
    std::vector<std::string> reasons;
};

void PrintTo(const PrinterCondition& condition, std::ostream* out) { *out << condition.name; }

class SnmpPrinterConditions : public testing::TestWithParam<PrinterCondition> {};

TEST_P(SnmpPrinterConditions, BecomeItsStateAndReasons)
{
    const PrinterCondition& condition = GetParam();
    SnmpAgent agent(condition.address, {std::string("status=") + condition.printerStatus,
                                        std::string("errors=") + condition.errorState});
    START_AGENT(agent);

    const auto facts = Ask(condition.address);
    ASSERT_TRUE(facts.has_value()) << "the agent did not answer";
    EXPECT_EQ(facts->state, condition.state);
    EXPECT_EQ(facts->reasons, condition.reasons);
}

// Printers out of paper, jammed or open say other(1) or unknown(2) in hrPrinterStatus.
INSTANTIATE_TEST_SUITE_P(
    Snmp, SnmpPrinterConditions,
    testing::Values(
        PrinterCondition{"PaperOut", "127.61.0.10", "2", "0x40", std::nullopt, {"media-empty-error"}},
        PrinterCondition{"DoorOpen", "127.61.0.11", "1", "0x08", std::nullopt, {"door-open-error"}},
        PrinterCondition{"Jammed", "127.61.0.12", "1", "0x04", std::nullopt, {"media-jam-error"}},
        PrinterCondition{"Offline", "127.61.0.13", "3", "0x02", State::Idle, {"offline-report"}},
        PrinterCondition{"InputTrayEmptyInTheSecondOctet",
                         "127.61.0.14",
                         "3",
                         "0x0004",
                         State::Idle,
                         {"input-tray-empty-error"}},
        PrinterCondition{"PaperLowAndServiceDueWhilePrinting",
                         "127.61.0.15",
                         "4",
                         "0x81",
                         State::Processing,
                         {"media-low-report", "other-warning"}},
        PrinterCondition{"IdleWithNothingFlagged", "127.61.0.16", "3", "0x00", State::Idle, {}},
        PrinterCondition{"WarmingUp", "127.61.0.17", "5", "0x0000", State::Processing, {}}),
    [](const testing::TestParamInfo<PrinterCondition>& instance) { return instance.param.name; });

TEST(SnmpStatus, TellsThePrintersDescriptionAndDeviceId)
{
    const std::string deviceId = "MFG:Acme;MDL:Receipt 80;CMD:ESCPOS;";
    // Some printers give the device ID as their port does, after its two-octet length.
    const std::string asThePortGivesIt = std::string{'\0', static_cast<char>(deviceId.size() + 2)} + deviceId;
    SnmpAgent agent("127.61.0.20", {"status=3", "description=Front desk receipt printer",
                                    "device-id=" + Hex(asThePortGivesIt)});
    START_AGENT(agent);

    const auto facts = Ask("127.61.0.20");
    ASSERT_TRUE(facts.has_value()) << "the agent did not answer";
    EXPECT_EQ(facts->description, "Front desk receipt printer");
    EXPECT_EQ(facts->deviceId, deviceId);
    EXPECT_EQ(facts->state, State::Idle);
}

// A print server numbers its devices as it likes: the printer is the first row of the printer
// table, not device 1, here the server itself.
TEST(SnmpStatus, AsksThePrinterAtItsOwnDeviceIndexInBothVersions)
{
    const std::vector<std::string> printerAtIndex3{
        "description=Print server",  "index=3", "status=4", "errors=0x40", "description=Receipt printer",
        "device-id=MFG:Acme;MDL:R3;"};
    SnmpAgent speaksBoth("127.61.0.50", printerAtIndex3);
    START_AGENT(speaksBoth);
    std::vector<std::string> version1Only = printerAtIndex3;
    version1Only.emplace_back("versions=v1");
    SnmpAgent speaksOnlyVersion1("127.61.0.51", version1Only);
    START_AGENT(speaksOnlyVersion1);

    for (const char* address : {"127.61.0.50", "127.61.0.51"}) {
        const auto facts = Ask(address);
        ASSERT_TRUE(facts.has_value()) << address << " did not answer";
        EXPECT_EQ(facts->state, State::Processing) << address;
        EXPECT_EQ(facts->reasons, std::vector<std::string>{"media-empty-error"}) << address;
        EXPECT_EQ(facts->description, "Receipt printer") << address;
        EXPECT_EQ(facts->deviceId, "MFG:Acme;MDL:R3;") << address;
    }
}

TEST(SnmpStatus, ObjectsTheAgentLacksStayUnknownInBothVersions)
{
    SnmpAgent speaksBoth("127.61.0.30", {"description=Label printer"});
    START_AGENT(speaksBoth);
    // SNMPv1 fails a whole request for one object the agent lacks.
    SnmpAgent speaksOnlyVersion1("127.61.0.31", {"versions=v1", "status=4", "device-id=MFG:Acme;MDL:L2;"});
    START_AGENT(speaksOnlyVersion1);

    const auto both = Ask("127.61.0.30");
    ASSERT_TRUE(both.has_value()) << "the agent did not answer";
    EXPECT_EQ(both->description, "Label printer");
    EXPECT_EQ(both->state, std::nullopt);
    EXPECT_TRUE(both->reasons.empty());
    EXPECT_EQ(both->deviceId, "");

    const auto started = Clock::now();
    const auto onlyVersion1 = Ask("127.61.0.31");
    EXPECT_LT(Clock::now() - started, kDeadline + kLateness);
    ASSERT_TRUE(onlyVersion1.has_value()) << "the SNMPv1 agent was not asked in SNMPv1";
    EXPECT_EQ(onlyVersion1->state, State::Processing);
    EXPECT_EQ(onlyVersion1->deviceId, "MFG:Acme;MDL:L2;");
    EXPECT_EQ(onlyVersion1->description, "");
}

TEST(SnmpStatus, NoAnswerIsNothingByTheDeadline)
{
    SnmpAgent otherCommunity("127.61.0.40", {"community=backoffice", "status=3"});
    START_AGENT(otherCommunity);

    for (const auto& [address, community] : {std::pair{"127.61.0.41", "public"}, // no agent there
                                             std::pair{"127.61.0.40", "public"}}) {
        const auto started = Clock::now();
        EXPECT_EQ(Ask(address, community), std::nullopt) << address << " answered " << community;
        EXPECT_LT(Clock::now() - started, kDeadline + kLateness) << address;
    }
    EXPECT_TRUE(Ask("127.61.0.40", "backoffice").has_value()) << "the agent did not answer its community";

    // snmp=off: nothing is sent, nothing is waited for.
    const auto started = Clock::now();
    EXPECT_EQ(Ask("127.61.0.40", ""), std::nullopt);
    EXPECT_LT(Clock::now() - started, 50ms);
}

} // namespace
} // namespace rawlet::direct
