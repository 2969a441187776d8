// Waiting for a queue's job to print: Wine's spooler for the real path (it hands the job to
// the scheduler and forgets it), and the job states Wine never reports through the seam.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "test_queue.h"

namespace rawlet::test {
namespace {

using namespace std::chrono_literals;

// A state meaning the spooler no longer knows the job.
constexpr DWORD kGone = MAXDWORD;

// A job as the spooler tells of it, look by look; the last state stays.
struct FakeJob {
    std::vector<DWORD> states;
    bool deletable = true;
    std::size_t looks = 0;
    std::vector<DWORD> asked{};   // the job numbers looked at
    std::vector<DWORD> deleted{}; // the job numbers deleted
};

win32::WinspoolCalls Following(FakeJob& job)
{
    win32::WinspoolCalls calls;
    calls.jobFacts = [&job](HANDLE, DWORD id) {
        job.asked.push_back(id);
        const DWORD state = job.states[std::min(job.looks++, job.states.size() - 1)];
        if (state == kGone) {
            ::SetLastError(ERROR_INVALID_PARAMETER);
            return std::optional<win32::JobFacts>();
        }
        return std::optional<win32::JobFacts>({state, ""});
    };
    calls.deleteJob = [&job](HANDLE, DWORD id) {
        job.deleted.push_back(id);
        return job.deletable;
    };
    return calls;
}

// Prints one job on the test queue and waits for it, up to `limit`.
platform::DocumentOutcome PrintAndWait(win32::Win32Spooler& spooler, DWORD& job,
                                       std::chrono::milliseconds limit = 20s)
{
    spooler.SetPrintingWait({true, limit});
    job = PrintOne(spooler, {"receipt", std::nullopt, std::nullopt});
    EXPECT_NE(job, 0u);
    const std::vector<platform::DocumentOutcome> outcomes = spooler.JobOutcomes();
    EXPECT_EQ(outcomes.size(), 1u);
    return outcomes.empty() ? platform::DocumentOutcome{Outcome::delivered, "none", "no outcome"}
                            : outcomes.back();
}

std::string JobName(DWORD job) { return TestQueue() + "-" + std::to_string(job); }

TEST(Win32QueueWait, WinesSpoolerHandsTheJobOnAndItIsDelivered)
{
    win32::Win32Spooler spooler;
    ASSERT_TRUE(spooler.CanFollowJobs());
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_EQ(outcome.outcome, Outcome::delivered) << outcome.reason;
    EXPECT_EQ(outcome.job, JobName(job));
    EXPECT_NE(outcome.reason.find("does not tell whether it printed"), std::string::npos) << outcome.reason;
}

TEST(Win32QueueWait, AJobThePrinterPrintedIsPrinted)
{
    FakeJob fake{{JOB_STATUS_SPOOLING, 0, JOB_STATUS_PRINTING, JOB_STATUS_PRINTED}};
    win32::Win32Spooler spooler(Following(fake));
    std::vector<std::string> seen;
    spooler.WatchJobStates([&seen](const std::string& line) { seen.push_back(line); });
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_EQ(outcome.outcome, Outcome::printed) << outcome.reason;
    EXPECT_EQ(fake.asked, std::vector<DWORD>(4, job));
    EXPECT_EQ(seen, (std::vector<std::string>{JobName(job) + " spooling", JobName(job) + " waiting",
                                              JobName(job) + " printing", JobName(job) + " printed"}));
}

TEST(Win32QueueWait, AJobSentToThePrinterIsDeliveredNotPrinted)
{
    FakeJob fake{{JOB_STATUS_PRINTING, JOB_STATUS_COMPLETE}};
    win32::Win32Spooler spooler(Following(fake));
    DWORD job = 0;
    EXPECT_EQ(PrintAndWait(spooler, job).outcome, Outcome::delivered);
    EXPECT_TRUE(fake.deleted.empty());
}

// Windows' spooler keeps a job until its port has taken it, so one that leaves unseen may
// have been deleted by someone while it waited.
TEST(Win32QueueWait, AJobThatLeftBeforeItWasSeenPrintingIsNotCalledDelivered)
{
    FakeJob fake{{0, kGone}};
    win32::WinspoolCalls calls = Following(fake);
    calls.handsJobsOnAtEnd = false;
    win32::Win32Spooler spooler(calls);
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_EQ(outcome.outcome, Outcome::unknown) << outcome.reason;
    EXPECT_NE(outcome.reason.find("may have been deleted"), std::string::npos) << outcome.reason;
}

TEST(Win32QueueWait, AJobThatLeftAfterItWasSeenPrintingIsDelivered)
{
    FakeJob fake{{0, JOB_STATUS_PRINTING, kGone}};
    win32::WinspoolCalls calls = Following(fake);
    calls.handsJobsOnAtEnd = false;
    win32::Win32Spooler spooler(calls);
    DWORD job = 0;
    EXPECT_EQ(PrintAndWait(spooler, job).outcome, Outcome::delivered);
}

TEST(Win32QueueWait, AJobDeletedBySomeoneIsNotDelivered)
{
    FakeJob pending{{0, JOB_STATUS_DELETING}};
    win32::Win32Spooler beforePrinting(Following(pending));
    DWORD job = 0;
    const platform::DocumentOutcome notSent = PrintAndWait(beforePrinting, job);
    EXPECT_EQ(notSent.outcome, Outcome::notPrinted) << notSent.reason;
    EXPECT_NE(notSent.reason.find("deleted"), std::string::npos) << notSent.reason;

    FakeJob printing{{JOB_STATUS_PRINTING, JOB_STATUS_PRINTING | JOB_STATUS_DELETING}};
    win32::Win32Spooler whilePrinting(Following(printing));
    const platform::DocumentOutcome partly = PrintAndWait(whilePrinting, job);
    EXPECT_EQ(partly.outcome, Outcome::unknown) << partly.reason;
    EXPECT_NE(partly.reason.find("some of it may have printed"), std::string::npos) << partly.reason;
}

TEST(Win32QueueWait, AJobStoppedWhilePrintingIsDeletedAndMayHavePrinted)
{
    FakeJob fake{{JOB_STATUS_PRINTING, JOB_STATUS_PRINTING | JOB_STATUS_PAPEROUT}};
    win32::Win32Spooler spooler(Following(fake));
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_EQ(outcome.outcome, Outcome::unknown);
    EXPECT_EQ(outcome.job, JobName(job));
    EXPECT_NE(outcome.reason.find("out of paper"), std::string::npos) << outcome.reason;
    EXPECT_NE(outcome.reason.find("some of it may have printed"), std::string::npos) << outcome.reason;
    EXPECT_EQ(fake.deleted, std::vector<DWORD>{job});
}

TEST(Win32QueueWait, AJobStoppedBeforeItBeganIsDeletedAndNotPrinted)
{
    for (const DWORD stop :
         std::initializer_list<DWORD>{JOB_STATUS_ERROR, JOB_STATUS_OFFLINE, JOB_STATUS_PAPEROUT,
                                      JOB_STATUS_BLOCKED_DEVQ, JOB_STATUS_USER_INTERVENTION}) {
        FakeJob fake{{0, stop}};
        win32::Win32Spooler spooler(Following(fake));
        DWORD job = 0;
        const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
        EXPECT_EQ(outcome.outcome, Outcome::notPrinted) << std::hex << stop << ": " << outcome.reason;
        EXPECT_EQ(fake.deleted, std::vector<DWORD>{job}) << std::hex << stop;
    }
}

TEST(Win32QueueWait, AStoppedJobThatCannotBeDeletedMayStillPrint)
{
    FakeJob fake{{JOB_STATUS_OFFLINE}, false};
    win32::Win32Spooler spooler(Following(fake));
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_EQ(outcome.outcome, Outcome::unknown);
    EXPECT_NE(outcome.reason.find("could not be cancelled and may still print"), std::string::npos)
        << outcome.reason;
}

TEST(Win32QueueWait, AtTheWaitsLimitTheJobIsLeftQueuedAndNamed)
{
    FakeJob fake{{0}};
    win32::Win32Spooler spooler(Following(fake));
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job, 300ms);
    EXPECT_EQ(outcome.outcome, Outcome::unknown);
    EXPECT_EQ(outcome.job, JobName(job));
    EXPECT_NE(outcome.reason.find("limit"), std::string::npos) << outcome.reason;
    EXPECT_TRUE(fake.deleted.empty());
}

// Prints a document and waits for it, abandoning the documents from another thread once the
// wait has begun, as a program does when it is interrupted.
platform::DocumentOutcome PrintAndWaitInterrupted(FakeJob& fake, DWORD& job)
{
    win32::Win32Spooler spooler(Following(fake));
    std::jthread interrupter;
    spooler.WatchJobStates([&](const std::string&) {
        if (!interrupter.joinable())
            interrupter = std::jthread([&spooler] { spooler.AbandonDocuments(); });
    });
    return PrintAndWait(spooler, job);
}

TEST(Win32QueueWait, AbandoningTheDocumentsEndsTheWaitAndDeletesTheJob)
{
    FakeJob fake{{0}};
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWaitInterrupted(fake, job);
    EXPECT_EQ(outcome.outcome, Outcome::notPrinted) << outcome.reason;
    EXPECT_NE(outcome.reason.find("interrupted"), std::string::npos) << outcome.reason;
    EXPECT_EQ(fake.deleted, std::vector<DWORD>{job});
}

// The port began the job while the wait paused: the cancel comes too late for all of it.
TEST(Win32QueueWait, AnInterruptionAfterThePortBeganTheJobSaysSomeMayHavePrinted)
{
    FakeJob fake{{0, JOB_STATUS_PRINTING}};
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWaitInterrupted(fake, job);
    EXPECT_EQ(outcome.outcome, Outcome::unknown) << outcome.reason;
    EXPECT_NE(outcome.reason.find("some of it may have printed"), std::string::npos) << outcome.reason;
    EXPECT_EQ(fake.deleted, std::vector<DWORD>{job});
}

// An interruption while the spooler ends the document, as it may for long where the queue
// prints straight to its port: no winspool call crosses the end on the same handle, and the
// job, whole in the queue, is followed, deleted and not called delivered.
TEST(Win32QueueWait, AnInterruptionWhileTheDocumentEndsDeletesTheJobItEnded)
{
    FakeJob fake{{0}};
    win32::WinspoolCalls calls = Following(fake);
    win32::Win32Spooler* interrupted = nullptr;
    bool ending = false;
    bool askedWhileEnding = false;
    const auto facts = calls.jobFacts;
    calls.jobFacts = [&](HANDLE printer, DWORD id) {
        askedWhileEnding = askedWhileEnding || ending;
        return facts(printer, id);
    };
    calls.endDocument = [&](HANDLE printer) {
        ending = true;
        std::jthread([&] { interrupted->AbandonDocuments(); }).join();
        ending = false;
        return ::EndDocPrinter(printer) != FALSE;
    };
    win32::Win32Spooler spooler(calls);
    interrupted = &spooler;
    DWORD job = 0;
    const platform::DocumentOutcome outcome = PrintAndWait(spooler, job);
    EXPECT_FALSE(askedWhileEnding);
    EXPECT_EQ(outcome.job, JobName(job));
    EXPECT_EQ(outcome.outcome, Outcome::notPrinted) << outcome.reason;
    EXPECT_NE(outcome.reason.find("interrupted"), std::string::npos) << outcome.reason;
    EXPECT_EQ(fake.deleted, std::vector<DWORD>{job});
}

// Abandons a document after part of it was written; the spooler's last failure.
std::optional<platform::DocumentOutcome> AbandonHalfAReceipt(win32::Win32Spooler& spooler, DWORD& job)
{
    platform::PrinterHandle handle = 0;
    if (!spooler.OpenPrinterA(TestQueue(), handle))
        return std::nullopt;
    job = spooler.StartDocPrinterA(handle, {"receipt", std::nullopt, std::nullopt});
    std::uint32_t written = 0;
    EXPECT_TRUE(job != 0 && spooler.WritePrinter(handle, "half a receipt", written));
    spooler.AbandonDocuments();
    spooler.ClosePrinter(handle);
    return spooler.LastFailure();
}

// Windows' spooler may send a job to its port while the document is still written, and drops
// the job once it is aborted.
TEST(Win32QueueWait, ADocumentAbandonedWhileItsPortPrintedItMayHavePrinted)
{
    for (const DWORD state : {DWORD{0}, DWORD{JOB_STATUS_SPOOLING | JOB_STATUS_PRINTING}}) {
        FakeJob fake{{state, JOB_STATUS_DELETING | state}};
        win32::Win32Spooler spooler(Following(fake));
        DWORD job = 0;
        const std::optional<platform::DocumentOutcome> failure = AbandonHalfAReceipt(spooler, job);
        ASSERT_TRUE(failure) << std::hex << state;
        EXPECT_EQ(failure->job, JobName(job));
        EXPECT_EQ(failure->outcome, state == 0 ? Outcome::notPrinted : Outcome::unknown) << failure->reason;
    }
}

// Wine's spooler ignores the abort and hands what was written on as the handle closes.
TEST(Win32QueueWait, ADocumentWinesSpoolerKeptAfterTheAbortMayPrint)
{
    win32::Win32Spooler spooler;
    DWORD job = 0;
    const std::optional<platform::DocumentOutcome> failure = AbandonHalfAReceipt(spooler, job);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->outcome, Outcome::unknown) << failure->reason;
    EXPECT_NE(failure->reason.find("may print"), std::string::npos) << failure->reason;
}

TEST(Win32QueueWait, AChangeNotificationIsTakenAndClosed)
{
    FakeJob fake{{0, JOB_STATUS_PRINTED}};
    win32::WinspoolCalls calls = Following(fake);
    const HANDLE change = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
    int taken = 0;
    bool closed = false;
    calls.watchJobs = [change](HANDLE) { return change; };
    calls.takeJobChange = [&taken](HANDLE signalled) {
        taken += ::ResetEvent(signalled) ? 1 : 0;
        return true;
    };
    calls.stopWatchingJobs = [&closed](HANDLE watched) { closed = ::CloseHandle(watched) != FALSE; };
    win32::Win32Spooler spooler(calls);
    DWORD job = 0;
    EXPECT_EQ(PrintAndWait(spooler, job).outcome, Outcome::printed);
    EXPECT_EQ(taken, 1);
    EXPECT_TRUE(closed);
}

TEST(Win32QueueWait, AChangeThatCannotBeTakenIsLeftForThePauses)
{
    FakeJob fake{{0, 0, 0, JOB_STATUS_PRINTED}};
    win32::WinspoolCalls calls = Following(fake);
    const HANDLE change = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
    int tries = 0;
    bool closed = false;
    calls.watchJobs = [change](HANDLE) { return change; };
    calls.takeJobChange = [&tries](HANDLE) {
        ++tries;
        return false;
    };
    calls.stopWatchingJobs = [&closed](HANDLE watched) { closed = ::CloseHandle(watched) != FALSE; };
    win32::Win32Spooler spooler(calls);
    DWORD job = 0;
    EXPECT_EQ(PrintAndWait(spooler, job).outcome, Outcome::printed);
    EXPECT_EQ(tries, 1);
    EXPECT_TRUE(closed);
}

} // namespace
} // namespace rawlet::test
