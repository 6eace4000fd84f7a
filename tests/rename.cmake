# Tests of the rename folder.
quorvel_add_test(tst_textutil SOURCES tst_textutil.cpp LIBS qv_text_core)
quorvel_add_test(tst_renamename SOURCES tst_renamename.cpp LIBS qv_rename_core)
target_compile_definitions(tst_renamename PRIVATE
    MANUAL_SOURCE="${PROJECT_SOURCE_DIR}/dist/quorvel.1.in"
    MEDIA_FILES="${CMAKE_CURRENT_SOURCE_DIR}/mediafiles.py")
quorvel_add_test(tst_shortenpath SOURCES tst_shortenpath.cpp LIBS qv_text_core)
quorvel_add_test(tst_diskrename SOURCES tst_diskrename.cpp LIBS qv_rename_core)
quorvel_add_test(tst_renamerun SOURCES tst_renamerun.cpp LIBS qv_rename_core)
# A run killed half-way is a child process killed by the system.
add_executable(journal_child journal_child.cpp)
target_link_libraries(journal_child PRIVATE qv_rename_core)
quorvel_add_test(tst_journal SOURCES tst_journal.cpp LIBS qv_rename_core)
target_compile_definitions(tst_journal PRIVATE JOURNAL_CHILD="$<TARGET_FILE:journal_child>")
add_dependencies(tst_journal journal_child)
quorvel_add_test(tst_settingspanel SOURCES tst_settingspanel.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_batchrename SOURCES tst_batchrename.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_acceptance_rename SOURCES tst_acceptance_rename.cpp LIBS quorvel_widgets TIMEOUT 120)
quorvel_add_unprivileged(tst_diskrename readOnlyFolder)
quorvel_add_unprivileged(tst_renamerun readOnlyFolder)
quorvel_add_unprivileged(tst_acceptance_rename readOnlyFolder unreadableSubfolder)
quorvel_add_test(tst_renamebatch SOURCES tst_renamebatch.cpp LIBS qv_batch_core)
