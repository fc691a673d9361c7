# Widget tests of the main window, offscreen.
add_executable(test_main_dlg
  ${CMAKE_CURRENT_SOURCE_DIR}/test_ui_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_geometry.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_input.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_commands.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_window.cpp
)
target_link_libraries(test_main_dlg PRIVATE ravu_windows Qt6::Test GTest::gtest)
target_compile_definitions(test_main_dlg PRIVATE RAVU_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(test_main_dlg
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")

# The program run as a process: ravuone-e2e, the program's start-up with the
# switches that answer message boxes and end it (tests/e2e).
add_executable(test_startup ${CMAKE_CURRENT_SOURCE_DIR}/test_startup.cpp)
target_link_libraries(test_startup PRIVATE Qt6::Core ravu_text GTest::gtest)
target_compile_definitions(test_startup PRIVATE RAVU_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  RAVU_PROGRAM="$<TARGET_FILE:ravuone-e2e>")
add_dependencies(test_startup ravuone-e2e)

# The shipped program links no Qt Test and holds no test driver or switches.
add_test(NAME ravuone_has_no_test_hooks
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:ravuone>
    -P ${CMAKE_CURRENT_SOURCE_DIR}/check_no_test_hooks.cmake)
gtest_discover_tests(test_startup DISCOVERY_TIMEOUT 60)
