// Stands in for the browser in the link-label test: registered as the
// handler of a URL scheme, it appends the address it was given to the file
// named by its first argument, one line per call.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    FILE* file = std::fopen(argv[1], "ab");
    if (!file)
        return 1;
    std::fprintf(file, "%s\n", argv[2]);
    std::fclose(file);
    return 0;
}
