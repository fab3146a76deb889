# The skin and wink tests (Windows): small skin libraries and wink files of their
# own, a stand-in player, and the test program. Included by pinora/CMakeLists.txt.
set(skins_testdata ${CMAKE_CURRENT_BINARY_DIR}/skins-testdata)
set(skins_testdata_src ${CMAKE_CURRENT_LIST_DIR}/data)

set(skins_testdata_targets)
foreach(entry alpha:alpha.dll beta:beta.dll plain:plain.dll nameless:nameless.dll
              wink_a:a.ewf wink_b:b.ewf wink_nomovie:nomovie.ewf)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 src)
  list(GET parts 1 out)
  pinora_resource_dll(testres_${src} ${skins_testdata_src}/${src}.rc FILE ${out} DESTINATION ${skins_testdata})
  # The previews are the shipped skins' pictures.
  target_include_directories(testres_${src} PRIVATE ${PROJECT_SOURCE_DIR}/resources/skins)
  list(APPEND skins_testdata_targets testres_${src})
endforeach()

add_executable(fake_vekflash ${skins_testdata_src}/FakeVekFlash.cpp)
set_target_properties(fake_vekflash PROPERTIES OUTPUT_NAME VekFlash RUNTIME_OUTPUT_DIRECTORY ${skins_testdata})

pinora_test(pinora_skins_tests
  SOURCES ${core}/tests/WinTestMain.cpp ${core}/tests/CataloguesTest.cpp ${core}/tests/WinkPlayerTest.cpp
          ${core}/tests/SkinsTest.cpp ${features}/tests/SkinChooserTest.cpp
  LIBS pinora_win tabulo_core)
add_dependencies(pinora_skins_tests DoRoRaz fake_vekflash ${skins_testdata_targets})
if(TARGET pinora_skins)
  add_dependencies(pinora_skins_tests pinora_skins)  # the shipped skins are checked too
endif()
target_include_directories(pinora_skins_tests PRIVATE ${core}/tests)
target_compile_definitions(pinora_skins_tests PRIVATE PINORA_DIST_DIR="Z:${PINORA_DIST}"
  PINORA_SKINS_TESTDATA="Z:${skins_testdata}")
