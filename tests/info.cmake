# Tests of the info folder.
quorvel_add_test(tst_weblinks SOURCES tst_weblinks.cpp LIBS qv_info_core)
# Built from the window sources alone, with a platform seam of its own, so that the help and
# bug-report windows are tested without the rest of the program.
quorvel_add_test(tst_helpwindows
    SOURCES tst_helpwindows.cpp platform_seam_stub.cpp
        ${PROJECT_SOURCE_DIR}/info/thilfe.cpp ${PROJECT_SOURCE_DIR}/info/tframe.cpp
        ${PROJECT_SOURCE_DIR}/info/infowidgets.cpp ${PROJECT_SOURCE_DIR}/info/tbugreport.cpp
    LIBS Qt6::Widgets qv_info_core)
qt_add_resources(tst_helpwindows help_artwork
    PREFIX "/"
    BASE ${PROJECT_SOURCE_DIR}
    FILES
        ${PROJECT_SOURCE_DIR}/artwork/header.jpg
        ${PROJECT_SOURCE_DIR}/artwork/donate_de.jpg
        ${PROJECT_SOURCE_DIR}/artwork/donate_en.jpg
        ${PROJECT_SOURCE_DIR}/artwork/quorvel.png
        ${PROJECT_SOURCE_DIR}/artwork/products/tessaline.png
        ${PROJECT_SOURCE_DIR}/artwork/products/dupravo.png
        ${PROJECT_SOURCE_DIR}/artwork/products/ordelis.png
        ${PROJECT_SOURCE_DIR}/artwork/products/textrova.png
        ${PROJECT_SOURCE_DIR}/artwork/products/kalvent.png
)
