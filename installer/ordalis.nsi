; The per-user installer of Ordalis. It needs no administrator rights and
; puts the program into a folder the user can write to, because the tasks
; (Vemra.dat, Vemra.bak) live beside Vemra.exe. An update installs over the
; old files and keeps the tasks and the settings; the uninstaller removes
; what the installer put there and asks before it deletes the tasks.
;
; Built by installer/pack.sh:
;   makensis -DVERSION=1.2.3 -DVERSION_RECORD=1.2.3.0 -DAPPDIR=<folder with the files> -DICON=<vemra.ico>
;            -DOUTFILE=<setup.exe> ordalis.nsi
;
; Command line besides NSIS's own /S and /D=<folder>:
;   setup: /DESKTOP (desktop shortcut), /AUTOSTART (start with Windows)
;   uninstaller: /DELETEDATA (with /S: delete the tasks and the settings too)
;
; Copies in two folders: the entry "Ordalis" in the list of installed apps
; belongs to the copy installed last, and so does the start-menu shortcut.
; The copy it replaces keeps an entry of its own ("Ordalis.1", ...) and its
; uninstaller, which removes only what belongs to its folder.

; Vemra.exe is a 64-bit program, and so is its installer.
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!ifndef VERSION | VERSION_RECORD | APPDIR | OUTFILE | ICON
  !error "VERSION, VERSION_RECORD, APPDIR, OUTFILE and ICON are given by pack.sh"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ordalis"
!define SETTINGS_KEY "Software\Brenvik\Ordalis"
!define MAKER_KEY "Software\Brenvik"
; The value the options dialog writes for the automatic start.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Ordalis"
; Written by the program at every start; only with administrator rights.
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\Vemra.exe"
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALLER "Deinstallieren.exe"
; Whether the installer made the program folder: only then may the
; uninstaller remove it (and only when it is empty).
!define FOLDER_MADE_VALUE "OrdalisFolderCreated"

Name "Ordalis"
BrandingText "Ordalis ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Ordalis"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Var FolderMade
Var DeleteData
; The folder of another registered copy whose program is still there ("" if none).
Var OtherCopy

; ---------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Willkommen bei Ordalis ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Dieser Assistent installiert Ordalis, das Programm für Aufgaben und Erinnerungen, für Ihr Benutzerkonto. Administratorrechte sind dafür nicht nötig.$\r$\n$\r$\nOrdalis speichert seine Aufgaben (Vemra.dat) in seinem Programmordner. Wählen Sie deshalb einen Ordner, in den Sie schreiben dürfen. Bei einer Aktualisierung bleiben Aufgaben und Einstellungen erhalten.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!define MUI_DIRECTORYPAGE_TEXT_TOP "Ordalis wird in den folgenden Ordner installiert. Dort liegen später auch Ihre Aufgaben; der Ordner muss für Sie beschreibbar sein.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "Wählen Sie, wie Ordalis eingerichtet werden soll. $_CLICK"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_TEXT "Ordalis ist jetzt installiert. Sie finden es im Startmenü unter „Ordalis“.$\r$\n$\r$\nKlicken Sie auf Fertigstellen, um den Assistenten zu beenden."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vemra.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Ordalis jetzt starten"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "German"

; The installer's own version record.
VIProductVersion "${VERSION_RECORD}"
VIFileVersion "${VERSION_RECORD}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Ordalis"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "Brenvik"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Ordalis – Installation"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© 2026 Brenvik"

; ---------------------------------------------------------------------------
; Only what belongs to this folder is ended, replaced or removed: a copy in
; another folder keeps its program, shortcuts and entry.

!include "${__FILEDIR__}/own_folder.nsh"

; ---------------------------------------------------------------------------
; Installation

Section "Ordalis (Programm, Hilfe und Startmenü)" SecProgram
  SectionIn RO
  Call EndOrdalis

  ; A folder that was there before stays after the uninstall; one this
  ; installer made goes, once it is empty. An update keeps the first answer.
  StrCpy $FolderMade 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $FolderMade 1
  ${Else}
    Call FolderMadeBefore
  ${EndIf}
  Call HandOverEntry

  SetOutPath "$INSTDIR"
  File "${APPDIR}\Vemra.exe"
  File "${APPDIR}\Lotse32.exe"
  File "${APPDIR}\Vemra.lhf"
  File "${APPDIR}\LIESMICH.txt"
  File "${APPDIR}\LIZENZ.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortcut "$SMPROGRAMS\Ordalis.lnk" "$INSTDIR\Vemra.exe" "" "$INSTDIR\Vemra.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ordalis"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brenvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vemra.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${FOLDER_MADE_VALUE}" $FolderMade
SectionEnd

Section /o "Verknüpfung auf dem Desktop" SecDesktop
  CreateShortcut "$DESKTOP\Ordalis.lnk" "$INSTDIR\Vemra.exe" "" "$INSTDIR\Vemra.exe" 0
SectionEnd

Section /o "Mit Windows starten" SecAutostart
  ; Exactly what the options dialog writes: the quoted path, a blank, "/a".
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Vemra.exe" /a'
SectionEnd

Function .onInit
  ; An update keeps the choices of the installation it replaces; another
  ; copy's shortcut is that copy's.
  StrCpy $R1 "$DESKTOP\Ordalis.lnk"
  Call ShortcutTarget
  ${If} $R0 == "$INSTDIR\Vemra.exe"
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\Vemra.exe" /a'
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DESKTOP" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Section "-Abschluss"
  ; An update can take back what the old installation chose.
  ${IfNot} ${SectionIsSelected} ${SecDesktop}
    StrCpy $R1 "$DESKTOP\Ordalis.lnk"
    Call DeleteOwnShortcut
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    Call RemoveOwnRunValue
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The tasks are written beside the program: the folder (or the nearest one
; above it that is there already) has to take a file from this user.
Function DirectoryLeave
  StrCpy $0 $INSTDIR
  ${DoUntil} ${FileExists} "$0\*.*"
    ${GetParent} $0 $1
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    StrCpy $0 $1
  ${Loop}
  ClearErrors
  FileOpen $2 "$0\Ordalis-Schreibprobe.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "In den Ordner „$INSTDIR“ dürfen Sie nicht schreiben.$\r$\n$\r$\nOrdalis speichert seine Aufgaben in seinem Programmordner. Bitte wählen Sie einen Ordner, in den Sie schreiben dürfen, zum Beispiel den vorgeschlagenen."
    Abort
  ${EndIf}
  FileClose $2
  Delete "$0\Ordalis-Schreibprobe.tmp"

  ; Another folder than the installed copy's: that copy is not moved.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Ordalis ist bereits im Ordner „$0“ installiert.$\r$\n$\r$\nDiese Kopie bleibt mit ihren Aufgaben in ihrem Ordner; die Aufgaben werden nicht in den neuen Ordner übernommen. Sie behält ihren Eintrag in der Liste der installierten Apps und lässt sich weiterhin deinstallieren. Die Verknüpfung im Startmenü startet danach die neue Kopie.$\r$\n$\r$\nMöchten Sie Ordalis trotzdem in „$INSTDIR“ installieren?" IDYES other
    Abort
    other:
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; Uninstallation

Function un.onInit
  StrCpy $DeleteData 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/DELETEDATA" $1
  ${IfNot} ${Errors}
    StrCpy $DeleteData 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.EndOrdalis

  Delete "$INSTDIR\Vemra.exe"
  Delete "$INSTDIR\Lotse32.exe"
  Delete "$INSTDIR\Vemra.lhf"
  Delete "$INSTDIR\LIESMICH.txt"
  Delete "$INSTDIR\LIZENZ.txt"
  StrCpy $R1 "$SMPROGRAMS\Ordalis.lnk"
  Call un.DeleteOwnShortcut
  StrCpy $R1 "$DESKTOP\Ordalis.lnk"
  Call un.DeleteOwnShortcut
  Call un.RemoveOwnRunValue
  ; The program registers itself here at every start where it may.
  ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  ${If} $0 == "$INSTDIR\Vemra.exe"
    DeleteRegKey HKLM "${APP_PATHS_KEY}"
  ${EndIf}

  ; The settings are shared with a copy in another folder that is still
  ; installed: they stay for it.
  StrCpy $OtherCopy ""
  StrCpy $R7 0
  ${Do}
    Call un.NextEntry
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    ${If} $R9 != $INSTDIR
    ${AndIf} ${FileExists} "$R9\Vemra.exe"
      StrCpy $OtherCopy $R9
    ${EndIf}
    IntOp $R7 $R7 + 1
  ${Loop}

  ; The tasks and the settings are the user's. Asked, the user's answer
  ; decides, whatever the command line says (default No); a silent
  ; uninstall keeps them unless told otherwise.
  ${IfNot} ${Silent}
    StrCpy $DeleteData 0
    StrCpy $0 "Sollen auch Ihre Aufgaben (Vemra.dat mit ihren Sicherungen) und die Einstellungen von Ordalis gelöscht werden?"
    ${If} $OtherCopy != ""
      StrCpy $0 "Sollen auch Ihre Aufgaben in diesem Ordner (Vemra.dat mit ihren Sicherungen) gelöscht werden?$\r$\n$\r$\nDie Einstellungen bleiben, denn Ordalis ist auch im Ordner „$OtherCopy“ installiert."
    ${EndIf}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$0$\r$\n$\r$\nWählen Sie „Nein“, um sie zu behalten, etwa für eine spätere Installation." IDNO keep
    StrCpy $DeleteData 1
    keep:
  ${EndIf}
  ${If} $DeleteData = 1
    Delete "$INSTDIR\Vemra.dat"
    Delete "$INSTDIR\Vemra.bak"
    Delete "$INSTDIR\Vemra.bak.tmp"
    Delete "$INSTDIR\Sicherungen\Vemra-*.dat"
    Delete "$INSTDIR\Sicherungen\Reihenfolge.txt"
    RMDir "$INSTDIR\Sicherungen"
    ${If} $OtherCopy == ""
      DeleteRegKey HKCU "${SETTINGS_KEY}"
      DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
    ${EndIf}
  ${EndIf}

  ; Only this folder's entries go; another copy keeps its own.
  StrCpy $1 0
  StrCpy $R7 0
  ${Do}
    Call un.NextEntry
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    ${If} $R9 == $INSTDIR
      ReadRegDWORD $2 HKCU "${UNINSTALL_ROOT}\$R8" "${FOLDER_MADE_VALUE}"
      ${If} $2 = 1
        StrCpy $1 1
      ${EndIf}
      DeleteRegKey HKCU "${UNINSTALL_ROOT}\$R8"
    ${Else}
      IntOp $R7 $R7 + 1
    ${EndIf}
  ${Loop}
  ; Was this the copy installed last, another copy takes over the entry
  ; "Ordalis" (where setup looks for it) and the start-menu shortcut.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == ""
    StrCpy $R7 0
    ${Do}
      Call un.NextEntry
      ${If} $R8 == ""
        ${Break}
      ${EndIf}
      ${If} ${FileExists} "$R9\${UNINSTALLER}"
        StrCpy $3 $R8
        StrCpy $4 "Ordalis"
        StrCpy $5 "Ordalis"
        Call un.CopyEntry
        DeleteRegKey HKCU "${UNINSTALL_ROOT}\$R8"
        ${IfNot} ${FileExists} "$SMPROGRAMS\Ordalis.lnk"
          CreateShortcut "$SMPROGRAMS\Ordalis.lnk" "$R9\Vemra.exe" "" "$R9\Vemra.exe" 0
        ${EndIf}
        ${Break}
      ${EndIf}
      IntOp $R7 $R7 + 1
    ${Loop}
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} $1 = 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
