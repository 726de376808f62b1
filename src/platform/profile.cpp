#include "platform/profile.h"

#include <strings.h>

#include "platform/platform_p.h"
#include "platform/print_server_p.h"
#include "platform/profile_p.h"

namespace platform {

namespace detail {

std::optional<std::optional<std::string>>& profileDevice() {
  static auto* value = new std::optional<std::optional<std::string>>;
  return *value;
}

}  // namespace detail

namespace {

bool same(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// "<queue>,cups,<device URI>": a fixed driver token, and the URI with its commas written
// %2C, so the queue's name is all before the second-to-last comma whatever it holds.
std::optional<std::string> liveDevice() {
  const auto queues = detail::listQueues();
  if (!queues) return std::nullopt;
  const std::string name = detail::userDefault(*queues, detail::UserOptions::load());
  for (const detail::Queue& q : *queues)
    if (!name.empty() && q.name == name) {
      std::string port;
      for (char c : q.deviceUri) port += c == ',' ? std::string("%2C") : std::string(1, c);
      return name + ",cups," + port;
    }
  return std::nullopt;
}

}  // namespace

std::string ProfileString(std::string_view file, std::string_view section, std::string_view key,
                          std::string_view defaultText) {
  detail::logCall("ProfileString",
                  {{"file", std::string(file)}, {"section", std::string(section)}, {"key", std::string(key)}});
  if (!same(file, "win.ini") || !same(section, "windows") || !same(key, "device")) return std::string(defaultText);
  const auto value = detail::profileDevice() ? *detail::profileDevice() : liveDevice();
  return value ? *value : std::string(defaultText);
}

}  // namespace platform
