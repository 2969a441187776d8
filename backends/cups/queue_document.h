#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include <rawlet/platform/doc_info.h>

#include "abandonable_stream.h"
#include "kept_connections.h"
#include "shared_ipp.h"

namespace rawlet::cups {

// How a queue's document ended: the job the scheduler made of it (0 for none), and why not
// when it made none or the job was cancelled.
struct EndedDocument {
    int jobId = 0;
    bool accepted = false;
    std::string failure;
    bool mayPrint = false; // not accepted, but the scheduler may have made a job that prints
    // The printer subscription made when the document started, for a caller that follows the
    // job; none when not asked for, or when the scheduler made no job.
    ipp::Subscription subscription;
};

// One open queue: its destination, a connection to the scheduler lent to it alone, and the
// document in progress, if any. A document is one IPP Print-Job request whose body streams
// as it is written: the scheduler makes no job until the body's end has arrived, so a
// document cut short (the program interrupted or killed, the connection broken) leaves no
// job, and nothing is held or left behind.
//
// The document and its connection are used under a lock, by one writer at a time; another
// thread abandons the document through `stream_` alone, since the writer may be blocked in
// libcups with the lock held.
class QueueDocument {
public:
    QueueDocument(ipp::Dest dest, LentConnection http);
    ~QueueDocument();
    QueueDocument(const QueueDocument&) = delete;
    QueueDocument& operator=(const QueueDocument&) = delete;

    const char* name() const { return dest_->name; }
    bool inDocument() const;

    // Starts the document. A queue that does not accept jobs refuses here, with the
    // scheduler's reason in `failure`. With `subscribe`, a subscription to the queue's job
    // events is made first, before the job could end: its events tell how the job ended even
    // once the scheduler has forgotten it.
    bool Start(const DocInfo& docInfo, bool subscribe, std::string& failure);
    bool Write(std::string_view bytes);
    // Ends the document in progress and reads the scheduler's answer: the job it made.
    std::optional<EndedDocument> End();
    // From any thread, never waiting for the writer: before the document's end has gone out,
    // breaks its stream, so no job is made, and returns true; after, the writer cancels the
    // job it learns of. False when no document is in progress.
    bool Abandon() { return stream_.Abandon(); }
    bool abandoned() const { return stream_.abandoned(); }

private:
    struct PrinterAnswer {
        bool accepting;
        std::string message;
    };

    bool AcceptsJobs(std::string& failure);
    PrinterAnswer AskPrinter();
    void CancelTaken(EndedDocument& ended) const;
    ipp_t* PrintJobRequest(const DocInfo& docInfo) const;
    int AwaitJob(std::string& failure, bool& mayPrint);
    bool ConnectionReady();
    bool CancelOnOwnConnection(int jobId) const;
    ipp::Subscription Subscribe();
    void CancelSubscription();

    const ipp::Dest dest_;
    const std::string printerUri_;
    const std::string resource_;
    LentConnection http_;
    mutable std::mutex mutex_;
    bool inDocument_ = false;
    bool fresh_ = true; // the destination's options are as the scheduler just told them
    bool streamBroken_ = false;
    bool connectionBroken_ = false;
    ipp::Subscription subscription_;
    AbandonableStream stream_;
};

} // namespace rawlet::cups
