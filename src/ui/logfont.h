#pragma once

#include <cstdint>
#include <string>

// The platform's logical-font record: five 32-bit integers, eight bytes, the face name.
struct logfont {
  std::int32_t lfheight = 0;
  std::int32_t lfwidth = 0;
  std::int32_t lfescapement = 0;
  std::int32_t lforientation = 0;
  std::int32_t lfweight = 0;
  std::uint8_t lfitalic = 0;
  std::uint8_t lfunderline = 0;
  std::uint8_t lfstrikeout = 0;
  std::uint8_t lfcharset = 0;
  std::uint8_t lfoutprecision = 0;
  std::uint8_t lfclipprecision = 0;
  std::uint8_t lfquality = 0;
  std::uint8_t lfpitchandfamily = 0;
  std::string lffacename;  // at most 32 bytes in the platform's record
};
