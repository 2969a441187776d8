#include "status_sources.h"

#include <netdb.h>

#include <algorithm>
#include <string_view>

#include "host_lookup.h"
#include "netsnmp.h"

namespace rawlet::direct {

namespace {

// The columns of hrPrinterTable, whose rows are the printers among the host's devices, each
// at its hrDeviceIndex; and the device's own objects, which are asked at the same index.
const ObjectId kPrinterStatus{1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 1};
const ObjectId kDetectedErrorState{1, 3, 6, 1, 2, 1, 25, 3, 5, 1, 2};
const ObjectId kDeviceDescription{1, 3, 6, 1, 2, 1, 25, 3, 2, 1, 3};
// The Printer Port Monitor MIB's, whose ppmPrinterIndex is the printer's hrDeviceIndex.
const ObjectId kPortMonitorDeviceId{1, 3, 6, 1, 4, 1, 2699, 1, 2, 1, 2, 1, 1, 3};

// The device asked for where the agent lists no printer: some agents give only a few objects,
// at the first device.
constexpr oid kFirstDevice = 1;

// net-snmp's name for the agent at `host`, or empty when the host cannot be found in time.
// net-snmp would look the name up itself, without a time limit.
std::string AgentAddress(const std::string& host, int port, Clock::time_point deadline)
{
    std::string failure;
    const posixapi::Addresses addresses = posixapi::LookUpHost(host, port, deadline, nullptr, failure);
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

ObjectId Instance(const ObjectId& column, oid index)
{
    ObjectId instance = column;
    instance.push_back(index);
    return instance;
}

// The row of `column` that `variable` names, if it names one.
std::optional<oid> RowIn(const netsnmp_variable_list& variable, const ObjectId& column)
{
    if (variable.name_length != column.size() + 1 || !std::equal(column.begin(), column.end(), variable.name))
        return std::nullopt;
    return variable.name[column.size()];
}

bool Names(const netsnmp_variable_list& variable, const ObjectId& column, oid index)
{
    return RowIn(variable, column) == index;
}

std::string_view OctetsOf(const netsnmp_variable_list& variable)
{
    return {reinterpret_cast<const char*>(variable.val.string), variable.val_len};
}

// An object the agent lacks comes back as noSuchObject or noSuchInstance, of neither type.
void Record(const netsnmp_variable_list& variable, oid index, StatusFacts& facts)
{
    if (variable.type == ASN_INTEGER && Names(variable, kPrinterStatus, index))
        facts.state = StateOfPrinterStatus(*variable.val.integer);
    if (variable.type != ASN_OCTET_STR)
        return;
    if (Names(variable, kDetectedErrorState, index))
        facts.reasons = ReasonsOfDetectedErrorState(OctetsOf(variable));
    else if (Names(variable, kDeviceDescription, index))
        facts.description = DeviceDescription(OctetsOf(variable));
    else if (Names(variable, kPortMonitorDeviceId, index))
        facts.deviceId = DeviceIdOfPortMonitor(OctetsOf(variable));
}

// An agent that refuses the request (an error status) answers, but tells nothing.
void Record(const netsnmp_pdu& response, oid index, StatusFacts& facts)
{
    if (response.errstat != SNMP_ERR_NOERROR)
        return;
    for (const netsnmp_variable_list* variable = response.variables; variable;
         variable = variable->next_variable)
        Record(*variable, index, facts);
}

// The hrDeviceIndex of the first printer, where the answer to a GETNEXT of the printer
// table's columns names one of its rows.
std::optional<oid> PrinterIndex(const netsnmp_pdu& response)
{
    if (response.errstat != SNMP_ERR_NOERROR)
        return std::nullopt;
    for (const netsnmp_variable_list* variable = response.variables; variable;
         variable = variable->next_variable)
        for (const ObjectId& column : {kPrinterStatus, kDetectedErrorState})
            if (const auto row = RowIn(*variable, column))
                return row;
    return std::nullopt;
}

// An agent at its address, asked with its community in one SNMP version.
struct Agent {
    const NetSnmp& snmp;
    const std::string& address;
    const std::string& community;
    SnmpVersion version;

    UniquePdu Ask(SnmpRequest kind, const std::vector<ObjectId>& objects, Clock::time_point deadline) const
    {
        return SnmpAsk(snmp, address, community, version, kind, objects, deadline);
    }
};

// The answer to a GET of `objects`, of those the agent has. An SNMPv1 agent answers a GET
// naming an object it lacks with noSuchName, and no values at all: the others are asked
// again without it. Null when no answer came.
UniquePdu GetWhatTheAgentHas(const Agent& agent, std::vector<ObjectId> objects, Clock::time_point deadline)
{
    while (!objects.empty()) {
        UniquePdu response = agent.Ask(SnmpRequest::Get, objects, deadline);
        if (!response)
            return nullptr;
        const long lacking = response->errindex;
        if (response->errstat != SNMP_ERR_NOSUCHNAME || lacking < 1 ||
            lacking > static_cast<long>(objects.size()))
            return response;
        objects.erase(objects.begin() + (lacking - 1));
    }
    return nullptr;
}

// Printers, and print servers with several ports, number their devices as they like: one
// GETNEXT of the printer table's columns finds the first printer's row, and brings its
// status with it; one GET asks for that device's description and device ID. Nothing when
// the agent does not answer the first.
std::optional<StatusFacts> AskAgent(const Agent& agent, Clock::time_point deadline)
{
    const UniquePdu printerRow =
        agent.Ask(SnmpRequest::GetNext, {kPrinterStatus, kDetectedErrorState}, deadline);
    if (!printerRow)
        return std::nullopt;
    const oid index = PrinterIndex(*printerRow).value_or(kFirstDevice);
    StatusFacts facts;
    Record(*printerRow, index, facts);
    const std::vector<ObjectId> deviceObjects{Instance(kDeviceDescription, index),
                                              Instance(kPortMonitorDeviceId, index)};
    if (const UniquePdu device = GetWhatTheAgentHas(agent, deviceObjects, deadline))
        Record(*device, index, facts);
    return facts;
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
    if (auto facts = AskAgent({*snmp, agent, community, SnmpVersion::V2c}, halfway))
        return facts;
    return AskAgent({*snmp, agent, community, SnmpVersion::V1}, deadline);
}

} // namespace rawlet::direct
