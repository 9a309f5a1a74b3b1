# One static library per source folder, made of every .cpp in it except the
# ones listed in EXCLUDE, or of the SOURCES given.
function(tessaloom_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE;SOURCES" ${ARGN})
  if(ARG_SOURCES)
    set(src ${ARG_SOURCES})
  else()
    file(GLOB src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  foreach(ex ${ARG_EXCLUDE})
    list(FILTER src EXCLUDE REGEX "/${ex}$")
  endforeach()
  add_library(${name} STATIC ${src})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} platform)
endfunction()

# One GoogleTest executable per test folder, linked with the headless platform
# and the helpers tests share with the tools (tools/support).
function(tessaloom_test_folder folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT src)
    return()
  endif()
  set(exe tests_${folder})
  add_executable(${exe} ${src})
  target_link_libraries(${exe} PRIVATE ${ARG_DEPS} support platform_headless platform GTest::gtest GTest::gmock GTest::gtest_main Threads::Threads)
  # Tests find their data in the source tree by this absolute path: __FILE__
  # may be relative (ccache with a base directory makes it so), and tests
  # change their working directory.
  target_compile_definitions(${exe} PRIVATE TESSALOOM_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  gtest_discover_tests(${exe} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
endfunction()
