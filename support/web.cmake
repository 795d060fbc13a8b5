# Web routines: URL cracking, HTTP POST, browser launch.
