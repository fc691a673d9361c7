# Widget tests of the main window, offscreen.
add_executable(test_main_dlg
  ${CMAKE_CURRENT_SOURCE_DIR}/test_ui_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_geometry.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_input.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_main_commands.cpp
)
target_link_libraries(test_main_dlg PRIVATE ravu_mainwnd Qt6::Test GTest::gtest)
target_compile_definitions(test_main_dlg PRIVATE RAVU_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
if(TARGET ravu_app)
  target_compile_definitions(test_main_dlg PRIVATE RAVU_HAVE_APP=1)
endif()
gtest_discover_tests(test_main_dlg
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
