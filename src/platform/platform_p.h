#pragma once

// What the stood-in libraries share behind their entries: the call log the tests read and
// the clearing of what a case left open.

#include <string>
#include <utility>
#include <vector>

namespace platform::detail {

using Args = std::vector<std::pair<std::string, std::string>>;

// Notes one call of an entry for the tests.
void logCall(std::string entry, Args args);
// A name argument as the log shows it: UTF-8, or "(null)".
std::string logName(const char* ansi);

void clearGlobalMemory();
void clearPrinterHandles();
void clearPrinterDcs();
void clearDialogs();

}  // namespace platform::detail
