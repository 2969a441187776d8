#include "error_texts.h"

namespace rawlet::errors {

Error PrinterNameRejected() { return {kPrinterNameNotValid, kSource, "The printer name is not valid"}; }
Error StoredPrinterNameInvalid() { return {kPrinterNameNotValid, kSource, "Printer name is not valid"}; }
Error DataQueueOpenFailed()
{
    return {kQueueOpenFailed, kSource, "Error occur while open the printer queue"};
}
Error StartDocQueueOpenFailed() { return {kQueueOpenFailed, "Rawlet", "Error while open the printer queue"}; }
Error WriteFailed() { return {kWriteFailed, kSource, "error occur while write data to the printer"}; }
Error NoDocumentStarted() { return {kNoDocumentStarted, kSource, "You must first start a document"}; }
Error EndPageFailed() { return {kEndPageFailed, kSource, "Error occur with  EndPage "}; }
Error EndDocFailed() { return {kEndDocFailed, kSource, "Error occur with  EndDoc "}; }
Error NotInUserMode() { return {kSetNotPermitted, "", ""}; }

const char* StandardDescription(int number)
{
    return number == kSetNotPermitted ? "Set not permitted" : "Application-defined or object-defined error";
}

} // namespace rawlet::errors
