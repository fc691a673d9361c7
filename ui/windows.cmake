# The secondary windows: record window, chat log and chat input, question
# balloon with its picture buttons and character, settings and version
# dialogs, the connect and turn dialogs.
set(RAVU_WINDOWS_SOURCES
  ${CMAKE_SOURCE_DIR}/ui/window_util.cpp
  ${CMAKE_SOURCE_DIR}/ui/image_button.cpp
  ${CMAKE_SOURCE_DIR}/ui/anim_wnd.cpp
  ${CMAKE_SOURCE_DIR}/ui/balloon_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/about_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/settings_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/chat_log_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/kifu_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/connect_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/turn_dlg.cpp
)

add_library(ravu_windows STATIC ${RAVU_WINDOWS_SOURCES})
target_include_directories(ravu_windows PUBLIC ${CMAKE_SOURCE_DIR})
# ravu_app brings the built-in pictures (balloon, character, buttons, icon).
target_link_libraries(ravu_windows PUBLIC Qt6::Widgets ravu_model ravu_text ravu_net ravu_app)

# Pictures of the secondary windows for the documentation (docs/window-*.png).
add_executable(ravuone-window-shots ${CMAKE_SOURCE_DIR}/ui/window_shots.cpp)
target_link_libraries(ravuone-window-shots PRIVATE ravu_windows)
