# Tests of the info folder.
