# pnwhen run as a user would, its output compared line by line.
function(pnwhen_case name expected_exit expected)
  add_test(NAME pnwhen_${name}
    COMMAND ${CMAKE_COMMAND} -DPNWHEN=$<TARGET_FILE:pnwhen> "-DEXPECTED=${expected}"
            -DEXPECTED_EXIT=${expected_exit} "-DARGS=${ARGN}" -P ${CMAKE_CURRENT_LIST_DIR}/tests/RunPnwhen.cmake)
endfunction()

pnwhen_case(one_phrase 0 "due=2026-12-08T09:30 repeat=none text=\"dentist\""
  --now 2026-12-07T19:00 "dentist tomorrow 9:30")
pnwhen_case(words_as_arguments 0 "due=2026-12-07T19:20 repeat=none text=\"call Ann\""
  --now 2026-12-07T19:00 call Ann in 20 min)
pnwhen_case(no_time 0 "none" --now 2026-12-07T19:00 "call 555-1234 later")
pnwhen_case(month_first 0 "due=2026-12-15T09:00 repeat=none text=\"haircut\""
  --now 2026-12-07T19:00 --dates mdy "haircut on 12/15")
pnwhen_case(weekly_until 0 "due=2026-12-10T10:00 repeat=weekly:MO,TH..2026-12-31 text=\"gym\""
  --now 2026-12-07T19:00 "every mon and thu at 10 until 31 dec gym")
pnwhen_case(bad_now 2 "" --now 2026-02-30T19:00 "tomorrow")
pnwhen_case(bad_order 2 "" --dates dym "tomorrow")
# A list of phrases on the standard input, one answer per line.
add_test(NAME pnwhen_phrase_list
  COMMAND ${CMAKE_COMMAND} -DPNWHEN=$<TARGET_FILE:pnwhen> -DEXPECTED_EXIT=0
          -DINPUT=${CMAKE_CURRENT_LIST_DIR}/tests/phrases.txt
          -DEXPECTED_FILE=${CMAKE_CURRENT_LIST_DIR}/tests/phrases.expected
          "-DARGS=--now;2026-12-07T19:00" -P ${CMAKE_CURRENT_LIST_DIR}/tests/RunPnwhen.cmake)
