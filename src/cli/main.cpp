#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: unitrace-cli PROJECT\n");
        return 2;
    }
    std::printf("%s\n", argv[1]);
    return 0;
}
