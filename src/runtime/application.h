#pragma once

#include <string>

#include "object.h"

namespace rt {

class Transaction;

// The message object: carries the parameter of a window opened with one.
class Message : public Object {
 public:
  RT_CLASS(message)
  Ref<Object> powerobjectparm;
  std::string stringparm;
  double doubleparm = 0;
  long returnvalue = 0;
};

// Objects the runtime provides for dynamic SQL and error reports; created and destroyed
// with the application.
class DynamicDescriptionArea : public Object {
 public:
  RT_CLASS(dynamicdescriptionarea)
};
class DynamicStagingArea : public Object {
 public:
  RT_CLASS(dynamicstagingarea)
};
class Error : public Object {
 public:
  RT_CLASS(error)
  long number = 0;
  std::string text;
};

// The application object: the first object of a run and the last to go.
class Application {
 public:
  Application();
  virtual ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  std::string appname;
  std::string microhelpdefault;
  bool toolbarusercontrol = true;
  bool toolbartext = false;  // texts under the toolbars' pictures (the runtime's own setting)
  bool toolbartips = true;   // tool tips on the toolbars' buttons

  // The runtime's global objects; the application's create event makes them.
  Ref<Message> message;
  Ref<Transaction> sqlca;
  Ref<DynamicDescriptionArea> sqlda;
  Ref<DynamicStagingArea> sqlsa;
  Ref<Error> error;

  // Events, in the order the runtime runs them.
  virtual void create() {}
  virtual void open(const std::string& commandline) { (void)commandline; }
  virtual void close() {}
  virtual void destroy() {}

  // The application of the run in progress; throws NullObjectError between runs.
  static Application& current();
};

// The program's one transaction: the application's, so every window reaches it through the
// runtime.
inline Ref<Transaction>& sqlca() { return Application::current().sqlca; }

// Runs the program: create and open events, then the event loop until no window is left
// open, then close and destroy events. Creates the GUI application when there is none.
int run(Application& app, int argc, char** argv);

}  // namespace rt
