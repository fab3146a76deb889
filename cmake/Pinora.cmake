# Project-wide build rules and small helpers shared by every folder.

set(PINORA_DIST ${CMAKE_BINARY_DIR}/dist CACHE INTERNAL "staged program folder")

# Compiler cache when there is one: paths are taken relative to the source tree,
# so clones and worktrees of the project share what was compiled (debug
# information may then name the folder of the first clone that compiled it).
find_program(PINORA_CCACHE ccache)
if(PINORA_CCACHE)
  foreach(lang C CXX)
    set(CMAKE_${lang}_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env CCACHE_BASEDIR=${PROJECT_SOURCE_DIR} CCACHE_NOHASHDIR=1 ${PINORA_CCACHE})
  endforeach()
endif()

if(PINORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Nothing but system DLLs beside the program: the C and C++ runtimes and
  # winpthread go into every binary.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WINVER=0x0601 _WIN32_WINNT=0x0601 WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

macro(pinora_add_googletest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Our own code is held to warnings-as-errors; the third-party sources above are not.
  add_compile_options(-Wall -Wextra -Werror -Wshadow=local -Wno-missing-field-initializers)
endmacro()

# The one version, from project(VERSION): PinoraVersion.h for the code and the
# resource scripts (target pinora_version), and the version information that
# pinora_stage gives every binary it puts into the program folder.
set(PINORA_COMMON_RESOURCES ${PROJECT_SOURCE_DIR}/resources/common)
set(PINORA_VERSION_HEADER ${CMAKE_BINARY_DIR}/generated/PinoraVersion.h)
configure_file(${PINORA_COMMON_RESOURCES}/PinoraVersion.h.in ${PINORA_VERSION_HEADER} @ONLY)
add_library(pinora_version INTERFACE)
target_include_directories(pinora_version INTERFACE ${CMAKE_BINARY_DIR}/generated)

# What each shipped file says it is (its "FileDescription"), by target. A staged
# target missing here is described by its name; pinora_resource_dll and
# pinora_stage take DESCRIPTION to say more.
set(PINORA_DESCRIPTIONS
  "Pinora|Pinora notes and reminders"
  "Tabulo|Pinora table-file library"
  "VekFlash|Pinora wink player"
  "DoRoRaz|Pinora user interface"
  "pnhook|Pinora input activity hooks"
  "PnPwdBox|Pinora password box"
  "PNPBRes|Pinora password box user interface"
  "DORORod|Pinora password box control pictures")

function(pinora_version_info target)
  set(description "Pinora ${target}")
  foreach(entry IN LISTS PINORA_DESCRIPTIONS)
    if(entry MATCHES "^${target}\\|(.*)$")
      set(description "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  get_target_property(given ${target} PINORA_DESCRIPTION)
  if(NOT given)
    set_target_properties(${target} PROPERTIES PINORA_DESCRIPTION "${description}")
  endif()
  set(PINORA_VI_TARGET ${target})
  file(READ ${PINORA_COMMON_RESOURCES}/VersionInfo.rc.in template)
  string(CONFIGURE "${template}" content @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.version.rc)
  file(GENERATE OUTPUT ${rc} CONTENT "${content}")
  # windres names no dependencies of its own: a new version rebuilds the resource.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${PINORA_VERSION_HEADER})
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${CMAKE_BINARY_DIR}/generated)
endfunction()

# A program or library that belongs in the program folder. It carries the
# version information; a program also carries the application manifest.
# Its debug information moves to build/<preset>/debug/<file>.debug, named in the
# binary by a debug link (gdb and winedbg find it there): Wine reads every
# section of a binary into memory when it loads it, so debug sections left inside
# would stay resident for as long as the program runs (5 MB of Pinora.exe's 30).
# NO_DEBUG_SPLIT for binaries that carry none (resource libraries).
#   pinora_stage(target [DESCRIPTION "what the file is"] [NO_DEBUG_SPLIT])
function(pinora_stage target)
  cmake_parse_arguments(S "NO_DEBUG_SPLIT" "DESCRIPTION" "" ${ARGN})
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${PINORA_DIST}
    ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  if(S_DESCRIPTION)
    set_target_properties(${target} PROPERTIES PINORA_DESCRIPTION "${S_DESCRIPTION}")
  endif()
  pinora_version_info(${target})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    target_sources(${target} PRIVATE ${PINORA_COMMON_RESOURCES}/Application.rc)
    set_source_files_properties(${PINORA_COMMON_RESOURCES}/Application.rc PROPERTIES
      OBJECT_DEPENDS ${PINORA_COMMON_RESOURCES}/Application.manifest)
  endif()
  set_property(GLOBAL APPEND PROPERTY PINORA_STAGED_TARGETS ${target})
  if(WIN32 AND CMAKE_OBJCOPY AND NOT S_NO_DEBUG_SPLIT)
    set(debug ${CMAKE_BINARY_DIR}/debug/$<TARGET_FILE_NAME:${target}>.debug)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/debug
      COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
      COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
      VERBATIM)
  endif()
endfunction()

# Links a program against a delay-loading import library of a system DLL (name
# as in -l<name>, e.g. comctl32): the DLL is loaded by the program's first call
# into it instead of at start-up. The import library is made from the
# toolchain's own, with every function that one imports, and is found first for
# -l<name> on the program's link line, whichever library asked for it.
function(pinora_delay_load target name)
  set(dir ${CMAKE_BINARY_DIR}/delayload/${target})
  set(lib ${dir}/lib${name}.a)
  find_library(PINORA_IMPLIB_${name} NAMES lib${name}.a ${name} REQUIRED)
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPLIB=${PINORA_IMPLIB_${name}} -DDLL=${name}.dll
            -DDEF=${dir}/${name}.def -P ${PROJECT_SOURCE_DIR}/cmake/DelayImportDef.cmake
    COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${name}.def --dllname ${name}.dll --output-delaylib ${lib}
    DEPENDS ${PINORA_IMPLIB_${name}} ${PROJECT_SOURCE_DIR}/cmake/DelayImportDef.cmake
    VERBATIM)
  add_custom_target(${target}_delayload_${name} DEPENDS ${lib})
  add_dependencies(${target} ${target}_delayload_${name})
  target_link_directories(${target} BEFORE PRIVATE ${dir})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${lib})
endfunction()

# A Windows program of the tests that handles text as the shipped programs do:
# it carries a manifest with their active code page (UTF-8) and nothing else of
# theirs (resources/common/TestProgram.manifest). Every pinora_test has it.
function(pinora_utf8_program target)
  if(WIN32)
    target_sources(${target} PRIVATE ${PINORA_COMMON_RESOURCES}/TestProgram.rc)
    set_source_files_properties(${PINORA_COMMON_RESOURCES}/TestProgram.rc PROPERTIES
      OBJECT_DEPENDS ${PINORA_COMMON_RESOURCES}/TestProgram.manifest)
  endif()
endfunction()

# A GoogleTest executable registered with ctest; under the windows preset ctest
# runs it through scripts/wine. Usage:
#   pinora_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABEL wine])
function(pinora_test name)
  cmake_parse_arguments(T "" "LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  pinora_utf8_program(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  if(NOT T_LABEL)
    if(WIN32)
      set(T_LABEL wine)
    else()
      set(T_LABEL host)
    endif()
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES LABELS ${T_LABEL} TIMEOUT 300
    ENVIRONMENT "PINORA_TEST_DIST=${PINORA_DIST}")
endfunction()

# A resource-only DLL (no code, no entry point) built from one .rc file, staged in
# the program folder. Skins, winks and test data name their file and folder:
#   pinora_resource_dll(target file.rc [FILE name.ext] [DESTINATION folder]
#                       [DESCRIPTION "what the file is"])
function(pinora_resource_dll target rcfile)
  cmake_parse_arguments(R "" "FILE;DESTINATION;DESCRIPTION" "" ${ARGN})
  add_library(${target} SHARED ${rcfile})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
  # No runtime and a zero entry point: the loader maps it and runs nothing.
  target_link_options(${target} PRIVATE -nostdlib -Wl,--entry=0 -s -Wl,--file-alignment=4096)
  if(R_DESCRIPTION)
    pinora_stage(${target} DESCRIPTION "${R_DESCRIPTION}" NO_DEBUG_SPLIT)
  else()
    pinora_stage(${target} NO_DEBUG_SPLIT)
  endif()
  if(R_FILE)
    string(REGEX REPLACE "\\.[^.]*$" "" name "${R_FILE}")
    string(REGEX MATCH "\\.[^.]*$" suffix "${R_FILE}")
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${name} SUFFIX ${suffix})
  endif()
  if(R_DESTINATION)
    set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${R_DESTINATION})
  endif()
endfunction()

# A GoogleTest program that drives windows in-process under Wine: the shared
# process set-up (OLE, a message box that answers at once, a program folder
# holding DoRoRaz.dll) from tests/support, then pinora_test. Usage as pinora_test.
function(pinora_win_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  pinora_test(${name} SOURCES ${T_SOURCES} LIBS pinora_win_test_support ${T_LIBS})
  add_dependencies(${name} DoRoRaz)
endfunction()
