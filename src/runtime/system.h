#pragma once

// Files and programs of the computer the program runs on.

#include <string>

namespace rt {

// Whether a file of this name exists; a relative name counts from the current directory.
bool fileExists(const std::string& name);

// Starts a program by its command line and returns at once: 1 when it was started, -1 when
// not (nothing is reported). No shell sees the line: it is split on blanks, without any
// quoting, into the program file and its arguments. A program file that exists as named
// (in the current directory, or by its path) is started; any other name is looked up on the
// PATH.
int run(const std::string& commandline);

}  // namespace rt
