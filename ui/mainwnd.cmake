# The main window, its drawing and the promotion question.
add_library(ravu_mainwnd STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/main_dlg.h ${CMAKE_CURRENT_SOURCE_DIR}/main_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/main_parts.h
  ${CMAKE_CURRENT_SOURCE_DIR}/promote_dlg.h ${CMAKE_CURRENT_SOURCE_DIR}/promote_dlg.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/skin.h ${CMAKE_CURRENT_SOURCE_DIR}/skin.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui_fonts.h ${CMAKE_CURRENT_SOURCE_DIR}/ui_fonts.cpp
)
target_include_directories(ravu_mainwnd PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_mainwnd PUBLIC Qt6::Widgets Qt6::Network ravu_model ravu_text ravu_app ravu_net ravu_windows)

# The program.
add_executable(ravuone ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
target_link_libraries(ravuone PRIVATE ravu_mainwnd)
# The end-to-end tests' driver; it listens only when its environment variable is set.
target_sources(ravuone PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/test_driver.h ${CMAKE_CURRENT_SOURCE_DIR}/test_driver.cpp)
target_link_libraries(ravuone PRIVATE Qt6::Test)
install(TARGETS ravuone)

# Pictures of the main window for the documentation.
add_executable(ravuone-screenshot ${CMAKE_CURRENT_SOURCE_DIR}/screenshot.cpp)
target_link_libraries(ravuone-screenshot PRIVATE ravu_mainwnd Qt6::Test)
