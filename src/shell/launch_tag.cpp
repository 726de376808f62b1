#include "shell/launch_tag.h"

#include "runtime/strings.h"

std::optional<std::string> tagValue(std::string_view tag, std::string_view key,
                                    const std::optional<std::string>& as_default) {
  if (key.empty() || tag.empty()) return as_default;
  const std::string wanted = rt::lower(key);
  std::string rest(tag);
  for (;;) {
    const auto at = rt::lower(rest).find(wanted);
    if (at == std::string::npos) return as_default;
    rest = rt::lefttrim(std::string_view(rest).substr(at + wanted.size()));
    if (!rest.empty() && rest[0] == '=') {
      const auto end = rest.find(';', 1);
      return rt::trim(std::string_view(rest).substr(1, end == std::string::npos ? std::string::npos : end - 1));
    }
  }
}
