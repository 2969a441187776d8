#pragma once

#include <string>

namespace rawlet::bridge {

// `text` without the device URIs in it: a page hears why a job failed, never where a printer
// is, or the SNMP community a URI may carry. "Receipts (socket://10.0.0.5:9100): connection
// refused" becomes "Receipts: connection refused"; a URI elsewhere becomes "the device".
std::string WithoutDevices(const std::string& text);

} // namespace rawlet::bridge
