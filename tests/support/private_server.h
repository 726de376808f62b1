#pragma once

#include <string>

#include "support/datasource.h"

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
  const std::string& socketDir() const { return dir_; }
  TempDataSource dataSource(const std::string& user = "orvida") const { return TempDataSource::postgres(dir_, user); }

 private:
  void serverCommand(const std::string& command) const;
  std::string dir_;
};

}  // namespace support
