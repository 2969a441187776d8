#pragma once

#include "error.h"

// Every error the control raises. The texts are the ones callers have always seen,
// blanks and spellings included; applications compare them.
namespace rawlet::errors {

inline constexpr int kPrinterNameNotValid = 32000;
inline constexpr int kEndPageFailed = 32032;
inline constexpr int kNoDocumentStarted = 32033;
inline constexpr int kEndDocFailed = 32034;
inline constexpr int kQueueOpenFailed = 32036;
inline constexpr int kWriteFailed = 32037;
inline constexpr int kSetNotPermitted = 387;

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

// The text a host gives an error raised without one: "Set not permitted" for 387, the
// generic text for any other number.
const char* StandardDescription(int number);

} // namespace rawlet::errors
