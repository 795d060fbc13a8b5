# Tests of the web routines.
