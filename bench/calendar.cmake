# Reloading the calendar's month over a large alarm table: on the host with Google
# Benchmark, and under Wine as the program runs it (the same logic and the real
# calendar window): scripts/wine build/windows/bench/calendar_wine_bench.exe
if(WIN32)
  add_executable(calendar_wine_bench ${CMAKE_CURRENT_LIST_DIR}/calendar_wine_bench.cpp)
  target_link_libraries(calendar_wine_bench PRIVATE feature_calendar)
else()
  find_package(benchmark REQUIRED)
  add_executable(calendar_bench ${CMAKE_CURRENT_LIST_DIR}/calendar_bench.cpp)
  target_link_libraries(calendar_bench PRIVATE feature_calendar_portable benchmark::benchmark)
endif()
