# INI files: document, decoding, the three classes.
