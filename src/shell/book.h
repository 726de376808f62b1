#pragma once

#include <string>

#include "runtime/application.h"
#include "runtime/transaction.h"

class uo_toolbarutil;

// The application object: owns the one database connection and the application-wide
// variables, and leads from start-up to the splash.
class book : public rt::Application {
 public:
  book();

  // Application variables.
  rt::Ref<uo_toolbarutil> guo_toolbarutil;  // null until the first sign-in
  bool button_flag = false;                 // true while the frame shows its start page

  void create() override;
  void open(const std::string& commandline) override;
  void close() override;
  void destroy() override;

  // The application of the run in progress.
  static book& current();
};
