#include "platform/ansi.h"

#include <iconv.h>

#include <cerrno>

namespace platform {

namespace {

std::string convert(const char* to, const char* from, std::string_view in) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return {};
  std::string out;
  char buffer[256];
  char* inp = const_cast<char*>(in.data());
  std::size_t inLeft = in.size();
  while (inLeft > 0) {
    char* outp = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t done = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outp - buffer));
    if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
      // A sequence that does not convert: skip one byte of it and go on.
      ++inp;
      --inLeft;
    }
  }
  char* outp = buffer;
  std::size_t outLeft = sizeof buffer;
  iconv(cd, nullptr, nullptr, &outp, &outLeft);
  out.append(buffer, static_cast<std::size_t>(outp - buffer));
  iconv_close(cd);
  return out;
}

// The length of the GB18030 character that starts with these bytes: 1, 2 or 4.
std::size_t characterLength(std::string_view s) {
  const auto b0 = static_cast<unsigned char>(s[0]);
  if (b0 < 0x81 || b0 == 0xFF) return 1;
  if (s.size() >= 2) {
    const auto b1 = static_cast<unsigned char>(s[1]);
    if (b1 >= 0x30 && b1 <= 0x39) return 4;
  }
  return 2;
}

}  // namespace

std::string toAnsi(std::string_view utf8) { return convert("GB18030", "UTF-8", utf8); }
std::string fromAnsi(std::string_view ansi) { return convert("UTF-8", "GB18030", ansi); }

std::string_view cutAnsi(std::string_view ansi, std::size_t bytes) {
  std::size_t end = 0;
  while (end < ansi.size()) {
    const std::size_t next = end + characterLength(ansi.substr(end));
    if (next > bytes || next > ansi.size()) break;
    end = next;
  }
  return ansi.substr(0, end);
}

}  // namespace platform
