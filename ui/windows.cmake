# The secondary windows: record window, chat log and chat input, question
# balloon with its picture buttons and character, settings and version
# dialogs, and (once the sockets exist) the connect and turn dialogs.
set(RAVU_WINDOWS_SOURCES
  ${CMAKE_SOURCE_DIR}/ui/window_util.cpp
  ${CMAKE_SOURCE_DIR}/ui/image_button.cpp
  ${CMAKE_SOURCE_DIR}/ui/anim_wnd.cpp
  ${CMAKE_SOURCE_DIR}/ui/balloon_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/about_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/settings_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/chat_log_dlg.cpp
  ${CMAKE_SOURCE_DIR}/ui/kifu_dlg.cpp
)
if(TARGET ravu_net AND EXISTS ${CMAKE_SOURCE_DIR}/net/connect_dlg.cpp)
  list(APPEND RAVU_WINDOWS_SOURCES
    ${CMAKE_SOURCE_DIR}/net/connect_dlg.cpp
    ${CMAKE_SOURCE_DIR}/net/turn_dlg.cpp)
endif()

add_library(ravu_windows STATIC ${RAVU_WINDOWS_SOURCES})
target_include_directories(ravu_windows PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_windows PUBLIC Qt6::Widgets ravu_model ravu_text)
if(TARGET ravu_net)
  target_link_libraries(ravu_windows PUBLIC ravu_net)
endif()
if(TARGET ravu_app)
  # The built-in pictures (balloon, character, buttons, icon).
  target_link_libraries(ravu_windows PUBLIC ravu_app)
  target_compile_definitions(ravu_windows PRIVATE RAVU_HAVE_APP=1)
endif()

# Pictures of the secondary windows for the documentation (docs/window-*.png).
if(TARGET ravu_net)
  add_executable(ravuone-window-shots ${CMAKE_SOURCE_DIR}/ui/window_shots.cpp)
  target_link_libraries(ravuone-window-shots PRIVATE ravu_windows)
endif()
