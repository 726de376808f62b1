#pragma once

// The printer services object: the records it exchanges with the platform's printing entries
// and the constants it declares. Every outcome of its functions is a return value; it keeps
// no state between calls and nothing in the program creates it.

#include <concepts>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/memory.h"
#include "runtime/object.h"

class n_printer : public rt::Object {
 public:
  RT_CLASS(n_printer)

  // ---- Records, under their declared field names. Handles and addresses travel as 32-bit
  // integers; text fields are fixed byte fields.

  struct str_printer_info_1 {
    std::int32_t flags = 0;
    std::int32_t description = 0;
    std::int32_t name = 0;
    std::int32_t comment = 0;
    friend bool operator==(const str_printer_info_1&, const str_printer_info_1&) = default;
  };

  // The text fields and `devmode` are addresses inside the spooler buffer the record came
  // from. `reserve` is room the declaration adds; no copy reaches it.
  struct str_printer_info_2 {
    std::int32_t servername = 0;
    std::int32_t printername = 0;
    std::int32_t sharename = 0;
    std::int32_t portname = 0;
    std::int32_t drivername = 0;
    std::int32_t comment = 0;
    std::int32_t location = 0;
    std::int32_t devmode = 0;
    std::int32_t sepfile = 0;
    std::int32_t printprocessor = 0;
    std::int32_t datatype = 0;
    std::int32_t parameters = 0;
    std::int32_t securitydescriptor = 0;
    std::int32_t attributes = 0;
    std::int32_t priority = 0;
    std::int32_t defaultpriority = 0;
    std::int32_t starttime = 0;
    std::int32_t untiltime = 0;
    std::int32_t status = 0;
    std::int32_t cjobs = 0;
    std::int32_t averageppm = 0;
    char reserve[500] = {};
    friend bool operator==(const str_printer_info_2&, const str_printer_info_2&) = default;
  };

  // Paper length and width in tenths of a millimetre; `dmfields` says which fields carry
  // values. `dmreserved3` follows the published record and is never read or written.
  struct str_devmode {
    char dmdevicename[32] = {};
    std::uint16_t dmspecversion = 0;
    std::uint16_t dmdriverversion = 0;
    std::uint16_t dmsize = 0;
    std::uint16_t dmdriverextra = 0;
    std::uint32_t dmfields = 0;
    std::uint16_t dmorientation = 0;
    std::uint16_t dmpapersize = 0;
    std::uint16_t dmpaperlength = 0;
    std::uint16_t dmpaperwidth = 0;
    std::int16_t dmscale = 0;
    std::int16_t dmcopies = 0;
    std::int16_t dmdefaultsource = 0;
    std::int16_t dmprintquality = 0;
    std::int16_t dmcolor = 0;
    std::int16_t dmduplex = 0;
    std::int16_t dmyresolution = 0;
    std::int16_t dmttoption = 0;
    std::int16_t dmcollate = 0;
    char dmformname[32] = {};
    std::uint16_t dmlogpixels = 0;
    std::uint32_t dmbitsperpel = 0;
    std::uint32_t dmpelswidth = 0;
    std::uint32_t dmpelsheight = 0;
    std::uint32_t dmdisplayflags = 0;
    std::uint32_t dmdisplayfrequency = 0;
    std::uint32_t dmicmmethod = 0;
    std::uint32_t dmicmintent = 0;
    std::uint32_t dmmediatype = 0;
    std::uint32_t dmdithertype = 0;
    std::uint32_t dmreserved1 = 0;
    std::uint32_t dmreserved2 = 0;
    std::uint32_t dmreserved3 = 0;
    friend bool operator==(const str_devmode&, const str_devmode&) = default;
  };

  struct str_printer_defaults {
    std::int32_t datatype = 0;
    std::int32_t devmode = 0;
    std::int32_t desiredaccess = 0;
    friend bool operator==(const str_printer_defaults&, const str_printer_defaults&) = default;
  };

  // `reserve1` follows the published record and is never copied.
  struct str_printdlg {
    std::uint32_t lstructsize = 0;
    std::uint32_t hwndowner = 0;
    std::uint32_t hdevmode = 0;
    std::uint32_t hdevnames = 0;
    std::uint32_t hdc = 0;
    std::uint32_t flags = 0;
    std::uint16_t nfrompage = 0;
    std::uint16_t ntopage = 0;
    std::uint16_t nminpage = 0;
    std::uint16_t nmaxpage = 0;
    std::uint16_t ncopies = 0;
    std::uint32_t hinstance = 0;
    std::uint32_t lcustdata = 0;
    std::uint32_t lpfnprinthook = 0;
    std::uint32_t lpfnsetuphook = 0;
    std::uint32_t lpprinttemplatename = 0;
    std::uint32_t lpsetuptemplatename = 0;
    std::uint32_t hprinttemplate = 0;
    std::uint32_t hsetuptemplate = 0;
    std::uint16_t reserve1 = 0;
    friend bool operator==(const str_printdlg&, const str_printdlg&) = default;
  };

  // The first four fields are the device-names header: byte offsets from the start of the
  // block to the zero-terminated driver, device and output names.
  struct str_devnames {
    std::uint16_t wdriveroffset = 0;
    std::uint16_t wdeviceoffset = 0;
    std::uint16_t woutputoffset = 0;
    std::uint16_t wdefault = 0;
    char drivername[32] = {};
    char devicename[32] = {};
    char portname[32] = {};
    friend bool operator==(const str_devnames&, const str_devnames&) = default;
  };

  struct str_point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const str_point&, const str_point&) = default;
  };

  struct str_rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const str_rect&, const str_rect&) = default;
  };

  struct str_pagesetupdlg {
    std::uint32_t lstructsize = 0;
    std::uint32_t hwndowner = 0;
    std::uint32_t hdevmode = 0;
    std::uint32_t hdevnames = 0;
    std::uint32_t flags = 0;
    str_point ptpapersize;
    str_rect rtminmargin;
    str_rect rtmargin;
    std::uint32_t hinstance = 0;
    std::uint32_t lcustdata = 0;
    std::uint32_t lpfnpagesetuphook = 0;
    std::uint32_t lpfnpagepainthook = 0;
    std::uint32_t lppagesetuptemplatename = 0;
    std::uint32_t hpagesetuptemplate = 0;
    friend bool operator==(const str_pagesetupdlg&, const str_pagesetupdlg&) = default;
  };

  // ---- Constants, by group in declared order.

  // Spooler enumeration flags.
  static constexpr std::uint32_t printer_enum_default = 0x1;
  static constexpr std::uint32_t printer_enum_local = 0x2;
  static constexpr std::uint32_t printer_enum_connections = 0x4;
  static constexpr std::uint32_t printer_enum_favorite = 0x4;
  static constexpr std::uint32_t printer_enum_name = 0x8;
  static constexpr std::uint32_t printer_enum_remote = 0x10;
  static constexpr std::uint32_t printer_enum_shared = 0x20;
  static constexpr std::uint32_t printer_enum_network = 0x40;
  static constexpr std::uint32_t printer_enum_expand = 0x4000;
  static constexpr std::uint32_t printer_enum_container = 0x8000;
  static constexpr std::uint32_t printer_enum_iconmask = 0xFF0000;
  static constexpr std::uint32_t printer_enum_icon1 = 0x10000;
  static constexpr std::uint32_t printer_enum_icon2 = 0x20000;
  static constexpr std::uint32_t printer_enum_icon3 = 0x40000;
  static constexpr std::uint32_t printer_enum_icon4 = 0x80000;
  static constexpr std::uint32_t printer_enum_icon5 = 0x100000;
  static constexpr std::uint32_t printer_enum_icon6 = 0x200000;
  static constexpr std::uint32_t printer_enum_icon7 = 0x400000;
  static constexpr std::uint32_t printer_enum_icon8 = 0x800000;

  // Record lengths.
  static constexpr std::int16_t printer_info_1_len = 16;
  static constexpr std::int16_t printer_info_2_len = 84;
  static constexpr std::int16_t devmode_len = 148;

  // Device-mode field bits.
  static constexpr std::uint32_t dm_orientation = 0x1;
  static constexpr std::uint32_t dm_papersize = 0x2;
  static constexpr std::uint32_t dm_paperlength = 0x4;
  static constexpr std::uint32_t dm_paperwidth = 0x8;
  static constexpr std::uint32_t dm_scale = 0x10;
  static constexpr std::uint32_t dm_copies = 0x100;
  static constexpr std::uint32_t dm_defaultsource = 0x200;
  static constexpr std::uint32_t dm_printquality = 0x400;
  static constexpr std::uint32_t dm_color = 0x800;
  static constexpr std::uint32_t dm_duplex = 0x1000;
  static constexpr std::uint32_t dm_yresolution = 0x2000;
  static constexpr std::uint32_t dm_ttoption = 0x4000;
  static constexpr std::uint32_t dm_collate = 0x8000;
  static constexpr std::uint32_t dm_formname = 0x10000;
  static constexpr std::uint32_t dm_logpixels = 0x20000;
  static constexpr std::uint32_t dm_bitsperpel = 0x40000;
  static constexpr std::uint32_t dm_pelswidth = 0x80000;
  static constexpr std::uint32_t dm_pelsheight = 0x100000;
  static constexpr std::uint32_t dm_displayflags = 0x200000;
  static constexpr std::uint32_t dm_displayfrequency = 0x400000;
  static constexpr std::uint32_t dm_icmmethod = 0x800000;
  static constexpr std::uint32_t dm_icmintent = 0x1000000;
  static constexpr std::uint32_t dm_mediatype = 0x2000000;
  static constexpr std::uint32_t dm_dithertype = 0x4000000;
  static constexpr std::uint32_t dm_panningwidth = 0x8000000;
  static constexpr std::uint32_t dm_panningheight = 0x10000000;

  // Orientation.
  static constexpr std::uint32_t dmorient_portrait = 1;
  static constexpr std::uint32_t dmorient_landscape = 2;

  // Printer attribute bits.
  static constexpr std::uint32_t printer_attribute_queued = 0x1;
  static constexpr std::uint32_t printer_attribute_direct = 0x2;
  static constexpr std::uint32_t printer_attribute_default = 0x4;
  static constexpr std::uint32_t printer_attribute_shared = 0x8;
  static constexpr std::uint32_t printer_attribute_network = 0x10;
  static constexpr std::uint32_t printer_attribute_hidden = 0x20;
  static constexpr std::uint32_t printer_attribute_local = 0x40;
  static constexpr std::uint32_t printer_attribute_enable_devq = 0x80;
  static constexpr std::uint32_t printer_attribute_keepprintedjobs = 0x100;
  static constexpr std::uint32_t printer_attribute_do_complete_first = 0x200;
  static constexpr std::uint32_t printer_attribute_work_offline = 0x400;
  static constexpr std::uint32_t printer_attribute_enable_bidi = 0x800;
  static constexpr std::uint32_t printer_attribute_raw_only = 0x1000;

  // Document-properties modes.
  static constexpr std::uint32_t dm_in_buffer = 8;
  static constexpr std::uint32_t dm_in_prompt = 4;
  static constexpr std::uint32_t dm_out_buffer = 2;
  static constexpr std::uint32_t dm_out_default = 1;

  // Device capabilities.
  static constexpr std::uint32_t dc_fields = 1;
  static constexpr std::uint32_t dc_papers = 2;
  static constexpr std::uint32_t dc_papersize = 3;
  static constexpr std::uint32_t dc_minextent = 4;
  static constexpr std::uint32_t dc_maxextent = 5;
  static constexpr std::uint32_t dc_bins = 6;
  static constexpr std::uint32_t dc_duplex = 7;
  static constexpr std::uint32_t dc_size = 8;
  static constexpr std::uint32_t dc_extra = 9;
  static constexpr std::uint32_t dc_version = 10;
  static constexpr std::uint32_t dc_driver = 11;
  static constexpr std::uint32_t dc_binnames = 12;
  static constexpr std::uint32_t dc_enumresolutions = 13;
  static constexpr std::uint32_t dc_filedependencies = 14;
  static constexpr std::uint32_t dc_truetype = 15;
  static constexpr std::uint32_t dc_papernames = 16;
  static constexpr std::uint32_t dc_orientation = 17;
  static constexpr std::uint32_t dc_copies = 18;

  // Paper sizes.
  static constexpr std::uint16_t dmpaper_letter = 1;
  static constexpr std::uint16_t dmpaper_lettersmall = 2;
  static constexpr std::uint16_t dmpaper_tabloid = 3;
  static constexpr std::uint16_t dmpaper_ledger = 4;
  static constexpr std::uint16_t dmpaper_legal = 5;
  static constexpr std::uint16_t dmpaper_statement = 6;
  static constexpr std::uint16_t dmpaper_executive = 7;
  static constexpr std::uint16_t dmpaper_a3 = 8;
  static constexpr std::uint16_t dmpaper_a4 = 9;
  static constexpr std::uint16_t dmpaper_a4small = 10;
  static constexpr std::uint16_t dmpaper_a5 = 11;
  static constexpr std::uint16_t dmpaper_b4 = 12;
  static constexpr std::uint16_t dmpaper_b5 = 13;
  static constexpr std::uint16_t dmpaper_folio = 14;
  static constexpr std::uint16_t dmpaper_quarto = 15;
  static constexpr std::uint16_t dmpaper_10x14 = 16;
  static constexpr std::uint16_t dmpaper_11x17 = 17;
  static constexpr std::uint16_t dmpaper_note = 18;
  static constexpr std::uint16_t dmpaper_env_9 = 19;
  static constexpr std::uint16_t dmpaper_env_10 = 20;
  static constexpr std::uint16_t dmpaper_env_11 = 21;
  static constexpr std::uint16_t dmpaper_env_12 = 22;
  static constexpr std::uint16_t dmpaper_env_14 = 23;
  static constexpr std::uint16_t dmpaper_csheet = 24;
  static constexpr std::uint16_t dmpaper_dsheet = 25;
  static constexpr std::uint16_t dmpaper_esheet = 26;
  static constexpr std::uint16_t dmpaper_env_dl = 27;
  static constexpr std::uint16_t dmpaper_env_c5 = 28;
  static constexpr std::uint16_t dmpaper_env_c3 = 29;
  static constexpr std::uint16_t dmpaper_env_c4 = 30;
  static constexpr std::uint16_t dmpaper_env_c6 = 31;
  static constexpr std::uint16_t dmpaper_env_c65 = 32;
  static constexpr std::uint16_t dmpaper_env_b4 = 33;
  static constexpr std::uint16_t dmpaper_env_b5 = 34;
  static constexpr std::uint16_t dmpaper_env_b6 = 35;
  static constexpr std::uint16_t dmpaper_env_italy = 36;
  static constexpr std::uint16_t dmpaper_env_monarch = 37;
  static constexpr std::uint16_t dmpaper_env_personal = 38;
  static constexpr std::uint16_t dmpaper_fanfold_us = 39;
  static constexpr std::uint16_t dmpaper_fanfold_std_german = 40;
  static constexpr std::uint16_t dmpaper_fanfold_lgl_german = 41;
  static constexpr std::uint16_t dmpaper_iso_b4 = 42;
  static constexpr std::uint16_t dmpaper_japanese_postcard = 43;
  static constexpr std::uint16_t dmpaper_9x11 = 44;
  static constexpr std::uint16_t dmpaper_10x11 = 45;
  static constexpr std::uint16_t dmpaper_15x11 = 46;
  static constexpr std::uint16_t dmpaper_env_invite = 47;
  static constexpr std::uint16_t dmpaper_reserved_48 = 48;
  static constexpr std::uint16_t dmpaper_reserved_49 = 49;
  static constexpr std::uint16_t dmpaper_letter_extra = 50;
  static constexpr std::uint16_t dmpaper_legal_extra = 51;
  static constexpr std::uint16_t dmpaper_tabloid_extra = 52;
  static constexpr std::uint16_t dmpaper_a4_extra = 53;
  static constexpr std::uint16_t dmpaper_letter_transverse = 54;
  static constexpr std::uint16_t dmpaper_a4_transverse = 55;
  static constexpr std::uint16_t dmpaper_letter_extra_transverse = 56;
  static constexpr std::uint16_t dmpaper_a_plus = 57;
  static constexpr std::uint16_t dmpaper_b_plus = 58;
  static constexpr std::uint16_t dmpaper_letter_plus = 59;
  static constexpr std::uint16_t dmpaper_a4_plus = 60;
  static constexpr std::uint16_t dmpaper_a5_transverse = 61;
  static constexpr std::uint16_t dmpaper_b5_transverse = 62;
  static constexpr std::uint16_t dmpaper_a3_extra = 63;
  static constexpr std::uint16_t dmpaper_a5_extra = 64;
  static constexpr std::uint16_t dmpaper_b5_extra = 65;
  static constexpr std::uint16_t dmpaper_a2 = 66;
  static constexpr std::uint16_t dmpaper_a3_transverse = 67;
  static constexpr std::uint16_t dmpaper_a3_extra_transverse = 68;
  static constexpr std::uint16_t dmpaper_user = 256;

  // Memory.
  static constexpr std::uint16_t gmem_moveable = 0x2;

  // Print dialog: the record's length, then its flags.
  static constexpr std::int16_t printdlg_len = 66;
  static constexpr std::uint32_t pd_allpages = 0;
  static constexpr std::uint32_t pd_selection = 0x1;
  static constexpr std::uint32_t pd_pagenums = 0x2;
  static constexpr std::uint32_t pd_noselection = 0x4;
  static constexpr std::uint32_t pd_nopagenums = 0x8;
  static constexpr std::uint32_t pd_collate = 0x10;
  static constexpr std::uint32_t pd_printtofile = 0x20;
  static constexpr std::uint32_t pd_printsetup = 0x40;
  static constexpr std::uint32_t pd_nowarning = 0x80;
  static constexpr std::uint32_t pd_returndc = 0x100;
  static constexpr std::uint32_t pd_returnic = 0x200;
  static constexpr std::uint32_t pd_returndefault = 0x400;
  static constexpr std::uint32_t pd_showhelp = 0x800;
  static constexpr std::uint32_t pd_enableprinthook = 0x1000;
  static constexpr std::uint32_t pd_enablesetuphook = 0x2000;
  static constexpr std::uint32_t pd_enableprinttemplate = 0x4000;
  static constexpr std::uint32_t pd_enablesetuptemplate = 0x8000;
  static constexpr std::uint32_t pd_enableprinttemplatehandle = 0x10000;
  static constexpr std::uint32_t pd_enablesetuptemplatehandle = 0x20000;
  static constexpr std::uint32_t pd_usedevmodecopies = 0x40000;
  static constexpr std::uint32_t pd_usedevmodecopiesandcollate = 0x40000;
  static constexpr std::uint32_t pd_disableprinttofile = 0x80000;
  static constexpr std::uint32_t pd_hideprinttofile = 0x100000;
  static constexpr std::uint32_t pd_nonetworkbutton = 0x200000;

  // Device names.
  static constexpr std::int16_t devnames_len = 104;

  // Page-setup dialog: its flags, then the record's length.
  static constexpr std::uint32_t psd_defaultminmargins = 0;
  static constexpr std::uint32_t psd_inwininiintlmeasure = 0;
  static constexpr std::uint32_t psd_minmargins = 0x1;
  static constexpr std::uint32_t psd_margins = 0x2;
  static constexpr std::uint32_t psd_inthousandthsofinches = 0x4;
  static constexpr std::uint32_t psd_inhundredthsofmillimeters = 0x8;
  static constexpr std::uint32_t psd_disablemargins = 0x10;
  static constexpr std::uint32_t psd_disableprinter = 0x20;
  static constexpr std::uint32_t psd_nowarning = 0x80;
  static constexpr std::uint32_t psd_disableorientation = 0x100;
  static constexpr std::uint32_t psd_returndefault = 0x400;
  static constexpr std::uint32_t psd_disablepaper = 0x200;
  static constexpr std::uint32_t psd_showhelp = 0x800;
  static constexpr std::uint32_t psd_enablepagesetuphook = 0x2000;
  static constexpr std::uint32_t psd_enablepagesetuptemplate = 0x8000;
  static constexpr std::uint32_t psd_enablepagesetuptemplatehandle = 0x20000;
  static constexpr std::uint32_t psd_enablepagepainthook = 0x40000;
  static constexpr std::uint32_t psd_disablepagepainting = 0x80000;
  static constexpr std::uint32_t psd_nonetworkbutton = 0x200000;
  static constexpr std::int16_t pagesetupdlg_len = 84;

  // ---- Values the functions take and give.

  // A text that may be null: std::nullopt reaches the platform as a null pointer. Texts are
  // UTF-8 here and ANSI at the platform.
  using string = std::optional<std::string>;

  // The value `of_printer` hands out through its `outpara`: a text or a number, converted as
  // the runtime converts (a text that is not a number counts as 0).
  class any {
   public:
    any() = default;
    any(std::string text) : value_(std::move(text)) {}
    any(const char* text) : value_(std::string(text)) {}
    template <std::integral T>
    any(T number) : value_(static_cast<long>(number)) {}

    const std::variant<std::string, long>& value() const { return value_; }
    std::int16_t toInteger() const { return static_cast<std::int16_t>(toNumber()); }
    std::int32_t toLong() const { return static_cast<std::int32_t>(toNumber()); }
    std::uint16_t toUint() const { return static_cast<std::uint16_t>(toNumber()); }
    std::string toString() const;
    friend bool operator==(const any&, const any&) = default;

   private:
    long toNumber() const;
    std::variant<std::string, long> value_;
  };

  // ---- The platform's entries under their declared names. A blob passes its address; a
  // record passes the address of a copy of its published bytes, read back where the entry
  // writes it; texts are converted to ANSI at the call.

  bool enumprinters(std::uint32_t flags, const string& name, std::uint32_t level, platform::Blob& buffer,
                    std::uint32_t cbbuf, std::uint32_t& cbneeded, std::uint32_t& returned);
  bool openprinter(const string& printername, std::uint32_t& hprinter, str_printer_defaults& defaults);
  bool openprinter(const string& printername, std::uint32_t& hprinter, std::uint32_t defaults);
  bool closeprinter(std::uint32_t hprinter);
  bool getprinter(std::uint32_t hprinter, std::uint32_t level, platform::Blob& printer, std::uint32_t cbbuf,
                  std::uint32_t& cbneeded);
  bool setprinter(std::uint32_t hprinter, std::uint32_t level, platform::Blob& printer, std::uint32_t command);
  bool printerproperties(std::uint32_t hwnd, std::uint32_t hprinter);
  std::int32_t documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                  platform::Blob& output, std::int32_t input, std::uint32_t mode);
  std::int32_t documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                  std::uint32_t output, str_devmode& input, std::uint32_t mode);
  std::int32_t documentproperties(std::uint32_t hwnd, std::uint32_t hprinter, const string& devicename,
                                  std::uint32_t output, platform::Blob& input, std::uint32_t mode);
  std::int32_t devicecapabilities(const string& device, const string& port, std::uint16_t capability,
                                  platform::Blob& output, std::int32_t devmode);
  std::int32_t devicecapabilities(const string& device, const string& port, std::uint16_t capability,
                                  std::int32_t output, std::int32_t devmode);
  // `driver` and `output` are addresses of ANSI texts, 0 for none.
  std::uint32_t createdc(std::int32_t driver, const string& device, std::int32_t output, std::int32_t devmode);
  bool deletedc(std::uint32_t hdc);
  std::int16_t escape(std::uint32_t hdc, std::int16_t nescape, std::int16_t cbinput, std::int32_t indata,
                      platform::Blob& outdata);
  std::uint32_t globalalloc(std::uint16_t uflags, std::uint32_t dwbytes);
  std::uint32_t globalfree(std::uint32_t hmem);
  std::uint32_t globallock(std::uint32_t hmem);
  bool globalunlock(std::uint32_t hmem);
  std::uint32_t globalsize(std::uint32_t hem);

  // The memory copy, destination first. A copy into a record moves no byte past its
  // published size; a copy that does not fit moves nothing and leaves the record as it was.
  std::uint32_t copymem(str_printer_info_1& destination, platform::Blob& source, std::uint32_t length);
  std::uint32_t copymem(str_printer_info_2& destination, platform::Blob& source, std::uint32_t length);
  std::uint32_t copymem(platform::Blob& destination, str_printer_info_2& source, std::uint32_t length);
  std::uint32_t copymem(str_devmode& destination, platform::Blob& source, std::uint32_t length);
  std::uint32_t copymem(str_devmode& destination, std::uint32_t source, std::uint32_t length);
  std::uint32_t copymem(platform::Blob& destination, str_devmode& source, std::uint32_t length);
  std::uint32_t copymem(std::uint32_t destination, str_devmode& source, std::uint32_t length);
  std::uint32_t copymem(str_devnames& destination, std::uint32_t source, std::uint32_t length);
  std::uint32_t copymem(platform::Blob& destination, std::uint32_t source, std::uint32_t length);
  // The modal print and page set-up dialogs; a confirmed one leaves two new moveable blocks
  // in the record's `hdevmode` and `hdevnames`.
  std::int32_t printdlg(str_printdlg& printdlg);
  bool pagesetupdlg(str_pagesetupdlg& pagesetupdlg);

  // ---- Queries and settings. Integer results are 1 for success and -1 for failure; the
  // text queries give "" and the number queries -1 when the printer cannot be read.

  // The names of the local printers into printerlist[0 .. count-1], growing it where it is
  // shorter; elements past the count keep what they held. The count, or -1.
  std::int16_t of_getprinterlist(std::vector<std::string>& printerlist);
  // Makes and drops a device context for the printer; always 1.
  std::int16_t of_direct(const std::string& printername, const std::string& data);
  // Opens the printer, carries out `command` and closes it again.
  std::int16_t of_printer(const std::string& printername, std::int16_t command, any& outpara, std::int16_t& papersize,
                          std::int16_t& paperwidth, std::int16_t& paperlength);
  std::string of_getdrivername(const std::string& printername);
  std::string of_getportname(const std::string& printername);
  std::int16_t of_getattribute(const std::string& printername);
  std::int32_t of_getstatus(const std::string& printername);
  std::int16_t of_getpapersize(const std::string& printername, std::int16_t& papersize, std::int16_t& paperwidth,
                               std::int16_t& paperheight);
  std::int16_t of_setdefault(const std::string& printername);
  std::int16_t of_setpapersize(const std::string& printername, std::int16_t papersize, std::int16_t paperwidth,
                               std::int16_t paperheight);
  // The default printer's name from the profile, or "".
  std::string of_getpbprinter();

  // ---- The dialogs. After a confirmed dialog the chosen device mode becomes the chosen
  // printer's default and the printer the default one; 1 then, -1 when cancelled or failed.
  std::int16_t of_printsetup(std::uint32_t hwnd);
  // The margins in hundredths of a millimetre; left untouched unless confirmed.
  std::int16_t of_pagesetup(std::uint32_t hwnd, std::int32_t& left, std::int32_t& right, std::int32_t& top,
                            std::int32_t& bottom);

  // Creation and destruction; the object adds nothing to either.
  virtual void constructor() {}
  virtual void destructor() {}

 protected:
  // The zero-terminated text at 1-based `offset` of `source`; "" from an offset below 1 or
  // past the end, and from a null blob.
  std::string of_getstringfromblob(const platform::Blob& source, std::int16_t offset);
  // Writes `devmode` (every field marked) as the printer's default device mode: 1, -1 when
  // the printer cannot be opened or read, else the platform's non-positive result.
  std::int32_t of_modifyprinter(const std::string& printername, str_devmode devmode);

 private:
  // Opens the printer, reads its level-2 information and runs `work` on it, the printer open:
  // its result, or -1 when the printer cannot be opened or read. Closed on every way out.
  using PrinterWork = std::function<std::int32_t(std::uint32_t hprinter, platform::Blob& buffer,
                                                 str_printer_info_2& record, const std::string& drivername)>;
  std::int32_t withPrinter(const std::string& printername, const PrinterWork& work);
  // The command of of_printer on an open printer.
  std::int32_t carryOut(std::uint32_t hprinter, platform::Blob& buffer, str_printer_info_2& record,
                        const std::string& drivername, const std::string& printername, std::int16_t command,
                        any& outpara, std::int16_t& papersize, std::int16_t& paperwidth, std::int16_t& paperlength);
  // Merges the marked fields of `devmode` into the printer's default device mode (mode 9).
  std::int32_t writeDefaultDevMode(std::uint32_t hprinter, const std::string& drivername, str_devmode devmode);
  // What a confirmed dialog chose, written; both blocks are freed.
  void takeDialogChoice(std::uint32_t hdevmode, std::uint32_t hdevnames);
};
