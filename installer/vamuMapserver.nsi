; The installer of vamuMapserver for the 32-bit host program: the DLL and
; vamu-host.exe under Program Files (x86 on 64-bit Windows), the DLL
; registered in the 32-bit registry, optionally the host's MAPS folder, and
; an uninstaller that takes back exactly what was put in, and the map tiles
; the plug-in cached for the user. With -DX64 the
; same for the 64-bit DLL (for 64-bit clients such as scripts), installed
; beside the 32-bit one under its own name.
;
; makensis -DDLL=... -DHOST=... -DPROJECT_VERSION=x.y.z -DOUTDIR=... [-DX64] vamuMapserver.nsi
; Command line of the setup: /S silent, /HOSTDIR=<host's folder>, /D=<folder> (last).

Unicode true
!ifdef X64
  Target amd64-unicode
  !define BITS "64"
  !define SUFFIX "-x64"
  !define PRODUCT_KEY "vamuMapserver (64-bit)"
!else
  Target x86-unicode
  !define BITS "32"
  !define SUFFIX ""
  !define PRODUCT_KEY "vamuMapserver"
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "FileFunc.nsh"
!include "LogicLib.nsh"

; The version is the DLL's own, read from its version resource, and must be
; the project's.
!getdllversion "${DLL}" DllVersion_
!define VERSION "${DllVersion_1}.${DllVersion_2}.${DllVersion_3}"
!if "${VERSION}" != "${PROJECT_VERSION}"
  !error "the DLL's version ${VERSION} is not the project's ${PROJECT_VERSION}"
!endif

!define PRODUCT "vamuMapserver"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_KEY}"

Name "${PRODUCT_KEY} ${VERSION}"
OutFile "${OUTDIR}\${PRODUCT}-${VERSION}${SUFFIX}-setup.exe"
InstallDir "$PROGRAMFILES${BITS}\${PRODUCT}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${DllVersion_1}.${DllVersion_2}.${DllVersion_3}.${DllVersion_4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Vamu"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Vamu"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Var HostDir

Function .onInit
  SetRegView ${BITS}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/HOSTDIR=" $HostDir
  ${If} ${Errors}
    StrCpy $HostDir ""
  ${EndIf}
FunctionEnd

Section "vamuMapserver"
  SetOutPath "$INSTDIR"
  File "${DLL}"
  File "${HOST}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; RegDLL loads the DLL into the installer, whose width is the DLL's: the
  ; 32-bit installer registers in the 32-bit view, where the 32-bit host
  ; looks.
  ClearErrors
  RegDLL "$INSTDIR\vamuMapserver.dll"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "vamuMapserver.dll could not be registered." /SD IDOK
    Delete "$INSTDIR\vamuMapserver.dll"
    Delete "$INSTDIR\vamu-host.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    SetErrorLevel 2
    Abort
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_KEY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vamu"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vamuMapserver.dll"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; The host's MAPS folder, where the plug-in leaves its map: made only when
  ; missing (and remembered, so that the uninstaller can take it back while
  ; it is still empty); nothing in it is ever written or replaced.
  ${If} $HostDir != ""
  ${AndIfNot} ${FileExists} "$HostDir\MAPS\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION "Create the folder $HostDir\MAPS for the maps?" /SD IDYES IDNO no_maps
    CreateDirectory "$HostDir\MAPS"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "CreatedMapsFolder" "$HostDir\MAPS"
    no_maps:
  ${EndIf}
SectionEnd

Function un.onInit
  SetRegView ${BITS}
FunctionEnd

Section "Uninstall"
  UnRegDLL "$INSTDIR\vamuMapserver.dll"
  Delete "$INSTDIR\vamuMapserver.dll"
  Delete "$INSTDIR\vamu-host.exe"
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "CreatedMapsFolder"
  ${If} $0 != ""
    RMDir "$0"  ; only while it is empty: the operator's maps stay
  ${EndIf}
  ; The map tiles cached for the user who uninstalls, in the default folder
  ; (up to the cache's limit, 1 GB by default; anything in it is fetched
  ; again when needed). The settings file in the roaming profile stays: it
  ; holds the operator's choice of source and servers of their own.
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\${PRODUCT}\tiles"
  RMDir "$LOCALAPPDATA\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
