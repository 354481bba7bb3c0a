// Writes fuelix.ico from the program's icon pixels. The .ico is committed, as a cross build has
// no host tool to run; the front end's tests check that it still matches the pixels. Rebuild it
// after changing window/icon.cpp, from the repository's root:
//   g++ -std=c++20 -I. win32/make_ico.cpp win32/iconfile.cpp window/icon.cpp -o make_ico
//   ./make_ico win32/fuelix.ico
#include "win32/iconfile.h"

#include <cstdio>
#include <fstream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: make_ico OUTPUT.ico\n", stderr);
        return 2;
    }
    const auto bytes = fuelix::win32::iconFile();
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out.good() ? 0 : 1;
}
