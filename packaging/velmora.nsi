; The operator's installer: puts velmora.dll into the Plugins folder of the
; host logger's folder and registers an uninstaller that takes away exactly
; what was installed. The operator's own files in Plugins (Velmora.ini) and
; the files the plug-in writes beside the host (bad-QSO files, err.txt,
; Cabrillo logs) are never touched.
; makensis -DVERSION=... -DDLL=... -DGUIDE=folder -DLICENSE=... -DOUTFILE=...
Unicode true
; A 32-bit installer: it runs on 32- and 64-bit Windows alike, as the DLL does.
Target x86-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\velmora"
!define UNINSTALLER "velmora-uninstall.exe"

Name "Velmora Memorial Contest HF statistics ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES32"
BrandingText "velmora ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

PageEx license
  LicenseData "${LICENSE}"
PageExEnd
PageEx directory
  DirText "Choose the folder of the host logger: the folder it runs from. The plug-in goes into its Plugins folder, which is made when it is missing." "Folder of the host logger"
PageExEnd
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "velmora"
VIAddVersionKey "FileDescription" "velmora ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT licence, the velmora developers"

Section "velmora"
  ; Remembers whether Plugins was made here, so that the uninstaller removes
  ; only a folder that it made (and only when it is empty).
  StrCpy $0 0
  IfFileExists "$INSTDIR\Plugins\*.*" +2 0
    StrCpy $0 1
  SetOutPath "$INSTDIR\Plugins"
  File "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"
  SetOutPath "$INSTDIR\Plugins\velmora-guide"
  File "${GUIDE}\guide.html"
  File "${GUIDE}\setup_window.png"
  File "${GUIDE}\info_window.png"
  File "${GUIDE}\multiplier_window.png"
  File "${GUIDE}\cabrillo_dialog.png"
  File "/oname=LICENSE.txt" "${LICENSE}"
  SetOutPath "$INSTDIR"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmora Memorial Contest HF statistics (plug-in)"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the velmora developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "MadePluginsFolder" $0
SectionEnd

; The uninstaller lives in Plugins, so $INSTDIR is the Plugins folder here.
Section "Uninstall"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "MadePluginsFolder"
  Delete "$INSTDIR\velmora.dll"
  Delete "$INSTDIR\velmora-guide\guide.html"
  Delete "$INSTDIR\velmora-guide\setup_window.png"
  Delete "$INSTDIR\velmora-guide\info_window.png"
  Delete "$INSTDIR\velmora-guide\multiplier_window.png"
  Delete "$INSTDIR\velmora-guide\cabrillo_dialog.png"
  Delete "$INSTDIR\velmora-guide\LICENSE.txt"
  RMDir "$INSTDIR\velmora-guide"
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Not /r: a folder that still holds the operator's settings stays.
  StrCmp $0 1 0 +2
    RMDir "$INSTDIR"
SectionEnd
