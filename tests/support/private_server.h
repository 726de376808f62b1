#pragma once

#include <string>

#include "support/datasource.h"
#include "support/frozen.h"

namespace support {

// A PostgreSQL server of the test's own, in a temporary folder, with the template database
// made from the schema files: for the tests that stop the server, which the shared one
// (other tests use it at the same time) must never be. Made started; removed at the end.
class PrivateServer {
 public:
  PrivateServer();
  ~PrivateServer();
  PrivateServer(const PrivateServer&) = delete;
  PrivateServer& operator=(const PrivateServer&) = delete;

  void stop();   // as an administrator stops it (fast: connections are ended); nothing is lost
  void start();  // again, after stop()
  // Every server process stopped, as a hung server or a paused machine is: connections and
  // connects wait for an answer that does not come. stop() and the destructor thaw first;
  // a data source's clean-up (it drops its database) would wait on a server left frozen.
  void freeze();
  void thaw();
  // Frozen until the guard ends, or thawed by its own deadline (a failure of the test).
  Frozen freezeFor(std::chrono::milliseconds deadline = kFreezeDeadline);
  const std::string& socketDir() const { return dir_; }
  TempDataSource dataSource(const std::string& user = "orvida") const { return TempDataSource::postgres(dir_, user); }

 private:
  void serverCommand(const std::string& command) const;
  std::string dir_;
};

}  // namespace support
