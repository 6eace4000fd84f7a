# Tests of the filelist folder.
quorvel_add_test(tst_fileentry_sizetext SOURCES tst_fileentry_sizetext.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_filelistmodel SOURCES tst_filelistmodel.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_folderscan SOURCES tst_folderscan.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_entryadder SOURCES tst_entryadder.cpp LIBS qv_filelist_core)
quorvel_add_test(tst_listops SOURCES tst_listops.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_filelistentries SOURCES tst_filelistentries.cpp LIBS quorvel_widgets)
quorvel_add_test(tst_adding SOURCES tst_adding.cpp LIBS quorvel_widgets TIMEOUT 120)

# Talks to a real session bus of its own, so it runs inside dbus-run-session.
find_program(DBUS_RUN_SESSION dbus-run-session)
if(DBUS_RUN_SESSION)
    add_executable(tst_filemanager_dbus tst_filemanager_dbus.cpp)
    target_link_libraries(tst_filemanager_dbus PRIVATE Qt6::Test quorvel_widgets)
    add_test(NAME tst_filemanager_dbus
             COMMAND ${DBUS_RUN_SESSION} -- $<TARGET_FILE:tst_filemanager_dbus>)
    set_tests_properties(tst_filemanager_dbus PROPERTIES
        TIMEOUT 60
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
else()
    message(STATUS "dbus-run-session not found: tst_filemanager_dbus is not built")
endif()
quorvel_add_unprivileged(tst_folderscan unreadableSubfolderSkipped)
quorvel_add_unprivileged(tst_adding unreadableSubfolderSkipped)
