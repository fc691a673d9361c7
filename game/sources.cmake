list(APPEND RAVU_MODEL_SOURCES
  game/board.cpp
  game/rules.cpp
  game/dest.cpp
  game/geometry.cpp
  game/input.cpp
  game/sjis.cpp
)
