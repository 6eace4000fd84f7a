# Tests of the rename folder.
