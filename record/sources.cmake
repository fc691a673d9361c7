# The record tree, notation and KIF.  Standard library only.
add_library(ravu_record STATIC
  ${CMAKE_SOURCE_DIR}/record/notation.cpp
  ${CMAKE_SOURCE_DIR}/record/kifu.cpp
  ${CMAKE_SOURCE_DIR}/record/kifu_control.cpp
  ${CMAKE_SOURCE_DIR}/record/kif_writer.cpp
  ${CMAKE_SOURCE_DIR}/record/kif_move.cpp
  ${CMAKE_SOURCE_DIR}/record/move_tracker.cpp
  ${CMAKE_SOURCE_DIR}/record/start_position.cpp
  ${CMAKE_SOURCE_DIR}/record/kif_reader.cpp
  ${CMAKE_SOURCE_DIR}/record/csa_reader.cpp
  ${CMAKE_SOURCE_DIR}/record/csa_writer.cpp
  ${CMAKE_SOURCE_DIR}/record/sfen_reader.cpp
  ${CMAKE_SOURCE_DIR}/record/sfen_writer.cpp
  ${CMAKE_SOURCE_DIR}/record/usi_line.cpp
  ${CMAKE_SOURCE_DIR}/record/analysis.cpp
  ${CMAKE_SOURCE_DIR}/record/ki2_reader.cpp
  ${CMAKE_SOURCE_DIR}/record/typed_move.cpp
  ${CMAKE_SOURCE_DIR}/record/list_notation.cpp
  ${CMAKE_SOURCE_DIR}/record/kifu_nav.cpp
  ${CMAKE_SOURCE_DIR}/record/record_path.cpp
)
target_include_directories(ravu_record PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(ravu_record PUBLIC ravu_game)
ravu_sjis_literals(ravu_record)
