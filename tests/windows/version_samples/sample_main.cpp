// A program that only carries resources; it is never started.
int main() { return 0; }
