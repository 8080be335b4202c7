// Decodes all pictures of a file through InputStream and prints the wall time
// in seconds (and the picture count on standard error).
#include <chrono>
#include <cstdio>
#include <exception>

#include "media/InputStream.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE\n", argv[0]);
        return 2;
    }
    try {
        auto started = std::chrono::steady_clock::now();
        InputStream input(argv[1], true, false);
        long pictures = 0;
        while (!input.IsVideoEnded()) {
            if (input.DecodeNextVideoFrame()) ++pictures;
        }
        std::chrono::duration<double> wall = std::chrono::steady_clock::now() - started;
        std::printf("%.3f\n", wall.count());
        std::fprintf(stderr, "%ld pictures\n", pictures);
    } catch (const char* message) {
        std::fprintf(stderr, "%s\n", message);
        return 1;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
