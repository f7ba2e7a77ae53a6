; The Lumora installer. It puts the build that fits the system (64-bit on 64-bit Windows, 32-bit
; otherwise) into the Windows system directory, where the desktop's screen saver list looks,
; registers its uninstaller in the system's list of installed programs and, when asked, makes
; Lumora the active screen saver. scripts/package.sh builds it twice:
;
;   makensis [-DX64] -DSCR32=lumora.scr -DSCR32_KB=size -DSCR64=lumora.scr -DSCR64_KB=size
;            -DVERSION_H=lumora_version.h -DICON=lumora.ico -DOUTFILE=setup.exe
;            [-DSIGN=scripts/sign.sh] lumora.nsi
;
; (the sizes in KiB: the section holds both builds but installs one; SIGN signs the
; uninstaller, see signing.nsh.) With X64 it is the x64 installer, itself a 64-bit program
; (NSIS's amd64-unicode target), which holds and installs the 64-bit build only: it runs where
; no 32-bit program can.
;
; Silent mode: "setup.exe /S" installs without a question and leaves the user's screen saver as
; it is; "setup.exe /S /ACTIVE" makes Lumora the active screen saver too. The uninstaller's
; "/S" removes the program and its entry, never the settings.

Unicode true
!ifdef X64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include "${__FILEDIR__}/signing.nsh"

; The version and copyright line come from the same header as the programs' own.
!searchparse /file "${VERSION_H}" '#define LUMORA_VERSION_TEXT "' VERSION '"'
!searchparse /file "${VERSION_H}" '#define LUMORA_COPYRIGHT "' COPYRIGHT '"'

!define PRODUCT "Lumora"
!define PUBLISHER "The Lumora developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SETTINGS_KEY "Software\Lumora"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_TELL 3   ; SPIF_UPDATEINIFILE | SPIF_SENDCHANGE

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} Setup"
UninstallCaption "${PRODUCT} ${VERSION} Uninstall"
OutFile "${OUTFILE}"
BrandingText "${PRODUCT} ${VERSION}"
; Only the uninstaller lives here; the program goes into the system directory.
InstallDir "$PROGRAMFILES\${PRODUCT}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "This will install ${PRODUCT} ${VERSION}, a screen saver that fills \
the screen with a slowly moving colour field.$\r$\n$\r$\n\
Lumora goes into the Windows system directory, so Setup needs administrator rights.$\r$\n$\r$\n\
Click Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Choose it in the screen saver settings of \
the desktop; its Settings button opens Lumora's own settings."
!insertmacro MUI_PAGE_FINISH

!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick the second box to remove your ${PRODUCT} settings as \
well. Pictures you saved with ${PRODUCT} are kept."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

; On 64-bit Windows this 32-bit installer would land in the 32-bit system directory and the
; 32-bit registry view; it turns both redirections off to reach the system's own.
; (The x64 installer is a 64-bit program: it sees them as they are.)
!macro NativeSystemView
  !ifndef X64
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    SetRegView 64
  ${EndIf}
  !endif
!macroend

!macro RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} goes into the Windows system directory: \
please run this as an administrator." /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

Section "${PRODUCT} screen saver" SecProgram
  SectionIn RO
  !insertmacro NativeSystemView
  SetOutPath "$SYSDIR"
  !ifdef X64
    File "/oname=lumora.scr" "${SCR64}"
  !else
  ${If} ${RunningX64}
    File "/oname=lumora.scr" "${SCR64}"
  ${Else}
    File "/oname=lumora.scr" "${SCR32}"
  ${EndIf}
  !endif

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  SectionGetSize ${SecProgram} $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} Screensaver"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\lumora.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make ${PRODUCT} the active screen saver" SecActive
  !insertmacro NativeSystemView
  ; The desktop's own choice stores the short form of the path.
  GetFullPathName /SHORT $0 "$SYSDIR\lumora.scr"
  ${If} $0 == ""
    StrCpy $0 "$SYSDIR\lumora.scr"
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_TELL})'
SectionEnd

Function .onInit
  !insertmacro RequireAdministrator
  !ifdef X64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    SectionSetSize ${SecProgram} ${SCR64_KB}
  !else
  ${If} ${RunningX64}
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    SectionSetSize ${SecProgram} ${SCR64_KB}
  ${Else}
    SectionSetSize ${SecProgram} ${SCR32_KB}
  ${EndIf}
  !endif
  ; A silent install changes the user's screen saver only when told to with /ACTIVE.
  ${If} ${Silent}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/ACTIVE" $1
    ${If} ${Errors}
      !insertmacro UnselectSection ${SecActive}
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "un.${PRODUCT} screen saver" UnSecProgram
  SectionIn RO
  !insertmacro NativeSystemView
  ; Lumora stops being the active screen saver if it is: the stored path is either form of ours.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$SYSDIR\lumora.scr"
  GetFullPathName /SHORT $2 "$0"
  StrCpy $3 0
  ${If} $0 == "$SYSDIR\lumora.scr"
    StrCpy $3 1
  ${EndIf}
  ${If} $1 != ""
  ${AndIf} $2 == $1
    StrCpy $3 1
  ${EndIf}
  ${If} $3 == 1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "0"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATE_AND_TELL})'
  ${EndIf}

  Delete /REBOOTOK "$SYSDIR\lumora.scr"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; Unticked unless the user ticks it; a silent uninstall never removes the settings. Saved
; pictures are the user's files and stay wherever they were saved.
Section /o "un.Remove my ${PRODUCT} settings" UnSecSettings
  ${IfNot} ${Silent}
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro RequireAdministrator
FunctionEnd
