# The real program through its command line: help and version without a display, rename and
# undo on real files with their output and exit codes, bad input, and a window start with paths.
add_test(NAME command_line
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/command_line.sh $<TARGET_FILE:quorvel>
            ${PROJECT_VERSION})
# An installation into a temporary DESTDIR, checked with the desktop's own validators.
add_test(NAME installation
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/installation.sh ${CMAKE_COMMAND} ${PROJECT_BINARY_DIR})
set_tests_properties(command_line installation PROPERTIES
    TIMEOUT 60
    ENVIRONMENT "LC_ALL=C.UTF-8")
# The Debian package made with cpack and checked with lintian; skipped (77) without lintian.
# A sanitizer build is never packaged, and leaves out fortification on purpose.
if(NOT QUORVEL_SANITIZE)
    add_test(NAME package_lintian
        COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package_lintian.sh ${CMAKE_CPACK_COMMAND}
                ${PROJECT_BINARY_DIR})
    set_tests_properties(package_lintian PROPERTIES TIMEOUT 900 SKIP_RETURN_CODE 77)
endif()
# The real program's rename and undo on a folder in the temporary folder, on exFAT (exfat-fuse)
# and on bindfs, and killed at ten moments of a run of circles on ext4 and exFAT, then undone.
# They mount file systems on loop devices and FUSE: skipped (77) where nothing can be mounted.
add_test(NAME real_filesystems
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/real_filesystems.sh $<TARGET_FILE:quorvel>)
add_test(NAME kill_undo
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/kill_undo.sh $<TARGET_FILE:quorvel>)
set_tests_properties(real_filesystems PROPERTIES TIMEOUT 120 SKIP_RETURN_CODE 77)
set_tests_properties(kill_undo PROPERTIES TIMEOUT 270 SKIP_RETURN_CODE 77)
