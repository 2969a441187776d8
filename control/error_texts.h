#pragma once

#include <rawlet/error.h>

// Every error the control raises, with its source and description. The texts are the ones
// callers have always seen, blanks and spellings included; applications compare them.
namespace rawlet::errors {

// Setting PrinterName to a name that matches no installed printer.
Error PrinterNameRejected();
// Writing data while the stored PrinterName matches no installed printer.
Error StoredPrinterNameInvalid();
// Writing data when the printer cannot be opened.
Error DataQueueOpenFailed();
// StartDoc when the printer cannot be opened.
Error StartDocQueueOpenFailed();
Error WriteFailed();
Error NoDocumentStarted();
Error EndPageFailed();
Error EndDocFailed();
// EndPage at design time: no source or description, the host supplies its own text.
Error NotInUserMode();

} // namespace rawlet::errors
