#pragma once

// The published layouts of the printer services' records, for the copies between records
// and the platform's blocks.

#include <cstddef>
#include <tuple>

#include "printing/layout.h"
#include "printing/n_printer.h"

namespace printing {

// A field under the name of its member.
#define N_PRINTER_FIELD(member) field(#member, &R::member)

template <>
struct Layout<n_printer::str_printer_info_1> {
  using R = n_printer::str_printer_info_1;
  static constexpr std::size_t size = n_printer::printer_info_1_len;
  static constexpr auto fields =
      std::tuple{N_PRINTER_FIELD(flags), N_PRINTER_FIELD(description), N_PRINTER_FIELD(name), N_PRINTER_FIELD(comment)};
};

template <>
struct Layout<n_printer::str_printer_info_2> {
  using R = n_printer::str_printer_info_2;
  static constexpr std::size_t size = n_printer::printer_info_2_len;
  static constexpr auto fields = std::tuple{
      N_PRINTER_FIELD(servername),
      N_PRINTER_FIELD(printername),
      N_PRINTER_FIELD(sharename),
      N_PRINTER_FIELD(portname),
      N_PRINTER_FIELD(drivername),
      N_PRINTER_FIELD(comment),
      N_PRINTER_FIELD(location),
      N_PRINTER_FIELD(devmode),
      N_PRINTER_FIELD(sepfile),
      N_PRINTER_FIELD(printprocessor),
      N_PRINTER_FIELD(datatype),
      N_PRINTER_FIELD(parameters),
      N_PRINTER_FIELD(securitydescriptor),
      N_PRINTER_FIELD(attributes),
      N_PRINTER_FIELD(priority),
      N_PRINTER_FIELD(defaultpriority),
      N_PRINTER_FIELD(starttime),
      N_PRINTER_FIELD(untiltime),
      N_PRINTER_FIELD(status),
      N_PRINTER_FIELD(cjobs),
      N_PRINTER_FIELD(averageppm),
  };
};

template <>
struct Layout<n_printer::str_devmode> {
  using R = n_printer::str_devmode;
  static constexpr std::size_t size = n_printer::devmode_len;
  static constexpr auto fields = std::tuple{
      N_PRINTER_FIELD(dmdevicename),    N_PRINTER_FIELD(dmspecversion),
      N_PRINTER_FIELD(dmdriverversion), N_PRINTER_FIELD(dmsize),
      N_PRINTER_FIELD(dmdriverextra),   N_PRINTER_FIELD(dmfields),
      N_PRINTER_FIELD(dmorientation),   N_PRINTER_FIELD(dmpapersize),
      N_PRINTER_FIELD(dmpaperlength),   N_PRINTER_FIELD(dmpaperwidth),
      N_PRINTER_FIELD(dmscale),         N_PRINTER_FIELD(dmcopies),
      N_PRINTER_FIELD(dmdefaultsource), N_PRINTER_FIELD(dmprintquality),
      N_PRINTER_FIELD(dmcolor),         N_PRINTER_FIELD(dmduplex),
      N_PRINTER_FIELD(dmyresolution),   N_PRINTER_FIELD(dmttoption),
      N_PRINTER_FIELD(dmcollate),       N_PRINTER_FIELD(dmformname),
      N_PRINTER_FIELD(dmlogpixels),     N_PRINTER_FIELD(dmbitsperpel),
      N_PRINTER_FIELD(dmpelswidth),     N_PRINTER_FIELD(dmpelsheight),
      N_PRINTER_FIELD(dmdisplayflags),  N_PRINTER_FIELD(dmdisplayfrequency),
      N_PRINTER_FIELD(dmicmmethod),     N_PRINTER_FIELD(dmicmintent),
      N_PRINTER_FIELD(dmmediatype),     N_PRINTER_FIELD(dmdithertype),
      N_PRINTER_FIELD(dmreserved1),     N_PRINTER_FIELD(dmreserved2),
  };
};

template <>
struct Layout<n_printer::str_printer_defaults> {
  using R = n_printer::str_printer_defaults;
  static constexpr std::size_t size = 12;
  static constexpr auto fields =
      std::tuple{N_PRINTER_FIELD(datatype), N_PRINTER_FIELD(devmode), N_PRINTER_FIELD(desiredaccess)};
};

template <>
struct Layout<n_printer::str_printdlg> {
  using R = n_printer::str_printdlg;
  static constexpr std::size_t size = n_printer::printdlg_len;
  static constexpr auto fields = std::tuple{
      N_PRINTER_FIELD(lstructsize),
      N_PRINTER_FIELD(hwndowner),
      N_PRINTER_FIELD(hdevmode),
      N_PRINTER_FIELD(hdevnames),
      N_PRINTER_FIELD(hdc),
      N_PRINTER_FIELD(flags),
      N_PRINTER_FIELD(nfrompage),
      N_PRINTER_FIELD(ntopage),
      N_PRINTER_FIELD(nminpage),
      N_PRINTER_FIELD(nmaxpage),
      N_PRINTER_FIELD(ncopies),
      N_PRINTER_FIELD(hinstance),
      N_PRINTER_FIELD(lcustdata),
      N_PRINTER_FIELD(lpfnprinthook),
      N_PRINTER_FIELD(lpfnsetuphook),
      N_PRINTER_FIELD(lpprinttemplatename),
      N_PRINTER_FIELD(lpsetuptemplatename),
      N_PRINTER_FIELD(hprinttemplate),
      N_PRINTER_FIELD(hsetuptemplate),
  };
};

template <>
struct Layout<n_printer::str_devnames> {
  using R = n_printer::str_devnames;
  static constexpr std::size_t size = n_printer::devnames_len;
  static constexpr auto fields = std::tuple{
      N_PRINTER_FIELD(wdriveroffset), N_PRINTER_FIELD(wdeviceoffset), N_PRINTER_FIELD(woutputoffset),
      N_PRINTER_FIELD(wdefault),      N_PRINTER_FIELD(drivername),    N_PRINTER_FIELD(devicename),
      N_PRINTER_FIELD(portname),
  };
};

template <>
struct Layout<n_printer::str_point> {
  using R = n_printer::str_point;
  static constexpr std::size_t size = 8;
  static constexpr auto fields = std::tuple{N_PRINTER_FIELD(x), N_PRINTER_FIELD(y)};
};

template <>
struct Layout<n_printer::str_rect> {
  using R = n_printer::str_rect;
  static constexpr std::size_t size = 16;
  static constexpr auto fields =
      std::tuple{N_PRINTER_FIELD(left), N_PRINTER_FIELD(top), N_PRINTER_FIELD(right), N_PRINTER_FIELD(bottom)};
};

template <>
struct Layout<n_printer::str_pagesetupdlg> {
  using R = n_printer::str_pagesetupdlg;
  static constexpr std::size_t size = n_printer::pagesetupdlg_len;
  static constexpr auto fields = std::tuple{
      N_PRINTER_FIELD(lstructsize),
      N_PRINTER_FIELD(hwndowner),
      N_PRINTER_FIELD(hdevmode),
      N_PRINTER_FIELD(hdevnames),
      N_PRINTER_FIELD(flags),
      N_PRINTER_FIELD(ptpapersize),
      N_PRINTER_FIELD(rtminmargin),
      N_PRINTER_FIELD(rtmargin),
      N_PRINTER_FIELD(hinstance),
      N_PRINTER_FIELD(lcustdata),
      N_PRINTER_FIELD(lpfnpagesetuphook),
      N_PRINTER_FIELD(lpfnpagepainthook),
      N_PRINTER_FIELD(lppagesetuptemplatename),
      N_PRINTER_FIELD(hpagesetuptemplate),
  };
};

#undef N_PRINTER_FIELD

// The device-names header that the dialogs' blocks begin with: the four offsets.
inline constexpr std::size_t kDevnamesHeaderSize = 8;

static_assert(fillsItsSize<n_printer::str_printer_info_1>() && fillsItsSize<n_printer::str_printer_info_2>() &&
              fillsItsSize<n_printer::str_devmode>() && fillsItsSize<n_printer::str_printer_defaults>() &&
              fillsItsSize<n_printer::str_printdlg>() && fillsItsSize<n_printer::str_devnames>() &&
              fillsItsSize<n_printer::str_point>() && fillsItsSize<n_printer::str_rect>() &&
              fillsItsSize<n_printer::str_pagesetupdlg>());

}  // namespace printing
