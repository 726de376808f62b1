#include "support/private_server.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace support {

PrivateServer::PrivateServer() {
  // Short: the socket's path must fit in a Unix socket address.
  std::string pattern = (fs::temp_directory_path() / "orvida-pg-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  dir_ = pattern;
  serverCommand("start '" + dir_ + "' " ORVIDA_TEST_PG_SCHEMA);
}

PrivateServer::~PrivateServer() {
  // The script's stop thaws a frozen server first.
  const std::string cmd = "'" + sourceDir() + "/tests/support/pg-server' stop '" + dir_ + "' >/dev/null 2>&1";
  std::system(cmd.c_str());
}

void PrivateServer::stop() { serverCommand("down '" + dir_ + "'"); }

void PrivateServer::start() { serverCommand("up '" + dir_ + "'"); }

void PrivateServer::freeze() { serverCommand("freeze '" + dir_ + "'"); }

void PrivateServer::thaw() { serverCommand("thaw '" + dir_ + "'"); }

Frozen PrivateServer::freezeFor(std::chrono::milliseconds deadline) {
  // Quietly: the test may have stopped the server meanwhile, which thaws it.
  const std::string thawQuietly = "'" + sourceDir() + "/tests/support/pg-server' thaw '" + dir_ + "' >/dev/null 2>&1";
  return Frozen([this] { freeze(); }, [thawQuietly] { std::system(thawQuietly.c_str()); }, deadline,
                "the server in " + dir_);
}

void PrivateServer::serverCommand(const std::string& command) const {
  const std::string cmd = "'" + sourceDir() + "/tests/support/pg-server' " + command;
  if (std::system(cmd.c_str()) != 0) throw std::runtime_error("pg-server " + command + " failed");
}

}  // namespace support
