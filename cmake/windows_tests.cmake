# The Windows test programs, built by tests/win32 and run under Wine. The
# native tree registers them too, so one CTest run covers both trees.
set(ORDALIS_WINDOWS_TESTS
  storage_win32_tests
  settings_win32_tests
  mainwindow_win32_tests
  editor_win32_tests
  commands_win32_tests
  lifecycle_win32_tests
  placement_win32_tests
  reminders_win32_tests
  tray_win32_tests
  resources_win32_tests
  tips_win32_tests
  about_win32_tests
  accessibility_win32_tests
  password_win32_tests
  options_win32_tests
  autostart_win32_tests
  lock_win32_tests
  on_screen_win32_tests
  task_file_lines_win32_tests
  help_win32_tests
  file_safety_win32_tests
  due_win32_tests
  attention_win32_tests
  series_win32_tests
)
