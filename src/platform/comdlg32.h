#pragma once

// The print and page set-up dialogs, over Qt's own. Each takes its record as the published
// bytes at an address of platform/memory and shows a modal dialog over the owner window the
// record names (0: none). Before any printing code runs, the print server must answer: Qt's
// printing code waits on a server that stopped answering without end.

#include <cstdint>

namespace platform {

// `lppd`: a 66-byte print-dialog record. Nonzero when the user confirms: the record's
// `hdevmode` and `hdevnames` then hold two new moveable blocks, the device mode (148 bytes)
// and the device names. 0 when cancelled, or for a bad record, owner or server.
std::int32_t PrintDlgA(std::uint32_t lppd);

// `lppsd`: an 84-byte page set-up record; as PrintDlgA, with the paper size and margins
// filled in hundredths of a millimetre (thousandths of an inch when its flags ask for it).
bool PageSetupDlgA(std::uint32_t lppsd);

}  // namespace platform
