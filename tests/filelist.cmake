# Tests of the filelist folder.
