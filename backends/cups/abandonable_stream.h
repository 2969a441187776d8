#pragma once

#include <mutex>

#include "unique_fd.h"

namespace rawlet::cups {

// The document a printer is streaming, as another thread sees it when it abandons the
// document. The writer may be blocked inside libcups holding the printer's own lock, so this
// state has a lock of its own that is never held across I/O. The stream is broken through a
// duplicate of the connection's socket that this object owns: libcups may close or replace
// its descriptor at any time, and a duplicate is never a number reused by another file.
class AbandonableStream {
public:
    // The writer created the job `jobId`; its document may now be abandoned.
    void Begin(int jobId);

    // The document now streams on `socket`, which an abandonment shuts down.
    void StreamsOn(int socket);

    // The writer is done with the document; whether it was abandoned meanwhile.
    bool End();

    bool abandoned() const;

    // From any thread: marks the document abandoned and shuts its socket down, which ends a
    // write blocked on it at once. The job's id, or 0 when no document is streaming.
    int Abandon();

private:
    mutable std::mutex mutex_;
    int jobId_ = 0;
    posixapi::UniqueFd socket_;
    bool abandoned_ = false;
};

} // namespace rawlet::cups
