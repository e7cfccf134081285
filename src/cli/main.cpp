#include <cstdio>
int main() {
    std::puts("kvado-cli: not yet");
    return 1;
}
