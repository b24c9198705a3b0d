# Every test runs under Wine in a prefix of this build tree, with the module registered,
# in the Japanese locale (ANSI code page 932). `make test` supplies the display (xvfb-run).
set(KRO_PREFIX ${CMAKE_BINARY_DIR}/wine)
set(KRO_TEST_ENV
    KRO_EMPTY_PREFIX=${KRO_EMPTY_PREFIX}
    WINEPREFIX=${KRO_PREFIX}
    WINEDEBUG=-all
    WINEDLLOVERRIDES=mscoree,mshtml=
    LC_ALL=ja_JP.UTF-8
    HOME=${CMAKE_BINARY_DIR}/home)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KRO_WINE})

# GoogleTest, built with the cross compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(kro_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/ui_watcher.cpp ${CMAKE_SOURCE_DIR}/tests/support/test_files.cpp)
target_include_directories(kro_test_support PUBLIC ${CMAKE_SOURCE_DIR} ${GEN})
target_link_libraries(kro_test_support PUBLIC kro_core gtest)

set(KRO_TEST_LINK -static-libgcc -static-libstdc++ -static)

# The headers every test source reads, parsed once per program instead of once per source.
set(KRO_TEST_PCH <windows.h> <oleauto.h> <gtest/gtest.h> <string> <vector> <functional> <thread>)
# The test programs' own code needs little optimisation (the cores they test are built as
# shipped, in kro_core): -O1 builds them in half the time. With the headers precompiled, GCC 12
# warns of out-of-bounds reads in the inline wmemcpy that copies short std::wstring literals (a
# known false positive); the tests would drown in it.
set(KRO_TEST_COMPILE_OPTIONS -O1 -Wno-array-bounds -Wno-stringop-overread)

# A module with a known version record (parts of 32768 and more), beside the test programs.
add_library(version_sample SHARED ${CMAKE_SOURCE_DIR}/tests/support/version_sample.c ${CMAKE_SOURCE_DIR}/tests/support/version_sample.rc)
set_target_properties(version_sample PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(version_sample PRIVATE -static-libgcc)

# A module that holds wave resources, beside the test programs.
add_library(sound_sample SHARED ${CMAKE_SOURCE_DIR}/tests/support/sound_sample.c ${CMAKE_SOURCE_DIR}/tests/support/sound_sample.rc)
set_target_properties(sound_sample PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/support/sound_sample.rc PROPERTIES OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/tone.wav)
target_include_directories(sound_sample PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_link_options(sound_sample PRIVATE -static-libgcc)

# Prefix set-up: created once per build tree, module (re-)registered on every run.
add_test(NAME prefix_setup
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/prepare-prefix.sh ${KRO_PREFIX} ${KRO_WINE} ${KRO_DLL})
set_tests_properties(prefix_setup PROPERTIES FIXTURES_SETUP wine_prefix ENVIRONMENT "${KRO_TEST_ENV}")

# A second prefix, so that two test programs run at the same time (CTest -j 2): the tests of one
# prefix run one after another (a resource lock per prefix). The second prefix's tests run on an
# X server of their own, so that none of their windows takes the keyboard focus from a test of
# the first. Numbers apart for each architecture's tree, as both trees run at the same time.
set(KRO_PREFIX_2 ${CMAKE_BINARY_DIR}/wine2)
set(KRO_TEST_ENV_2 ${KRO_TEST_ENV})
list(FILTER KRO_TEST_ENV_2 EXCLUDE REGEX "^WINEPREFIX=")
list(APPEND KRO_TEST_ENV_2 WINEPREFIX=${KRO_PREFIX_2})
if(KRO_ARCH STREQUAL "x64")
    set(KRO_OWN_DISPLAY xvfb-run -a -n 120)
else()
    set(KRO_OWN_DISPLAY xvfb-run -a -n 140)
endif()
add_test(NAME prefix_setup_2
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/prepare-prefix.sh ${KRO_PREFIX_2} ${KRO_WINE} ${KRO_DLL})
set_tests_properties(prefix_setup_2 PROPERTIES FIXTURES_SETUP wine_prefix_2 ENVIRONMENT "${KRO_TEST_ENV_2}")

# Sound: an audio device for Wine (ALSA's null output) in the test home.
add_test(NAME audio_setup COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/audio-device.sh ${CMAKE_BINARY_DIR}/home)
set_tests_properties(audio_setup PROPERTIES FIXTURES_SETUP audio_device)

# Unit tests of the plain cores (linked in, no registration needed).
file(GLOB KRO_UNIT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${KRO_UNIT_SOURCES})
target_link_libraries(unit_tests PRIVATE kro_test_support gtest_main)
target_link_options(unit_tests PRIVATE ${KRO_TEST_LINK})
target_precompile_headers(unit_tests PRIVATE ${KRO_TEST_PCH})
target_compile_options(unit_tests PRIVATE ${KRO_TEST_COMPILE_OPTIONS})
add_dependencies(unit_tests version_sample sound_sample)
add_test(NAME unit_tests COMMAND ${KRO_OWN_DISPLAY} ${KRO_WINE} $<TARGET_FILE:unit_tests> --gtest_brief=1)

# Client tests: a separate program that creates the classes by ProgID and calls them through
# the vtable and through IDispatch, as any client would.
file(GLOB KRO_CLIENT_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/client/*.cpp)
add_executable(client_tests ${KRO_CLIENT_SOURCES})
target_link_libraries(client_tests PRIVATE kro_test_support gtest psapi version oleaut32)
target_link_options(client_tests PRIVATE ${KRO_TEST_LINK})
target_precompile_headers(client_tests PRIVATE ${KRO_TEST_PCH})
target_compile_options(client_tests PRIVATE ${KRO_TEST_COMPILE_OPTIONS})
add_dependencies(client_tests version_sample sound_sample)
target_compile_definitions(client_tests PRIVATE "KRO_DLL_PATH=L\"${KRO_DLL}\"")
add_test(NAME client_tests COMMAND client_tests --gtest_brief=1)
set_tests_properties(client_tests PROPERTIES
    FIXTURES_REQUIRED "wine_prefix;audio_device" ENVIRONMENT "${KRO_TEST_ENV}" TIMEOUT 1200 RESOURCE_LOCK prefix_1)
set_tests_properties(unit_tests PROPERTIES
    FIXTURES_REQUIRED "wine_prefix_2;audio_device" ENVIRONMENT "${KRO_TEST_ENV_2}" TIMEOUT 1200 RESOURCE_LOCK prefix_2)

# The sound player on a machine without any audio device: a home without ALSA output and no
# PulseAudio server.
set(KRO_SILENT_HOME ${CMAKE_BINARY_DIR}/home-silent)
add_test(NAME audio_none_setup COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/audio-device.sh ${KRO_SILENT_HOME} none)
set_tests_properties(audio_none_setup PROPERTIES FIXTURES_SETUP no_audio_device)
set(KRO_SILENT_ENV ${KRO_TEST_ENV})
list(FILTER KRO_SILENT_ENV EXCLUDE REGEX "^HOME=")
list(APPEND KRO_SILENT_ENV HOME=${KRO_SILENT_HOME} PULSE_SERVER=unix:${KRO_SILENT_HOME}/no-server KRO_TEST_AUDIO=none)
add_test(NAME sound_without_device COMMAND client_tests --gtest_brief=1 --gtest_filter=DirectSoundWithoutDevice.*)
set_tests_properties(sound_without_device PROPERTIES
    FIXTURES_REQUIRED "wine_prefix;no_audio_device" ENVIRONMENT "${KRO_SILENT_ENV}" TIMEOUT 300 RESOURCE_LOCK prefix_1)

# Screenshots of the library's windows for the documentation (x64 only: one set is enough).
if(KRO_ARCH STREQUAL "x64")
    add_test(NAME screenshots
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/take-screenshots.sh ${KRO_WINE} ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/images)
    set_tests_properties(screenshots PROPERTIES
        FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${KRO_TEST_ENV}" TIMEOUT 300 DEPENDS client_tests
        RESOURCE_LOCK prefix_1)
endif()

# Script tests: each tests/scripts/*.vbs runs in cscript and ends with "N passed, M failed"; in
# the second prefix, beside the client tests.
file(GLOB KRO_SCRIPT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scripts/*.vbs)
foreach(script ${KRO_SCRIPT_TESTS})
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME script_${name}
        COMMAND ${KRO_OWN_DISPLAY} sh ${CMAKE_SOURCE_DIR}/tests/support/run-vbs.sh ${KRO_WINE} ${script} ${CMAKE_BINARY_DIR}/scripts)
    set_tests_properties(script_${name} PROPERTIES
        FIXTURES_REQUIRED "wine_prefix_2;audio_device" ENVIRONMENT "${KRO_TEST_ENV_2}" TIMEOUT 600 RESOURCE_LOCK prefix_2
        PASS_REGULAR_EXPRESSION "[0-9]+ passed, 0 failed"
        FAIL_REGULAR_EXPRESSION "[1-9][0-9]* failed")
endforeach()

# The hostile-argument sweep: every member of every class of the type library, late-bound and
# through the vtable, one child process per class (a crash or hang is reported, not fatal).
# The debugger is switched off so that a crashing child ends at once, and the desktop-menu
# builder that Wine starts for every saved shortcut file too (it would take a second a call).
add_executable(sweep ${CMAKE_SOURCE_DIR}/tests/sweep/sweep.cpp)
target_compile_definitions(sweep PRIVATE UNICODE _UNICODE)
target_link_libraries(sweep PRIVATE ole32 oleaut32 uuid user32)
target_link_options(sweep PRIVATE -municode ${KRO_TEST_LINK})
add_test(NAME hostile_sweep COMMAND sweep ${KRO_DLL})
set(KRO_SWEEP_ENV ${KRO_TEST_ENV})
list(FILTER KRO_SWEEP_ENV EXCLUDE REGEX "^WINEDLLOVERRIDES=")
list(APPEND KRO_SWEEP_ENV "WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe,winemenubuilder.exe=d")
set_tests_properties(hostile_sweep PROPERTIES
    FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${KRO_SWEEP_ENV}" TIMEOUT 1200 RESOURCE_LOCK prefix_1
    PASS_REGULAR_EXPRESSION "sweep: [0-9]+ classes in [0-9.]+ s, 0 failed")
