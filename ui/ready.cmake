# Whether everything the main window is built on exists yet: the board and
# the record.  Included by ui/, tests/ui/ and bench/ui/ so the three agree.
# The settings, start-up and built-in pictures (ravu_app) are linked when
# that library exists; the program itself needs it.
set(RAVU_UI_READY OFF)
if(RAVU_WITH_QT
   AND EXISTS ${CMAKE_SOURCE_DIR}/game/board.h
   AND EXISTS ${CMAKE_SOURCE_DIR}/record/kifu.h
   AND EXISTS ${CMAKE_SOURCE_DIR}/ui/main_dlg.cpp)
  set(RAVU_UI_READY ON)
endif()
