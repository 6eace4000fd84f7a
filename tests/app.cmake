# Tests of the app folder.
quorvel_add_test(tst_startup SOURCES tst_startup.cpp LIBS quorvel_widgets)

# The real program, started and ended through its own screenshot run, exits with 0.
add_test(NAME program_exits_cleanly
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            QUORVEL_SCREENSHOT=${CMAKE_CURRENT_BINARY_DIR}/program-run.png $<TARGET_FILE:quorvel>)
set_tests_properties(program_exits_cleanly PROPERTIES TIMEOUT 30)
quorvel_add_test(tst_localisation SOURCES tst_localisation.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_previewundo SOURCES tst_previewundo.cpp LIBS quorvel_widgets qv_cli_core)
quorvel_add_test(tst_acceptance_shell SOURCES tst_acceptance_shell.cpp LIBS quorvel_widgets TIMEOUT 120)
# Its own folder: the Auto.qvc it writes beside itself stays away from other test programs.
set_target_properties(tst_acceptance_shell PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/acceptance_shell)
# The real program, run without opening a file dialog, writes nothing into the user's
# configuration folder.
add_test(NAME program_leaves_no_dialog_state
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/no_dialog_state.sh $<TARGET_FILE:quorvel>)
set_tests_properties(program_leaves_no_dialog_state PROPERTIES TIMEOUT 30)
# The real program under Xvfb with the openbox window manager, started and closed through the
# window manager again and again: the main window keeps its place. Skipped (77) only where Xvfb
# or openbox cannot run.
add_test(NAME window_keeps_its_place
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_position.sh $<TARGET_FILE:quorvel>)
set_tests_properties(window_keeps_its_place PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
# The real program under Xvfb and openbox on two screen sizes at the scales 1, 1.5 and 2: the
# main window opens inside the screen, also with a start configuration from a larger screen.
add_test(NAME window_fits_screen
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/window_fits_screen.sh $<TARGET_FILE:quorvel>)
set_tests_properties(window_fits_screen PROPERTIES TIMEOUT 180 SKIP_RETURN_CODE 77)
quorvel_add_unprivileged(tst_acceptance_shell missingAndWriteProtected)
# The layout once more on a screen lower than the design: 1280 x 1024 at a scale of 2.
add_test(NAME tst_acceptance_shell_low_screen COMMAND tst_acceptance_shell layoutInsideScreen)
set_tests_properties(tst_acceptance_shell_low_screen PROPERTIES
    TIMEOUT 60
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/low_screen.json;LC_ALL=C.UTF-8")
# And on a screen of 1280 x 1024 at scale 1, where the window has its design size.
add_test(NAME tst_acceptance_shell_design_screen COMMAND tst_acceptance_shell layoutInsideScreen)
set_tests_properties(tst_acceptance_shell_design_screen PROPERTIES
    TIMEOUT 60
    ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/design_screen.json;LC_ALL=C.UTF-8")
# Without any display the program says so in one line and ends with 1, without a core dump.
add_test(NAME program_without_display
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/no_display.sh $<TARGET_FILE:quorvel>)
set_tests_properties(program_without_display PROPERTIES TIMEOUT 30)
quorvel_add_test(tst_palettecolours SOURCES tst_palettecolours.cpp LIBS quorvel_widgets)
