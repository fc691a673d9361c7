# The settings file and the skin file check.  Standard library only.
add_library(ravu_app_model STATIC
  ${CMAKE_SOURCE_DIR}/app/atomic_file.cpp
  ${CMAKE_SOURCE_DIR}/app/ini.cpp
  ${CMAKE_SOURCE_DIR}/app/settings.cpp
  ${CMAKE_SOURCE_DIR}/app/skin_files.cpp
)
target_include_directories(ravu_app_model PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_app_model PUBLIC ravu_game)  # the Shift-JIS character rules
ravu_sjis_literals(ravu_app_model)
