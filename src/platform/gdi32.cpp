#include "platform/gdi32.h"

#include <string>

#include "platform/ansi.h"
#include "platform/memory.h"
#include "platform/platform_p.h"
#include "platform/print_server_p.h"
#include "runtime/handles.h"

namespace platform {

namespace {

rt::HandleRange<std::string>& contexts() {
  static auto* range = new rt::HandleRange<std::string>(kPrinterDcFirst);
  return *range;
}

}  // namespace

std::uint32_t CreateDCA(const char* pwszDriver, const char* pwszDevice, const char* pszPort, std::uint32_t pdm) {
  detail::logCall("CreateDCA", [&] {
    return detail::Args{{"driver", detail::logName(pwszDriver)},
                        {"device", detail::logName(pwszDevice)},
                        {"output", detail::logName(pszPort)},
                        {"devmode", std::to_string(pdm)}};
  });
  if (!pwszDevice) return 0;
  const std::string name = fromAnsi(pwszDevice);
  if (!detail::findQueue(name)) return 0;
  return static_cast<std::uint32_t>(contexts().add(name));
}

bool DeleteDC(std::uint32_t hdc) {
  detail::logCall("DeleteDC", [&] { return detail::Args{{"hdc", std::to_string(hdc)}}; });
  return contexts().erase(hdc);
}

std::int32_t Escape(std::uint32_t hdc, std::int32_t nEscape, std::int32_t cbInput, std::uint32_t lpvInData,
                    std::uint32_t lpvOutData) {
  detail::logCall("Escape", [&] {
    return detail::Args{{"hdc", std::to_string(hdc)},
                        {"escape", std::to_string(nEscape)},
                        {"cbinput", std::to_string(cbInput)},
                        {"indata", std::to_string(lpvInData)},
                        {"outdata", std::to_string(lpvOutData)}};
  });
  return 0;
}

namespace detail {
int livePrinterDcs() { return contexts().size(); }
void clearPrinterDcs() {
  for (auto it = contexts().begin(); it != contexts().end();) it = contexts().erase(it);
}
}  // namespace detail

}  // namespace platform
