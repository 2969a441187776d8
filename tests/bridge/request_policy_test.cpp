#include <gtest/gtest.h>

#include <rawlet/codepage/table_code_page.h>

#include <request_policy.h>

namespace rawlet::bridge {
namespace {

constexpr std::uint16_t kPort = 9187;
constexpr const char* kShop = "https://pos.example.com";

class RequestPolicyTest : public testing::Test {
protected:
    RequestPolicyTest() { allowed_.Add(ParseAllowEntry("https://pos.example.com=Receipts")); }

    // A job as an allowed page sends it, to change one part of at a time.
    static RequestHead Job(std::string_view target = "/v1/printers/Receipts/jobs")
    {
        RequestHead head;
        head.method = "POST";
        head.target = target;
        head.host = "127.0.0.1:9187";
        head.origin = kShop;
        head.contentType = "application/octet-stream";
        return head;
    }

    Decision Decide(const RequestHead& head) const { return policy_.Decide(head); }

    AllowList allowed_;
    codepage::TableCodePage codePage_{{1252, 437}};
    RequestPolicy policy_{allowed_, kPort, codePage_};
};

TEST_F(RequestPolicyTest, TakesAJobFromAnAllowedOrigin)
{
    const Decision decision =
        Decide(Job("/v1/printers/receipts/jobs?title=Till%201&wait=1&utf8&translate=0"));
    ASSERT_FALSE(decision.refused()) << decision.reason;
    EXPECT_EQ(decision.route, Route::job);
    EXPECT_EQ(decision.printer, "receipts");
    EXPECT_EQ(decision.job.title, "Till 1");
    EXPECT_TRUE(decision.job.wait);
    EXPECT_TRUE(decision.job.utf8);
    EXPECT_FALSE(decision.job.translate);
    ASSERT_NE(decision.entry, nullptr);
    EXPECT_EQ(decision.entry->origin, kShop);
}

TEST_F(RequestPolicyTest, RefusesAnyOtherOriginWithoutCors)
{
    RequestHead head = Job();
    for (std::optional<std::string_view> origin :
         {std::optional<std::string_view>(), std::optional<std::string_view>("null"),
          std::optional<std::string_view>("https://evil.example"),
          std::optional<std::string_view>("https://pos.example.com:8443"),
          std::optional<std::string_view>("http://pos.example.com")}) {
        head.origin = origin;
        const Decision decision = Decide(head);
        EXPECT_EQ(decision.refusal, 403) << origin.value_or("(none)");
        EXPECT_EQ(decision.entry, nullptr) << origin.value_or("(none)");
    }
}

TEST_F(RequestPolicyTest, RefusesAHostThatIsNotTheBridge)
{
    RequestHead head = Job();
    for (std::string_view host :
         {"rebound.example.com:9187", "127.0.0.1:9100", "127.0.0.1", "localhost", "10.0.0.5:9187", ""}) {
        head.host = host;
        EXPECT_EQ(Decide(head).refusal, 403) << host;
    }
    head.host.reset();
    EXPECT_EQ(Decide(head).refusal, 403);
    for (std::string_view host : {"localhost:9187", "LocalHost:9187", "[::1]:9187"}) {
        head.host = host;
        EXPECT_FALSE(Decide(head).refused()) << host;
    }
}

TEST_F(RequestPolicyTest, RefusesAPrinterOutsideTheEntryAndEveryDevice)
{
    for (std::string_view target :
         {"/v1/printers/Office/jobs", "/v1/printers/socket%3A%2F%2F10.0.0.5%3A9100/jobs",
          "/v1/printers/socket://10.0.0.5:9100/jobs", "/v1/printers/file:%2Fdev%2Fusb%2Flp0/jobs",
          "/v1/printers/file:/dev/usb/lp0/jobs", "/v1/printers/..%2FReceipts/jobs"}) {
        const Decision decision = Decide(Job(target));
        EXPECT_EQ(decision.refusal, 403) << target;
        EXPECT_NE(decision.entry, nullptr) << target; // the page may read why
    }
}

TEST_F(RequestPolicyTest, RefusesAFormPostAndABadQuery)
{
    RequestHead head = Job();
    for (std::optional<std::string_view> type :
         {std::optional<std::string_view>("text/plain"),
          std::optional<std::string_view>("application/x-www-form-urlencoded"),
          std::optional<std::string_view>("multipart/form-data; boundary=x"),
          std::optional<std::string_view>()}) {
        head.contentType = type;
        EXPECT_EQ(Decide(head).refusal, 400) << type.value_or("(none)");
    }
    head.contentType = "Application/Octet-Stream; charset=binary";
    EXPECT_FALSE(Decide(head).refused());
    for (std::string_view target :
         {"/v1/printers/Receipts/jobs?wait=soon", "/v1/printers/Receipts/jobs?copies=2",
          "/v1/printers/Receipts/jobs?title=a%0Ab", "/v1/printers/Receipts/jobs?title=%zz",
          "/v1/printers/Receipts/jobs?wait&wait"})
        EXPECT_EQ(Decide(Job(target)).refusal, 400) << target;
}

TEST_F(RequestPolicyTest, RoutesTheReadsAndRefusesOtherMethodsAndPaths)
{
    RequestHead head = Job("/v1/printers");
    head.method = "GET";
    EXPECT_EQ(Decide(head).route, Route::printers);
    EXPECT_FALSE(Decide(head).refused());
    head.target = "/v1/printers/Receipts/status";
    EXPECT_EQ(Decide(head).route, Route::status);
    EXPECT_EQ(Decide(head).printer, "Receipts");
    head.target = "/v1/printers/Receipts/jobs";
    EXPECT_EQ(Decide(head).refusal, 405);
    head.target = "/v2/printers";
    EXPECT_EQ(Decide(head).refusal, 404);
    head.target = "http://10.0.0.5:9100/";
    EXPECT_EQ(Decide(head).refusal, 400);
}

TEST_F(RequestPolicyTest, AnswersPreflightsOfAllowedOriginsOnly)
{
    RequestHead head = Job();
    head.method = "OPTIONS";
    head.contentType.reset();
    head.preflightMethod = "POST";
    head.asksPrivateNetwork = true;
    Decision decision = Decide(head);
    EXPECT_FALSE(decision.refused());
    EXPECT_EQ(decision.route, Route::preflight);
    EXPECT_TRUE(decision.allowPrivateNetwork);
    head.asksPrivateNetwork = false;
    EXPECT_FALSE(Decide(head).allowPrivateNetwork);
    head.preflightMethod = "DELETE";
    EXPECT_EQ(Decide(head).refusal, 405);
    head.preflightMethod = "POST";
    head.origin = "https://evil.example";
    decision = Decide(head);
    EXPECT_EQ(decision.refusal, 403);
    EXPECT_EQ(decision.entry, nullptr);
}

} // namespace
} // namespace rawlet::bridge
