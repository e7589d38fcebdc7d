# One static library per subsystem, built from every source file in its folder.
# Headers are included as "subsystem/name.h" from src/.
function(veltrix_library name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# A GoogleTest executable registered with CTest under one label.
#   veltrix_test(core_paths LABEL core SOURCES paths_test.cpp DEPS veltrix_core [GL] [SCREEN WxHxD] [PROPERTIES ...])
# GL tests run under their own Xvfb server (xvfb-run -a), so ctest -j stays safe; SCREEN gives
# a GL test a server of its own with that screen, whatever display is set.
function(veltrix_test name)
  cmake_parse_arguments(ARG "GL" "LABEL;SCREEN" "SOURCES;DEPS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_SCREEN)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/with-display --screen ${ARG_SCREEN}
      $<TARGET_FILE:${name}>)
  elseif(ARG_GL)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/tests/support/with-display $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL}" TIMEOUT 600
    ENVIRONMENT "VELTRIX_SOURCE_DIR=${PROJECT_SOURCE_DIR};VELTRIX_BINARY_DIR=${PROJECT_BINARY_DIR};LIBGL_ALWAYS_SOFTWARE=1;SDL_VIDEODRIVER=x11;SDL_NO_SIGNAL_HANDLERS=1")
  if(ARG_PROPERTIES)
    set_tests_properties(${name} PROPERTIES ${ARG_PROPERTIES})
  endif()
endfunction()
