; The setup program: Skeo.exe and the Vantor Image Effects filter for all users.
; Built by scripts/package, which defines:
;   VERSION   the four-part version of the program's VERSIONINFO
;   ARCH      x86 (shipped) or x64 (test packages for machines that cannot start 32-bit processes)
;   SOURCE    the folder holding the stripped Skeo.exe and VantorImageEffects.dll
;   ICON      the program's icon
;   WIZARD    the welcome and finish pages' picture, drawn for 200 % display scale
;   OUTFILE   the setup program to write
; Silent use: Setup.exe /S [/NODESKTOP] [/AUTOSTART] [/D=folder]
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh
!include nsDialogs.nsh

!define PRODUCT "Skeo"
!define PUBLISHER "Vantor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skeo"
; The program's own settings and its entry in the run-at-log-on list (same names as the program uses,
; so its System page shows and switches what the installer wrote).
!define SETTINGS_KEY "Software\Vantor\Zevlan"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Zevlan"
; The running program: its main window class, its tray Close command and its single-instance block,
; which it releases last on the way out.
!define MAIN_WINDOW_CLASS "VNTUI_Skeo_MainDlg"
!define ID_TRAY_CLOSE 32775
!define SINGLE_INSTANCE_BLOCK "{30DEE059-DF1F-4b64-8922-D2AB7935D7B3}"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
!if "${ARCH}" == "x64"
  Target amd64-unicode
  InstallDir "$PROGRAMFILES64\${PRODUCT}"
!else
  InstallDir "$PROGRAMFILES\${PRODUCT}"
!endif
; An upgrade goes where the earlier version is.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_ALLLANGUAGES
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
; Drawn for 200 % and shrunk to the page at lower scales, so it stays sharp at every scale.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
; Shown before a language is chosen, so in all three.
!define MUI_LANGDLL_WINDOWTITLE "Skeo"
!define MUI_LANGDLL_INFO "Please select a language.$\r$\n請選擇語言。$\r$\n言語を選択してください。"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION RunSkeo

!insertmacro MUI_PAGE_WELCOME
; The options as real check boxes, which the system draws for the display scale (the components
; page's tree draws 16-pixel boxes at every scale).
Page custom OptionsPage OptionsLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString OptionsTitle ${LANG_ENGLISH} "Choose Options"
LangString OptionsTitle ${LANG_TRADCHINESE} "選擇選項"
LangString OptionsTitle ${LANG_JAPANESE} "オプションの選択"
LangString OptionsSubtitle ${LANG_ENGLISH} "Choose where Skeo can be started from."
LangString OptionsSubtitle ${LANG_TRADCHINESE} "選擇從哪裡啟動 Skeo。"
LangString OptionsSubtitle ${LANG_JAPANESE} "Skeo をどこから起動するかを選択してください。"
LangString SecDesktop ${LANG_ENGLISH} "Desktop shortcut"
LangString SecDesktop ${LANG_TRADCHINESE} "桌面捷徑"
LangString SecDesktop ${LANG_JAPANESE} "デスクトップ ショートカット"
; The program's own words for its run-at-log-on question.
LangString SecAutostart ${LANG_ENGLISH} "Start Skeo when computer starts"
LangString SecAutostart ${LANG_TRADCHINESE} "電腦開機時啟動 Skeo"
LangString SecAutostart ${LANG_JAPANESE} "コンピューターの起動時に Skeo を起動する"
LangString SkeoRunning ${LANG_ENGLISH} "Skeo is running. It will be closed before going on; your photos and settings are kept."
LangString SkeoRunning ${LANG_TRADCHINESE} "Skeo 正在執行。繼續之前會先將它結束；您的相片與設定都會保留。"
LangString SkeoRunning ${LANG_JAPANESE} "Skeo が実行中です。続行する前に Skeo を終了します。写真と設定はそのまま残ります。"
LangString SkeoNotClosed ${LANG_ENGLISH} "Skeo could not be closed. Close it from its icon in the notification area, then try again."
LangString SkeoNotClosed ${LANG_TRADCHINESE} "無法結束 Skeo。請從通知區域中的圖示將它結束，然後再試一次。"
LangString SkeoNotClosed ${LANG_JAPANESE} "Skeo を終了できませんでした。通知領域のアイコンから終了してから、もう一度お試しください。"
LangString RemoveSettings ${LANG_ENGLISH} "Also remove Skeo's settings? Your photos and the photo index are kept either way."
LangString RemoveSettings ${LANG_TRADCHINESE} "是否也移除 Skeo 的設定？無論如何，您的相片與相片索引都會保留。"
LangString RemoveSettings ${LANG_JAPANESE} "Skeo の設定も削除しますか? 写真と写真のインデックスはどちらの場合も残ります。"

; Asks a running Skeo to close the way its tray menu's Close does (its settings and photo index are
; saved on that path), then waits until the process has let go of its single-instance block.
!macro DEFINE_CLOSE_SKEO un
Function ${un}CloseSkeo
  FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
  ${If} $0 == 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(SkeoRunning)" /SD IDOK IDOK close
  SetErrorLevel 2
  Quit
close:
  DetailPrint "Closing Skeo"
  SendMessage $0 ${WM_COMMAND} ${ID_TRAY_CLOSE} 0 /TIMEOUT=10000
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${SINGLE_INSTANCE_BLOCK}") p.r2'
    ${If} $2 P= 0
      FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
      ${If} $0 == 0
        Return
      ${EndIf}
    ${Else}
      System::Call 'kernel32::CloseHandle(p r2)'
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
  ${LoopUntil} $1 >= 80
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(SkeoNotClosed)" /SD IDCANCEL IDRETRY close
  SetErrorLevel 2
  Quit
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_SKEO ""
!insertmacro DEFINE_CLOSE_SKEO "un."

!macro USE_PROGRAM_REGISTRY_VIEW
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

Var WantDesktop
Var WantAutostart
Var DesktopBox
Var AutostartBox

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "$(OptionsTitle)" "$(OptionsSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateCheckbox} 0 0 100% 12u "$(SecDesktop)"
  Pop $DesktopBox
  ${NSD_SetState} $DesktopBox $WantDesktop
  ${NSD_CreateCheckbox} 0 18u 100% 12u "$(SecAutostart)"
  Pop $AutostartBox
  ${NSD_SetState} $AutostartBox $WantAutostart
  nsDialogs::Show
FunctionEnd

Function OptionsLeave
  ${NSD_GetState} $DesktopBox $WantDesktop
  ${NSD_GetState} $AutostartBox $WantAutostart
FunctionEnd

Section "Skeo" SecMain
  SetShellVarContext all
  Call CloseSkeo
  SetOutPath "$INSTDIR"
  ; A filter registered by an earlier version points at the file replaced here; registering it again
  ; below renews the data of this version.
  File "${SOURCE}\Skeo.exe"
  File "${SOURCE}\VantorImageEffects.dll"
  ClearErrors
  RegDLL "$INSTDIR\VantorImageEffects.dll"
  ${If} ${Errors}
    DetailPrint "Registering VantorImageEffects.dll failed"
    SetErrorLevel 3
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Skeo.exe" "" "$INSTDIR\Skeo.exe" 0
  ${If} $WantDesktop == ${BST_CHECKED}
    CreateShortcut "$DESKTOP\${PRODUCT}.lnk" "$INSTDIR\Skeo.exe" "" "$INSTDIR\Skeo.exe" 0
  ${EndIf}
  ; The same entry the program's System page writes, for the installing user.
  ${If} $WantAutostart == ${BST_CHECKED}
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Skeo.exe" -startup'
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Skeo.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  ; Also for a silent install, so that the uninstaller speaks the language chosen here.
  !insertmacro MUI_LANGDLL_SAVELANGUAGE
SectionEnd

Function .onInit
  !insertmacro USE_PROGRAM_REGISTRY_VIEW
  !if "${ARCH}" == "x64"
    ${IfNot} ${RunningX64}
      MessageBox MB_OK|MB_ICONSTOP "This test package needs 64-bit Windows." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  !endif
  !insertmacro MUI_LANGDLL_DISPLAY
  StrCpy $WantDesktop ${BST_CHECKED}
  StrCpy $WantAutostart ${BST_UNCHECKED}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/NODESKTOP" $R1
  ${IfNot} ${Errors}
    StrCpy $WantDesktop ${BST_UNCHECKED}
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    StrCpy $WantAutostart ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro USE_PROGRAM_REGISTRY_VIEW
  !insertmacro MUI_UNGETLANGUAGE
FunctionEnd

Function RunSkeo
  Exec '"$INSTDIR\Skeo.exe"'
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.CloseSkeo
  ClearErrors
  UnRegDLL "$INSTDIR\VantorImageEffects.dll"
  ${If} ${Errors}
    DetailPrint "Unregistering VantorImageEffects.dll failed"
  ${EndIf}
  Delete "$INSTDIR\Skeo.exe"
  Delete "$INSTDIR\VantorImageEffects.dll"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$DESKTOP\${PRODUCT}.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ; The photos and their index live in the user's library folder and are never touched here.
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSettings)" /SD IDNO IDNO keep_settings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Vantor"
keep_settings:
SectionEnd
