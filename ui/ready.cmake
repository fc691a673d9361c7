# Whether everything the main window is built on exists yet: the board and
# the record, the application library (settings, start-up, built-in pictures,
# piece sound) and the sockets (ravu_net).  Included by ui/, tests/ui/ and bench/ui/ so the three agree.
set(RAVU_UI_READY OFF)
if(RAVU_WITH_QT AND TARGET ravu_app AND TARGET ravu_net
   AND EXISTS ${CMAKE_SOURCE_DIR}/game/board.h
   AND EXISTS ${CMAKE_SOURCE_DIR}/record/kifu.h
   AND EXISTS ${CMAKE_SOURCE_DIR}/ui/main_dlg.cpp)
  set(RAVU_UI_READY ON)
endif()
