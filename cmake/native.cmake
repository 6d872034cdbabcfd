# Native tree: the portable byte formats and the program's window-free rules,
# their tests under sanitizers, the fuzz targets and the default-file
# generator.
enable_testing()

set(VOMBLY_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

# The core under the sanitizers and, with clang, the fuzzers' coverage
# instrumentation, so that the tests and the fuzz targets link one build.
set(VOMBLY_CORE_COMPILE_FLAGS ${VOMBLY_SANITIZE})
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  list(APPEND VOMBLY_CORE_COMPILE_FLAGS -fsanitize=fuzzer-no-link)
endif()
set(VOMBLY_CORE_LINK_FLAGS ${VOMBLY_SANITIZE})
add_subdirectory(core)

# The four default files that seed a new data folder; they sit beside the
# shipped exe in the run folder.
add_executable(make_defaults tools/make_defaults.cpp)
target_link_libraries(make_defaults PRIVATE vombly_core)
target_compile_options(make_defaults PRIVATE ${VOMBLY_WARNINGS})
set(VOMBLY_DEFAULTS_DIR ${CMAKE_BINARY_DIR}/defaults)
set(VOMBLY_DEFAULT_FILES
  ${VOMBLY_DEFAULTS_DIR}/Vombly.cfg ${VOMBLY_DEFAULTS_DIR}/Vombly1.dat
  ${VOMBLY_DEFAULTS_DIR}/Vombly2.dat ${VOMBLY_DEFAULTS_DIR}/Vombly3.dat)
add_custom_command(OUTPUT ${VOMBLY_DEFAULT_FILES}
  COMMAND make_defaults ${VOMBLY_DEFAULTS_DIR}
  DEPENDS make_defaults
  COMMENT "Writing the default settings and list files")
add_custom_target(default_files ALL DEPENDS ${VOMBLY_DEFAULT_FILES})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  target_compile_options(${t} PRIVATE ${VOMBLY_SANITIZE})
endforeach()

add_subdirectory(tests/native)

if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  add_subdirectory(tests/fuzz)
endif()

add_subdirectory(bench)

# Release checks: the manifest Windows reads, the portable zip's writer, and
# (label repro, slow: two whole builds) the release folder built twice in
# different places and compared byte for byte.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
configure_file(${CMAKE_SOURCE_DIR}/res/vombly.manifest.in ${CMAKE_BINARY_DIR}/generated/vombly.manifest @ONLY)
add_test(NAME manifest COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_manifest.py
  ${CMAKE_BINARY_DIR}/generated/vombly.manifest)
# The folders keep their floors: no include runs back up.
add_test(NAME floors COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check-floors ${CMAKE_SOURCE_DIR})
# The test runner's own start retry, against a stand-in for wine.
add_test(NAME wine_exec COMMAND bash ${CMAKE_SOURCE_DIR}/tests/tools/wine_exec_test.sh)
add_test(NAME portable_zip COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/packaging/portable_zip_test.py)
add_test(NAME repro COMMAND ${CMAKE_SOURCE_DIR}/tools/check-repro ${CMAKE_BINARY_DIR}/repro)
# Two whole builds take both cores; nothing else runs beside them.
set_tests_properties(repro PROPERTIES LABELS repro TIMEOUT 3600 RUN_SERIAL TRUE)
