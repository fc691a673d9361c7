# The board, the rules, destination lists, geometry, clocks and the declaration.  Standard library only.
add_library(ravu_game STATIC
  ${CMAKE_SOURCE_DIR}/game/board.cpp
  ${CMAKE_SOURCE_DIR}/game/clock.cpp
  ${CMAKE_SOURCE_DIR}/game/declaration.cpp
  ${CMAKE_SOURCE_DIR}/game/rules.cpp
  ${CMAKE_SOURCE_DIR}/game/dest.cpp
  ${CMAKE_SOURCE_DIR}/game/geometry.cpp
  ${CMAKE_SOURCE_DIR}/game/input.cpp
  ${CMAKE_SOURCE_DIR}/game/legal_moves.cpp
  ${CMAKE_SOURCE_DIR}/game/local_text.cpp
  ${CMAKE_SOURCE_DIR}/game/position.cpp
  ${CMAKE_SOURCE_DIR}/game/referee.cpp
  ${CMAKE_SOURCE_DIR}/game/repetition.cpp
  ${CMAKE_SOURCE_DIR}/game/sfen.cpp
  ${CMAKE_SOURCE_DIR}/game/sjis.cpp
)
target_include_directories(ravu_game PUBLIC ${CMAKE_SOURCE_DIR})
ravu_sjis_literals(ravu_game)
