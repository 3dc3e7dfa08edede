#include "ui/platform/styles.h"

#include <utility>

#include "ui/platform/messages.h"

namespace ui::platform {

namespace {

// Names a resource script may use without defining them.
constexpr std::pair<std::string_view, std::int64_t> kNames[] = {
    {"WS_OVERLAPPED", WS_OVERLAPPED},   {"WS_POPUP", WS_POPUP},
    {"WS_CHILD", WS_CHILD},             {"WS_MINIMIZE", WS_MINIMIZE},
    {"WS_VISIBLE", WS_VISIBLE},         {"WS_DISABLED", WS_DISABLED},
    {"WS_CLIPSIBLINGS", WS_CLIPSIBLINGS}, {"WS_CLIPCHILDREN", WS_CLIPCHILDREN},
    {"WS_MAXIMIZE", WS_MAXIMIZE},       {"WS_CAPTION", WS_CAPTION},
    {"WS_BORDER", WS_BORDER},           {"WS_DLGFRAME", WS_DLGFRAME},
    {"WS_VSCROLL", WS_VSCROLL},         {"WS_HSCROLL", WS_HSCROLL},
    {"WS_SYSMENU", WS_SYSMENU},         {"WS_THICKFRAME", WS_THICKFRAME},
    {"WS_GROUP", WS_GROUP},             {"WS_TABSTOP", WS_TABSTOP},
    {"WS_MINIMIZEBOX", WS_MINIMIZEBOX}, {"WS_MAXIMIZEBOX", WS_MAXIMIZEBOX},
    {"WS_EX_TOPMOST", 0x8},             {"WS_EX_TRANSPARENT", 0x20},
    {"WS_EX_CLIENTEDGE", 0x200},        {"WS_EX_STATICEDGE", 0x20000},
    {"WS_EX_CONTROLPARENT", 0x10000},   {"WS_EX_TOOLWINDOW", 0x80},
    {"DS_MODALFRAME", DS_MODALFRAME},   {"DS_SETFONT", DS_SETFONT},
    {"DS_CENTER", DS_CENTER},           {"DS_3DLOOK", 0x4},
    {"DS_FIXEDSYS", 0x8},               {"DS_SHELLFONT", 0x48},
    {"DS_CONTROL", 0x400},              {"DS_SYSMODAL", 0x2},
    {"BS_PUSHBUTTON", BS_PUSHBUTTON},   {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
    {"BS_CHECKBOX", BS_CHECKBOX},       {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
    {"BS_RADIOBUTTON", BS_RADIOBUTTON}, {"BS_3STATE", BS_3STATE},
    {"BS_AUTO3STATE", BS_AUTO3STATE},   {"BS_GROUPBOX", BS_GROUPBOX},
    {"BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON}, {"BS_OWNERDRAW", BS_OWNERDRAW},
    {"BS_MULTILINE", 0x2000},           {"ES_LEFT", 0x0},
    {"ES_CENTER", 0x1},                 {"ES_RIGHT", 0x2},
    {"ES_MULTILINE", ES_MULTILINE},     {"ES_UPPERCASE", 0x8},
    {"ES_PASSWORD", ES_PASSWORD},       {"ES_AUTOVSCROLL", 0x40},
    {"ES_AUTOHSCROLL", ES_AUTOHSCROLL}, {"ES_READONLY", ES_READONLY},
    {"ES_WANTRETURN", ES_WANTRETURN},   {"ES_NUMBER", 0x2000},
    {"SS_LEFT", SS_LEFT},               {"SS_CENTER", SS_CENTER},
    {"SS_RIGHT", SS_RIGHT},             {"CBS_SIMPLE", CBS_SIMPLE},
    {"CBS_DROPDOWN", CBS_DROPDOWN},     {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
    {"CBS_SORT", CBS_SORT},             {"LBS_NOTIFY", LBS_NOTIFY},
    {"LBS_SORT", LBS_SORT},
};

constexpr std::pair<std::string_view, std::int64_t> kMoreNames[] = {
    {"LBS_MULTIPLESEL", LBS_MULTIPLESEL},
    {"LBS_EXTENDEDSEL", LBS_EXTENDEDSEL},
    {"LBS_NOINTEGRALHEIGHT", 0x100},
    {"LBS_USETABSTOPS", 0x80},
    {"CBS_AUTOHSCROLL", 0x40},
    {"SBS_HORZ", SBS_HORZ},
    {"SBS_VERT", SBS_VERT},
    {"TVS_HASBUTTONS", 0x1},
    {"TVS_HASLINES", 0x2},
    {"TVS_LINESATROOT", 0x4},
    {"TVS_SHOWSELALWAYS", 0x20},
    {"IDOK", IDOK},
    {"IDCANCEL", IDCANCEL},
    {"IDYES", IDYES},
    {"IDNO", IDNO},
    {"IDC_STATIC", -1},
};

}  // namespace

std::optional<std::int64_t> predefined_value(std::string_view name) {
  for (const auto& [known, value] : kNames) {
    if (known == name) return value;
  }
  for (const auto& [known, value] : kMoreNames) {
    if (known == name) return value;
  }
  return std::nullopt;
}

}  // namespace ui::platform
