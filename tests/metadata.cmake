# Tests of the metadata folder: the values read from photos and songs made at test time, against
# those exiftool and mutagen read from the same files.
quorvel_add_test(tst_metadata SOURCES tst_metadata.cpp LIBS qv_metadata_core TIMEOUT 120)
target_compile_definitions(tst_metadata PRIVATE
    MEDIA_FILES="${CMAKE_CURRENT_SOURCE_DIR}/mediafiles.py")
