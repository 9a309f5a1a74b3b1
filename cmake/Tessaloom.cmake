# One static library per source folder, made of every .cpp in it except the
# ones listed in EXCLUDE. A folder without sources yet gives an interface
# library, so the tree builds while folders fill up.
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
  if(src)
    add_library(${name} STATIC ${src})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS} platform)
  else()
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS} platform)
  endif()
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
  gtest_discover_tests(${exe} WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES LABELS unit DISCOVERY_TIMEOUT 60)
endfunction()
