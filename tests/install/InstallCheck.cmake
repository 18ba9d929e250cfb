# Installs the build into a scratch prefix and checks that the program is whole and works from
# there: its files in place, the command-line program runs and merges the installed samples,
# the desktop entry and the software centre's description pass their validators.
# Run by CTest: cmake -DBUILD_DIR=... -DPREFIX=... -DVERSION=... -P InstallCheck.cmake
function(fail what)
    message(FATAL_ERROR "${what}")
endfunction()

file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE error)
if(NOT result EQUAL 0)
    fail("cmake --install into ${PREFIX} failed: ${error}")
endif()

foreach(file
        bin/zarvel bin/zarvel-cli libexec/zarvel/zarvel-cli-model
        share/zarvel/zarvelhelp.htm share/zarvel/samples/letter.tem
        share/zarvel/samples/letter-smith.inf
        share/applications/zarvel.desktop share/icons/hicolor/scalable/apps/zarvel.svg
        share/mime/packages/zarvel.xml share/metainfo/org.zarvel.Zarvel.metainfo.xml
        share/man/man1/zarvel.1.gz share/man/man1/zarvel-cli.1.gz)
    if(NOT EXISTS "${PREFIX}/${file}")
        fail("${file} is not installed")
    endif()
endforeach()
execute_process(COMMAND gzip -dc "${PREFIX}/share/man/man1/zarvel-cli.1.gz"
                RESULT_VARIABLE result OUTPUT_VARIABLE page)
if(NOT result EQUAL 0 OR NOT page MATCHES "Zarvel ${VERSION}")
    fail("the manual page does not unpack or does not carry the version ${VERSION}")
endif()

# The programs answer from the installed place, the window program without a display.
foreach(program zarvel zarvel-cli)
    execute_process(COMMAND "${PREFIX}/bin/${program}" --version
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
    if(NOT result EQUAL 0 OR NOT output STREQUAL "${program} ${VERSION}\n")
        fail("${program} --version gave ${result}: '${output}' ${error}")
    endif()
endforeach()
set(samples "${PREFIX}/share/zarvel/samples")
execute_process(COMMAND "${PREFIX}/bin/zarvel-cli" merge "${samples}/letter.tem"
                        "${samples}/letter-smith.inf" -o -
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT output MATCHES "^{\\\\rtf1" OR NOT output MATCHES "Eleanor Smith")
    fail("the installed zarvel-cli did not merge the installed samples (${result}): ${error}")
endif()

# A command that loads the document goes to the program beside zarvel-cli that has the control.
execute_process(COMMAND "${PREFIX}/bin/zarvel-cli" text "${samples}/letter.tem"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE error)
if(NOT result EQUAL 0 OR NOT output MATCHES "Hartley & Cook")
    fail("the installed zarvel-cli did not read a sample as text (${result}): ${error}")
endif()

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(NOT DESKTOP_FILE_VALIDATE)
    fail("desktop-file-validate is missing: scripts/install-deps.sh installs it")
endif()
execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${PREFIX}/share/applications/zarvel.desktop"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output STREQUAL "")
    fail("desktop-file-validate: ${output}")
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net
                            "${PREFIX}/share/metainfo/org.zarvel.Zarvel.metainfo.xml"
                    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        fail("appstreamcli validate: ${output}")
    endif()
endif()

# Installing into a prefix of one's own refreshes that prefix's file types.
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
    file(READ "${PREFIX}/share/mime/globs2" globs)
    if(NOT globs MATCHES "application/x-zarvel-template:\\*\\.tem"
       OR NOT globs MATCHES "text/x-zarvel-information:\\*\\.inf")
        fail("the file types of the prefix do not know templates and information files")
    endif()
endif()
