# Tests of the INI files.
