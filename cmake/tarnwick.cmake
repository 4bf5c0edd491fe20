# Build helpers shared by every deliverable.
#
# Inside a wheel build (scikit-build-core sets SKBUILD) extension modules are
# installed at their package path. In a plain CMake build they are written to
# ${CMAKE_BINARY_DIR}/pkg/<package path>, next to symlinks of the pure-Python
# sources, so `PYTHONPATH=<build>/pkg` gives a complete importable package
# without touching the source tree.

set(TARNWICK_DEV_PACKAGE_DIR "${CMAKE_BINARY_DIR}/pkg")

# tarnwick_python_module(<target> PACKAGE <tarnwick/...> NAME <module> SOURCES ... LIBS ...)
function(tarnwick_python_module target)
  cmake_parse_arguments(ARG "" "PACKAGE;NAME" "SOURCES;LIBS" ${ARGN})
  nanobind_add_module(${target} NB_STATIC ${ARG_SOURCES})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${ARG_NAME})
  target_link_libraries(${target} PRIVATE tarnwick_python ${ARG_LIBS})
  if(DEFINED SKBUILD)
    install(TARGETS ${target} LIBRARY DESTINATION ${ARG_PACKAGE})
  else()
    set_target_properties(${target} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY "${TARNWICK_DEV_PACKAGE_DIR}/${ARG_PACKAGE}")
  endif()
endfunction()

# tarnwick_cpp_test(<target> SOURCES ... LIBS ...)
function(tarnwick_cpp_test target)
  if(NOT TARNWICK_TESTS)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60)
endfunction()

# Mirror python/tarnwick/**.py into the dev package directory as symlinks.
function(tarnwick_link_python_sources)
  if(DEFINED SKBUILD)
    return()
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
    RELATIVE "${PROJECT_SOURCE_DIR}/python" "${PROJECT_SOURCE_DIR}/python/tarnwick/*.py")
  foreach(rel IN LISTS sources)
    get_filename_component(dir "${TARNWICK_DEV_PACKAGE_DIR}/${rel}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(CREATE_LINK "${PROJECT_SOURCE_DIR}/python/${rel}"
      "${TARNWICK_DEV_PACKAGE_DIR}/${rel}" SYMBOLIC)
  endforeach()
endfunction()
