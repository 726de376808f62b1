// The printer services' declarations: every constant carries its published value under its
// declared type, and every record is written to and read from the published bytes, field by
// field at its published offset, little-endian, no gaps and nothing past the published size.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <numeric>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/device_mode_p.h"
#include "printing/n_printer.h"
#include "printing/n_printer_layout.h"
#include "runtime/testing.h"

namespace {

using P = n_printer;

// ---- Constants

// A declared constant, its declared type taken from the member itself: a table of one type
// does not compile when a member of the group is declared with another.
template <class T>
struct Constant {
  const char* name;
  T actual;
  std::uint32_t published;
};

template <class T>
Constant<T> constant(const char* name, const T& actual, std::uint32_t published) {
  return {name, actual, published};
}

template <class T>
void expectPublished(std::size_t declared, std::initializer_list<Constant<T>> group) {
  EXPECT_EQ(group.size(), declared) << "constants in the group";
  for (const Constant<T>& c : group) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(static_cast<std::uint32_t>(c.actual), c.published);
  }
}

#define C(name, value) constant(#name, P::name, value)

TEST(PrinterConstants, EnumerationFlags) {
  expectPublished<std::uint32_t>(
      19, {C(printer_enum_default, 0x1), C(printer_enum_local, 0x2), C(printer_enum_connections, 0x4),
           C(printer_enum_favorite, 0x4), C(printer_enum_name, 0x8), C(printer_enum_remote, 0x10),
           C(printer_enum_shared, 0x20), C(printer_enum_network, 0x40), C(printer_enum_expand, 0x4000),
           C(printer_enum_container, 0x8000), C(printer_enum_iconmask, 0xFF0000), C(printer_enum_icon1, 0x10000),
           C(printer_enum_icon2, 0x20000), C(printer_enum_icon3, 0x40000), C(printer_enum_icon4, 0x80000),
           C(printer_enum_icon5, 0x100000), C(printer_enum_icon6, 0x200000), C(printer_enum_icon7, 0x400000),
           C(printer_enum_icon8, 0x800000)});
}

TEST(PrinterConstants, RecordLengths) {
  expectPublished<std::int16_t>(6, {C(printer_info_1_len, 16), C(printer_info_2_len, 84), C(devmode_len, 148),
                                    C(printdlg_len, 66), C(devnames_len, 104), C(pagesetupdlg_len, 84)});
}

TEST(PrinterConstants, DeviceModeFieldBits) {
  expectPublished<std::uint32_t>(26, {C(dm_orientation, 0x1),
                                      C(dm_papersize, 0x2),
                                      C(dm_paperlength, 0x4),
                                      C(dm_paperwidth, 0x8),
                                      C(dm_scale, 0x10),
                                      C(dm_copies, 0x100),
                                      C(dm_defaultsource, 0x200),
                                      C(dm_printquality, 0x400),
                                      C(dm_color, 0x800),
                                      C(dm_duplex, 0x1000),
                                      C(dm_yresolution, 0x2000),
                                      C(dm_ttoption, 0x4000),
                                      C(dm_collate, 0x8000),
                                      C(dm_formname, 0x10000),
                                      C(dm_logpixels, 0x20000),
                                      C(dm_bitsperpel, 0x40000),
                                      C(dm_pelswidth, 0x80000),
                                      C(dm_pelsheight, 0x100000),
                                      C(dm_displayflags, 0x200000),
                                      C(dm_displayfrequency, 0x400000),
                                      C(dm_icmmethod, 0x800000),
                                      C(dm_icmintent, 0x1000000),
                                      C(dm_mediatype, 0x2000000),
                                      C(dm_dithertype, 0x4000000),
                                      C(dm_panningwidth, 0x8000000),
                                      C(dm_panningheight, 0x10000000)});
}

TEST(PrinterConstants, OrientationsAttributesAndDocumentModes) {
  expectPublished<std::uint32_t>(2, {C(dmorient_portrait, 1), C(dmorient_landscape, 2)});
  expectPublished<std::uint32_t>(
      13, {C(printer_attribute_queued, 0x1), C(printer_attribute_direct, 0x2), C(printer_attribute_default, 0x4),
           C(printer_attribute_shared, 0x8), C(printer_attribute_network, 0x10), C(printer_attribute_hidden, 0x20),
           C(printer_attribute_local, 0x40), C(printer_attribute_enable_devq, 0x80),
           C(printer_attribute_keepprintedjobs, 0x100), C(printer_attribute_do_complete_first, 0x200),
           C(printer_attribute_work_offline, 0x400), C(printer_attribute_enable_bidi, 0x800),
           C(printer_attribute_raw_only, 0x1000)});
  expectPublished<std::uint32_t>(4,
                                 {C(dm_in_buffer, 8), C(dm_in_prompt, 4), C(dm_out_buffer, 2), C(dm_out_default, 1)});
}

TEST(PrinterConstants, DeviceCapabilities) {
  expectPublished<std::uint32_t>(
      18, {C(dc_fields, 1), C(dc_papers, 2), C(dc_papersize, 3), C(dc_minextent, 4), C(dc_maxextent, 5), C(dc_bins, 6),
           C(dc_duplex, 7), C(dc_size, 8), C(dc_extra, 9), C(dc_version, 10), C(dc_driver, 11), C(dc_binnames, 12),
           C(dc_enumresolutions, 13), C(dc_filedependencies, 14), C(dc_truetype, 15), C(dc_papernames, 16),
           C(dc_orientation, 17), C(dc_copies, 18)});
}

// The paper codes run 1 to 68 in declared order, then the user-defined size.
TEST(PrinterConstants, PaperSizes) {
  const std::vector<Constant<std::uint16_t>> in_order = {
      C(dmpaper_letter, 0),
      C(dmpaper_lettersmall, 0),
      C(dmpaper_tabloid, 0),
      C(dmpaper_ledger, 0),
      C(dmpaper_legal, 0),
      C(dmpaper_statement, 0),
      C(dmpaper_executive, 0),
      C(dmpaper_a3, 0),
      C(dmpaper_a4, 0),
      C(dmpaper_a4small, 0),
      C(dmpaper_a5, 0),
      C(dmpaper_b4, 0),
      C(dmpaper_b5, 0),
      C(dmpaper_folio, 0),
      C(dmpaper_quarto, 0),
      C(dmpaper_10x14, 0),
      C(dmpaper_11x17, 0),
      C(dmpaper_note, 0),
      C(dmpaper_env_9, 0),
      C(dmpaper_env_10, 0),
      C(dmpaper_env_11, 0),
      C(dmpaper_env_12, 0),
      C(dmpaper_env_14, 0),
      C(dmpaper_csheet, 0),
      C(dmpaper_dsheet, 0),
      C(dmpaper_esheet, 0),
      C(dmpaper_env_dl, 0),
      C(dmpaper_env_c5, 0),
      C(dmpaper_env_c3, 0),
      C(dmpaper_env_c4, 0),
      C(dmpaper_env_c6, 0),
      C(dmpaper_env_c65, 0),
      C(dmpaper_env_b4, 0),
      C(dmpaper_env_b5, 0),
      C(dmpaper_env_b6, 0),
      C(dmpaper_env_italy, 0),
      C(dmpaper_env_monarch, 0),
      C(dmpaper_env_personal, 0),
      C(dmpaper_fanfold_us, 0),
      C(dmpaper_fanfold_std_german, 0),
      C(dmpaper_fanfold_lgl_german, 0),
      C(dmpaper_iso_b4, 0),
      C(dmpaper_japanese_postcard, 0),
      C(dmpaper_9x11, 0),
      C(dmpaper_10x11, 0),
      C(dmpaper_15x11, 0),
      C(dmpaper_env_invite, 0),
      C(dmpaper_reserved_48, 0),
      C(dmpaper_reserved_49, 0),
      C(dmpaper_letter_extra, 0),
      C(dmpaper_legal_extra, 0),
      C(dmpaper_tabloid_extra, 0),
      C(dmpaper_a4_extra, 0),
      C(dmpaper_letter_transverse, 0),
      C(dmpaper_a4_transverse, 0),
      C(dmpaper_letter_extra_transverse, 0),
      C(dmpaper_a_plus, 0),
      C(dmpaper_b_plus, 0),
      C(dmpaper_letter_plus, 0),
      C(dmpaper_a4_plus, 0),
      C(dmpaper_a5_transverse, 0),
      C(dmpaper_b5_transverse, 0),
      C(dmpaper_a3_extra, 0),
      C(dmpaper_a5_extra, 0),
      C(dmpaper_b5_extra, 0),
      C(dmpaper_a2, 0),
      C(dmpaper_a3_transverse, 0),
      C(dmpaper_a3_extra_transverse, 0),
  };
  ASSERT_EQ(in_order.size(), 68u);
  for (std::size_t i = 0; i < in_order.size(); ++i) {
    SCOPED_TRACE(in_order[i].name);
    EXPECT_EQ(static_cast<std::size_t>(in_order[i].actual), i + 1);
  }
  expectPublished<std::uint16_t>(1, {C(dmpaper_user, 256)});
  expectPublished<std::uint16_t>(1, {C(gmem_moveable, 0x2)});
}

TEST(PrinterConstants, DialogFlags) {
  expectPublished<std::uint32_t>(24, {C(pd_allpages, 0),
                                      C(pd_selection, 0x1),
                                      C(pd_pagenums, 0x2),
                                      C(pd_noselection, 0x4),
                                      C(pd_nopagenums, 0x8),
                                      C(pd_collate, 0x10),
                                      C(pd_printtofile, 0x20),
                                      C(pd_printsetup, 0x40),
                                      C(pd_nowarning, 0x80),
                                      C(pd_returndc, 0x100),
                                      C(pd_returnic, 0x200),
                                      C(pd_returndefault, 0x400),
                                      C(pd_showhelp, 0x800),
                                      C(pd_enableprinthook, 0x1000),
                                      C(pd_enablesetuphook, 0x2000),
                                      C(pd_enableprinttemplate, 0x4000),
                                      C(pd_enablesetuptemplate, 0x8000),
                                      C(pd_enableprinttemplatehandle, 0x10000),
                                      C(pd_enablesetuptemplatehandle, 0x20000),
                                      C(pd_usedevmodecopies, 0x40000),
                                      C(pd_usedevmodecopiesandcollate, 0x40000),
                                      C(pd_disableprinttofile, 0x80000),
                                      C(pd_hideprinttofile, 0x100000),
                                      C(pd_nonetworkbutton, 0x200000)});
  expectPublished<std::uint32_t>(
      19, {C(psd_defaultminmargins, 0), C(psd_inwininiintlmeasure, 0), C(psd_minmargins, 0x1), C(psd_margins, 0x2),
           C(psd_inthousandthsofinches, 0x4), C(psd_inhundredthsofmillimeters, 0x8), C(psd_disablemargins, 0x10),
           C(psd_disableprinter, 0x20), C(psd_nowarning, 0x80), C(psd_disableorientation, 0x100),
           C(psd_returndefault, 0x400), C(psd_disablepaper, 0x200), C(psd_showhelp, 0x800),
           C(psd_enablepagesetuphook, 0x2000), C(psd_enablepagesetuptemplate, 0x8000),
           C(psd_enablepagesetuptemplatehandle, 0x20000), C(psd_enablepagepainthook, 0x40000),
           C(psd_disablepagepainting, 0x80000), C(psd_nonetworkbutton, 0x200000)});
}

#undef C

// The combined values the printer functions pass, built from the declared constants.
TEST(PrinterConstants, CombinationsTheFunctionsPass) {
  std::uint32_t every_field = 0;
  for (std::uint32_t bit = P::dm_orientation; bit <= P::dm_panningheight; bit <<= 1) every_field |= bit;
  struct Case {
    const char* what;
    std::uint32_t combined;
    std::uint32_t published;
  } cases[] = {
      {"a user-defined size's extra field bits", P::dm_paperlength + P::dm_paperwidth, 12},
      {"every device-mode field bit", every_field, 0x1FFFFFFF},
      {"writing the default device mode", P::dm_in_buffer + P::dm_out_default, 9},
      {"the print dialog's flags",
       P::pd_usedevmodecopiesandcollate + P::pd_printtofile + P::pd_nopagenums + P::pd_noselection, 0x4002C},
      {"an attribute word read back",
       P::printer_attribute_do_complete_first + P::printer_attribute_local + P::printer_attribute_default, 580},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.combined, c.published);
  }
}

// ---- Byte layouts

// A field of a record at its published offset and width, and how to load it from bytes
// little-endian without the layout under test.
template <class R>
struct FieldAt {
  std::string name;
  std::size_t offset;
  std::size_t width;
  bool is_signed;
  std::size_t loaded_width;
  bool loaded_signed;
  std::function<void(R&, const std::uint8_t*)> load;
};

template <class T>
void loadValue(T& value, const std::uint8_t* bytes) {
  if constexpr (std::is_array_v<T>) {
    std::copy(bytes, bytes + sizeof(T), value);
  } else {
    std::uint64_t bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) bits = (bits << 8) | bytes[i];
    value = static_cast<T>(bits);
  }
}

template <class T>
constexpr bool signedField() {
  if constexpr (std::is_array_v<T>) return false;
  return std::is_signed_v<T>;
}

// `reach` gives the field of a record.
template <class R, class T, class Reach>
FieldAt<R> fieldAt(std::string name, std::size_t offset, std::size_t width, bool is_signed, Reach reach) {
  return {
      std::move(name), offset, width, is_signed, sizeof(T), signedField<T>(), [reach](R& r, const std::uint8_t* bytes) {
        loadValue<T>(reach(r), bytes);
      }};
}

template <class R, class T>
FieldAt<R> at(std::string name, std::size_t offset, std::size_t width, bool is_signed, T R::*member) {
  return fieldAt<R, T>(std::move(name), offset, width, is_signed, [member](R& r) -> T& { return r.*member; });
}

// A field of a record inside the record.
template <class R, class S, class T>
FieldAt<R> at(std::string name, std::size_t offset, std::size_t width, bool is_signed, S R::*outer, T S::*inner) {
  return fieldAt<R, T>(std::move(name), offset, width, is_signed,
                       [outer, inner](R& r) -> T& { return (r.*outer).*inner; });
}

// A field under the name of its member.
#define AT(R, member, offset, width, is_signed) at(#member, offset, width, is_signed, &R::member)

// Every field is loaded from an image whose byte at offset o is o + 1 (all records are under
// 256 bytes, so every byte is distinct and none is 0). Written back, the record must give
// exactly that image and nothing past it; read from it, the same record.
template <class R>
void expectLayout(std::size_t published, const std::vector<FieldAt<R>>& fields) {
  std::vector<int> covered(published, 0);
  for (const FieldAt<R>& f : fields)
    for (std::size_t i = f.offset; i < f.offset + f.width && i < published; ++i) ++covered[i];
  ASSERT_TRUE(std::all_of(covered.begin(), covered.end(), [](int n) { return n == 1; }))
      << "the cases cover every published byte once";

  std::vector<std::uint8_t> image(published);
  std::iota(image.begin(), image.end(), std::uint8_t{1});
  R record{};
  for (const FieldAt<R>& f : fields) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(f.loaded_width, f.width) << "declared width";
    EXPECT_EQ(f.loaded_signed, f.is_signed) << "declared signedness";
    f.load(record, image.data() + f.offset);
  }

  EXPECT_EQ(printing::Layout<R>::size, published);
  for (const printing::Place& p : printing::places<R>()) {
    SCOPED_TRACE(std::string(p.name));
    std::size_t offset = published, width = 0;
    for (const FieldAt<R>& f : fields)
      if (f.name == p.name || f.name.starts_with(std::string(p.name) + ".")) {
        offset = std::min(offset, f.offset);
        width += f.width;
      }
    EXPECT_EQ(p.offset, offset);
    EXPECT_EQ(p.size, width);
  }

  std::vector<std::uint8_t> out(published + 16, 0xEE);
  ASSERT_TRUE(printing::toBytes(record, out));
  EXPECT_EQ(std::vector<std::uint8_t>(out.begin(), out.begin() + published), image);
  EXPECT_TRUE(std::all_of(out.begin() + published, out.end(), [](std::uint8_t b) { return b == 0xEE; }))
      << "nothing written past the published size";

  R back{};
  ASSERT_TRUE(printing::fromBytes(image, back));
  EXPECT_TRUE(back == record) << "read back as written";

  std::vector<std::uint8_t> one_short(published - 1, 0xEE);
  EXPECT_FALSE(printing::toBytes(record, one_short));
  EXPECT_TRUE(std::all_of(one_short.begin(), one_short.end(), [](std::uint8_t b) { return b == 0xEE; }));
  R untouched{};
  EXPECT_FALSE(printing::fromBytes(std::span<const std::uint8_t>(image).first(published - 1), untouched));
  EXPECT_TRUE(untouched == R{});
}

TEST(PrinterRecords, PrinterInfo1) {
  using R = P::str_printer_info_1;
  expectLayout<R>(16, {AT(R, flags, 0, 4, true), AT(R, description, 4, 4, true), AT(R, name, 8, 4, true),
                       AT(R, comment, 12, 4, true)});
}

TEST(PrinterRecords, PrinterInfo2) {
  using R = P::str_printer_info_2;
  expectLayout<R>(84, {AT(R, servername, 0, 4, true),
                       AT(R, printername, 4, 4, true),
                       AT(R, sharename, 8, 4, true),
                       AT(R, portname, 12, 4, true),
                       AT(R, drivername, 16, 4, true),
                       AT(R, comment, 20, 4, true),
                       AT(R, location, 24, 4, true),
                       AT(R, devmode, 28, 4, true),
                       AT(R, sepfile, 32, 4, true),
                       AT(R, printprocessor, 36, 4, true),
                       AT(R, datatype, 40, 4, true),
                       AT(R, parameters, 44, 4, true),
                       AT(R, securitydescriptor, 48, 4, true),
                       AT(R, attributes, 52, 4, true),
                       AT(R, priority, 56, 4, true),
                       AT(R, defaultpriority, 60, 4, true),
                       AT(R, starttime, 64, 4, true),
                       AT(R, untiltime, 68, 4, true),
                       AT(R, status, 72, 4, true),
                       AT(R, cjobs, 76, 4, true),
                       AT(R, averageppm, 80, 4, true)});
}

TEST(PrinterRecords, DeviceMode) {
  using R = P::str_devmode;
  expectLayout<R>(148, {AT(R, dmdevicename, 0, 32, false),    AT(R, dmspecversion, 32, 2, false),
                        AT(R, dmdriverversion, 34, 2, false), AT(R, dmsize, 36, 2, false),
                        AT(R, dmdriverextra, 38, 2, false),   AT(R, dmfields, 40, 4, false),
                        AT(R, dmorientation, 44, 2, false),   AT(R, dmpapersize, 46, 2, false),
                        AT(R, dmpaperlength, 48, 2, false),   AT(R, dmpaperwidth, 50, 2, false),
                        AT(R, dmscale, 52, 2, true),          AT(R, dmcopies, 54, 2, true),
                        AT(R, dmdefaultsource, 56, 2, true),  AT(R, dmprintquality, 58, 2, true),
                        AT(R, dmcolor, 60, 2, true),          AT(R, dmduplex, 62, 2, true),
                        AT(R, dmyresolution, 64, 2, true),    AT(R, dmttoption, 66, 2, true),
                        AT(R, dmcollate, 68, 2, true),        AT(R, dmformname, 70, 32, false),
                        AT(R, dmlogpixels, 102, 2, false),    AT(R, dmbitsperpel, 104, 4, false),
                        AT(R, dmpelswidth, 108, 4, false),    AT(R, dmpelsheight, 112, 4, false),
                        AT(R, dmdisplayflags, 116, 4, false), AT(R, dmdisplayfrequency, 120, 4, false),
                        AT(R, dmicmmethod, 124, 4, false),    AT(R, dmicmintent, 128, 4, false),
                        AT(R, dmmediatype, 132, 4, false),    AT(R, dmdithertype, 136, 4, false),
                        AT(R, dmreserved1, 140, 4, false),    AT(R, dmreserved2, 144, 4, false)});
}

TEST(PrinterRecords, PrinterDefaults) {
  using R = P::str_printer_defaults;
  expectLayout<R>(12, {AT(R, datatype, 0, 4, true), AT(R, devmode, 4, 4, true), AT(R, desiredaccess, 8, 4, true)});
}

TEST(PrinterRecords, PrintDialog) {
  using R = P::str_printdlg;
  expectLayout<R>(
      66, {AT(R, lstructsize, 0, 4, false), AT(R, hwndowner, 4, 4, false), AT(R, hdevmode, 8, 4, false),
           AT(R, hdevnames, 12, 4, false), AT(R, hdc, 16, 4, false), AT(R, flags, 20, 4, false),
           AT(R, nfrompage, 24, 2, false), AT(R, ntopage, 26, 2, false), AT(R, nminpage, 28, 2, false),
           AT(R, nmaxpage, 30, 2, false), AT(R, ncopies, 32, 2, false), AT(R, hinstance, 34, 4, false),
           AT(R, lcustdata, 38, 4, false), AT(R, lpfnprinthook, 42, 4, false), AT(R, lpfnsetuphook, 46, 4, false),
           AT(R, lpprinttemplatename, 50, 4, false), AT(R, lpsetuptemplatename, 54, 4, false),
           AT(R, hprinttemplate, 58, 4, false), AT(R, hsetuptemplate, 62, 4, false)});
}

// The header of four offsets is the first 8 bytes; the names follow it.
TEST(PrinterRecords, DeviceNames) {
  using R = P::str_devnames;
  expectLayout<R>(
      104, {AT(R, wdriveroffset, 0, 2, false), AT(R, wdeviceoffset, 2, 2, false), AT(R, woutputoffset, 4, 2, false),
            AT(R, wdefault, 6, 2, false), AT(R, drivername, 8, 32, false), AT(R, devicename, 40, 32, false),
            AT(R, portname, 72, 32, false)});
  EXPECT_EQ(printing::kDevnamesHeaderSize, 8u);
}

TEST(PrinterRecords, PointAndRect) {
  using Pt = P::str_point;
  expectLayout<Pt>(8, {AT(Pt, x, 0, 4, true), AT(Pt, y, 4, 4, true)});
  using R = P::str_rect;
  expectLayout<R>(
      16, {AT(R, left, 0, 4, true), AT(R, top, 4, 4, true), AT(R, right, 8, 4, true), AT(R, bottom, 12, 4, true)});
}

TEST(PrinterRecords, PageSetupDialog) {
  using R = P::str_pagesetupdlg;
  using Pt = P::str_point;
  using Rc = P::str_rect;
  expectLayout<R>(84, {AT(R, lstructsize, 0, 4, false),
                       AT(R, hwndowner, 4, 4, false),
                       AT(R, hdevmode, 8, 4, false),
                       AT(R, hdevnames, 12, 4, false),
                       AT(R, flags, 16, 4, false),
                       at("ptpapersize.x", 20, 4, true, &R::ptpapersize, &Pt::x),
                       at("ptpapersize.y", 24, 4, true, &R::ptpapersize, &Pt::y),
                       at("rtminmargin.left", 28, 4, true, &R::rtminmargin, &Rc::left),
                       at("rtminmargin.top", 32, 4, true, &R::rtminmargin, &Rc::top),
                       at("rtminmargin.right", 36, 4, true, &R::rtminmargin, &Rc::right),
                       at("rtminmargin.bottom", 40, 4, true, &R::rtminmargin, &Rc::bottom),
                       at("rtmargin.left", 44, 4, true, &R::rtmargin, &Rc::left),
                       at("rtmargin.top", 48, 4, true, &R::rtmargin, &Rc::top),
                       at("rtmargin.right", 52, 4, true, &R::rtmargin, &Rc::right),
                       at("rtmargin.bottom", 56, 4, true, &R::rtmargin, &Rc::bottom),
                       AT(R, hinstance, 60, 4, false),
                       AT(R, lcustdata, 64, 4, false),
                       AT(R, lpfnpagesetuphook, 68, 4, false),
                       AT(R, lpfnpagepainthook, 72, 4, false),
                       AT(R, lppagesetuptemplatename, 76, 4, false),
                       AT(R, hpagesetuptemplate, 80, 4, false)});
}

#undef AT

// The room a declaration adds after the published record is neither written nor read: the
// bytes after the record stay as they were, and a read leaves the field as it was.
template <class R, class Kept>
void expectRoomUntouched(const char* what, std::size_t published, R record, Kept kept) {
  SCOPED_TRACE(what);
  std::vector<std::uint8_t> out(sizeof(R) + 16, 0xEE);
  ASSERT_TRUE(printing::toBytes(record, out));
  EXPECT_TRUE(std::all_of(out.begin() + published, out.end(), [](std::uint8_t b) { return b == 0xEE; }));
  const std::vector<std::uint8_t> zeros(sizeof(R), 0);
  ASSERT_TRUE(printing::fromBytes(zeros, record));
  EXPECT_TRUE(kept(record));
}

TEST(PrinterRecords, RoomBeyondThePublishedRecordIsNeverCopied) {
  P::str_printer_info_2 info{};
  std::fill(std::begin(info.reserve), std::end(info.reserve), 'R');
  expectRoomUntouched("str_printer_info_2.reserve", 84, info, [](const P::str_printer_info_2& r) {
    return std::all_of(std::begin(r.reserve), std::end(r.reserve), [](char c) { return c == 'R'; });
  });
  P::str_devmode devmode{};
  devmode.dmreserved3 = 0x33333333;
  expectRoomUntouched("str_devmode.dmreserved3", 148, devmode,
                      [](const P::str_devmode& r) { return r.dmreserved3 == 0x33333333u; });
  P::str_printdlg printdlg{};
  printdlg.reserve1 = 0x1111;
  expectRoomUntouched("str_printdlg.reserve1", 66, printdlg,
                      [](const P::str_printdlg& r) { return r.reserve1 == 0x1111u; });
}

// The stand-ins read and write the records by offsets and bits of their own: each must be
// where the declarations put the field, and carry the declared constant's value.
template <class R>
void expectStandInOffsets(std::initializer_list<std::pair<const char*, std::size_t>> fields) {
  for (const auto& [name, offset] : fields) EXPECT_EQ(offset, printing::placeOf<R>(name).offset) << name;
}

TEST(PrinterRecords, TheStandInsFindEachFieldWhereTheDeclarationsPutIt) {
  namespace d = platform::detail;
  namespace dm = d::dm;
  namespace pi = d::pi;
  expectStandInOffsets<P::str_devmode>({{"dmsize", dm::kSize},
                                        {"dmdriverextra", dm::kDriverExtra},
                                        {"dmfields", dm::kFields},
                                        {"dmorientation", dm::kOrientationAt},
                                        {"dmpapersize", dm::kPaperSizeAt},
                                        {"dmpaperlength", dm::kPaperLengthAt},
                                        {"dmpaperwidth", dm::kPaperWidthAt},
                                        {"dmcopies", dm::kCopiesAt},
                                        {"dmduplex", dm::kDuplexAt},
                                        {"dmcollate", dm::kCollateAt}});
  // The printer record's fields by index, 4 bytes each.
  expectStandInOffsets<P::str_printer_info_2>({{"printername", 4 * pi::kPrinterName},
                                               {"portname", 4 * pi::kPortName},
                                               {"drivername", 4 * pi::kDriverName},
                                               {"comment", 4 * pi::kComment},
                                               {"location", 4 * pi::kLocation},
                                               {"devmode", 4 * pi::kDevMode},
                                               {"attributes", 4 * pi::kAttributes},
                                               {"status", 4 * pi::kStatus},
                                               {"cjobs", 4 * pi::kJobs}});
  EXPECT_EQ(4 * pi::kFieldCount, P::printer_info_2_len);
  const std::initializer_list<std::pair<const char*, std::size_t>> head = {{"lstructsize", d::dlg::kStructSize},
                                                                           {"hwndowner", d::dlg::kOwner},
                                                                           {"hdevmode", d::dlg::kDevMode},
                                                                           {"hdevnames", d::dlg::kDevNames}};
  expectStandInOffsets<P::str_printdlg>(head);
  expectStandInOffsets<P::str_printdlg>({{"flags", d::pd::kFlags}, {"ncopies", d::pd::kCopies}});
  EXPECT_EQ(d::pd::kSize, static_cast<std::uint32_t>(P::printdlg_len));
  expectStandInOffsets<P::str_pagesetupdlg>(head);
  expectStandInOffsets<P::str_pagesetupdlg>(
      {{"flags", d::psd::kFlags}, {"ptpapersize", d::psd::kPaperWidth}, {"rtmargin", d::psd::kMargins}});
  EXPECT_EQ(d::psd::kPaperLength, d::psd::kPaperWidth + 4) << "ptpapersize.y";
  EXPECT_EQ(d::psd::kSize, static_cast<std::uint32_t>(P::pagesetupdlg_len));
  expectStandInOffsets<P::str_devnames>({{"wdriveroffset", d::dn::kDriverOffset},
                                         {"wdeviceoffset", d::dn::kDeviceOffset},
                                         {"woutputoffset", d::dn::kOutputOffset},
                                         {"wdefault", d::dn::kDefault}});
  EXPECT_EQ(d::dn::kHeaderSize, printing::kDevnamesHeaderSize);

  const std::pair<std::uint32_t, std::uint32_t> bits[] = {
      {dm::kOrientation, P::dm_orientation},
      {dm::kPaperSize, P::dm_papersize},
      {dm::kPaperLength, P::dm_paperlength},
      {dm::kPaperWidth, P::dm_paperwidth},
      {dm::kCopies, P::dm_copies},
      {dm::kDuplex, P::dm_duplex},
      {dm::kCollate, P::dm_collate},
      {pi::kAttributeDefault, P::printer_attribute_default},
      {pi::kAttributeShared, P::printer_attribute_shared},
      {pi::kAttributeLocal, P::printer_attribute_local},
      {d::pd::kNoSelection, P::pd_noselection},
      {d::pd::kNoPageNums, P::pd_nopagenums},
      {d::pd::kPrintToFile, P::pd_printtofile},
      {d::pd::kDisablePrintToFile, P::pd_disableprinttofile},
      {d::pd::kHidePrintToFile, P::pd_hideprinttofile},
      {d::psd::kInThousandthsOfInches, P::psd_inthousandthsofinches},
  };
  for (const auto& [standIn, declared] : bits) EXPECT_EQ(standIn, declared);
}

// ---- Creation and destruction

// A client's own printer services object, noting what it finds in its two events.
struct n_printer_client : n_printer {
  RT_CLASS(n_printer_client)
  static inline rt::Ref<n_printer_client> held;  // a reference kept elsewhere
  static inline bool builtAtConstructor = false;
  static inline bool workingAtDestructor = false;
  std::string name = "client";
  void constructor() override {
    n_printer::constructor();
    builtAtConstructor = name == "client";
  }
  void destructor() override {
    n_printer::destructor();
    workingAtDestructor = held && held->name == "client" && rt::refTo(*this) == held;
  }
};

using Journal = std::vector<std::string>;
Journal lifeEvents() { return rt::testing::journal({"constructor", "destructor"}); }

TEST(PrinterObject, TheRuntimeRaisesConstructorAtCreateAndDestructorAtDestroyOnceEach) {
  rt::testing::Session session;
  auto printer = rt::create<n_printer_client>();
  EXPECT_EQ(lifeEvents(), Journal{"n_printer_client.constructor"}) << "before create returned";
  EXPECT_TRUE(n_printer_client::builtAtConstructor);
  n_printer_client::held = printer;

  rt::destroy(printer);
  EXPECT_EQ(lifeEvents(), (Journal{"n_printer_client.constructor", "n_printer_client.destructor"}));
  EXPECT_TRUE(n_printer_client::workingAtDestructor) << "the object and its references still work in it";
  EXPECT_FALSE(n_printer_client::held) << "destroyed after it";
  rt::destroy(n_printer_client::held);
  rt::destroy(printer);
  EXPECT_EQ(lifeEvents().size(), 2u) << "a destroyed object has no second destructor";

  // Made as a plain member or local, the object is not the runtime's and gets neither.
  rt::testing::clearJournal();
  { n_printer_client local; }
  EXPECT_EQ(lifeEvents(), Journal{});
}

}  // namespace
