# Tests of the info folder.
quorvel_add_test(tst_weblinks SOURCES tst_weblinks.cpp LIBS qv_info_core)
quorvel_add_test(tst_helpwindows SOURCES tst_helpwindows.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_mainwindowlinks SOURCES tst_mainwindowlinks.cpp LIBS quorvel_widgets)
