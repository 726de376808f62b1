#include "printing/n_printer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/ansi.h"
#include "platform/comdlg32.h"
#include "platform/gdi32.h"
#include "platform/kernel32.h"
#include "platform/memory.h"
#include "platform/profile.h"
#include "platform/winspool.h"
#include "printing/n_printer_layout.h"
#include "runtime/strings.h"

namespace {

constexpr std::uint32_t kInfoLevel = 2;
// Enough tries for a printer list or record that grows between two reads; more means it
// keeps growing, and the call gives up rather than loop.
constexpr int kMaxReads = 5;

std::uint32_t addressOf(const platform::Blob& blob) { return static_cast<std::uint32_t>(blob.address()); }

// A record's published bytes in a block of the address space, for an entry that takes the
// record by reference. The block is exactly the published size, so the entry cannot write
// past the record.
template <class Record>
class Staged {
 public:
  explicit Staged(const Record& record) : bytes_(printing::Layout<Record>::size, 0) {
    printing::toBytes(record, bytes_.bytes());
  }
  std::uint32_t address() const { return addressOf(bytes_); }
  void readBack(Record& record) const { printing::fromBytes(bytes_.bytes(), record); }

 private:
  platform::Blob bytes_;
};

// A text converted for the platform, alive for the whole call it is passed to.
class Ansi {
 public:
  explicit Ansi(const n_printer::string& text) {
    if (text) text_ = platform::toAnsi(*text);
  }
  const char* get() const { return text_ ? text_->c_str() : nullptr; }

 private:
  std::optional<std::string> text_;
};

// The zero-terminated ANSI text at an address, as far as its block reaches; none for 0.
std::optional<std::string> textAt(std::int32_t address) {
  if (address == 0) return std::nullopt;
  std::string text;
  std::uint8_t byte = 0;
  for (long at = address; platform::readBytes(at, {&byte, 1}) && byte != 0; ++at)
    text.push_back(static_cast<char>(byte));
  return text;
}

// The zero-terminated text from 0-based `start` of `source`, converted from ANSI once whole.
std::string textFrom(const platform::Blob& source, long start) {
  std::string gathered;
  const auto bytes = source.bytes();
  for (long i = start; i >= 0 && i < static_cast<long>(bytes.size()) && bytes[i] != 0; ++i)
    gathered.push_back(static_cast<char>(bytes[i]));
  return platform::fromAnsi(gathered);
}

// The text at an address the platform wrote into `buffer`; "" when it does not point into it.
std::string textInBuffer(const platform::Blob& buffer, std::int32_t address) {
  if (address == 0 || buffer.isNull()) return {};
  return textFrom(buffer, static_cast<long>(address) - buffer.address());
}

// Whether the `length` bytes at `address` lie wholly inside `buffer`.
bool liesInside(const platform::Blob& buffer, std::int32_t address, long length) {
  const long start = static_cast<long>(address) - buffer.address();
  return address != 0 && !buffer.isNull() && start >= 0 && start + length <= buffer.length();
}

// A buffer of `size` blanks, as the platform asked for; null when no block of that size can
// be made, which the caller reports as its own failure.
platform::Blob blanksFor(std::int64_t size) {
  try {
    return platform::blanks(static_cast<long>(size));
  } catch (const rt::RuntimeError&) {
    return {};
  }
}

// Closes a printer on every way out, a runtime error's too.
struct PrinterCloser {
  n_printer& self;
  std::uint32_t hprinter;
  ~PrinterCloser() { self.closeprinter(hprinter); }
};

std::uint16_t codeAt(const platform::Blob& codes, long i) {
  const auto bytes = codes.bytes();
  return static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

}  // namespace

// ---- any

std::string n_printer::any::toString() const {
  if (const auto* text = std::get_if<std::string>(&value_)) return *text;
  return std::to_string(std::get<long>(value_));
}

long n_printer::any::toNumber() const {
  if (const auto* number = std::get_if<long>(&value_)) return *number;
  // The runtime reads a numeric text, blanks around it allowed, and counts any other as 0.
  const std::string text = rt::trim(std::get<std::string>(value_));
  const char* first = text.data() + (text.starts_with('+') ? 1 : 0);
  const char* last = text.data() + text.size();
  double value = 0;
  const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
  if (error != std::errc() || end != last || first == last || !std::isfinite(value)) return 0;
  constexpr double kLimit = 9.2e18;
  return std::abs(value) < kLimit ? static_cast<long>(value) : 0;
}

// ---- The platform's entries.

bool n_printer::enumprinters(std::uint32_t flags, const string& name, std::uint32_t level, platform::Blob& buffer,
                             std::uint32_t cbbuf, std::uint32_t& cbneeded, std::uint32_t& returned) {
  return platform::EnumPrintersA(flags, Ansi(name).get(), level, addressOf(buffer), cbbuf, cbneeded, returned);
}

bool n_printer::openprinter(const string& printername, std::uint32_t& hprinter, str_printer_defaults& defaults) {
  const Staged staged(defaults);
  return openprinter(printername, hprinter, staged.address());
}

bool n_printer::openprinter(const string& printername, std::uint32_t& hprinter, std::uint32_t defaults) {
  return platform::OpenPrinterA(Ansi(printername).get(), hprinter, defaults);
}

bool n_printer::closeprinter(std::uint32_t hprinter) { return platform::ClosePrinter(hprinter); }

bool n_printer::getprinter(std::uint32_t hprinter, std::uint32_t level, platform::Blob& printer, std::uint32_t cbbuf,
                           std::uint32_t& cbneeded) {
  return platform::GetPrinterA(hprinter, level, addressOf(printer), cbbuf, cbneeded);
}

bool n_printer::setprinter(std::uint32_t hprinter, std::uint32_t level, platform::Blob& printer,
                           std::uint32_t command) {
  return platform::SetPrinterA(hprinter, level, addressOf(printer), command);
}

bool n_printer::printerproperties(std::uint32_t hwnd, std::uint32_t hprinter) {
  return platform::PrinterProperties(hwnd, hprinter);
}

std::int32_t n_printer::documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                           platform::Blob& output, std::int32_t input, std::uint32_t mode) {
  return platform::DocumentPropertiesA(hwnd, hprinter, Ansi(devicename).get(), addressOf(output),
                                       static_cast<std::uint32_t>(input), mode);
}

std::int32_t n_printer::documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                           std::uint32_t output, str_devmode& input, std::uint32_t mode) {
  const Staged staged(input);
  return platform::DocumentPropertiesA(hwnd, hprinter, Ansi(devicename).get(), output, staged.address(), mode);
}

std::int32_t n_printer::documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                           std::uint32_t output, platform::Blob& input, std::uint32_t mode) {
  return platform::DocumentPropertiesA(hwnd, hprinter, Ansi(devicename).get(), output, addressOf(input), mode);
}

std::int32_t n_printer::devicecapabilities(const string& device, const string& port, std::uint16_t capability,
                                           platform::Blob& output, std::int32_t devmode) {
  return devicecapabilities(device, port, capability, static_cast<std::int32_t>(output.address()), devmode);
}

std::int32_t n_printer::devicecapabilities(const string& device, const string& port, std::uint16_t capability,
                                           std::int32_t output, std::int32_t devmode) {
  return platform::DeviceCapabilitiesA(Ansi(device).get(), Ansi(port).get(), capability,
                                       static_cast<std::uint32_t>(output), static_cast<std::uint32_t>(devmode));
}

std::uint32_t n_printer::createdc(std::int32_t driver, const string& device, std::int32_t output,
                                  std::int32_t devmode) {
  // The driver and output texts are already ANSI where they lie.
  const std::optional<std::string> driverText = textAt(driver), outputText = textAt(output);
  return platform::CreateDCA(driverText ? driverText->c_str() : nullptr, Ansi(device).get(),
                             outputText ? outputText->c_str() : nullptr, static_cast<std::uint32_t>(devmode));
}

bool n_printer::deletedc(std::uint32_t hdc) { return platform::DeleteDC(hdc); }

std::int16_t n_printer::escape(std::uint32_t hdc, std::int16_t nescape, std::int16_t cbinput, std::int32_t indata,
                               platform::Blob& outdata) {
  return static_cast<std::int16_t>(
      platform::Escape(hdc, nescape, cbinput, static_cast<std::uint32_t>(indata), addressOf(outdata)));
}

std::uint32_t n_printer::globalalloc(std::uint16_t uflags, std::uint32_t dwbytes) {
  return platform::GlobalAlloc(uflags, dwbytes);
}

std::uint32_t n_printer::globalfree(std::uint32_t hmem) { return platform::GlobalFree(hmem); }

std::uint32_t n_printer::globallock(std::uint32_t hmem) { return platform::GlobalLock(hmem); }

bool n_printer::globalunlock(std::uint32_t hmem) { return platform::GlobalUnlock(hmem); }

std::uint32_t n_printer::globalsize(std::uint32_t hem) { return platform::GlobalSize(hem); }

// Every form reaches the one checked memory copy; a record goes there as its published bytes,
// which the copy never passes.
namespace {

template <class Record>
std::uint32_t copyIntoRecord(Record& destination, std::uint32_t source, std::uint32_t length) {
  std::array<std::uint8_t, printing::Layout<Record>::size> bytes{};
  printing::toBytes(destination, bytes);
  if (platform::copyIntoRecord(bytes, source, length)) printing::fromBytes(bytes, destination);
  return 0;
}

template <class Record>
std::uint32_t copyFromRecord(std::uint32_t destination, const Record& source, std::uint32_t length) {
  std::array<std::uint8_t, printing::Layout<Record>::size> bytes{};
  printing::toBytes(source, bytes);
  platform::copyFromRecord(destination, bytes, length);
  return 0;
}

}  // namespace

std::uint32_t n_printer::copymem(str_printer_info_1& destination, platform::Blob& source, std::uint32_t length) {
  return copyIntoRecord(destination, addressOf(source), length);
}

std::uint32_t n_printer::copymem(str_printer_info_2& destination, platform::Blob& source, std::uint32_t length) {
  return copyIntoRecord(destination, addressOf(source), length);
}

std::uint32_t n_printer::copymem(platform::Blob& destination, str_printer_info_2& source, std::uint32_t length) {
  return copyFromRecord(addressOf(destination), source, length);
}

std::uint32_t n_printer::copymem(str_devmode& destination, platform::Blob& source, std::uint32_t length) {
  return copyIntoRecord(destination, addressOf(source), length);
}

std::uint32_t n_printer::copymem(str_devmode& destination, std::uint32_t source, std::uint32_t length) {
  return copyIntoRecord(destination, source, length);
}

std::uint32_t n_printer::copymem(platform::Blob& destination, str_devmode& source, std::uint32_t length) {
  return copyFromRecord(addressOf(destination), source, length);
}

std::uint32_t n_printer::copymem(std::uint32_t destination, str_devmode& source, std::uint32_t length) {
  return copyFromRecord(destination, source, length);
}

std::uint32_t n_printer::copymem(str_devnames& destination, std::uint32_t source, std::uint32_t length) {
  return copyIntoRecord(destination, source, length);
}

std::uint32_t n_printer::copymem(platform::Blob& destination, std::uint32_t source, std::uint32_t length) {
  platform::RtlMoveMemory(addressOf(destination), source, length);
  return 0;
}

std::int32_t n_printer::printdlg(str_printdlg& printdlg) {
  const Staged staged(printdlg);
  const std::int32_t result = platform::PrintDlgA(staged.address());
  staged.readBack(printdlg);
  return result;
}

bool n_printer::pagesetupdlg(str_pagesetupdlg& pagesetupdlg) {
  const Staged staged(pagesetupdlg);
  const bool result = platform::PageSetupDlgA(staged.address());
  staged.readBack(pagesetupdlg);
  return result;
}

// ---- Queries and settings.

std::int32_t n_printer::withPrinter(const std::string& printername, const PrinterWork& work) {
  std::uint32_t hprinter = 0;
  str_printer_defaults defaults;
  if (!openprinter(printername, hprinter, defaults)) return -1;
  const PrinterCloser closer{*this, hprinter};

  // The printer buffer lives for the whole call: the record's addresses point into it. Its
  // size comes from the printer, read again while it grows, a few times at most.
  platform::Blob buffer;
  std::uint32_t size = 0;
  for (int read = 0;; ++read) {
    if (read == kMaxReads) return -1;
    buffer = blanksFor(size);
    if (buffer.isNull()) return -1;
    std::uint32_t needed = 0;
    if (getprinter(hprinter, kInfoLevel, buffer, size, needed)) break;
    if (needed <= size) return -1;
    size = needed;
  }
  str_printer_info_2 record;
  copymem(record, buffer, printer_info_2_len);
  return work(hprinter, buffer, record, textInBuffer(buffer, record.drivername));
}

std::int32_t n_printer::writeDefaultDevMode(std::uint32_t hprinter, const std::string& drivername,
                                            str_devmode devmode) {
  // Only the public part is passed, so its size fields must say so.
  devmode.dmsize = static_cast<std::uint16_t>(devmode_len);
  devmode.dmdriverextra = 0;
  return documentproperties(0, hprinter, drivername, 0, devmode, dm_in_buffer + dm_out_default);
}

std::int16_t n_printer::of_getprinterlist(std::vector<std::string>& printerlist) {
  // A 32-bit size: a long list of printers needs more than 32,767 bytes.
  std::uint32_t size = 1;
  for (int read = 0; read < kMaxReads; ++read) {
    platform::Blob buffer = blanksFor(size);
    if (buffer.isNull()) return -1;
    std::uint32_t needed = 0, returned = 0;
    if (!enumprinters(printer_enum_local, std::nullopt, kInfoLevel, buffer, size, needed, returned)) {
      if (size >= needed) return -1;
      size = needed;
      continue;
    }
    const std::uint64_t recordBytes = std::uint64_t{returned} * printer_info_2_len;
    if (recordBytes > static_cast<std::uint64_t>(buffer.length()) ||
        returned > static_cast<std::uint32_t>(std::numeric_limits<std::int16_t>::max()))
      return -1;
    if (printerlist.size() < returned) printerlist.resize(returned);
    for (std::uint32_t i = 0; i < returned; ++i) {
      str_printer_info_2 record;
      printing::fromBytes(buffer.bytes().subspan(std::size_t{i} * printer_info_2_len), record);
      printerlist[i] = textInBuffer(buffer, record.printername);
    }
    return static_cast<std::int16_t>(returned);
  }
  return -1;
}

std::int16_t n_printer::of_direct(const std::string& printername, const std::string& /*data*/) {
  const std::uint32_t hdc = createdc(0, printername, 0, 0);
  if (hdc != 0) deletedc(hdc);
  return 1;
}

std::int16_t n_printer::of_printer(const std::string& printername, std::int16_t command, any& outpara,
                                   std::int16_t& papersize, std::int16_t& paperwidth, std::int16_t& paperlength) {
  const std::int32_t result = withPrinter(printername, [&](std::uint32_t hprinter, platform::Blob& buffer,
                                                           str_printer_info_2& record, const std::string& drivername) {
    return carryOut(hprinter, buffer, record, drivername, printername, command, outpara, papersize, paperwidth,
                    paperlength);
  });
  // A failure too large for the result still reads as one.
  return result < std::numeric_limits<std::int16_t>::min() ? std::int16_t{-1} : static_cast<std::int16_t>(result);
}

std::int32_t n_printer::carryOut(std::uint32_t hprinter, platform::Blob& buffer, str_printer_info_2& record,
                                 const std::string& drivername, const std::string& printername, std::int16_t command,
                                 any& outpara, std::int16_t& papersize, std::int16_t& paperwidth,
                                 std::int16_t& paperlength) {
  const std::string portname = textInBuffer(buffer, record.portname);
  str_devmode devmode;

  switch (command) {
    case 1: outpara = drivername; return 1;
    case 2: outpara = portname; return 1;
    case 3: outpara = record.status; return 1;
    case 4: outpara = record.attributes; return 1;
    case 5:
    case 6:
    case 7:
      // A printer without a stored device mode, or one the record points past, has nothing to read.
      if (!liesInside(buffer, record.devmode, devmode_len)) return -1;
      copymem(devmode, static_cast<std::uint32_t>(record.devmode), devmode_len);
      if (command == 7) {
        outpara = devmode.dmorientation;
      } else {
        papersize = static_cast<std::int16_t>(devmode.dmpapersize);
        paperwidth = static_cast<std::int16_t>(devmode.dmpaperwidth);
        paperlength = static_cast<std::int16_t>(devmode.dmpaperlength);
      }
      return 1;
    case 105:
      record.attributes |= static_cast<std::int32_t>(printer_attribute_default);
      copymem(buffer, record, printer_info_2_len);
      return setprinter(hprinter, kInfoLevel, buffer, 0) ? 1 : -1;
    default: break;
  }

  if (command == 101 || command == 102) {
    // Ask for the count first: the entry writes every code it has and takes no buffer size.
    const std::int32_t count = devicecapabilities(printername, portname, dc_papers, 0, 0);
    if (count <= 0) return -1;
    platform::Blob codes = blanksFor(2LL * count);
    if (codes.isNull()) return -1;
    const std::int32_t listed = devicecapabilities(printername, portname, dc_papers, codes, 0);
    if (listed <= 0) return -1;
    bool found = false;
    for (long i = 0; i < std::min(listed, count) && !found; ++i)
      found = codeAt(codes, i) == static_cast<std::uint16_t>(papersize);
    if (!found) return -1;
  }

  platform::Blob none;
  const std::int32_t modeSize = documentproperties(0, hprinter, drivername, none, 0, 0);
  if (modeSize < devmode_len) return -1;
  platform::Blob current = blanksFor(modeSize);
  if (current.isNull()) return -1;
  if (documentproperties(0, hprinter, drivername, current, 0, dm_out_buffer) <= 0) return -1;
  copymem(devmode, current, devmode_len);

  if (command == 101 || command == 102) {
    devmode.dmpapersize = static_cast<std::uint16_t>(papersize);
    devmode.dmfields = dm_papersize;
    if (devmode.dmpapersize == dmpaper_user) {
      devmode.dmpaperwidth = static_cast<std::uint16_t>(paperwidth);
      devmode.dmpaperlength = static_cast<std::uint16_t>(paperlength);
      devmode.dmfields += dm_paperlength + dm_paperwidth;
    }
  } else if (command == 103) {
    devmode.dmorientation = outpara.toUint();
    devmode.dmfields = dm_orientation;
  }
  const std::int32_t written = writeDefaultDevMode(hprinter, drivername, devmode);
  return written > 0 ? 1 : written;
}

std::string n_printer::of_getdrivername(const std::string& printername) {
  any outpara;
  std::int16_t size = 0, width = 0, length = 0;
  return of_printer(printername, 1, outpara, size, width, length) == 1 ? outpara.toString() : std::string();
}

std::string n_printer::of_getportname(const std::string& printername) {
  any outpara;
  std::int16_t size = 0, width = 0, length = 0;
  return of_printer(printername, 2, outpara, size, width, length) == 1 ? outpara.toString() : std::string();
}

std::int16_t n_printer::of_getattribute(const std::string& printername) {
  any outpara;
  std::int16_t size = 0, width = 0, length = 0;
  return of_printer(printername, 4, outpara, size, width, length) == 1 ? outpara.toInteger() : std::int16_t{-1};
}

std::int32_t n_printer::of_getstatus(const std::string& printername) {
  any outpara;
  std::int16_t size = 0, width = 0, length = 0;
  return of_printer(printername, 3, outpara, size, width, length) == 1 ? outpara.toLong() : -1;
}

std::int16_t n_printer::of_getpapersize(const std::string& printername, std::int16_t& papersize,
                                        std::int16_t& paperwidth, std::int16_t& paperheight) {
  any outpara;
  return of_printer(printername, 5, outpara, papersize, paperwidth, paperheight);
}

std::int16_t n_printer::of_setdefault(const std::string& printername) {
  any outpara;
  std::int16_t size = 0, width = 0, length = 0;
  return of_printer(printername, 105, outpara, size, width, length);
}

std::int16_t n_printer::of_setpapersize(const std::string& printername, std::int16_t papersize, std::int16_t paperwidth,
                                        std::int16_t paperheight) {
  any outpara;
  return of_printer(printername, 101, outpara, papersize, paperwidth, paperheight);
}

std::string n_printer::of_getpbprinter() {
  const std::string device = platform::ProfileString("win.ini", "windows", "device", "");
  // The value is "<printer>,<driver>,<port>"; a printer's name may hold commas, the other two
  // never do, so the name ends at the second comma from the end.
  const std::size_t last = device.rfind(',');
  if (last == std::string::npos) return device;
  const std::size_t before = last == 0 ? std::string::npos : device.rfind(',', last - 1);
  return device.substr(0, before == std::string::npos ? last : before);
}

std::string n_printer::of_getstringfromblob(const platform::Blob& source, std::int16_t offset) {
  if (offset < 1) return {};
  return textFrom(source, offset - 1L);
}

// ---- The dialogs.

std::int16_t n_printer::of_printsetup(std::uint32_t hwnd) {
  str_printdlg dialog;
  dialog.lstructsize = printdlg_len;
  dialog.hwndowner = hwnd;
  dialog.flags = pd_usedevmodecopiesandcollate + pd_printtofile + pd_nopagenums + pd_noselection;
  if (printdlg(dialog) == 0) return -1;
  takeDialogChoice(dialog.hdevmode, dialog.hdevnames);
  return 1;
}

std::int16_t n_printer::of_pagesetup(std::uint32_t hwnd, std::int32_t& left, std::int32_t& right, std::int32_t& top,
                                     std::int32_t& bottom) {
  str_pagesetupdlg dialog;
  dialog.lstructsize = pagesetupdlg_len;
  dialog.hwndowner = hwnd;
  dialog.flags = psd_inhundredthsofmillimeters;
  if (!pagesetupdlg(dialog)) return -1;
  takeDialogChoice(dialog.hdevmode, dialog.hdevnames);
  left = dialog.rtmargin.left;
  right = dialog.rtmargin.right;
  top = dialog.rtmargin.top;
  bottom = dialog.rtmargin.bottom;
  return 1;
}

void n_printer::takeDialogChoice(std::uint32_t hdevmode, std::uint32_t hdevnames) {
  // Nothing is read from a block that is missing or shorter than a device mode.
  if (hdevmode != 0 && hdevnames != 0 && globalsize(hdevmode) >= devmode_len) {
    str_devmode devmode;
    copymem(devmode, globallock(hdevmode), devmode_len);
    globalunlock(hdevmode);

    // The names block holds the offsets and three short names, often fewer than 104 bytes.
    const std::uint32_t size = globalsize(hdevnames);
    const std::uint32_t names = globallock(hdevnames);
    str_devnames header;
    copymem(header, names, std::min<std::uint32_t>(size, devnames_len));
    platform::Blob block = blanksFor(size);
    copymem(block, names, size);
    globalunlock(hdevnames);

    // A block shorter than the header has no device offset to read; an offset past the
    // block reads as no name.
    const bool named = size >= printing::kDevnamesHeaderSize;
    const std::string printername =
        named ? of_getstringfromblob(block, static_cast<std::int16_t>(header.wdeviceoffset + 1)) : std::string();
    if (!printername.empty()) {
      of_modifyprinter(printername, devmode);
      of_setdefault(printername);
    }
  }
  if (hdevmode != 0) globalfree(hdevmode);
  if (hdevnames != 0) globalfree(hdevnames);
}

std::int32_t n_printer::of_modifyprinter(const std::string& printername, str_devmode devmode) {
  return withPrinter(printername,
                     [&](std::uint32_t hprinter, platform::Blob&, str_printer_info_2&, const std::string& drivername) {
                       devmode.dmfields = 0x1FFFFFFF;
                       const std::int32_t written = writeDefaultDevMode(hprinter, drivername, devmode);
                       return written > 0 ? 1 : written;
                     });
}
