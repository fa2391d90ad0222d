# Installs the build into a fresh prefix and checks that everything a user
# needs is there: the programs, the working folder with lines, documents and
# sample run, the desktop entry pointing at both, and the icon.
#   cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE lResult OUTPUT_QUIET)
if(NOT lResult EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${lResult}")
endif()
set(sShare "${PREFIX}/share/quandrel")
foreach(sFile
        bin/quandrel bin/quandrel-cli
        share/quandrel/LinesX.txt share/quandrel/Neon.txt share/quandrel/evaluate_run.sh
        share/quandrel/Quandrel-Manual.pdf share/quandrel/Quandrel-Handbuch.pdf
        share/quandrel/Quandrel-Reference.pdf share/quandrel/Quandrel-Referenz.pdf
        share/quandrel/sample_run/epochs.txt share/quandrel/sample_run/lamp_pixels.txt
        share/quandrel/sample_run/star_19.txt
        share/applications/quandrel.desktop share/icons/hicolor/scalable/apps/quandrel.svg)
    if(NOT EXISTS "${PREFIX}/${sFile}")
        message(FATAL_ERROR "not installed: ${sFile}")
    endif()
endforeach()
file(READ "${PREFIX}/share/applications/quandrel.desktop" sEntry)
foreach(sLine "Exec=${PREFIX}/bin/quandrel" "Path=${sShare}" "Icon=quandrel" "Type=Application")
    string(FIND "${sEntry}" "${sLine}\n" lAt)
    if(lAt EQUAL -1)
        message(FATAL_ERROR "the desktop entry lacks ${sLine}:\n${sEntry}")
    endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
