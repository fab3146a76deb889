# Rendering speed of the shipped winks: one 300x300 frame each (target < 5 ms).
add_executable(swf_bench ${CMAKE_CURRENT_LIST_DIR}/swf_bench.cpp)
target_link_libraries(swf_bench PRIVATE swfcore benchmark::benchmark)
