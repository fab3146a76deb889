# The phrase reader over its whole test table (host): build/host/bench/phrases_bench
add_executable(phrases_bench ${CMAKE_CURRENT_LIST_DIR}/phrases_bench.cpp)
target_link_libraries(phrases_bench PRIVATE pinora_core benchmark::benchmark)
target_include_directories(phrases_bench PRIVATE ${PROJECT_SOURCE_DIR}/pinora/core/tests)
