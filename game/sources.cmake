list(APPEND RAVU_MODEL_SOURCES
  game/types.cpp
)
