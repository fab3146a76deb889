# Test data of the skin and wink tests (Windows): small skin libraries and wink
# files of their own and a stand-in player. Tests of any layer that need them call
# pinora_uses_skins_testdata(target).
set(PINORA_SKINS_TESTDATA ${CMAKE_CURRENT_BINARY_DIR}/skins-testdata CACHE INTERNAL "skin and wink test data")
set(skins_testdata_src ${CMAKE_CURRENT_LIST_DIR}/data)

set(skins_testdata_targets)
foreach(entry alpha:alpha.dll beta:beta.dll plain:plain.dll nameless:nameless.dll
              wink_a:a.ewf wink_b:b.ewf wink_nomovie:nomovie.ewf wink_pic:pic.ewf)
  string(REPLACE ":" ";" parts "${entry}")
  list(GET parts 0 src)
  list(GET parts 1 out)
  pinora_resource_dll(testres_${src} ${skins_testdata_src}/${src}.rc FILE ${out} DESTINATION ${PINORA_SKINS_TESTDATA})
  # The previews are the shipped skins' pictures.
  target_include_directories(testres_${src} PRIVATE ${PROJECT_SOURCE_DIR}/resources/skins)
  list(APPEND skins_testdata_targets testres_${src})
endforeach()

add_executable(fake_vekflash ${skins_testdata_src}/FakeVekFlash.cpp)
set_target_properties(fake_vekflash PROPERTIES OUTPUT_NAME VekFlash RUNTIME_OUTPUT_DIRECTORY ${PINORA_SKINS_TESTDATA})

add_custom_target(skins_testdata DEPENDS fake_vekflash ${skins_testdata_targets})
if(TARGET pinora_skins)
  add_dependencies(skins_testdata pinora_skins)  # the shipped skins are checked too
endif()

function(pinora_uses_skins_testdata target)
  add_dependencies(${target} skins_testdata)
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/pinora/core/tests)
  target_compile_definitions(${target} PRIVATE PINORA_SKINS_TESTDATA="Z:${PINORA_SKINS_TESTDATA}")
endfunction()
