# Widget tests of the secondary windows, on the offscreen platform.
add_executable(test_windows
  ${CMAKE_CURRENT_SOURCE_DIR}/test_windows_main.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_balloon_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_chat_log_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_settings_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_kifu_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_connect_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/test_turn_dlg.cpp
)
target_link_libraries(test_windows PRIVATE ravu_windows Qt6::Test GTest::gtest)
gtest_discover_tests(test_windows
  DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
