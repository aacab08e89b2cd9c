; Part of ordalis.nsi: what belongs to the installation in $INSTDIR. A copy
; of Ordalis in another folder is another installation: its running program,
; its shortcuts and its entry in the list of installed apps are left alone.

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

; Only a copy started from this folder is ended: another installation's
; program runs on with its own tasks.

; The first top-level window after $R0 (0: from the top) of class $R1 and
; caption $R2 ("" for any) whose process runs the file $R3; in $R0, 0 when
; there is none. A process that cannot be asked is not this folder's.
!macro FIND_OWN_WINDOW un
Function ${un}FindOwnWindow
  ${Do}
    FindWindow $R0 $R1 $R2 0 $R0
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    StrCpy $R5 ""
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R4)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R4) p .R4'
    ${If} $R4 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R4, i 0, w .R5, *i ${NSIS_MAX_STRLEN}) i .R6'
      ${If} $R6 = 0
        StrCpy $R5 ""
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R4)'
    ${EndIf}
    ; Windows compares paths without regard to case, and so does ==.
    ${If} $R5 == $R3
      ${Break}
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro FIND_OWN_WINDOW ""
!insertmacro FIND_OWN_WINDOW "un."

!macro END_ORDALIS un
Function ${un}EndOrdalis
  System::Call 'user32::RegisterWindowMessageW(w "Ordalis.Beenden") i .r1'
  StrCpy $WasRunning 0
  ${Do}
    StrCpy $R0 0
    StrCpy $R1 "OrdalisMain"
    StrCpy $R2 "Ordalis "
    StrCpy $R3 "$INSTDIR\Vemra.exe"
    Call ${un}FindOwnWindow
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    ; A silent update starts it again as it ran: shown, or in the
    ; notification area.
    System::Call 'user32::IsWindowVisible(p R0) i .r0'
    ${If} $0 <> 0
      StrCpy $WasRunning 1
    ${ElseIf} $WasRunning = 0
      StrCpy $WasRunning 2
    ${EndIf}
    ; The process itself, to wait for its end below: a program started again
    ; while it still holds its one-copy lock would only say that Ordalis runs.
    System::Call 'user32::GetWindowThreadProcessId(p R0, *i .r5)'
    ; SYNCHRONIZE
    System::Call 'kernel32::OpenProcess(i 0x100000, i 0, i r5) p .r6'
    SendMessage $R0 $1 0 0 $2 /TIMEOUT=15000
    StrCpy $3 0
    ${Do}
      System::Call 'user32::IsWindow(p R0) i .r0'
      ${If} $0 = 0
      ${OrIf} $3 >= 50
        ${Break}
      ${EndIf}
      Sleep 100
      IntOp $3 $3 + 1
    ${Loop}
    ${If} $0 = 0
    ${AndIf} $6 P<> 0
      System::Call 'kernel32::WaitForSingleObject(p r6, i 10000) i .r5'
    ${EndIf}
    ${If} $6 P<> 0
      System::Call 'kernel32::CloseHandle(p r6)'
    ${EndIf}
    ${If} $0 <> 0
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Ordalis läuft noch und wartet auf eine Eingabe.$\r$\n$\r$\nBitte schließen Sie das offene Fenster von Ordalis, beenden Sie Ordalis über „Beenden“ im Menü seines Symbols im Infobereich und klicken Sie dann auf „Wiederholen“." /SD IDCANCEL IDRETRY again
      SetErrorLevel ${EXIT_STILL_RUNNING}
      Abort "Ordalis läuft noch."
      again:
    ${EndIf}
  ${Loop}
  ; The help viewer holds nothing of the user's: it is closed as its close
  ; box closes it.
  StrCpy $3 0
  ${Do}
    StrCpy $R0 0
    StrCpy $R1 "Ordalis.Lotse32"
    StrCpy $R2 ""
    StrCpy $R3 "$INSTDIR\Lotse32.exe"
    Call ${un}FindOwnWindow
    ${If} $R0 = 0
    ${OrIf} $3 >= 50
      ${Break}
    ${EndIf}
    SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
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
; What belongs to this folder

; The file the shortcut $R1 starts, in $R0 ("" when it cannot be read).
!macro SHORTCUT_TARGET un
Function ${un}ShortcutTarget
  StrCpy $R0 ""
  ; CLSID_ShellLink, IShellLinkW, IPersistFile
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .R2) i .R3'
  ${If} $R3 = 0
    System::Call '$R2->0(g "{0000010B-0000-0000-C000-000000000046}", *p .R4) i .R3'
    ${If} $R3 = 0
      ; IPersistFile::Load, then IShellLinkW::GetPath
      System::Call '$R4->5(w R1, i 0) i .R3'
      ${If} $R3 = 0
        System::Call '$R2->3(w .R0, i ${NSIS_MAX_STRLEN}, p 0, i 0) i .R3'
        ${If} $R3 <> 0
          StrCpy $R0 ""
        ${EndIf}
      ${EndIf}
      System::Call '$R4->2()'
    ${EndIf}
    System::Call '$R2->2()'
  ${EndIf}
FunctionEnd

; The shortcut $R1 goes when it starts this folder's program, or a program
; that is not there any more (the folder was moved); another copy's stays.
Function ${un}DeleteOwnShortcut
  Call ${un}ShortcutTarget
  ${If} $R0 == "$INSTDIR\Vemra.exe"
    Delete $R1
  ${ElseIf} $R0 != ""
  ${AndIfNot} ${FileExists} $R0
    Delete $R1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro SHORTCUT_TARGET ""
!insertmacro SHORTCUT_TARGET "un."

; The entries of Ordalis in the list of installed apps, one at a time: from
; the index $R7 on, the next key "Ordalis" or "Ordalis.<n>" in $R8 ("" after
; the last; its index in $R7) and the folder it removes in $R9.
!macro NEXT_ENTRY un
Function ${un}NextEntry
  ${Do}
    EnumRegKey $R8 HKCU "${UNINSTALL_ROOT}" $R7
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    StrCpy $R9 $R8 8
    ${If} $R8 == "Ordalis"
    ${OrIf} $R9 == "Ordalis."
      ReadRegStr $R9 HKCU "${UNINSTALL_ROOT}\$R8" "InstallLocation"
      ${Break}
    ${EndIf}
    IntOp $R7 $R7 + 1
  ${Loop}
FunctionEnd
!macroend
!insertmacro NEXT_ENTRY ""
!insertmacro NEXT_ENTRY "un."

; An update keeps the first answer of this folder's entry.
Function FolderMadeBefore
  StrCpy $R7 0
  ${Do}
    Call NextEntry
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    ${If} $R9 == $INSTDIR
      ReadRegDWORD $1 HKCU "${UNINSTALL_ROOT}\$R8" "${FOLDER_MADE_VALUE}"
      ${If} $1 = 1
        StrCpy $FolderMade 1
      ${EndIf}
    ${EndIf}
    IntOp $R7 $R7 + 1
  ${Loop}
FunctionEnd

!macro COPY_ENTRY_VALUE kind name
  ReadReg${kind} $2 HKCU "${UNINSTALL_ROOT}\$3" "${name}"
  WriteReg${kind} HKCU "${UNINSTALL_ROOT}\$4" "${name}" $2
!macroend

; The entry $3 written anew as $4, with the name $5 in the list.
!macro COPY_ENTRY un
Function ${un}CopyEntry
  DeleteRegKey HKCU "${UNINSTALL_ROOT}\$4"
  WriteRegStr HKCU "${UNINSTALL_ROOT}\$4" "DisplayName" $5
  !insertmacro COPY_ENTRY_VALUE Str DisplayVersion
  !insertmacro COPY_ENTRY_VALUE Str Publisher
  !insertmacro COPY_ENTRY_VALUE Str DisplayIcon
  !insertmacro COPY_ENTRY_VALUE Str InstallLocation
  !insertmacro COPY_ENTRY_VALUE Str UninstallString
  !insertmacro COPY_ENTRY_VALUE Str QuietUninstallString
  !insertmacro COPY_ENTRY_VALUE Str URLInfoAbout
  !insertmacro COPY_ENTRY_VALUE Str HelpLink
  !insertmacro COPY_ENTRY_VALUE DWORD NoModify
  !insertmacro COPY_ENTRY_VALUE DWORD NoRepair
  !insertmacro COPY_ENTRY_VALUE DWORD EstimatedSize
  !insertmacro COPY_ENTRY_VALUE DWORD ${FOLDER_MADE_VALUE}
FunctionEnd
!macroend
!insertmacro COPY_ENTRY ""
!insertmacro COPY_ENTRY "un."

; The entry "Ordalis" becomes this folder's. A copy in another folder that
; is still there keeps an entry of its own, so that it can still be removed
; from the list of installed apps; this folder's entries under another name
; and the entries of copies that are gone are dropped.
Function HandOverEntry
  StrCpy $R7 0
  ${Do}
    Call NextEntry
    ${If} $R8 == ""
      ${Break}
    ${EndIf}
    StrCpy $0 0
    ${If} $R8 != "Ordalis"
      ${If} $R9 == $INSTDIR
        StrCpy $0 1
      ${ElseIfNot} ${FileExists} "$R9\${UNINSTALLER}"
        StrCpy $0 1
      ${EndIf}
    ${EndIf}
    ${If} $0 = 1
      DeleteRegKey HKCU "${UNINSTALL_ROOT}\$R8"
    ${Else}
      IntOp $R7 $R7 + 1
    ${EndIf}
  ${Loop}

  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$0\${UNINSTALLER}"
    StrCpy $1 1
    ${Do}
      ReadRegStr $2 HKCU "${UNINSTALL_KEY}.$1" "InstallLocation"
      ${If} $2 == ""
        ${Break}
      ${EndIf}
      IntOp $1 $1 + 1
    ${Loop}
    StrCpy $3 "Ordalis"
    StrCpy $4 "Ordalis.$1"
    StrCpy $5 "Ordalis ($0)"
    Call CopyEntry
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
FunctionEnd

; The Run value goes when it starts this copy, or a program that is not
; there any more; another copy's stays. Windows' mark of a start switched
; off in the Task Manager goes with it, and goes alone when no Run value
; is left to carry it.
!macro REMOVE_OWN_RUN_VALUE un
Function ${un}RemoveOwnRunValue
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $1 $0 "" 1
    ${WordFind} $1 '"' "+1{" $1
  ${Else}
    StrCpy $1 ""
  ${EndIf}
  StrCpy $2 0
  ${If} $0 == '"$INSTDIR\Vemra.exe" /a'
    StrCpy $2 1
  ${ElseIf} $1 != ""
  ${AndIfNot} ${FileExists} $1
    StrCpy $2 1
  ${EndIf}
  ${If} $2 = 1
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    StrCpy $0 ""
  ${EndIf}
  ${If} $0 == ""
    DeleteRegValue HKCU "${APPROVED_KEY}" "${RUN_VALUE}"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro REMOVE_OWN_RUN_VALUE ""
!insertmacro REMOVE_OWN_RUN_VALUE "un."

; One setup or uninstall at a time: a second one waits for the first (a
; silent one up to five minutes, and fails after that; the wizard asks).
!macro TAKE_SETUP_LOCK un
Function ${un}TakeSetupLock
  System::Call 'kernel32::CreateMutexW(p 0, i 0, w "Local\Ordalis.Setup") p .r0'
  ${If} $0 P= 0
    Return  ; no lock to be had: on as before
  ${EndIf}
  ${Do}
    StrCpy $2 0
    ${If} ${Silent}
      StrCpy $2 300000
    ${EndIf}
    ; WAIT_OBJECT_0 and WAIT_ABANDONED (a setup that died) both give the lock.
    System::Call 'kernel32::WaitForSingleObject(p r0, i r2) i .r1'
    ${If} $1 <> 0x102
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Eine andere Installation oder Deinstallation von Ordalis läuft gerade.$\r$\n$\r$\nBitte warten Sie, bis sie fertig ist, und klicken Sie dann auf „Wiederholen“." /SD IDCANCEL IDRETRY again
    SetErrorLevel ${EXIT_OTHER_SETUP}
    Quit
    again:
  ${Loop}
FunctionEnd
!macroend
!insertmacro TAKE_SETUP_LOCK ""
!insertmacro TAKE_SETUP_LOCK "un."
