# Tests of the config folder.
quorvel_add_test(tst_profilefile SOURCES tst_profilefile.cpp LIBS qv_config_core TIMEOUT 120)
