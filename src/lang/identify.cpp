#include "lang/identify.h"

#include <array>
#include <span>

namespace talvex {

namespace {

struct LongName {
  const char16_t* name;
  Code code;
  bool exact;
};

struct Group {
  Code prefix;
  std::span<const LongName> names;
};

constexpr bool kPrefix = false;
constexpr bool kExact = true;

// The long names of each group, in the order they are tested: a later match
// wins over an earlier one that is its prefix.
constexpr LongName kSet[] = {
    {u"SETENVVAR", u"SEV"_code, kPrefix},
    {u"SETCHECKBOX", u"SBX"_code, kPrefix},
    {u"SETCONTROLTEXT", u"SCT"_code, kPrefix},
    {u"SETDIALOGOBJECTFONT", u"SDF"_code, kPrefix},
    {u"SETDIALOGOBJECTCOLOR", u"SDC"_code, kPrefix},
    {u"SETDIALOGOBJECTFOCUS", u"DSF"_code, kPrefix},
    {u"SETDIALOGOBJECTVISIBLE", u"SDV"_code, kPrefix},
};
constexpr LongName kWai[] = {
    {u"WAIT", u"WAI"_code, kExact},
    {u"WAITWINDOWOPEN", u"WWO"_code, kExact},
    {u"WAITWINDOWCLOSED", u"WWC"_code, kExact},
    {u"WAITCURSORCHANGED", u"WCC"_code, kExact},
    {u"WAITPIXELCOLOR", u"WPC"_code, kExact},
    {u"WAITRECTCHANGED", u"WRC"_code, kExact},
    {u"WAITREADY", u"WRD"_code, kExact},
    {u"WAITKEYDOWN", u"WKD"_code, kExact},
    {u"WAITWINDOWCHANGED", u"WWX"_code, kExact},
    {u"WAITCLIPBOARD", u"WCB"_code, kPrefix},
    {u"WAITSCREENIMAGE", u"WSI"_code, kPrefix},
    {u"WAITSCREENTEXT", u"WST"_code, kPrefix},
};
constexpr LongName kIff[] = {
    {u"IFFILEEXISTS", u"IFE"_code, kExact},
    {u"IFFILECHANGED", u"IFC"_code, kExact},
};
constexpr LongName kCap[] = {
    {u"CAPSON", u"CAP"_code, kPrefix},
    {u"CAPSOFF", u"COF"_code, kPrefix},
};
constexpr LongName kScr[] = {
    {u"SCROLLON", u"SON"_code, kPrefix},
    {u"SCROLLOFF", u"SOF"_code, kPrefix},
    {u"SCREENCAP", u"SCP"_code, kPrefix},
};
constexpr LongName kNum[] = {
    {u"NUMON", u"NON"_code, kPrefix},
    {u"NUMOFF", u"NOF"_code, kPrefix},
};
constexpr LongName kGet[] = {
    {u"GETDATE", u"GDT"_code, kPrefix},          {u"GETTIME", u"GTM"_code, kPrefix},
    {u"GETCLIPBOARD", u"GCB"_code, kPrefix},     {u"GETWINDOWPOS", u"GWP"_code, kPrefix},
    {u"GETACTIVEWINDOW", u"GAW"_code, kPrefix},  {u"GETCURSORPOS", u"GCP"_code, kPrefix},
    {u"GETENVVAR", u"GEV"_code, kPrefix},        {u"GETRECTCHECKSUM", u"GRC"_code, kPrefix},
    {u"GETPIXELCOLOR", u"GPC"_code, kPrefix},    {u"GETCHECKBOX", u"CBX"_code, kPrefix},
    {u"GETFILELIST", u"GFL"_code, kPrefix},      {u"GETWINDOWTEXT", u"GWT"_code, kPrefix},
    {u"GETDIALOGACTION", u"GDA"_code, kPrefix},  {u"GETCONTROLTEXT", u"GCT"_code, kPrefix},
    {u"GETWINDOWHANDLE", u"GWH"_code, kPrefix},  {u"GETCARETPOS", u"GTP"_code, kPrefix},
    {u"GETWINDOWPROCESS", u"GPW"_code, kPrefix}, {u"GETTREENODE", u"GTN"_code, kPrefix},
    {u"GETLISTITEM", u"GLI"_code, kPrefix},      {u"GETSCREENRES", u"GSR"_code, kPrefix},
    {u"GETTEXTATPOINT", u"GTA"_code, kPrefix},   {u"GETTEXTINRECT", u"GTI"_code, kPrefix},
    {u"GETWINDOWTEXTEX", u"GWE"_code, kPrefix},  {u"GETWINDOWLIST", u"GWL"_code, kPrefix},
    {u"GETWINDOWSIZE", u"GWS"_code, kPrefix},
};
constexpr LongName kMou[] = {
    {u"MOUSEMOVEREL", u"MMR"_code, kPrefix},
    {u"MOUSEOVER", u"MVR"_code, kPrefix},
};
constexpr LongName kMes[] = {
    {u"MESSAGE", u"MSG"_code, kPrefix},
    {u"MESSAGEMODAL", u"MDL"_code, kPrefix},
};
constexpr LongName kFtp[] = {
    {u"FTPGETFILE", u"FGF"_code, kPrefix},    {u"FTPPUTFILE", u"FPF"_code, kPrefix},
    {u"FTPGETDIRLIST", u"FGD"_code, kPrefix}, {u"FTPDELFILE", u"FDF"_code, kPrefix},
    {u"FTPRENAMEFILE", u"FRF"_code, kPrefix}, {u"FTPREMOVEDIR", u"FRD"_code, kPrefix},
    {u"FTPMAKEDIR", u"FMD"_code, kPrefix},
};
constexpr LongName kFil[] = {
    {u"FILESIZE", u"FSZ"_code, kPrefix},
    {u"FILEDATE", u"FDT"_code, kPrefix},
    {u"FILETIME", u"FTM"_code, kPrefix},
};
constexpr LongName kRea[] = {
    {u"READLN", u"RLN"_code, kPrefix},
    {u"READFILE", u"RFL"_code, kPrefix},
};
constexpr LongName kDde[] = {
    {u"DDEREQUEST", u"DRQ"_code, kPrefix},
    {u"DDEPOKE", u"DPK"_code, kPrefix},
};
constexpr LongName kDay[] = {{u"DAYOFWEEK", u"DOW"_code, kPrefix}};
constexpr LongName kMov[] = {{u"MOVEWINDOW", u"MVW"_code, kPrefix}};
constexpr LongName kClo[] = {
    {u"CLOSEWINDOW", u"CLO"_code, kPrefix},
    {u"CLOSEDIALOG", u"CDG"_code, kPrefix},
};
constexpr LongName kRes[] = {
    {u"RESIZEWINDOW", u"RSW"_code, kPrefix},
    {u"RESETDIALOGACTION", u"RDA"_code, kPrefix},
};
constexpr LongName kReg[] = {
    {u"REGISTRYREADKEY", u"RRK"_code, kPrefix},
    {u"REGISTRYWRITEKEY", u"RWK"_code, kPrefix},
    {u"REGISTRYDELKEY", u"RDK"_code, kPrefix},
    {u"REGISTRYDELVAL", u"RDV"_code, kPrefix},
};
constexpr LongName kLib[] = {
    {u"LIBFUNC", u"LIB"_code, kPrefix},
    {u"LIBLOAD", u"LLD"_code, kPrefix},
    {u"LIBFREE", u"LFR"_code, kPrefix},
    {u"LIBFUNCW", u"LIW"_code, kPrefix},
};
constexpr LongName kFin[] = {{u"FINDIMAGEPOS", u"FIP"_code, kPrefix}};
constexpr LongName kTel[] = {
    {u"TELNETCONNECT", u"TNC"_code, kPrefix},
    {u"TELNETSEND", u"TNS"_code, kPrefix},
    {u"TELNETWAITFOR", u"TNW"_code, kPrefix},
    {u"TELNETCLOSE", u"TNQ"_code, kPrefix},
};
constexpr LongName kDbc[] = {{u"DBCLOSE", u"DBX"_code, kPrefix}};
constexpr LongName kSow[] = {{u"SOWRITELN", u"SOL"_code, kPrefix}};

constexpr Group kGroups[] = {
    {u"SET"_code, kSet}, {u"WAI"_code, kWai}, {u"IFF"_code, kIff}, {u"CAP"_code, kCap},
    {u"SCR"_code, kScr}, {u"NUM"_code, kNum}, {u"GET"_code, kGet}, {u"MOU"_code, kMou},
    {u"MES"_code, kMes}, {u"FTP"_code, kFtp}, {u"FIL"_code, kFil}, {u"REA"_code, kRea},
    {u"DDE"_code, kDde}, {u"DAY"_code, kDay}, {u"MOV"_code, kMov}, {u"CLO"_code, kClo},
    {u"RES"_code, kRes}, {u"REG"_code, kReg}, {u"LIB"_code, kLib}, {u"FIN"_code, kFin},
    {u"TEL"_code, kTel}, {u"DBC"_code, kDbc}, {u"SOW"_code, kSow},
};

// Compares the start of `s` with an upper-case ASCII long name.
bool prefix_matches(TextView s, const char16_t* name) {
  size_t i = 0;
  for (; name[i] != 0; ++i) {
    if (i >= s.size() || ascii_upper(s[i]) != name[i]) return false;
  }
  return true;
}

bool exact_matches(TextView s, const char16_t* name) {
  size_t gt = s.find(u'>');
  if (gt == TextView::npos) return false;
  TextView head = s.substr(0, gt);
  return prefix_matches(head, name) && head.size() == std::char_traits<char16_t>::length(name);
}

}  // namespace

Code raw_code(TextView line) {
  TextView s = trim_left(line);
  char16_t c[3];
  size_t n = s.size() < 3 ? s.size() : 3;
  for (size_t i = 0; i < n; ++i) c[i] = ascii_upper(s[i]);
  return make_code(TextView(c, n));
}

Identified identify(TextView line) {
  TextView s = trim_left(line);
  Code code = raw_code(s);
  for (const Group& g : kGroups) {
    if (g.prefix != code) continue;
    for (const LongName& ln : g.names) {
      if (ln.exact ? exact_matches(s, ln.name) : prefix_matches(s, ln.name)) code = ln.code;
    }
    break;
  }
  if (code == u"WRI"_code) code = u"WLN"_code;
  if (code == u"SHU"_code) code = u"SDW"_code;
  if (code == u"COM"_code) code = u"CPB"_code;

  TextView params;
  if (size_t gt = s.find(u'>'); gt != TextView::npos) {
    params = s.substr(gt + 1);
  } else {
    size_t blank = 0;
    while (blank < s.size() && !is_blank(s[blank])) ++blank;
    params = blank < s.size() ? s.substr(blank + 1) : s;
  }
  return {code, params};
}

}  // namespace talvex
