#pragma once

#include <mutex>

#include "unique_fd.h"

namespace rawlet::cups {

// The document a printer is streaming, as another thread sees it when it abandons the
// document. The writer may be blocked inside libcups holding the printer's own lock, so this
// state has a lock of its own that is never held across I/O. The stream is broken through a
// duplicate of the connection's socket that this object owns: libcups may close or replace
// its descriptor at any time, and a duplicate is never a number reused by another file.
//
// A document is one Print-Job request, and the scheduler makes its job only once the body's
// end has arrived: breaking the stream before then leaves no job at all. Once the writer
// sends the end, the job may exist, so an abandonment no longer breaks the stream; the
// writer cancels the job as soon as the answer names it.
class AbandonableStream {
public:
    // A document now streams on `socket`, which an abandonment shuts down.
    void Begin(int socket);

    // The writer is about to send the document's end. False when the document was abandoned
    // first: its stream is broken, and no job exists.
    bool Ending();

    // The writer is done with the document; whether it was abandoned meanwhile.
    bool End();

    bool abandoned() const;

    // From any thread: marks the document abandoned and, while its bytes still stream, shuts
    // its socket down, which ends a write blocked on it at once. True only then: the
    // scheduler makes no job of it.
    bool Abandon();

private:
    mutable std::mutex mutex_;
    bool streaming_ = false;
    bool ending_ = false;
    posixapi::UniqueFd socket_;
    bool abandoned_ = false;
};

} // namespace rawlet::cups
