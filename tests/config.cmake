# Tests of the config folder.
quorvel_add_test(tst_profilefile SOURCES tst_profilefile.cpp LIBS qv_config_core TIMEOUT 120)
quorvel_add_test(tst_configuration SOURCES tst_configuration.cpp LIBS quorvel_widgets TIMEOUT 120)
# The start configuration lives beside the executable: a folder of its own keeps the Auto.qvc
# these tests write away from the other test programs running at the same time.
set_target_properties(tst_configuration PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/configuration)
quorvel_add_unprivileged(tst_profilefile writeFailure)
quorvel_add_unprivileged(tst_configuration writeProtectedFile)
