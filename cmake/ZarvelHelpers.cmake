# zarvel_add_test(NAME [X11] SOURCES src... LIBS lib...)
# A Qt Test executable run by CTest headless, with settings, home and current folder
# pointed at a scratch folder so that no test touches the real ones. With X11 the program runs
# on its own virtual X display (Xvfb) with Qt's X11 platform instead of offscreen: for faults
# that live in focus, window activation, painting or the real dialogs.
function(zarvel_add_test name)
    cmake_parse_arguments(ARG "X11" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE zarvel_testsupport ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
    if(ARG_X11)
        add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/tests/xvfb-run-test.sh $<TARGET_FILE:${name}>)
        set(platform xcb)
    else()
        add_test(NAME ${name} COMMAND ${name})
        set(platform offscreen)
    endif()
    set(home ${CMAKE_BINARY_DIR}/tests/home/${name})
    file(MAKE_DIRECTORY ${home})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 600
        WORKING_DIRECTORY ${home}
        ENVIRONMENT "QT_QPA_PLATFORM=${platform};HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_RUNTIME_DIR=${home};ZARVEL_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data;ZARVEL_BIN_DIR=${ZARVEL_BIN_DIR};ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()

# zarvel_add_fuzzer(NAME SOURCES src... LIBS lib... CORPUS dir)
# With ZARVEL_FUZZ a libFuzzer executable; otherwise the same entry point is run by CTest over
# every file of the corpus folder, so the target keeps building and its seeds keep passing.
function(zarvel_add_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(ZARVEL_FUZZ)
        add_executable(${name} ${ARG_SOURCES})
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    elseif(ZARVEL_TESTS)
        add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/common/FuzzDriver.cpp)
        target_link_libraries(${name} PRIVATE ${ARG_LIBS})
        target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/common)
        set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin)
        add_test(NAME ${name} COMMAND ${name} ${ARG_CORPUS})
        set_tests_properties(${name} PROPERTIES TIMEOUT 600
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp")
    endif()
endfunction()
