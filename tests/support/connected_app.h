#pragma once

// The program reduced to what a window that reads the database needs: the message object
// and sqlca, connected to the test's data source as the application connects, then `story`.

#include <functional>
#include <string>

#include "runtime/application.h"
#include "runtime/transaction.h"

namespace support {

struct ConnectedApp : rt::Application {
  std::function<void()> story;
  std::string connectError;  // the driver's text when the connection failed

  void create() override {
    message = rt::create<rt::Message>();
    sqlca = rt::create<rt::Transaction>();
  }
  void open(const std::string&) override {
    sqlca->dbms = "ODBC";
    sqlca->autocommit = false;
    sqlca->dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
    if (sqlca->connect() != 0) {
      connectError = sqlca->sqlerrtext;
      return;
    }
    if (story) story();
  }
  void close() override { sqlca->disconnect(); }
  void destroy() override {
    rt::destroy(sqlca);
    rt::destroy(message);
  }
};

}  // namespace support
