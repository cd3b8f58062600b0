// Test helper for the settings dialog: plays the parts of the platform that
// xdotool cannot (the close box, reading child windows of another process)
// and checks the framework's font sizes. Texts are printed as hex so that
// Shift-JIS survives the way out.
//
//   settings_poke close          SC_CLOSE to the dialog, as the close box does
//   settings_poke info           the dialog's frame, client area and children
//   settings_poke combo-text T   types T into the repeat box ("EMPTY" for "")
//   settings_poke font           the dialog text font as the framework makes it
//   settings_poke icon-here      shows the dialog in this process and reports its
//                                window icons (Wine answers WM_GETICON from
//                                another process with 0, so this asks from within)
//   settings_poke hold PATH      holds the file open without any sharing, as
//                                another program may, until this is ended;
//                                with "once" after PATH, lets it go at once
//                                (whether it could be held: nobody else holds it)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/settings/settings_dialog.h"
#include "host/startup/framework/framework_controls.h"
#include "host/startup/text/wide_text.h"

namespace {

const char kDialogCaption[] = "<ぬめらぼ>";

std::string Hex(const std::string& text) {
  std::string out;
  char b[4];
  for (unsigned char c : text) {
    std::snprintf(b, sizeof(b), "%02X", c);
    out += b;
  }
  return out.empty() ? "-" : out;
}

std::string TextOf(HWND hwnd) {
  // GetWindowTextA does not ask a window of another process; the message does.
  char text[512] = {};
  SendMessageA(hwnd, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

HWND Dialog() { return FindWindowA(nullptr, kDialogCaption); }

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  char cls[128] = {};
  GetClassNameA(child, cls, sizeof(cls));
  RECT r;
  GetWindowRect(child, &r);
  std::printf("child %s %s %ld %ld %ld %ld enabled=%d visible=%d", cls, Hex(TextOf(child)).c_str(), r.left, r.top,
              r.right - r.left, r.bottom - r.top, IsWindowEnabled(child) ? 1 : 0, IsWindowVisible(child) ? 1 : 0);
  if (std::strcmp(cls, "ComboBox") == 0) {
    LRESULT count = SendMessageA(child, CB_GETCOUNT, 0, 0);
    std::printf(" items=%ld", static_cast<long>(count));
    for (LRESULT i = 0; i < count; ++i) {
      char item[64] = {};
      SendMessageA(child, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
      std::printf(" %s", Hex(item).c_str());
    }
  }
  std::printf("\n");
  return TRUE;
}

int Info() {
  HWND dialog = Dialog();
  if (!dialog) {
    std::printf("none\n");
    return 1;
  }
  RECT frame, client;
  GetWindowRect(dialog, &frame);
  GetClientRect(dialog, &client);
  POINT origin = {0, 0};
  ClientToScreen(dialog, &origin);
  std::printf("style %08lX %08lX\n", static_cast<unsigned long>(GetWindowLongA(dialog, GWL_STYLE)),
              static_cast<unsigned long>(GetWindowLongA(dialog, GWL_EXSTYLE)));
  std::printf("frame %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top);
  std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
  std::printf("screen %d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  EnumChildWindows(dialog, PrintChild, 0);
  return 0;
}

BOOL CALLBACK FindComboChild(HWND child, LPARAM out) {
  char cls[64] = {};
  GetClassNameA(child, cls, sizeof(cls));
  if (std::strcmp(cls, "ComboBox") != 0) return TRUE;
  *reinterpret_cast<HWND*>(out) = child;
  return FALSE;
}

HWND FindCombo(HWND dialog) {
  HWND found = nullptr;
  EnumChildWindows(dialog, FindComboChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

}  // namespace

DWORD WINAPI AskIcons(void*) {
  HWND dialog = nullptr;
  for (int i = 0; i < 300 && !dialog; ++i) {
    Sleep(50);
    dialog = Dialog();
  }
  if (!dialog) {
    std::printf("none\n");
  } else {
    Sleep(300);  // the icons are set just after the window is created
    std::printf("icon %d %d\n", SendMessageA(dialog, WM_GETICON, ICON_BIG, 0) != 0 ? 1 : 0,
                SendMessageA(dialog, WM_GETICON, ICON_SMALL, 0) != 0 ? 1 : 0);
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }
  std::fflush(stdout);
  return 0;
}

int IconHere() {
  HANDLE asker = CreateThread(nullptr, 0, AskIcons, nullptr, 0, nullptr);
  numerabo::ShowSettingsDialog();
  WaitForSingleObject(asker, 20000);
  CloseHandle(asker);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string command = argv[1];
  if (command == "close") {
    HWND dialog = Dialog();
    std::printf("posted %d\n", dialog && PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) ? 1 : 0);
    return 0;
  }
  if (command == "info") return Info();
  if (command == "icon-here") return IconHere();
  if (command == "combo-text" && argc >= 3) {
    HWND combo = FindCombo(Dialog());
    if (!combo) return 1;
    const char* text = std::strcmp(argv[2], "EMPTY") == 0 ? "" : argv[2];
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    std::printf("text %s\n", Hex(TextOf(combo)).c_str());
    return 0;
  }
  if (command == "chooser-name" && argc >= 3) {
    // A file name the keyboard cannot type here (xdotool's letters outside
    // the keyboard map do not reach Wine): UTF-8 in hex, set as the
    // chooser's file name field.
    std::string utf8;
    for (const char* p = argv[2]; p[0] && p[1]; p += 2) utf8 += static_cast<char>(std::strtol(std::string(p, 2).c_str(), nullptr, 16));
    wchar_t name[512] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, name, 512);
    HWND chooser = FindWindowW(nullptr, numerabo::Wide("ﾌｧｲﾙを開く").c_str());
    HWND field = chooser ? GetDlgItem(chooser, 0x480) : nullptr;  // edt1 of the classic chooser
    if (!field && chooser) field = GetDlgItem(chooser, 0x47C);     // cmb13 of the newer one
    std::printf("set %d\n", field && SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name)) ? 1 : 0);
    return 0;
  }
  if (command == "hold" && argc >= 3) {
    HANDLE held = CreateFileW(numerabo::Wide(argv[2]).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    std::printf("held %d\n", held != INVALID_HANDLE_VALUE ? 1 : 0);
    std::fflush(stdout);
    if (held == INVALID_HANDLE_VALUE) return 0;
    if (argc >= 4 && std::strcmp(argv[3], "once") == 0) {
      CloseHandle(held);
      return 0;
    }
    Sleep(INFINITE);
    return 0;
  }
  if (command == "font") {
    numerabo::FontOptions options;
    options.face = "ＭＳ Ｐゴシック";
    options.points = 9.75;
    options.weight = 400;
    options.charset = SHIFTJIS_CHARSET;
    for (bool underline : {false, true}) {
      options.underline = underline;
      HFONT font = numerabo::CreateFontFrom(options);
      LOGFONTA lf = {};
      GetObjectA(font, sizeof(lf), &lf);
      std::printf("font %ld %ld %d %d %s\n", lf.lfHeight, lf.lfWeight, lf.lfCharSet, lf.lfUnderline,
                  Hex(lf.lfFaceName).c_str());
      DeleteObject(font);
    }
    return 0;
  }
  return 2;
}
