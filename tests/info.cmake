# Tests of the info folder.
quorvel_add_test(tst_weblinks SOURCES tst_weblinks.cpp LIBS qv_info_core)
