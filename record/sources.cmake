list(APPEND RAVU_MODEL_SOURCES
  record/notation.cpp
  record/kifu.cpp
  record/kifu_control.cpp
  record/kif_writer.cpp
  record/kif_reader.cpp
  record/kifu_nav.cpp
)
