# What is shipped, tested as a user meets it: the examples, use without registration, and (in the
# x64 tree, which runs both architectures' hosts) the release package.

# The examples of examples/ run in the test prefix (module registered).
file(GLOB KRO_EXAMPLES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/examples/*.vbs ${CMAKE_SOURCE_DIR}/examples/*.js)
foreach(example ${KRO_EXAMPLES})
    get_filename_component(name ${example} NAME_WE)
    add_test(NAME example_${name}
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/run-example.sh ${KRO_WINE} ${example} ${CMAKE_BINARY_DIR}/examples)
    set_tests_properties(example_${name} PROPERTIES
        FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${KRO_TEST_ENV}" RESOURCE_LOCK prefix_1
        TIMEOUT 300 PASS_REGULAR_EXPRESSION "All done\\.")
endforeach()

# The usage guide's VBScript and JScript snippets, so that the guide keeps matching the library.
add_test(NAME guide_snippets
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/guide-snippets.sh ${KRO_WINE} ${CMAKE_SOURCE_DIR}/docs/usage.md ${CMAKE_BINARY_DIR}/snippets)
set_tests_properties(guide_snippets PROPERTIES
    FIXTURES_REQUIRED wine_prefix ENVIRONMENT "${KRO_TEST_ENV}" RESOURCE_LOCK prefix_1
    TIMEOUT 300 PASS_REGULAR_EXPRESSION "snippets: [1-9][0-9]* run, 0 failed")

# The tests below run in fresh prefixes of their own.
set(KRO_FRESH_ENV WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 HOME=${CMAKE_BINARY_DIR}/home KRO_EMPTY_PREFIX=${KRO_EMPTY_PREFIX})

# Use without registration, in a fresh prefix of its own.
add_executable(regfree_client ${CMAKE_SOURCE_DIR}/tests/regfree/regfree_client.cpp ${GEN}/kroProgramDll_i.c)
add_dependencies(regfree_client kro_idl)
target_include_directories(regfree_client PRIVATE ${CMAKE_SOURCE_DIR} ${GEN})
target_compile_definitions(regfree_client PRIVATE UNICODE _UNICODE)
target_link_libraries(regfree_client PRIVATE ole32 oleaut32 uuid)
target_link_options(regfree_client PRIVATE -municode ${KRO_TEST_LINK})
add_test(NAME regfree
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/regfree-test.sh ${KRO_WINE} $<TARGET_FILE:regfree_client> ${KRO_DIST} ${CMAKE_BINARY_DIR}/regfree)
set_tests_properties(regfree PROPERTIES
    ENVIRONMENT "${KRO_FRESH_ENV}"
    TIMEOUT 600 PASS_REGULAR_EXPRESSION "regfree: all checks passed")

if(KRO_ARCH STREQUAL "x64")
    add_test(NAME package
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/package-test.sh
            ${CMAKE_SOURCE_DIR}/dist/${KRO_PACKAGE_NAME}-${KRO_VERSION}.zip ${CMAKE_BINARY_DIR}/package)
    set_tests_properties(package PROPERTIES
        ENVIRONMENT "${KRO_FRESH_ENV}"
        TIMEOUT 900 PASS_REGULAR_EXPRESSION "package: 0 failed")
endif()

# The Windows Installer package: upgrade, every class from both hosts, clean removal.
if(KRO_ARCH STREQUAL "x64")
    add_test(NAME installer
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/installer-test.sh ${CMAKE_SOURCE_DIR}
            ${CMAKE_SOURCE_DIR}/dist/${KRO_PACKAGE_NAME}-${KRO_VERSION}.msi ${CMAKE_BINARY_DIR}/installer)
    set_tests_properties(installer PROPERTIES
        ENVIRONMENT "${KRO_FRESH_ENV}" TIMEOUT 600 PASS_REGULAR_EXPRESSION "installer: 0 failed")
endif()

# Both modules registered side by side (x64 tree: it drives the x86 tree's client as well).
if(KRO_ARCH STREQUAL "x64")
    add_test(NAME side_by_side
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/side-by-side.sh
            $<TARGET_FILE:client_tests> ${KRO_DLL}
            ${CMAKE_BINARY_DIR}/../x86/client_tests.exe ${CMAKE_SOURCE_DIR}/dist/x86/${KRO_MODULE_NAME}.dll
            ${CMAKE_BINARY_DIR}/side_by_side)
    set_tests_properties(side_by_side PROPERTIES
        ENVIRONMENT "${KRO_FRESH_ENV}"
        TIMEOUT 600 SKIP_RETURN_CODE 77 PASS_REGULAR_EXPRESSION "side-by-side: 0 failed")
endif()

# The registration data for setup authors matches what self-registration writes.
add_test(NAME registration_data
    COMMAND sh ${CMAKE_SOURCE_DIR}/tests/support/registration-data-test.sh ${KRO_WINE} ${KRO_DLL}
        ${KRO_DIST}/${KRO_PACKAGE_NAME}-${KRO_ARCH}.reg ${CMAKE_BINARY_DIR}/registration_data)
set_tests_properties(registration_data PROPERTIES
    ENVIRONMENT "${KRO_FRESH_ENV}" TIMEOUT 300 PASS_REGULAR_EXPRESSION "registration data: 0 differences")

# The build refuses a member or class without description (no Wine needed).
add_test(NAME reference_requires_descriptions
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/support/reference_check.py
        ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/reference_check ${KRO_WIDL} ${WIDL_ARGS})
set_tests_properties(reference_requires_descriptions PROPERTIES PASS_REGULAR_EXPRESSION "reference check: 0 failed")
