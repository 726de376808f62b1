#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace rt {

class Object;

// Runs one event to its end. Any exception raised inside aborts the rest of that event
// only: the steps done stay done and the program goes on. Returns false when aborted.
bool dispatch(const std::function<void()>& body);

// The same for the event `name` of `target`, which the test harness can journal.
bool dispatchEvent(const Object& target, std::string_view name, const std::function<void()>& body);

// Queues an event to run after the current one has ended.
void post(std::function<void()> body);

// How deep events are nested right now (0 between events).
int eventDepth();

// The last runtime error and how many there were in this run (read by tests).
struct RuntimeErrorRecord {
  std::string what;
};
const RuntimeErrorRecord* lastRuntimeError();
int runtimeErrorCount();

}  // namespace rt
