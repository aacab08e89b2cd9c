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
; The uninstaller's silent run waits for its work when started with
; _?=<its folder> (QuietUninstallString does); without it, it goes on from a
; copy in the temporary folder and returns at once.
;
; Exit codes, for scripts: 0 done; 1 cancelled by the user; the others below.
; A run that fails leaves the installation as it was: no entry, shortcut or
; Run value that points at nothing.
!define EXIT_STILL_RUNNING 2  ; Ordalis waits for its user and could not be ended
!define EXIT_FOLDER 3         ; the folder cannot be used (not writable, /D= unusable, others' files)
!define EXIT_IN_USE 4         ; a file of the program is held by another program
!define EXIT_OTHER_SETUP 5    ; another setup or uninstall of Ordalis did not finish
;
; Setup writes only into an empty folder, a folder of Ordalis, or a new
; subfolder "Ordalis" of the chosen one, so it never overwrites, and the
; uninstaller never removes, a file it did not install.
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
!include WordFunc.nsh

!ifndef VERSION | VERSION_RECORD | APPDIR | OUTFILE | ICON | SIDE
  !error "VERSION, VERSION_RECORD, APPDIR, OUTFILE, ICON and SIDE are given by pack.sh"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ordalis"
!define SETTINGS_KEY "Software\Brenvik\Ordalis"
!define MAKER_KEY "Software\Brenvik"
; The value the options dialog writes for the automatic start.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Ordalis"
; Where the Task Manager notes a start switched off (first byte odd).
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; An uninstall that keeps the tasks notes their folder, for the next setup.
!define KEPT_VALUE "TasksKeptIn"
; What an uninstaller could not remove of itself goes at the next log-on.
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define CLEANUP_VALUE "Ordalis.Aufraeumen"
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
; A file that cannot be written ends the setup rather than leaving it
; behind in its old version.
AllowSkipFiles off

Var FolderMade
Var DeleteData
; The folder of another registered copy whose program is still there ("" if none).
Var OtherCopy
; Whether EndOrdalis ended a running Ordalis: 0 no, 1 shown, 2 in the
; notification area.
Var WasRunning
; The /D= folder of the command line, "" when none was given.
Var GivenFolder
Var DirectoryText

; ---------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE}"
!define MUI_WELCOMEPAGE_TITLE "Willkommen bei Ordalis ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Dieser Assistent installiert Ordalis, das Programm für Aufgaben und Erinnerungen, für Ihr Benutzerkonto. Administratorrechte sind dafür nicht nötig.$\r$\n$\r$\nOrdalis speichert seine Aufgaben (Vemra.dat) in seinem Programmordner. Wählen Sie deshalb einen Ordner, in den Sie schreiben dürfen. Bei einer Aktualisierung bleiben Aufgaben und Einstellungen erhalten.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!define MUI_DIRECTORYPAGE_TEXT_TOP "$DirectoryText"
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
; One record for setup and uninstaller: NSIS writes both from one program.
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Ordalis – Installation und Deinstallation"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "© 2026 Brenvik"

; ---------------------------------------------------------------------------
; Only what belongs to this folder is ended, replaced or removed: a copy in
; another folder keeps its program, shortcuts and entry.

!include "${__FILEDIR__}/own_folder.nsh"

; Adds the size of a file of the folder to $0.
!macro ADD_SIZE file
  FileOpen $1 "$INSTDIR\${file}" r
  FileSeek $1 0 END $2
  FileClose $1
  IntOp $0 $0 + $2
!macroend

!macro FILE_FREE file
  StrCpy $R1 "${file}"
  Call FileFree
!macroend

; ---------------------------------------------------------------------------
; Installation

Section "Ordalis (Programm, Hilfe und Startmenü)" SecProgram
  SectionIn RO
  Call EndOrdalis
  ; Every file can be replaced, or nothing is.
  !insertmacro FILE_FREE Vemra.exe
  !insertmacro FILE_FREE Lotse32.exe
  !insertmacro FILE_FREE Vemra.lhf
  !insertmacro FILE_FREE LIESMICH.txt
  !insertmacro FILE_FREE LIZENZ.txt
  !insertmacro FILE_FREE ${UNINSTALLER}

  ; A folder that was there before stays after the uninstall; one this
  ; installer made goes, once it is empty. An update keeps the first answer.
  StrCpy $FolderMade 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $FolderMade 1
  ${Else}
    Call FolderMadeBefore
  ${EndIf}

  SetErrorLevel ${EXIT_IN_USE}  ; should a file refuse after all
  SetOutPath "$INSTDIR"
  File "${APPDIR}\Vemra.exe"
  File "${APPDIR}\Lotse32.exe"
  File "${APPDIR}\Vemra.lhf"
  File "${APPDIR}\LIESMICH.txt"
  File "${APPDIR}\LIZENZ.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  SetErrorLevel 0
  ; The entry and the shortcut come once the files are there.
  Call HandOverEntry
  ; An earlier uninstall of this folder left itself for the next log-on.
  ReadRegStr $0 HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}"
  ${WordFind} $0 "$INSTDIR\${UNINSTALLER}" "E+1" $1
  ${IfNot} ${Errors}
    DeleteRegValue HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}"
  ${EndIf}

  CreateShortcut "$SMPROGRAMS\Ordalis.lnk" "$INSTDIR\Vemra.exe" "" "$INSTDIR\Vemra.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Ordalis"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Brenvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vemra.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  ; Run in its folder, the uninstaller returns when its work is done.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
  ; Ordalis has no web site: the links open its read-me.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "$INSTDIR\LIESMICH.txt"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "HelpLink" "$INSTDIR\LIESMICH.txt"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "${FOLDER_MADE_VALUE}" $FolderMade
SectionEnd

Section /o "Verknüpfung auf dem Desktop" SecDesktop
  CreateShortcut "$DESKTOP\Ordalis.lnk" "$INSTDIR\Vemra.exe" "" "$INSTDIR\Vemra.exe" 0
SectionEnd

Section /o "Mit Windows starten" SecAutostart
  ; Exactly what the options dialog writes: the quoted path, a blank, "/a";
  ; and the Task Manager's mark "switched on", also where it was off.
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\Vemra.exe" /a'
  WriteRegBin HKCU "${APPROVED_KEY}" "${RUN_VALUE}" 020000000000000000000000
SectionEnd

Function .onInit
  Call TakeSetupLock
  Call GivenFolder
  StrCpy $DirectoryText "Ordalis wird in den folgenden Ordner installiert. Dort liegen später auch Ihre Aufgaben; der Ordner muss für Sie beschreibbar sein. Liegen darin schon andere Dateien, kommt Ordalis in einen neuen Unterordner „Ordalis“.$\r$\n$\r$\n$_CLICK"
  ; Without an installed copy, the folder whose tasks an uninstall kept.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}"
  ${If} $GivenFolder == ""
  ${AndIf} $0 == ""
  ${AndIf} $1 != ""
  ${AndIf} ${FileExists} "$1\Vemra.dat"
    StrCpy $INSTDIR $1
    StrCpy $DirectoryText "Im vorgeschlagenen Ordner liegen noch die Aufgaben einer früheren Installation von Ordalis. Installiert in diesen Ordner, findet Ordalis sie wieder.$\r$\n$\r$\n$_CLICK"
  ${EndIf}
  ${If} ${Silent}
    Call OwnFolder
    ${If} $R0 = 2
      SetErrorLevel ${EXIT_FOLDER}
      Quit
    ${EndIf}
    Call ProbeFolder
    ${If} $R0 = 0
      SetErrorLevel ${EXIT_FOLDER}
      Quit
    ${EndIf}
  ${EndIf}

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
  ; The files setup wrote, not whatever else the folder holds.
  StrCpy $0 0
  !insertmacro ADD_SIZE Vemra.exe
  !insertmacro ADD_SIZE Lotse32.exe
  !insertmacro ADD_SIZE Vemra.lhf
  !insertmacro ADD_SIZE LIESMICH.txt
  !insertmacro ADD_SIZE LIZENZ.txt
  !insertmacro ADD_SIZE ${UNINSTALLER}
  IntOp $0 $0 + 1023
  IntOp $0 $0 / 1024
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  ; The kept tasks are found again.
  ReadRegStr $0 HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}"
  ${If} $0 == $INSTDIR
    DeleteRegValue HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}"
  ${EndIf}
  Call RestartOrdalis
SectionEnd

; The file $R1 of the folder can be written: no other program holds it (a
; virus scanner may, for a moment). Otherwise the user is asked to end that
; program; a silent setup ends with EXIT_IN_USE, having changed nothing.
Function FileFree
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\$R1"
      Return
    ${EndIf}
    !insertmacro WAIT_FOR_FILE "$INSTDIR\$R1"
    ClearErrors
    FileOpen $4 "$INSTDIR\$R1" a
    ${IfNot} ${Errors}
      FileClose $4
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Die Datei „$INSTDIR\$R1“ wird von einem anderen Programm verwendet und kann nicht ersetzt werden.$\r$\n$\r$\nBitte beenden Sie dieses Programm und klicken Sie dann auf „Wiederholen“. Mit „Abbrechen“ bleibt Ordalis, wie es ist." /SD IDCANCEL IDRETRY again
    Call RestartOrdalis
    SetErrorLevel ${EXIT_IN_USE}
    Abort "Eine Datei von Ordalis wird verwendet."
    again:
  ${Loop}
FunctionEnd

; A silent update starts an Ordalis it ended again, as it ran, so that its
; reminders go on.
Function RestartOrdalis
  ${If} ${Silent}
    ${If} $WasRunning = 1
      Exec '"$INSTDIR\Vemra.exe"'
    ${ElseIf} $WasRunning = 2
      Exec '"$INSTDIR\Vemra.exe" /a'
    ${EndIf}
  ${EndIf}
  StrCpy $WasRunning 0
FunctionEnd

; The folder of /D= in $GivenFolder. NSIS drops a folder it cannot use (in
; quotes, with slashes, on a drive that is not there) for the default one:
; a silent setup ends with EXIT_FOLDER instead.
Function GivenFolder
  StrCpy $GivenFolder ""
  System::Call 'kernel32::GetCommandLineW() w .r0'
  StrCpy $2 0
  ${WordFind} $0 " /D=" "E+1}" $1
  ${IfNot} ${Errors}
    StrCpy $GivenFolder $1
    ; NSIS takes a folder without its last backslash.
    StrCpy $3 $1 "" -1
    ${If} $3 == "\"
      StrCpy $1 $1 -1
    ${EndIf}
    ${If} $1 != $INSTDIR
      StrCpy $2 1
    ${EndIf}
  ${EndIf}
  ${WordFind} $0 '"/D=' "E+1}" $1
  ${IfNot} ${Errors}
    StrCpy $GivenFolder $1
    StrCpy $2 1
  ${EndIf}
  ${If} $2 = 1
  ${AndIf} ${Silent}
    SetErrorLevel ${EXIT_FOLDER}
    Quit
  ${EndIf}
FunctionEnd

; The folder $0 in $1: "ours" (the program, its tasks or its uninstaller are
; there), "empty" (or not there), or "foreign".
Function FolderKind
  StrCpy $1 "ours"
  ${If} ${FileExists} "$0\Vemra.exe"
  ${OrIf} ${FileExists} "$0\Vemra.dat"
  ${OrIf} ${FileExists} "$0\${UNINSTALLER}"
    Return
  ${EndIf}
  StrCpy $1 "empty"
  ClearErrors
  FindFirst $2 $3 "$0\*.*"
  ${DoUntil} ${Errors}
    ${If} $3 != "."
    ${AndIf} $3 != ".."
      StrCpy $1 "foreign"
      ${Break}
    ${EndIf}
    FindNext $2 $3
  ${Loop}
  FindClose $2
FunctionEnd

; $R0: 0 the chosen folder is empty or Ordalis's; 1 it holds other files,
; and Ordalis goes into its subfolder "Ordalis" (now $INSTDIR; the chosen
; one in $R2); 2 that subfolder holds other files too.
Function OwnFolder
  StrCpy $R2 $INSTDIR
  StrCpy $0 $INSTDIR
  Call FolderKind
  StrCpy $R0 0
  ${If} $1 == "foreign"
    StrCpy $0 "$INSTDIR\Ordalis"
    Call FolderKind
    StrCpy $R0 2
    ${If} $1 != "foreign"
      StrCpy $INSTDIR $0
      StrCpy $R0 1
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R0: 1 when the folder (or the nearest one above it that is there
; already) takes a file from this user, 0 when not.
Function ProbeFolder
  StrCpy $0 $INSTDIR
  ${DoUntil} ${FileExists} "$0\*.*"
    ${GetParent} $0 $1
    ${If} $1 == ""
      ${Break}
    ${EndIf}
    StrCpy $0 $1
  ${Loop}
  StrCpy $R0 0
  ClearErrors
  FileOpen $2 "$0\Ordalis-Schreibprobe.tmp" w
  ${IfNot} ${Errors}
    FileClose $2
    Delete "$0\Ordalis-Schreibprobe.tmp"
    StrCpy $R0 1
  ${EndIf}
FunctionEnd

; The tasks are written beside the program: the folder (or the nearest one
; above it that is there already) has to take a file from this user.
Function DirectoryLeave
  Call OwnFolder
  ${If} $R0 = 2
    StrCpy $INSTDIR $R2
    MessageBox MB_OK|MB_ICONEXCLAMATION "Im Ordner „$INSTDIR“ und in seinem Unterordner „Ordalis“ liegen schon Dateien, die nicht zu Ordalis gehören.$\r$\n$\r$\nDamit keine davon überschrieben wird, wählen Sie bitte einen leeren Ordner."
    Abort
  ${ElseIf} $R0 = 1
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Im Ordner „$R2“ liegen schon andere Dateien. Damit sie unberührt bleiben, wird Ordalis in den Unterordner „$INSTDIR“ installiert." IDOK subfolder
    StrCpy $INSTDIR $R2
    Abort
    subfolder:
  ${EndIf}
  Call ProbeFolder
  ${If} $R0 = 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "In den Ordner „$INSTDIR“ dürfen Sie nicht schreiben.$\r$\n$\r$\nOrdalis speichert seine Aufgaben in seinem Programmordner. Bitte wählen Sie einen Ordner, in den Sie schreiben dürfen, zum Beispiel den vorgeschlagenen."
    Abort
  ${EndIf}

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
  ; "_?=" takes the rest of the line: an option after it makes a folder
  ; that holds no Ordalis.
  ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "Im Ordner „$INSTDIR“ ist Ordalis nicht installiert." /SD IDOK
    SetErrorLevel ${EXIT_FOLDER}
    Quit
  ${EndIf}
  Call un.TakeSetupLock
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
  ; Kept, the tasks are found by the next setup.
  ${If} $DeleteData = 0
  ${AndIf} ${FileExists} "$INSTDIR\Vemra.dat"
    WriteRegStr HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}" $INSTDIR
  ${EndIf}
  ${If} $DeleteData = 1
    ReadRegStr $0 HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}"
    ${If} $0 == $INSTDIR
      DeleteRegValue HKCU "${SETTINGS_KEY}" "${KEPT_VALUE}"
    ${EndIf}
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

  ; Only this folder's entries go, and those of a folder that has no
  ; uninstaller any more (this one, before it was moved); another copy
  ; keeps its own.
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
    ${ElseIfNot} ${FileExists} "$R9\${UNINSTALLER}"
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
          SetOutPath $R9  ; the shortcut's working folder
          CreateShortcut "$SMPROGRAMS\Ordalis.lnk" "$R9\Vemra.exe" "" "$R9\Vemra.exe" 0
        ${EndIf}
        ${Break}
      ${EndIf}
      IntOp $R7 $R7 + 1
    ${Loop}
  ${EndIf}
  ${If} $EXEPATH == "$INSTDIR\${UNINSTALLER}"
    ; Run in its folder (_?=), this file is the running program. Windows
    ; lets a running program be moved, not deleted: it goes to the
    ; temporary folder. Where it cannot (another drive), it goes at the
    ; next log-on.
    SetOutPath $TEMP
    System::Call 'kernel32::GetTickCount() i .r2'
    System::Call 'kernel32::MoveFileExW(w "$EXEPATH", w "$TEMP\Ordalis-Deinstallation-$2.tmp", i 0) i .r0'
    ${If} $0 = 0
      StrCpy $0 'cmd.exe /c del /f /q "$INSTDIR\${UNINSTALLER}"'
      ${If} $1 = 1
        StrCpy $0 '$0 & rmdir "$INSTDIR"'
      ${EndIf}
      WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" $0
    ${EndIf}
  ${Else}
    Delete "$INSTDIR\${UNINSTALLER}"
  ${EndIf}
  ${If} $1 = 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
