#include "netsnmp.h"

#include <chrono>

namespace rawlet::direct {

namespace {

constexpr int kRepetitions = 1;
// Less time than this leaves no useful wait for an answer.
constexpr auto kShortestWait = std::chrono::milliseconds(2);

class SessionCloser {
public:
    explicit SessionCloser(const NetSnmp& snmp) : snmp_(&snmp) {}
    void operator()(void* session) const noexcept { snmp_->sessionClose(session); }

private:
    const NetSnmp* snmp_;
};
using UniqueSession = std::unique_ptr<void, SessionCloser>;

UniqueSession OpenSession(const NetSnmp& snmp, const std::string& agent, const std::string& community,
                          SnmpVersion version, std::chrono::microseconds waitForEachTry)
{
    // net-snmp copies what the session names, so these may go once it is open.
    std::string peer = agent;
    std::string secret = community;
    netsnmp_session settings;
    snmp.sessionInit(&settings);
    settings.version = version == SnmpVersion::V1 ? SNMP_VERSION_1 : SNMP_VERSION_2c;
    settings.peername = peer.data();
    settings.community = reinterpret_cast<u_char*>(secret.data());
    settings.community_len = secret.size();
    settings.timeout = static_cast<long>(waitForEachTry.count());
    settings.retries = kRepetitions;
    return UniqueSession(snmp.sessionOpen(&settings), SessionCloser(snmp));
}

UniquePdu NewRequest(const NetSnmp& snmp, SnmpRequest kind, const std::vector<ObjectId>& objects)
{
    UniquePdu request(snmp.pduCreate(kind == SnmpRequest::Get ? SNMP_MSG_GET : SNMP_MSG_GETNEXT),
                      PduDeleter(snmp));
    if (!request)
        return nullptr;
    for (const ObjectId& object : objects)
        if (!snmp.addNullVariable(request.get(), object.data(), object.size()))
            return nullptr;
    return request;
}

} // namespace

UniquePdu SnmpAsk(const NetSnmp& snmp, const std::string& agent, const std::string& community,
                  SnmpVersion version, SnmpRequest kind, const std::vector<ObjectId>& objects,
                  Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
    if (left < kShortestWait)
        return nullptr;
    const UniqueSession session = OpenSession(snmp, agent, community, version, left / (kRepetitions + 1));
    UniquePdu request = NewRequest(snmp, kind, objects);
    if (!session || !request)
        return nullptr;
    netsnmp_pdu* response = nullptr;
    // The request is the library's from here on, answered or not.
    const int status = snmp.synchResponse(session.get(), request.release(), &response);
    UniquePdu answer(response, PduDeleter(snmp));
    if (status != STAT_SUCCESS)
        return nullptr;
    return answer;
}

} // namespace rawlet::direct
