#include "host/startup/main.h"

#include <windows.h>

#include "host/saver/saver_screen.h"
#include "host/settings/settings_dialog.h"
#include "host/startup/command_line.h"
#include "host/startup/files/path_lookup.h"
#include "host/startup/files/path_text.h"
#include "host/startup/files/settings_file.h"
#include "host/startup/framework/framework.h"
#include "host/startup/preview_window.h"
#include "host/startup/shared_state.h"
#include "host/startup/text/wide_text.h"

namespace numerabo {

namespace {

// Another host already shows the saver screen or the settings dialog.
bool AnotherInstanceRuns() {
  return FindWindowW(nullptr, Wide("Numerabo_Main").c_str()) != nullptr ||
         FindWindowW(nullptr, Wide("<ぬめらぼ>").c_str()) != nullptr;
}

void RunPreview(const std::string& commandLine) {
  int32_t parent = 0;
  if (!PreviewParentOf(commandLine, &parent)) parent = 0;
  HWND pane = reinterpret_cast<HWND>(static_cast<intptr_t>(parent));
  // A preview with no pane to live in would be an invisible process that
  // never ends.
  if (parent == 0 || !IsWindow(pane)) app::EndProcess(0);
  if (!ShowPreviewIn(pane)) app::EndProcess(0);
}

}  // namespace

void Main() {
  if (AnotherInstanceRuns()) app::EndProcess(0);

  const std::string commandLine = app::CommandLine();
  const std::string mode = SwitchOf(commandLine);

  if (mode == "P") {
    RunPreview(commandLine);
    return;
  }

  LoadSettings();

  if (!FileExists(RendererFilePath(app::ProgramFolder()))) {
    app::ShowMessage("ぬめらぼ.dll が同じﾌｫﾙﾀﾞに見つかりません！", MB_OK);
    app::EndProcess(0);
  }

  if (mode == "C") {
    ShowSettingsDialog();
    app::EndProcess(0);
  }

  if (mode != "S" && !commandLine.empty()) app::EndProcess(0);

  if (mode == "S") CursorShowCount = ShowCursor(FALSE);

  CreateSaverScreen();
}

}  // namespace numerabo
