// flowsum: load a summary file and print what it holds.
#include <cstdio>
int main() { std::puts("flowsum: not built yet"); return 0; }
