# Windows trees: the shipped Vombly.exe (x86_64 or i686, -win32 threads) and,
# with VOMBLY_TESTS, the Windows tests that run under Wine (-posix threads).
enable_language(RC)
option(VOMBLY_TESTS "Build the Windows tests" OFF)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
enable_testing()

# Test executables run under Wine in this build's own prefix and display,
# which the Wine session (tools/wine-session) sets up.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec ${CMAKE_BINARY_DIR})
# The desktop-driving tests (journeys, drills, the install journey) may run
# a failed test once more; every other test runs once.
set(VOMBLY_RETRY_EMULATOR ${CMAKE_SOURCE_DIR}/tools/wine-exec --retry-once ${CMAKE_BINARY_DIR})

# Every Windows build targets XP: the headers hide later APIs.
add_compile_definitions(_WIN32_WINNT=0x0501 WINVER=0x0501 _WIN32_IE=0x0600)
set(VOMBLY_XP_LINK -Wl,--major-subsystem-version,5 -Wl,--minor-subsystem-version,1
    -Wl,--major-os-version,5 -Wl,--minor-os-version,1)
# The same sources give the same exe wherever they are built: no folder
# names in the objects and no link time in the PE header.
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
list(APPEND VOMBLY_XP_LINK -Wl,--no-insert-timestamp)

# A folder of another tree (the native tree's default files, a shipped
# tree's run folder) is named by the preset in CMakePresets.json, never
# worked out here, so that every tree finds the others where the presets put
# them.
function(vombly_tree_input var doc)
  set(${var} "" CACHE PATH "${doc}")
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set: configure with a preset (cmake --preset NAME, see "
      "CMakePresets.json) or give -D${var}=FOLDER: ${doc}.")
  endif()
endfunction()

# Icon, logo and click sound, drawn by a script so anyone can rebuild them.
set(ASSET_DIR ${CMAKE_BINARY_DIR}/assets)
set(ASSET_FILES ${ASSET_DIR}/main_icon.ico ${ASSET_DIR}/main_logo.bmp ${ASSET_DIR}/click.wav)
add_custom_command(OUTPUT ${ASSET_FILES}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/gen_assets.py ${ASSET_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/gen_assets.py
  COMMENT "Drawing the icon, logo and click sound")
add_custom_target(assets DEPENDS ${ASSET_FILES})

# The version header, the manifest and what the setup shows (read by
# tools/package), from project(VERSION) and VOMBLY_COPYRIGHT.
set(VOMBLY_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(res/version.h.in ${VOMBLY_GENERATED_DIR}/vombly_version.h @ONLY)
configure_file(res/vombly.manifest.in ${VOMBLY_GENERATED_DIR}/vombly.manifest @ONLY)
configure_file(packaging/setup.nsh.in ${VOMBLY_GENERATED_DIR}/vombly_setup.nsh @ONLY)

# The resources as an object library, linked into the exe and the tests.
add_library(vombly_res OBJECT res/vombly.rc)
target_include_directories(vombly_res PRIVATE ${CMAKE_SOURCE_DIR}/res ${VOMBLY_GENERATED_DIR} ${ASSET_DIR})
set_source_files_properties(res/vombly.rc PROPERTIES OBJECT_DEPENDS
  "${ASSET_FILES};${CMAKE_SOURCE_DIR}/res/resource.h;${VOMBLY_GENERATED_DIR}/vombly_version.h;${VOMBLY_GENERATED_DIR}/vombly.manifest")
add_dependencies(vombly_res assets)

# One library per folder, each linking only the floors below it.
foreach(folder core system store view dialogs shell app)
  add_subdirectory(${folder})
endforeach()

if(NOT VOMBLY_TESTS)
  add_executable(Vombly WIN32 app/main.cpp $<TARGET_OBJECTS:vombly_res>)
  target_compile_options(Vombly PRIVATE ${VOMBLY_WARNINGS})
  target_link_libraries(Vombly PRIVATE vombly_app)
  target_link_options(Vombly PRIVATE ${VOMBLY_XP_LINK} -mwindows -s)

  # The run folder: the exe beside the four default files that seed a new
  # data folder (written by the native tree's make_defaults).
  vombly_tree_input(VOMBLY_DEFAULTS_DIR "the folder of the four default files that the native tree's make_defaults writes")
  set(VOMBLY_RUN_DIR ${CMAKE_BINARY_DIR}/run)
  add_custom_command(TARGET Vombly POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VOMBLY_RUN_DIR}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:Vombly> ${VOMBLY_RUN_DIR}/
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
      ${VOMBLY_DEFAULTS_DIR}/Vombly.cfg ${VOMBLY_DEFAULTS_DIR}/Vombly1.dat
      ${VOMBLY_DEFAULTS_DIR}/Vombly2.dat ${VOMBLY_DEFAULTS_DIR}/Vombly3.dat ${VOMBLY_RUN_DIR}/
    COMMENT "Laying out the run folder")

  # The shipped exe imports only system DLLs and nothing XP lacks; the
  # drawn assets are well-formed.
  add_test(NAME imports.${CMAKE_SYSTEM_PROCESSOR}
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-imports ${CMAKE_OBJDUMP} $<TARGET_FILE:Vombly>)
  add_test(NAME assets.${CMAKE_SYSTEM_PROCESSOR}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/check_assets.py ${ASSET_DIR})
  set_tests_properties(imports.${CMAKE_SYSTEM_PROCESSOR} PROPERTIES LABELS imports)
  set_tests_properties(assets.${CMAKE_SYSTEM_PROCESSOR} PROPERTIES LABELS assets)
else()
  # Called at the end of each test folder: 77 means that the tree's session
  # found no 32-bit support (tools/wine-session) and the test is reported as
  # skipped; the i686 tree's labels end in 32 (win32, e2e32, drill32,
  # install32, wine32).
  function(vombly_mark_tree_tests)
    get_property(tests DIRECTORY PROPERTY TESTS)
    foreach(test ${tests})
      set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE 77)
      if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        get_test_property(${test} LABELS labels)
        if(labels)
          list(TRANSFORM labels APPEND 32)
          set_tests_properties(${test} PROPERTIES LABELS "${labels}")
        endif()
      endif()
    endforeach()
  endfunction()

  # The prefix's kind, read by tools/wine-session: the i686 tests run in a
  # 32-bit prefix that says it is Windows XP, the oldest Windows we support.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    file(WRITE ${CMAKE_BINARY_DIR}/wine-prefix.kind "win32 winxp\n")
  else()
    file(WRITE ${CMAKE_BINARY_DIR}/wine-prefix.kind "win64\n")
  endif()

  # ./test runs every tree in one ctest run, where fixture and test names
  # are one namespace (ctest ran the journeys and drills of one tree only
  # where both had them under one name): the i686 tree's fixtures, journeys
  # and drills carry "32".
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(VOMBLY_FIXTURE_SUFFIX 32)
  else()
    set(VOMBLY_FIXTURE_SUFFIX "")
  endif()

  # The setup the install journey and the drills that run it install: the
  # shipped one, made by the install.setup fixture (tests/e2e).
  set(VOMBLY_TEST_SETUP ${CMAKE_BINARY_DIR}/install/Vombly-${PROJECT_VERSION}-setup.exe)

  # Every test that runs under Wine requires the tree's wine_session fixture: the
  # session is started (and its first program run) before them and stopped
  # after them, also when ctest runs only some of them.
  add_test(NAME wine${VOMBLY_FIXTURE_SUFFIX}.session-up
    COMMAND ${CMAKE_COMMAND} -E env VOMBLY_XVFB=1 ${CMAKE_SOURCE_DIR}/tools/wine-session start ${CMAKE_BINARY_DIR})
  add_test(NAME wine${VOMBLY_FIXTURE_SUFFIX}.session-down
    COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-session stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine${VOMBLY_FIXTURE_SUFFIX}.session-up PROPERTIES TIMEOUT 1500 RUN_SERIAL TRUE LABELS wine
    FIXTURES_SETUP wine_session${VOMBLY_FIXTURE_SUFFIX})
  set_tests_properties(wine${VOMBLY_FIXTURE_SUFFIX}.session-down PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE LABELS wine
    FIXTURES_CLEANUP wine_session${VOMBLY_FIXTURE_SUFFIX})
  # What the tests take from the shipped trees: the run folder whose exe the
  # journeys and drills start (this tree's processor), and the two run
  # folders the install journey's setup packs.
  vombly_tree_input(VOMBLY_RUN_DIR "the run folder of the shipped Vombly.exe that the journeys and drills start")
  vombly_tree_input(VOMBLY_WIN64_RUN_DIR "the x86_64 run folder that the install journey's setup packs")
  vombly_tree_input(VOMBLY_WIN32_RUN_DIR "the i686 run folder that the install journey's setup packs")

  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/win)
  add_subdirectory(tests/e2e)
  add_subdirectory(tests/drill)
  # The other display scales need a session each; the x86_64 tree proves
  # them, as the layout code is the same for both.
  if(NOT CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    add_subdirectory(tests/dpi)
  endif()

  # The session ends only after every other test of the tree, also one that
  # runs under Wine without asking for the session.
  set(VOMBLY_TREE_TESTS)
  get_property(VOMBLY_TEST_DIRS DIRECTORY PROPERTY SUBDIRECTORIES)
  foreach(dir ${VOMBLY_TEST_DIRS})
    get_property(dir_tests DIRECTORY ${dir} PROPERTY TESTS)
    list(APPEND VOMBLY_TREE_TESTS ${dir_tests})
  endforeach()
  set_tests_properties(wine${VOMBLY_FIXTURE_SUFFIX}.session-down PROPERTIES DEPENDS "${VOMBLY_TREE_TESTS}")

  vombly_mark_tree_tests()
endif()
