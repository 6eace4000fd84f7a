# Tests of the filelist folder.
quorvel_add_test(tst_fileentry_sizetext SOURCES tst_fileentry_sizetext.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_filelistmodel SOURCES tst_filelistmodel.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_folderscan SOURCES tst_folderscan.cpp LIBS qv_filelist_core)
