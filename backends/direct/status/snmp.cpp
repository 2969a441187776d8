#include "status_sources.h"

#include <netdb.h>

#include <algorithm>
#include <string_view>

#include "netsnmp.h"

namespace rawlet::direct {

namespace {

const ObjectId kPrinterStatus{1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1, 1};
const ObjectId kDetectedErrorState{1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2, 1};
const ObjectId kDeviceDescription{1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3, 1};
const ObjectId kPortMonitorDeviceId{1, 3, 6, 1, 4, 1, 2699, 1, 2, 1, 2, 1, 1, 3, 1};
const std::vector<ObjectId> kAskedObjects{kPrinterStatus, kDetectedErrorState, kDeviceDescription,
                                          kPortMonitorDeviceId};

// net-snmp's name for the agent at `host`, or empty when the host cannot be found in time.
// net-snmp would look the name up itself, without a time limit.
std::string AgentAddress(const std::string& host, int port, Clock::time_point deadline)
{
    std::string failure;
    const Addresses addresses = LookUpHost(host, port, deadline, nullptr, failure);
    if (!addresses)
        return {};
    char numeric[NI_MAXHOST];
    if (::getnameinfo(addresses->ai_addr, addresses->ai_addrlen, numeric, sizeof numeric, nullptr, 0,
                      NI_NUMERICHOST) != 0)
        return {};
    const std::string address(numeric);
    const std::string service = ":" + std::to_string(port);
    return addresses->ai_family == AF_INET6 ? "udp6:[" + address + "]" + service : "udp:" + address + service;
}

bool Names(const netsnmp_variable_list& variable, const ObjectId& object)
{
    return std::equal(variable.name, variable.name + variable.name_length, object.begin(), object.end());
}

std::string_view OctetsOf(const netsnmp_variable_list& variable)
{
    return {reinterpret_cast<const char*>(variable.val.string), variable.val_len};
}

// An object the agent lacks comes back as noSuchObject or noSuchInstance, of neither type.
void Record(const netsnmp_variable_list& variable, StatusFacts& facts)
{
    if (variable.type == ASN_INTEGER && Names(variable, kPrinterStatus))
        facts.state = StateOfPrinterStatus(*variable.val.integer);
    if (variable.type != ASN_OCTET_STR)
        return;
    if (Names(variable, kDetectedErrorState))
        facts.reasons = ReasonsOfDetectedErrorState(OctetsOf(variable));
    else if (Names(variable, kDeviceDescription))
        facts.description = DeviceDescription(OctetsOf(variable));
    else if (Names(variable, kPortMonitorDeviceId))
        facts.deviceId = DeviceIdOfPortMonitor(OctetsOf(variable));
}

// An agent that refuses the request (an error status) answers, but tells nothing.
StatusFacts FactsOf(const netsnmp_pdu& response)
{
    StatusFacts facts;
    if (response.errstat != SNMP_ERR_NOERROR)
        return facts;
    for (const netsnmp_variable_list* variable = response.variables; variable;
         variable = variable->next_variable)
        Record(*variable, facts);
    return facts;
}

std::optional<StatusFacts> AskVersion2c(const NetSnmp& snmp, const std::string& agent,
                                        const std::string& community, Clock::time_point deadline)
{
    const UniquePdu response = SnmpGet(snmp, agent, community, SnmpVersion::V2c, kAskedObjects, deadline);
    if (!response)
        return std::nullopt;
    return FactsOf(*response);
}

// An SNMPv1 agent answers a GET naming an object it lacks with noSuchName, and no values at
// all: the others are asked again without it.
std::optional<StatusFacts> AskVersion1(const NetSnmp& snmp, const std::string& agent,
                                       const std::string& community, Clock::time_point deadline)
{
    std::vector<ObjectId> objects = kAskedObjects;
    bool answered = false;
    while (!objects.empty()) {
        const UniquePdu response = SnmpGet(snmp, agent, community, SnmpVersion::V1, objects, deadline);
        if (!response)
            break;
        answered = true;
        const long lacking = response->errindex;
        if (response->errstat != SNMP_ERR_NOSUCHNAME || lacking < 1 ||
            lacking > static_cast<long>(objects.size()))
            return FactsOf(*response);
        objects.erase(objects.begin() + (lacking - 1));
    }
    return answered ? std::optional(StatusFacts{}) : std::nullopt;
}

} // namespace

std::optional<StatusFacts> AskSnmp(const std::string& host, const std::string& community,
                                   Clock::time_point deadline, int port)
{
    if (community.empty())
        return std::nullopt;
    const NetSnmp* const snmp = NetSnmpOnDemand();
    if (!snmp)
        return std::nullopt;
    const std::string agent = AgentAddress(host, port, deadline);
    if (agent.empty())
        return std::nullopt;
    // SNMPv2c first: it answers an object the agent lacks with noSuchObject beside the values
    // of the others, where SNMPv1 fails the whole request. An agent that speaks only SNMPv1
    // ignores an SNMPv2c request, so SNMPv1 is left the second half of the time.
    const auto halfway = Clock::now() + (deadline - Clock::now()) / 2;
    if (auto facts = AskVersion2c(*snmp, agent, community, halfway))
        return facts;
    return AskVersion1(*snmp, agent, community, deadline);
}

} // namespace rawlet::direct
