# Builds the Windows tree (MinGW-w64) as an external project of the native
# tree and registers its tests, run under Wine in a prefix of this build.
include(ExternalProject)
set(ORDALIS_WINDOWS_DIR ${CMAKE_BINARY_DIR}/windows)
set(ORDALIS_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
ExternalProject_Add(windows
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${ORDALIS_WINDOWS_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-w64.cmake
    -DCMAKE_BUILD_TYPE=Release
    -DORDALIS_GTEST_DIR=${ORDALIS_GTEST_DIR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

set(wine_exec ${CMAKE_SOURCE_DIR}/scripts/wine-exec)
set(wine_env "WINEPREFIX=${ORDALIS_WINEPREFIX}" "WINEDEBUG=-all" "WINEDLLOVERRIDES=mscoree,mshtml=")

# A fresh prefix is made once, before the tests run in parallel.
add_test(NAME wine.prefix COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-prefix)
set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine ENVIRONMENT "${wine_env}")

foreach(t IN LISTS ORDALIS_WINDOWS_TESTS)
  add_test(NAME win32.${t} COMMAND ${wine_exec} ${ORDALIS_WINDOWS_DIR}/tests/win32/${t}.exe
    WORKING_DIRECTORY ${ORDALIS_WINDOWS_DIR}/tests/win32)
  set_tests_properties(win32.${t} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT "${wine_env}"
    TIMEOUT 600)
endforeach()

# End-to-end: the real Vemra.exe in a scratch folder under Wine, driven
# through X. It looks for the program's window on the whole desktop, so it
# runs alone; screenshots go to e2e/ in this build folder.
add_test(NAME e2e.second_instance
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/second_instance.sh ${ORDALIS_WINDOWS_DIR}/app/Vemra.exe
    ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(e2e.second_instance PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 180)

# Two starts at the same moment from one folder, twenty times: one program.
add_test(NAME e2e.same_moment
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/same_moment.sh ${ORDALIS_WINDOWS_DIR}/app/Vemra.exe
    ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(e2e.same_moment PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 300)

# The tests with windows look at the keyboard focus and the window in front,
# which a window of another test program can take away: they run alone.
set_tests_properties(win32.mainwindow_win32_tests win32.lifecycle_win32_tests
  win32.editor_win32_tests win32.commands_win32_tests win32.reminders_win32_tests
  win32.placement_win32_tests win32.about_win32_tests win32.accessibility_win32_tests
  win32.tray_win32_tests win32.tips_win32_tests win32.password_win32_tests
  win32.options_win32_tests win32.autostart_win32_tests win32.lock_win32_tests
  win32.help_win32_tests
  win32.on_screen_win32_tests win32.due_win32_tests win32.attention_win32_tests win32.file_safety_win32_tests
  win32.series_win32_tests
  PROPERTIES RUN_SERIAL TRUE)

# Every action on a task, and the end, by keyboard alone in the real program.
add_test(NAME e2e.keyboard
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/keyboard.sh ${ORDALIS_WINDOWS_DIR}/app/Vemra.exe
    ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(e2e.keyboard PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 180)

# Help from the real program: F1 starts the real viewer, the icon's menu
# turns it to another topic.
add_test(NAME e2e.help
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/help.sh ${ORDALIS_WINDOWS_DIR}/app/Vemra.exe
    ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(e2e.help PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 180)

# The password set in the options, asked at the next start and after a start
# with Windows, in the real program.
add_test(NAME e2e.password
  COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/password.sh ${ORDALIS_WINDOWS_DIR}/app/Vemra.exe
    ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(e2e.password PROPERTIES FIXTURES_REQUIRED wine
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 240)

# The packages for Windows users, made from the tested program: the
# portable zip (content, reproducible bytes) and the installer, run under
# Wine through install, update and both kinds of uninstall.
set(ORDALIS_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
add_test(NAME package.build
  COMMAND ${CMAKE_SOURCE_DIR}/installer/pack.sh ${ORDALIS_WINDOWS_DIR}/app ${ORDALIS_DIST_DIR}
    ${PROJECT_VERSION})
set_tests_properties(package.build PROPERTIES FIXTURES_SETUP packages TIMEOUT 300)
add_test(NAME package.zip
  COMMAND ${CMAKE_SOURCE_DIR}/tests/package/zip.sh ${ORDALIS_WINDOWS_DIR}/app ${ORDALIS_DIST_DIR}
    ${PROJECT_VERSION})
set_tests_properties(package.zip PROPERTIES FIXTURES_REQUIRED packages TIMEOUT 300)
add_test(NAME package.installer
  COMMAND ${CMAKE_SOURCE_DIR}/tests/package/installer.sh
    ${ORDALIS_DIST_DIR}/Ordalis-${PROJECT_VERSION}-setup.exe ${ORDALIS_WINDOWS_DIR}/app
    ${PROJECT_VERSION} ${CMAKE_BINARY_DIR}/e2e)
set_tests_properties(package.installer PROPERTIES FIXTURES_REQUIRED "wine;packages"
  ENVIRONMENT "${wine_env}" RUN_SERIAL TRUE TIMEOUT 900)
