# Third-party libraries built from the sources scripts/setup unpacks into the
# cache (keep the names in step with the pins there). Linked statically, not
# held to our warnings, and optimised even in debug builds.
if(DEFINED ENV{PINORA_CACHE} AND NOT "$ENV{PINORA_CACHE}" STREQUAL "")
  set(pinora_cache $ENV{PINORA_CACHE})
else()
  get_filename_component(pinora_cache ${CMAKE_CURRENT_LIST_DIR}/../.cache ABSOLUTE)
endif()

function(pinora_require_source dir file)
  if(NOT EXISTS ${dir}/${file})
    message(FATAL_ERROR "Third-party sources missing in ${dir}: run scripts/setup")
  endif()
endfunction()

# SQLite, the official amalgamation: the password box's database and the sync state.
set(PINORA_SQLITE_DIR ${pinora_cache}/sqlite-autoconf-3520000 CACHE PATH "the SQLite amalgamation")
pinora_require_source(${PINORA_SQLITE_DIR} sqlite3.c)
add_library(pnsqlite STATIC ${PINORA_SQLITE_DIR}/sqlite3.c)
target_include_directories(pnsqlite SYSTEM PUBLIC ${PINORA_SQLITE_DIR})
target_compile_definitions(pnsqlite PRIVATE
  SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_OMIT_DEPRECATED)
target_compile_options(pnsqlite PRIVATE -w -O2)
if(NOT WIN32)
  find_package(Threads REQUIRED)
  target_link_libraries(pnsqlite PUBLIC Threads::Threads m)
endif()

# Argon2, the reference implementation (the SSE2 variant every x86-64 has).
# One thread: the password box derives its key on a worker thread of its own,
# and lanes beyond one are computed in turn.
set(PINORA_ARGON2_DIR ${pinora_cache}/argon2-0.45.1 CACHE PATH "the Argon2 reference sources")
pinora_require_source(${PINORA_ARGON2_DIR} src/argon2.c)
add_library(pnargon2 STATIC
  ${PINORA_ARGON2_DIR}/src/argon2.c
  ${PINORA_ARGON2_DIR}/src/core.c
  ${PINORA_ARGON2_DIR}/src/encoding.c
  ${PINORA_ARGON2_DIR}/src/opt.c
  ${PINORA_ARGON2_DIR}/src/blake2/blake2b.c)
target_include_directories(pnargon2 SYSTEM PUBLIC ${PINORA_ARGON2_DIR}/include)
target_include_directories(pnargon2 PRIVATE ${PINORA_ARGON2_DIR}/src)
target_compile_definitions(pnargon2 PUBLIC ARGON2_NO_THREADS)
target_compile_options(pnargon2 PRIVATE -w -O2)
