#include "support/datasource.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace support {

std::string sourceDir() { return ORVIDA_SOURCE_DIR; }

TempDataSource::TempDataSource() {
  std::string pattern = (fs::temp_directory_path() / "orvida-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  dir_ = pattern;
  fs::create_directories(fs::path(dir_) / "data");
  setenv("ODBCINI", (fs::path(dir_) / "odbc.ini").c_str(), 1);
  setenv("XDG_DATA_HOME", (fs::path(dir_) / "data").c_str(), 1);
  std::ofstream(fs::path(dir_) / "odbc.ini").flush();
}

TempDataSource::TempDataSource(TempDataSource&& o) noexcept : dir_(std::move(o.dir_)) { o.dir_.clear(); }

TempDataSource::~TempDataSource() {
  if (dir_.empty()) return;
  std::error_code ec;
  fs::remove_all(dir_, ec);
}

std::string TempDataSource::database() const {
  return (fs::path(dir_) / "data" / "orvida" / "vardo.db").string();
}

int TempDataSource::runSetup() const {
  const std::string cmd = "'" + sourceDir() + "/scripts/setup-datasource' >/dev/null";
  return std::system(cmd.c_str());
}

TempDataSource TempDataSource::standard() {
  TempDataSource ds;
  if (ds.runSetup() != 0) throw std::runtime_error("the data source set-up failed");
  return ds;
}

TempDataSource TempDataSource::withIni(const std::string& text) {
  TempDataSource ds;
  std::string body = text;
  for (std::size_t at; (at = body.find("{dir}")) != std::string::npos;) body.replace(at, 5, ds.dir_);
  std::ofstream(fs::path(ds.dir_) / "odbc.ini") << body;
  return ds;
}

}  // namespace support
