# Tests of the app folder.
quorvel_add_test(tst_startup SOURCES tst_startup.cpp LIBS quorvel_widgets)

# The real program, started and ended through its own screenshot run, exits with 0.
add_test(NAME program_exits_cleanly
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
            QUORVEL_SCREENSHOT=${CMAKE_CURRENT_BINARY_DIR}/program-run.png $<TARGET_FILE:quorvel>)
set_tests_properties(program_exits_cleanly PROPERTIES TIMEOUT 30)
quorvel_add_test(tst_localisation SOURCES tst_localisation.cpp LIBS quorvel_widgets)
