#pragma once

// Printer device contexts; the toolbar's device contexts are the runtime's own.

#include <cstdint>

namespace platform {

// A device context for an existing queue (driver, output and device mode null); 0 otherwise.
std::uint32_t CreateDCA(const char* pwszDriver, const char* pwszDevice, const char* pszPort, std::uint32_t pdm);
// Releases it, once.
bool DeleteDC(std::uint32_t hdc);
// Never called by the program: fails.
std::int32_t Escape(std::uint32_t hdc, std::int32_t nEscape, std::int32_t cbInput, std::uint32_t lpvInData,
                    std::uint32_t lpvOutData);

}  // namespace platform
