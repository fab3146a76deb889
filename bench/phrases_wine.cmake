# A reminder typed into the real quick-note box under Wine, from Enter to the
# balloon: scripts/wine build/windows/bench/phrases_wine_bench.exe Z:<dist folder>
add_executable(phrases_wine_bench ${CMAKE_CURRENT_LIST_DIR}/phrases_wine_bench.cpp)
target_link_libraries(phrases_wine_bench PRIVATE pinora_app)
pinora_uses_pnhook(phrases_wine_bench)
add_dependencies(phrases_wine_bench DoRoRaz)
target_link_libraries(phrases_wine_bench PRIVATE ole32 comctl32)
