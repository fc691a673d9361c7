# Start-up, a record file handed from a second copy, the built-in resources
# and the piece sound: library ravu_app.
# RAVU_RESOURCES_QRC is the resource list for anyone who wants the files
# themselves; linking ravu_app already makes them available (InitResources).
set(RAVU_RESOURCES_QRC ${CMAKE_SOURCE_DIR}/res/resources.qrc)

find_package(Qt6 6.4 QUIET COMPONENTS Multimedia)

add_library(ravu_app STATIC
  app/shogi_app.cpp
  app/hand_off.h app/hand_off.cpp
  app/quit_signal.h app/quit_signal.cpp
  app/language.h app/language.cpp
  app/piece_sound.cpp
  ${RAVU_RESOURCES_QRC}
)
set_target_properties(ravu_app PROPERTIES AUTORCC ON AUTOMOC ON)
target_include_directories(ravu_app PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_app PUBLIC ravu_app_model ravu_game ravu_text Qt6::Core Qt6::Gui Qt6::Widgets
  Qt6::Network)
if(TARGET Qt6::Multimedia)
  target_link_libraries(ravu_app PUBLIC Qt6::Multimedia)
  target_compile_definitions(ravu_app PRIVATE RAVU_HAVE_MULTIMEDIA=1)
endif()

# A USI engine as a child process, and a record analysed on one.
add_library(ravu_engine STATIC
  app/usi_engine.h app/usi_engine.cpp
  app/record_analyzer.h app/record_analyzer.cpp
)
set_target_properties(ravu_engine PROPERTIES AUTOMOC ON)
target_include_directories(ravu_engine PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_engine PUBLIC ravu_record Qt6::Core)
