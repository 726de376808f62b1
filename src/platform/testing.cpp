#include "platform/testing.h"

#include "platform/ansi.h"
#include "platform/platform_p.h"
#include "platform/profile_p.h"

namespace platform {

namespace {

std::vector<testing::Call>& log() {
  static auto* calls = new std::vector<testing::Call>;
  return *calls;
}

}  // namespace

namespace detail {

void logCall(std::string entry, Args args) { log().push_back({std::move(entry), std::move(args)}); }

std::string logName(const char* ansi) { return ansi ? fromAnsi(ansi) : "(null)"; }

}  // namespace detail

namespace testing {

std::string Call::arg(std::string_view name) const {
  for (const auto& [key, value] : args)
    if (key == name) return value;
  return {};
}

std::vector<Call> calls() { return log(); }

std::vector<Call> calls(std::string_view entry) {
  std::vector<Call> out;
  for (const Call& call : log())
    if (call.entry == entry) out.push_back(call);
  return out;
}

Faults& faults() {
  static auto* f = new Faults;
  return *f;
}

void setProfileDevice(std::optional<std::string> value) { detail::profileDevice().emplace(std::move(value)); }

void clear() {
  detail::clearGlobalMemory();
  detail::clearPrinterHandles();
  detail::clearPrinterDcs();
  detail::clearDialogs();
  log().clear();
  faults() = {};
  detail::profileDevice().reset();
}

}  // namespace testing

}  // namespace platform
