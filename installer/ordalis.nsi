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

; ---------------------------------------------------------------------------
; Pages

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Willkommen bei Ordalis ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Dieser Assistent installiert Ordalis, das Programm für Aufgaben und Erinnerungen, für Ihr Benutzerkonto. Administratorrechte sind dafür nicht nötig.$\r$\n$\r$\nOrdalis speichert seine Aufgaben (Vemra.dat) in seinem Programmordner. Wählen Sie deshalb einen Ordner, in den Sie schreiben dürfen. Bei einer Aktualisierung bleiben Aufgaben und Einstellungen erhalten.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderWritable
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
; A running Ordalis ends through its own quit sequence (the registered
; message), never in the middle of a rewrite. While it waits for its user it
; refuses, and the user is asked to end it.

!include WinMessages.nsh

!macro WAIT_FOR_FILE path
  ${If} ${FileExists} "${path}"
    StrCpy $3 0
    ${Do}
      ClearErrors
      FileOpen $4 "${path}" a
      ${IfNot} ${Errors}
        FileClose $4
        ${Break}
      ${EndIf}
      ${If} $3 >= 50
        ${Break}
      ${EndIf}
      Sleep 100
      IntOp $3 $3 + 1
    ${Loop}
  ${EndIf}
!macroend

!macro END_ORDALIS un
Function ${un}EndOrdalis
  System::Call 'user32::RegisterWindowMessageW(w "Ordalis.Beenden") i .r1'
  ${Do}
    FindWindow $0 "OrdalisMain" "Ordalis "
    ${If} $0 = 0
      ${Break}
    ${EndIf}
    SendMessage $0 $1 0 0 $2 /TIMEOUT=15000
    StrCpy $3 0
    ${Do}
      FindWindow $0 "OrdalisMain" "Ordalis "
      ${If} $0 = 0
      ${OrIf} $3 >= 50
        ${Break}
      ${EndIf}
      Sleep 100
      IntOp $3 $3 + 1
    ${Loop}
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ordalis läuft noch und wartet auf eine Eingabe.$\r$\n$\r$\nBitte schließen Sie das offene Fenster von Ordalis, beenden Sie Ordalis über „Beenden“ im Menü seines Symbols im Infobereich und klicken Sie dann auf „Wiederholen“." /SD IDCANCEL IDRETRY again
      Abort "Ordalis läuft noch."
      again:
    ${EndIf}
  ${Loop}
  ; The help viewer holds nothing of the user's: it is closed as its close
  ; box closes it.
  StrCpy $3 0
  ${Do}
    FindWindow $0 "Ordalis.Lotse32"
    ${If} $0 = 0
    ${OrIf} $3 >= 50
      ${Break}
    ${EndIf}
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    Sleep 100
    IntOp $3 $3 + 1
  ${Loop}
  ; A process may still hold its file for a moment after its window went.
  !insertmacro WAIT_FOR_FILE "$INSTDIR\Vemra.exe"
  !insertmacro WAIT_FOR_FILE "$INSTDIR\Lotse32.exe"
FunctionEnd
!macroend
!insertmacro END_ORDALIS ""
!insertmacro END_ORDALIS "un."

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
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegDWORD $1 HKCU "${UNINSTALL_KEY}" "${FOLDER_MADE_VALUE}"
    ${If} $0 == $INSTDIR
    ${AndIf} $1 = 1
      StrCpy $FolderMade 1
    ${EndIf}
  ${EndIf}

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
  ; An update keeps the choices of the installation it replaces.
  ${If} ${FileExists} "$DESKTOP\Ordalis.lnk"
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
    Delete "$DESKTOP\Ordalis.lnk"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    Call RemoveOwnRunValue
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The tasks are written beside the program: the folder (or the nearest one
; above it that is there already) has to take a file from this user.
Function CheckFolderWritable
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
FunctionEnd

; The Run value goes only when it starts this copy; another copy's stays.
!macro REMOVE_OWN_RUN_VALUE un
Function ${un}RemoveOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${If} $0 == '"$INSTDIR\Vemra.exe" /a'
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro REMOVE_OWN_RUN_VALUE ""
!insertmacro REMOVE_OWN_RUN_VALUE "un."

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
  Delete "$SMPROGRAMS\Ordalis.lnk"
  Delete "$DESKTOP\Ordalis.lnk"
  Call un.RemoveOwnRunValue
  ; The program registers itself here at every start where it may.
  ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
  ${If} $0 == "$INSTDIR\Vemra.exe"
    DeleteRegKey HKLM "${APP_PATHS_KEY}"
  ${EndIf}

  ; The tasks and the settings are the user's: asked, default No; a silent
  ; uninstall keeps them unless told otherwise.
  ${IfNot} ${Silent}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Sollen auch Ihre Aufgaben (Vemra.dat und die Sicherung Vemra.bak) und die Einstellungen von Ordalis gelöscht werden?$\r$\n$\r$\nWählen Sie „Nein“, um sie zu behalten, etwa für eine spätere Installation." IDNO keep
    StrCpy $DeleteData 1
    keep:
  ${EndIf}
  ${If} $DeleteData = 1
    Delete "$INSTDIR\Vemra.dat"
    Delete "$INSTDIR\Vemra.bak"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
  ${EndIf}

  ReadRegDWORD $1 HKCU "${UNINSTALL_KEY}" "${FOLDER_MADE_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} $1 = 1
    RMDir "$INSTDIR"
  ${EndIf}
SectionEnd
