; The setup program: installs ぬめらぼ for the current user without
; administrator rights, makes it this user's screen saver, and registers an
; uninstaller that Settings → Apps lists.
;
; Built by scripts/dist.sh, which passes
;   DIST     the folder holding numerabo-i686/ and numerabo-x86_64/,
;   WIZARD   the picture made for the first and the last page (164 x 314),
;   SIZE_I686, SIZE_X86_64  the kilobytes each build's two programs take.
; The version and the publisher are read from host/resources/texts.h, where
; the programs' own version information comes from too.
;
; Its pages, and the uninstaller's, are in Japanese on a Windows whose user
; interface language is Japanese and in English on every other one; the
; programs it installs speak Japanese everywhere.
;
; makensis keeps each file's modification time and the installed file gets
; it back; dist.sh sets every file it hands over to the commit's time, so the
; same sources give the same setup program.

Unicode True
Target x86-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
; A file that cannot be written is never skipped: Retry or Cancel, and a
; silent run cancels (see WaitUntilWritable, which asks first).
AllowSkipFiles off

!searchparse /file "${__FILEDIR__}/../host/resources/texts.h" `#define NUMERABO_VERSION_TEXT "` VERSION `"`
!searchparse /file "${__FILEDIR__}/../host/resources/texts.h" `#define NUMERABO_AUTHOR_NAME "` PUBLISHER `"`
!searchparse /file "${__FILEDIR__}/../host/resources/texts.h" `#define NUMERABO_HOME_PAGE "` HOME_PAGE `"`

!define HOST "ぬめらぼ.scr"
!define RENDERER "ぬめらぼ.dll"
!define SETTINGS "ぬめらぼ.ini"
!define UNINSTALLER "uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Numerabo"
; What the screen saver was before this program took its place.
!define OWN_KEY "Software\Numerabo"
!define DESKTOP_KEY "Control Panel\Desktop"
; SystemParametersInfo
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

Name "ぬめらぼ"
OutFile "${DIST}/numerabo-${VERSION}-setup.exe"
InstallDir "$LOCALAPPDATA\Programs\Numerabo"
; An update offers the folder of the first install; where the user chooses
; another, the section moves the settings there and empties the old one.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "ぬめらぼ ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define MUI_ICON "${__FILEDIR__}/../host/resources/artwork/numerabo.ico"
!define MUI_UNICON "${__FILEDIR__}/../host/resources/artwork/numerabo.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "$(WELCOME_TEXT)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "$(FINISH_TEXT)"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(FINISH_RUN_TEXT)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; English first: the language of every Windows that is not Japanese.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

; The Start-menu entries, named in the language of the pages. Each has its
; name in both languages as defines, which the uninstaller (and an update,
; should the language have changed since) removes whatever the language,
; and a LangString the setup creates it by.
!define SETTINGS_ENTRY_JA "ぬめらぼ の設定"
!define SETTINGS_ENTRY_EN "ぬめらぼ Settings"
LangString SETTINGS_ENTRY ${LANG_JAPANESE} "${SETTINGS_ENTRY_JA}"
LangString SETTINGS_ENTRY ${LANG_ENGLISH} "${SETTINGS_ENTRY_EN}"
; The way back: the screen saver settings list only the savers in the system
; folders and the one chosen now, so once the user has chosen another one
; this entry makes ぬめらぼ the screen saver again.
!define INSTALL_ENTRY_JA "ぬめらぼ をスクリーン セーバーにする"
!define INSTALL_ENTRY_EN "Make ぬめらぼ the screen saver"
LangString INSTALL_ENTRY ${LANG_JAPANESE} "${INSTALL_ENTRY_JA}"
LangString INSTALL_ENTRY ${LANG_ENGLISH} "${INSTALL_ENTRY_EN}"
!macro DeleteStartMenuEntries
  Delete "$SMPROGRAMS\${SETTINGS_ENTRY_JA}.lnk"
  Delete "$SMPROGRAMS\${SETTINGS_ENTRY_EN}.lnk"
  Delete "$SMPROGRAMS\${INSTALL_ENTRY_JA}.lnk"
  Delete "$SMPROGRAMS\${INSTALL_ENTRY_EN}.lnk"
!macroend

LangString WELCOME_TEXT ${LANG_JAPANESE} "ぬめらぼ は、デスクトップの写真をピンクの球の中でゆらゆら回る体に貼って見せるスクリーン セーバーです。$\r$\n$\r$\nこのユーザーだけにインストールします。管理者の権限は要りません。インストールのあと、ぬめらぼ がこのユーザーのスクリーン セーバーになります。$\r$\n$\r$\n$_CLICK"
LangString WELCOME_TEXT ${LANG_ENGLISH} "ぬめらぼ (Numerabo) is a screen saver that shows a photograph of your desktop on a wobbling body turning inside a pink sphere.$\r$\n$\r$\nIt is installed for this user only and needs no administrator rights. Once installed, ぬめらぼ is this user's screen saver.$\r$\n$\r$\n$_CLICK"
LangString FINISH_TEXT ${LANG_JAPANESE} "ぬめらぼ をインストールし、スクリーン セーバーに選びました。$\r$\n$\r$\n音楽などの設定は、スタート メニューの「${SETTINGS_ENTRY_JA}」から開けます。削除は「設定」の「アプリ」からできます。"
LangString FINISH_TEXT ${LANG_ENGLISH} "ぬめらぼ has been installed and chosen as the screen saver.$\r$\n$\r$\nIts settings, such as the music, open from the Start menu entry $\"${SETTINGS_ENTRY_EN}$\". Remove it in Settings, Apps."
LangString FINISH_RUN_TEXT ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString FINISH_RUN_TEXT ${LANG_ENGLISH} "Open the screen saver settings"
LangString FILE_HELD ${LANG_JAPANESE} "次のファイルは別のプログラムが使っているため、書き換えられません。スクリーン セーバーの設定（そのプレビューが ぬめらぼ を動かしています）などを閉じてから「再試行」を押してください。「キャンセル」では、何も変えずにセットアップを終わります。"
LangString FILE_HELD ${LANG_ENGLISH} "This file is in use by another program and cannot be replaced. Close the screen saver settings (their preview runs ぬめらぼ) or whatever else uses it, then choose Retry. Cancel ends the setup without changing anything."
LangString UN_FILE_HELD ${LANG_JAPANESE} "次のファイルは別のプログラムが使っているため、削除できません。スクリーン セーバーの設定（そのプレビューが ぬめらぼ を動かしています）などを閉じてから「再試行」を押してください。「キャンセル」では、何も変えずにアンインストールを終わります。"
LangString UN_FILE_HELD ${LANG_ENGLISH} "This file is in use by another program and cannot be removed. Close the screen saver settings (their preview runs ぬめらぼ) or whatever else uses it, then choose Retry. Cancel ends the uninstall without changing anything."
LangString UN_FILES_LEFT ${LANG_JAPANESE} "ぬめらぼ のファイルの一部を削除できませんでした。使っているプログラムを閉じてから、もう一度アンインストールしてください。「アプリ」の一覧には残してあります。"
LangString UN_FILES_LEFT ${LANG_ENGLISH} "Some of ぬめらぼ's files could not be removed. Close the program that uses them and uninstall again; ぬめらぼ stays listed in Apps until then."

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "ぬめらぼ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "ぬめらぼ セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${PUBLISHER}"

; Sets OUT to 1 when VALUE (a SCRNSAVE.EXE value) names the host in FOLDER,
; by its long or its short name, otherwise to 0.
!macro NamesHostIn OUT VALUE FOLDER
  StrCpy ${OUT} 0
  ${If} "${VALUE}" != ""
  ${AndIf} "${FOLDER}" != ""
    ${If} "${VALUE}" == "${FOLDER}\${HOST}"
      StrCpy ${OUT} 1
    ${Else}
      GetFullPathName /SHORT $R9 "${FOLDER}\${HOST}"
      ${If} "$R9" != ""
      ${AndIf} "${VALUE}" == "$R9"
        StrCpy ${OUT} 1
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

; Returns when the file $R9 can be written (or is not there): a program that
; holds it open, such as the preview of the screen saver settings running
; the host, would otherwise keep the old file in place. Retry, or Cancel,
; which a silent run answers, and the run ends with exit code 2 before it
; has changed anything.
!macro WaitUntilWritable UN MESSAGE
Function ${UN}WaitUntilWritable
  ${Do}
    ${IfNot} ${FileExists} "$R9"
      ${Break}
    ${EndIf}
    ; Opening for writing, without creating or changing it, is refused
    ; exactly when another program holds the file without sharing writes.
    ClearErrors
    FileOpen $R8 "$R9" a
    ${IfNot} ${Errors}
      FileClose $R8
      ${Break}
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(${MESSAGE})$\r$\n$\r$\n$R9" /SD IDCANCEL IDRETRY again
    SetErrorLevel 2
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilWritable "" FILE_HELD
!insertmacro WaitUntilWritable "un." UN_FILE_HELD
!macro CheckWritable FILE
  StrCpy $R9 "${FILE}"
  Call WaitUntilWritable
!macroend
!macro un.CheckWritable FILE
  StrCpy $R9 "${FILE}"
  Call un.WaitUntilWritable
!macroend

; Japanese pages where the user's interface language is Japanese, English
; ones elsewhere, without asking.
!macro ChooseLanguage
  System::Call "kernel32::GetUserDefaultUILanguage() i .r0"
  ; The primary language, whatever the region.
  IntOp $0 $0 & 0x3FF
  ${If} $0 = 0x11
    StrCpy $LANGUAGE ${LANG_JAPANESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

Function un.onInit
  SetShellVarContext current
  !insertmacro ChooseLanguage
FunctionEnd

Section "ぬめらぼ" SEC_PROGRAMS
  SectionIn RO
  ; Read before anything is rewritten: where an earlier version lives.
  ReadRegStr $4 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ; An update into another folder than the recorded one takes the settings
  ; along and empties the old folder.
  StrCpy $6 ""
  ${If} $4 != ""
  ${AndIf} $4 != $INSTDIR
  ${AndIf} ${FileExists} "$4\${HOST}"
    StrCpy $6 $4
  ${EndIf}
  ; Nothing is changed until every file to replace or move can be.
  !insertmacro CheckWritable "$INSTDIR\${HOST}"
  !insertmacro CheckWritable "$INSTDIR\${RENDERER}"
  !insertmacro CheckWritable "$INSTDIR\${UNINSTALLER}"
  ${If} $6 != ""
    !insertmacro CheckWritable "$6\${HOST}"
    !insertmacro CheckWritable "$6\${RENDERER}"
    !insertmacro CheckWritable "$6\${SETTINGS}"
  ${EndIf}

  SetOutPath "$INSTDIR"
  ; The 64-bit build on 64-bit x86 Windows; the 32-bit one elsewhere, which
  ; ARM Windows runs as well. The settings file is never written here, so an
  ; update keeps it.
  ${If} ${IsNativeAMD64}
    File "${DIST}/numerabo-x86_64/${HOST}"
    File "${DIST}/numerabo-x86_64/${RENDERER}"
  ${Else}
    File "${DIST}/numerabo-i686/${HOST}"
    File "${DIST}/numerabo-i686/${RENDERER}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} $6 != ""
    ; Moved, or copied where the new folder is on another drive; a settings
    ; file already in the new folder is kept, and then so is the old one.
    ${IfNot} ${FileExists} "$INSTDIR\${SETTINGS}"
    ${AndIf} ${FileExists} "$6\${SETTINGS}"
      ClearErrors
      Rename "$6\${SETTINGS}" "$INSTDIR\${SETTINGS}"
      ${If} ${Errors}
        CopyFiles /SILENT "$6\${SETTINGS}" "$INSTDIR"
        ${If} ${FileExists} "$INSTDIR\${SETTINGS}"
          Delete "$6\${SETTINGS}"
        ${EndIf}
      ${EndIf}
    ${EndIf}
    Delete "$6\${HOST}"
    Delete "$6\${RENDERER}"
    Delete "$6\${SETTINGS}.*.part"
    Delete "$6\${UNINSTALLER}"
    RMDir "$6"
  ${EndIf}
  !insertmacro DeleteStartMenuEntries
  CreateShortcut "$SMPROGRAMS\$(SETTINGS_ENTRY).lnk" "$INSTDIR\${HOST}" "/c" "$INSTDIR\${HOST}" 0
  ; What Explorer's "Install" on the .scr runs, as the finish page does: the
  ; native rundll32, named with redirection off so that the link keeps it.
  ${DisableX64FSRedirection}
  CreateShortcut "$SMPROGRAMS\$(INSTALL_ENTRY).lnk" "$SYSDIR\rundll32.exe" \
    "desk.cpl,InstallScreenSaver $INSTDIR\${HOST}" "$INSTDIR\${HOST}" 0
  ${EnableX64FSRedirection}

  ; Remember the screen saver this one replaces, unless it already is one
  ; of ours (an update, or a second run of this setup).
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    StrCpy $3 1
  ${Else}
    StrCpy $3 0
  ${EndIf}
  !insertmacro NamesHostIn $1 "$0" "$INSTDIR"
  !insertmacro NamesHostIn $2 "$0" "$4"
  ${If} $1 == 0
  ${AndIf} $2 == 0
    ${If} $3 == 1
      DeleteRegValue HKCU "${OWN_KEY}" "PreviousScreenSaver"
    ${Else}
      WriteRegStr HKCU "${OWN_KEY}" "PreviousScreenSaver" "$0"
    ${EndIf}
    ; Whether it was on, as stored for this user: what SystemParametersInfo
    ; answers comes from the display driver under Wine, not from this value.
    ClearErrors
    ReadRegStr $5 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} ${Errors}
      DeleteRegValue HKCU "${OWN_KEY}" "PreviousScreenSaveActive"
    ${Else}
      WriteRegStr HKCU "${OWN_KEY}" "PreviousScreenSaveActive" "$5"
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\${HOST}"
  ; Turned on and announced, so that it takes effect without signing out.
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "ぬめらぼ"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
  ; Unquoted, the form most entries use: Wine's programs list shows no icon
  ; for a quoted one.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${HOST},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
  SetShellVarContext current
  !insertmacro ChooseLanguage
  ; The section holds both builds; only one of them is installed.
  ${If} ${IsNativeAMD64}
    SectionSetSize ${SEC_PROGRAMS} ${SIZE_X86_64}
  ${Else}
    SectionSetSize ${SEC_PROGRAMS} ${SIZE_I686}
  ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
  ; The platform's own entry, the one the .scr file's "Install" verb runs:
  ; it selects the saver and opens the settings with its preview. The
  ; native rundll32, not the 32-bit one this setup would otherwise get.
  ${DisableX64FSRedirection}
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $INSTDIR\${HOST}'
  ${EnableX64FSRedirection}
FunctionEnd

!macro DeleteSaverPictures FOLDER
  Delete "${FOLDER}\Numerabo1.bmp"
  Delete "${FOLDER}\Numerabo2.bmp"
  Delete "${FOLDER}\Numerabo1.bmp.*.part"
  Delete "${FOLDER}\Numerabo2.bmp.*.part"
!macroend

Section "Uninstall"
  ; Nothing is changed until the files can be removed.
  !insertmacro un.CheckWritable "$INSTDIR\${HOST}"
  !insertmacro un.CheckWritable "$INSTDIR\${RENDERER}"
  !insertmacro un.CheckWritable "$INSTDIR\${SETTINGS}"
  ; Give the previous screen saver back, unless the user has chosen another
  ; one since.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  !insertmacro NamesHostIn $1 "$0" "$INSTDIR"
  ${If} $1 == 1
    ClearErrors
    ReadRegStr $2 HKCU "${OWN_KEY}" "PreviousScreenSaver"
    ${If} ${Errors}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$2"
    ${EndIf}
    ClearErrors
    ReadRegStr $3 HKCU "${OWN_KEY}" "PreviousScreenSaveActive"
    ${IfNot} ${Errors}
      IntOp $3 $3 + 0
      System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i $3, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${OWN_KEY}"

  Delete "$INSTDIR\${HOST}"
  Delete "$INSTDIR\${RENDERER}"
  Delete "$INSTDIR\${SETTINGS}"
  Delete "$INSTDIR\${SETTINGS}.*.part"
  ; A file that stayed all the same (held without sharing its deletion)
  ; keeps the uninstaller and its entry in Apps, to be run again.
  ${If} ${FileExists} "$INSTDIR\${HOST}"
  ${OrIf} ${FileExists} "$INSTDIR\${RENDERER}"
  ${OrIf} ${FileExists} "$INSTDIR\${SETTINGS}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(UN_FILES_LEFT)" /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the user may have chosen a folder that holds more.
  RMDir "$INSTDIR"
  !insertmacro DeleteStartMenuEntries

  ; The two pictures the saver writes at every start, and the partial files
  ; of a write that was cut off: in the root of drive C: where that can be
  ; written, the per-user copies Windows makes of them for a 32-bit saver
  ; where it cannot, and the folder of this user's own the saver falls back
  ; to otherwise. Files this user may not delete stay.
  !insertmacro DeleteSaverPictures "C:"
  !insertmacro DeleteSaverPictures "$LOCALAPPDATA\VirtualStore"
  !insertmacro DeleteSaverPictures "$LOCALAPPDATA\Numerabo"
  ; The record of the last start, and its partial file.
  Delete "$LOCALAPPDATA\Numerabo\Numerabo-start.txt"
  Delete "$LOCALAPPDATA\Numerabo\Numerabo-start.txt.part"
  RMDir "$LOCALAPPDATA\Numerabo"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
