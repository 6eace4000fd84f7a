# Tests of the config folder.
