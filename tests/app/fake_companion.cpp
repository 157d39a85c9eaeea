// Stands in for a companion program (Heronpost, Linkmoor) in the window's
// tests: writes its arguments to "<its path>.args" and waits until it is
// asked to end (at most a minute).

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char *argv[])
{
    const std::string record = std::string(argv[0]) + ".args";
    if (FILE *file = std::fopen(record.c_str(), "w")) {
        for (int i = 1; i < argc; ++i)
            std::fprintf(file, i > 1 ? " %s" : "%s", argv[i]);
        std::fclose(file);
    }
    for (int second = 0; second < 60; ++second)
        sleep(1);
    return 0;
}
