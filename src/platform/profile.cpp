#include "platform/profile.h"

#include "platform/platform_p.h"
#include "platform/print_server_p.h"

namespace platform {

namespace {

// "<queue>,cups,<device URI>": a fixed driver token, and the URI with its commas written
// %2C, so the queue's name is all before the second-to-last comma whatever it holds.
std::optional<std::string> liveDevice() {
  const auto queues = detail::listQueues();
  if (!queues) return std::nullopt;
  const detail::Queue* q = detail::queueNamed(*queues, detail::userDefault(*queues, detail::UserOptions::load()));
  if (!q) return std::nullopt;
  std::string port;
  for (char c : q->deviceUri) port += c == ',' ? std::string("%2C") : std::string(1, c);
  return q->name + ",cups," + port;
}

}  // namespace

std::string ProfileString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultText) {
  detail::logCall("ProfileString", [&] {
    return detail::Args{{"file", std::string(file)}, {"section", std::string(section)}, {"key", std::string(key)}};
  });
  if (!detail::sameName(file, "win.ini") || !detail::sameName(section, "windows") || !detail::sameName(key, "device"))
    return std::string(defaultText);
  const auto* test = detail::hooks().profileDevice;
  const auto value = test ? *test : liveDevice();
  return value ? *value : std::string(defaultText);
}

}  // namespace platform
