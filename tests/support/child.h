#pragma once

#include <sys/types.h>

#include <string>

namespace support {

// The running test again, alone, in a process of its own (the same test program), with
// `setting` ("NAME=value") added to its environment. Its standard output is `out`, to read
// until it ends; `pid` is -1 when it could not be started.
struct Child {
  pid_t pid = -1;
  int out = -1;
};
Child startThisTestAgain(const std::string& setting);

}  // namespace support
