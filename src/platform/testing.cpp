#include "platform/testing.h"

#include <deque>

#include "platform/platform_p.h"

namespace platform::testing {

namespace {

struct Recorder {
  std::vector<Call> calls;
  Faults faults;
  std::deque<DialogAnswer> scripts;
  std::vector<DialogShown> shown;
  std::optional<std::string> profileDevice;
};

Recorder& recorder() {
  static auto* r = new Recorder;
  return *r;
}

// Armed before the test's main runs, so that its first entry is already seen.
const bool armed = [] {
  detail::Hooks& hooks = detail::hooks();
  hooks.call = [](std::string_view entry, detail::Args args) {
    recorder().calls.push_back({std::string(entry), std::move(args)});
  };
  hooks.faults = &recorder().faults;
  hooks.dialog = [](DialogShown shown) -> std::optional<DialogAnswer> {
    recorder().shown.push_back(std::move(shown));
    if (recorder().scripts.empty()) return std::nullopt;
    DialogAnswer answer = std::move(recorder().scripts.front());
    recorder().scripts.pop_front();
    return answer;
  };
  return true;
}();

}  // namespace

int liveBlocks() { return detail::liveBlocks(); }
int liveGlobalMemoryHandles() { return detail::liveGlobalMemoryHandles(); }
int livePrinterHandles() { return detail::livePrinterHandles(); }
int livePrinterDcs() { return detail::livePrinterDcs(); }

std::string Call::arg(std::string_view name) const {
  for (const auto& [key, value] : args)
    if (key == name) return value;
  return {};
}

std::vector<Call> calls() { return recorder().calls; }

std::vector<Call> calls(std::string_view entry) {
  std::vector<Call> out;
  for (const Call& call : recorder().calls)
    if (call.entry == entry) out.push_back(call);
  return out;
}

Faults& faults() { return recorder().faults; }

void scriptDialog(DialogAnswer answer) { recorder().scripts.push_back(std::move(answer)); }

std::vector<DialogShown> dialogsShown() { return recorder().shown; }

void setProfileDevice(std::optional<std::string> value) {
  recorder().profileDevice = std::move(value);
  detail::hooks().profileDevice = &recorder().profileDevice;
}

void clear() {
  detail::clearGlobalMemory();
  detail::clearPrinterHandles();
  detail::clearPrinterDcs();
  Recorder& r = recorder();
  r.calls.clear();
  r.faults = {};
  r.scripts.clear();
  r.shown.clear();
  r.profileDevice.reset();
  detail::hooks().profileDevice = nullptr;
}

}  // namespace platform::testing
