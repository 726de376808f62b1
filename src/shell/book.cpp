#include "shell/book.h"

#include "runtime/msgbox.h"
#include "runtime/window.h"
#include "shell/w_flash.h"

book::book() { microhelpdefault = "Orvida 高中学生体质健康测试成绩计算"; }

book& book::current() { return static_cast<book&>(rt::Application::current()); }

void book::create() {
  appname = "book";
  message = rt::create<rt::Message>();
  sqlca = rt::create<rt::Transaction>();
  sqlda = rt::create<rt::DynamicDescriptionArea>();
  sqlsa = rt::create<rt::DynamicStagingArea>();
  error = rt::create<rt::Error>();
}

void book::open(const std::string&) {
  sqlca->dbms = "ODBC";
  sqlca->autocommit = false;
  sqlca->dbparm = "ConnectString='DSN=vardo;PWD=tobrek4826'";
  sqlca->connect();
  if (sqlca->sqlcode != 0) {
    rt::messagebox("数据库连接失败", sqlca->sqlerrtext);
    return;
  }
  rt::open<w_flash>();  // returns once the splash has closed
  toolbarusercontrol = false;
}

void book::close() { sqlca->disconnect(); }

void book::destroy() {
  rt::destroy(sqlca);
  rt::destroy(sqlda);
  rt::destroy(sqlsa);
  rt::destroy(error);
  rt::destroy(message);
}
