# Tests of the rename folder.
quorvel_add_test(tst_textutil SOURCES tst_textutil.cpp LIBS qv_rename_core)
quorvel_add_test(tst_renamename SOURCES tst_renamename.cpp LIBS qv_rename_core)
quorvel_add_test(tst_shortenpath SOURCES tst_shortenpath.cpp LIBS qv_rename_core)
quorvel_add_test(tst_diskrename SOURCES tst_diskrename.cpp LIBS qv_rename_core)
quorvel_add_test(tst_renamerun SOURCES tst_renamerun.cpp LIBS qv_rename_core)
quorvel_add_test(tst_settingspanel SOURCES tst_settingspanel.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_batchrename SOURCES tst_batchrename.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_acceptance_rename SOURCES tst_acceptance_rename.cpp LIBS quorvel_widgets TIMEOUT 120)
