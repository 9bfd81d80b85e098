; The installer of Marivent for 64-bit Windows, made by scripts/make-windows.sh:
;   makensis -DVERSION=0.1 -DFILE_VERSION=0.1.0.0 -DLISTS=<install.nsh and uninstall.nsh, the
;            files of the folder of make windows> -DLICENSE=<LICENSE, CR LF> -DOUTFILE=<setup.exe>
; It installs the folder into Program Files\Marivent, a Start menu shortcut and the entry of the
; installed programs; the uninstaller removes those files, folders and entries only, so what the
; user put in the folder stays (the journal and the settings live elsewhere, under ROOT).
; A 64-bit installer, as the programs are: it also runs where no 32-bit program can (wine64 alone).
Target amd64-unicode
!include "MUI2.nsh"
!include "x64.nsh"

Name "Marivent ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Marivent"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marivent"

!define MUI_ABORTWARNING
!define MUI_LICENSEPAGE_TEXT_TOP "Marivent est un logiciel libre, publié sous la licence publique générale GNU, version 3 ou plus récente."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "Cette licence n'est pas à accepter pour installer ou utiliser Marivent : elle dit à quelles conditions le copier, le modifier et le redistribuer."
!define MUI_LICENSEPAGE_BUTTON "&Suivant >"
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "Marivent"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de Marivent"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "Les développeurs de Marivent, GPL 3 ou plus récente"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Marivent ne fonctionne que sur une version 64 bits de Windows."
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Marivent"
  !include "${LISTS}\install.nsh"
  WriteUninstaller "$INSTDIR\desinstaller.exe"
  CreateShortCut "$SMPROGRAMS\Marivent.lnk" "$INSTDIR\marivent.exe" "" "$INSTDIR\marivent.exe" 0 \
    SW_SHOWNORMAL "" "Journal de bord, navigation GPS et pilote automatique"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Marivent"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\marivent.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\desinstaller.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\desinstaller.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Marivent.lnk"
  !include "${LISTS}\uninstall.nsh"
  Delete "$INSTDIR\desinstaller.exe"
  ; Only when empty: a file the user put there keeps the folder.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
