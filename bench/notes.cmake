# The diary search over ten years of day files, beside grep (notes_vs_grep.sh).
if(WIN32)
  add_executable(notes_wine_bench ${CMAKE_CURRENT_LIST_DIR}/notes_wine_bench.cpp)
  target_link_libraries(notes_wine_bench PRIVATE feature_notes)
  add_dependencies(notes_wine_bench DoRoRaz)
else()
  add_executable(notes_search_bench ${CMAKE_CURRENT_LIST_DIR}/notes_search_bench.cpp)
  target_link_libraries(notes_search_bench PRIVATE feature_notes_portable benchmark::benchmark)
endif()
