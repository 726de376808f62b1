#pragma once

// The spooler entries the printer services call, over the print server the user's client
// settings name (CUPS_SERVER, client.conf). The printers are that server's queues; the
// default printer is the user's default; paper, orientation, copies, collation and
// two-sided printing are the queue's options for this user, written to the user's own
// options only where a value changes. Queue configuration on the server is never changed.
//
// Buffers are addresses in the address space of platform/memory, as the entries take
// pointers; every write into one is checked to lie inside its block. Texts are ANSI
// (GB18030) and zero-terminated; a null name is nullptr. Every entry makes at most one
// connection with a short time-out and gives its failure value when the server is down or
// stops answering, within a few seconds.

#include <cstdint>

namespace platform {

constexpr std::uint32_t PRINTER_ENUM_LOCAL = 0x2;
constexpr std::uint32_t DM_OUT_BUFFER = 2;
constexpr std::uint32_t DM_IN_BUFFER = 8;
constexpr std::uint32_t DM_OUT_DEFAULT = 1;
constexpr std::uint16_t DC_PAPERS = 2;
constexpr std::uint32_t kDevModeSize = 148;  // the public device mode; no driver part
constexpr std::uint32_t kPrinterInfo2Size = 84;

// Flags 2, a null name and level 2: one 84-byte record per queue from the buffer's start,
// then their texts and one device mode per queue. With no queues it succeeds with 0
// records. Too small: false with the bytes needed, nothing written. Other flags or levels,
// or a server that is down or does not answer: false, needed 0.
bool EnumPrintersA(std::uint32_t flags, const char* name, std::uint32_t level, std::uint32_t pPrinterEnum,
                   std::uint32_t cbBuf, std::uint32_t& pcbNeeded, std::uint32_t& pcReturned);

// A handle for an existing queue. `pDefault` is the address of a defaults record or 0; it
// asks for nothing here.
bool OpenPrinterA(const char* pPrinterName, std::uint32_t& phPrinter, std::uint32_t pDefault);
// A second close of one handle fails.
bool ClosePrinter(std::uint32_t hPrinter);

// Level 2: one record at the buffer's start, its texts and device mode after it; too small:
// false with the bytes needed.
bool GetPrinterA(std::uint32_t hPrinter, std::uint32_t Level, std::uint32_t pPrinter, std::uint32_t cbBuf,
                 std::uint32_t& pcbNeeded);
// Level 2, command 0: acts on the default bit of the record's attributes only (set: the
// queue becomes the user's default; clear: nothing changes).
bool SetPrinterA(std::uint32_t hPrinter, std::uint32_t Level, std::uint32_t pPrinter, std::uint32_t Command);

// Finds the printer by `hPrinter`; the device name is not looked at. Mode 0: the size of
// the device mode (148). Mode 2: the current device mode into the output, 1. Mode 9: merges
// the marked fields of the input into the user's options, 1; -1 with nothing written when a
// value is refused or the options cannot be stored.
std::int32_t DocumentPropertiesA(std::uint32_t hWnd, std::uint32_t hPrinter, const char* pDeviceName,
                                 std::uint32_t pDevModeOutput, std::uint32_t pDevModeInput, std::uint32_t fMode);

// Capability 2: the queue's paper codes in its own order, each once, then 256 when it takes
// custom sizes. A null output gives the count; an output block shorter than the list, or an
// unknown device: -1. The port is not checked.
std::int32_t DeviceCapabilitiesA(const char* pDevice, const char* pPort, std::uint16_t fwCapability,
                                 std::uint32_t pOutput, std::uint32_t pDevMode);

// Never called by the program: fails.
bool PrinterProperties(std::uint32_t hWnd, std::uint32_t hPrinter);

}  // namespace platform
