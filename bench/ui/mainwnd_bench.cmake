# Timings of the main window's drawing and its start-up (a measuring program).
add_executable(bench_ui ${CMAKE_CURRENT_SOURCE_DIR}/bench_ui.cpp)
target_link_libraries(bench_ui PRIVATE ravu_windows Qt6::Test)
target_compile_definitions(bench_ui PRIVATE RAVU_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  RAVU_PROGRAM="$<TARGET_FILE:ravuone>")
add_dependencies(bench_ui ravuone)
