# Runs in CPack's staging folder before the Debian package is made of it. The service menu is
# installed executable, which Dolphin demands where a user could have placed it (~/.local);
# from a system folder such as /usr/share it reads it without, and Debian wants no executable
# there.
file(GLOB_RECURSE menus "${CPACK_TEMPORARY_DIRECTORY}/*.servicemenu.desktop")
foreach(menu IN LISTS menus)
    file(CHMOD "${menu}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
