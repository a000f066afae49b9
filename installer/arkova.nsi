; Arkova's installer: a per-user installation that needs no administrator rights. Everything it writes lives in
; the user's profile and under HKEY_CURRENT_USER: the program folder, a Start-menu shortcut, the file associations
; (written by arkova.exe /register itself) and the entry in the list of installed programs.
;
; Built by scripts/arkova.sh package, which stages the files and defines:
;   VERSION  the project's version (CMakeLists.txt)
;   STAGE    the folder whose files are installed
;   FILES    an include with the File lines for every staged file
;   UNFILES  an include with the Delete and RMDir lines for the same files, so the uninstaller removes exactly
;            what was installed and never a folder's other contents
;   OUTFILE  the installer to write
;   ICON     the program's icon (optional)

Unicode true
; 64-bit stubs: arkova.exe is x64, and 32-bit programs need a WoW64 layer that not every Wine setup has.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Arkova"
!define DISPLAY_NAME "아르코반 Arkova"

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Arkova"
; A second installation goes where the first one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!ifdef ICON
    !define MUI_ICON "${ICON}"
    !define MUI_UNICON "${ICON}"
!endif
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\arkova.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one used when the system's language is neither.
!insertmacro MUI_LANGUAGE "Korean"
!insertmacro MUI_LANGUAGE "English"

LangString ShortcutDescription ${LANG_KOREAN} "압축 파일을 열고 풉니다"
LangString ShortcutDescription ${LANG_ENGLISH} "Open and extract archives"
LangString RegisterFailed ${LANG_KOREAN} \
    "파일 연결을 등록하지 못했습니다. 압축 파일은 아르코반에서 직접 열 수 있습니다."
LangString RegisterFailed ${LANG_ENGLISH} \
    "The file associations could not be registered. Archives can still be opened from Arkova."

Section "Arkova"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetOutPath "$INSTDIR"
    CreateShortcut "$SMPROGRAMS\Arkova.lnk" "$INSTDIR\arkova.exe" "" "$INSTDIR\arkova.exe" 0 SW_SHOWNORMAL "" \
        "$(ShortcutDescription)"

    ; /quiet: the program reports through its exit code instead of a message box nobody may be there to close.
    ExecWait '"$INSTDIR\arkova.exe" /register /quiet' $0
    ${If} $0 != 0
        DetailPrint "$(RegisterFailed)"
        MessageBox MB_OK|MB_ICONEXCLAMATION "$(RegisterFailed)" /SD IDOK
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Arkova"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\arkova.exe,0"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The context-menu verbs that the options page writes name the program too, so they go with it; the keys above
; them go only when nothing else is left in them. The same for the open-with keys that /register created.
!macro RemoveExtensionKeys EXTENSION
    DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\Arkova1_ExtractNewFolder"
    DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\Arkova2_ExtractHere"
    DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\Arkova3_ExtractTo"
    DeleteRegKey HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}\shell\Arkova4_Open"
    DeleteRegKey /ifempty HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}\shell"
    DeleteRegKey /ifempty HKCU "Software\Classes\SystemFileAssociations\${EXTENSION}"
    DeleteRegKey /ifempty HKCU "Software\Classes\${EXTENSION}\OpenWithProgids"
    DeleteRegKey /ifempty HKCU "Software\Classes\${EXTENSION}"
!macroend

Section "Uninstall"
    SetShellVarContext current
    ExecWait '"$INSTDIR\arkova.exe" /unregister /quiet'
    !insertmacro RemoveExtensionKeys ".zip"
    !insertmacro RemoveExtensionKeys ".7z"
    !insertmacro RemoveExtensionKeys ".rar"
    !insertmacro RemoveExtensionKeys ".tar"
    !insertmacro RemoveExtensionKeys ".gz"
    !insertmacro RemoveExtensionKeys ".bz2"
    !insertmacro RemoveExtensionKeys ".xz"
    !insertmacro RemoveExtensionKeys ".alz"
    !insertmacro RemoveExtensionKeys ".egg"
    !insertmacro RemoveExtensionKeys ".cab"
    !insertmacro RemoveExtensionKeys ".iso"
    !insertmacro RemoveExtensionKeys ".wim"
    DeleteRegKey /ifempty HKCU "Software\Classes\SystemFileAssociations"
    ; The settings.
    DeleteRegKey HKCU "Software\Arkova"

    Delete "$SMPROGRAMS\Arkova.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; SHCNE_ASSOCCHANGED: the verbs removed here are gone from Explorer's menus at once.
    System::Call "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
SectionEnd
