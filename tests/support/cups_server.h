#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace support {

// A print server of the test's own, in a temporary folder, with no queue until the test adds
// one: the printer stand-ins then see exactly the queues, default and options the test made,
// never the machine's. Made started; stopped and removed at the end, also when the test
// failed. A server that cannot start fails the test (std::runtime_error), as does a queue
// the server refuses.
//
// The constructor points this process's print clients at the server (CUPS_SERVER,
// CUPS_SERVERROOT, HOME; LPDEST and PRINTER unset) before anything asks for a server: the
// print library reads them once per thread, so make the server before the first print call,
// and one server per process (ctest runs every test in a process of its own).
class PrivateCups {
 public:
  enum class Ppd { None, A4, Letter };  // None: a raw queue, with no driver file
  struct Queue {
    std::string name;
    Ppd ppd = Ppd::None;
    std::string description;  // empty: the server's own (the name)
    std::string location;
    bool shared = false;
  };
  // A client program's exit status and what it printed.
  struct Run {
    int status = -1;
    std::string out, err;
  };

  PrivateCups();
  ~PrivateCups();
  PrivateCups(const PrivateCups&) = delete;
  PrivateCups& operator=(const PrivateCups&) = delete;

  // A queue that prints to /dev/null, enabled and accepting jobs.
  void addQueue(const Queue& queue);
  void setDefault(const std::string& name);  // the user's default, as lpoptions -d makes it
  void disable(const std::string& name);
  std::string lpoptions(const std::string& name) const;  // the queue's options, as `lpoptions -p` prints them
  std::string lpstatDefault() const;                     // as `lpstat -d` prints it
  // The user's own options file and its bytes ("" while there is none).
  std::string userOptionsPath() const;
  std::string userOptions() const;
  std::string dir() const { return dir_; }
  std::string home() const;

  // Runs a print client (`{"lpstat", "-v"}`) on this server; a client that does not end
  // within 10 s is killed and fails the test.
  Run run(const std::vector<std::string>& argv) const;

  void stop();    // ends the server and waits for it; the queues stay in the folder
  void start();   // again after stop(), on the same socket with the same queues
  void freeze();  // the server stops answering (SIGSTOP), as a hung one does
  void thaw();

 private:
  void waitUntilUp();
  void removeDir();
  std::string dir_;
  pid_t pid_ = -1;
};

}  // namespace support
