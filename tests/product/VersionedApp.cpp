// A program that does nothing; it exists for its version resource.
int main() { return 0; }
