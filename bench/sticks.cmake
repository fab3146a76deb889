# The scheduler's pass and the today window's list over a large alarm table,
# against a plain read of the same file.
add_executable(sticks_bench ${CMAKE_CURRENT_LIST_DIR}/sticks_bench.cpp)
target_link_libraries(sticks_bench PRIVATE pinora_core benchmark::benchmark)
