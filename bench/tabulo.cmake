# Table-file throughput: appending, field and record reads over tables shaped
# like the alarm table, against a plain block read of the same file.
add_executable(tabulo_bench ${CMAKE_CURRENT_LIST_DIR}/tabulo_bench.cpp)
target_link_libraries(tabulo_bench PRIVATE tabulo_core benchmark::benchmark)
