// Writes the manual page at build time from packaging/vialoom.1.in and the
// program's own tables (app/manual_page.h).
//   vialoom_manpage TEMPLATE VERSION DATE OUTPUT
#include <cstdio>

#include "app/manual_page.h"
#include "files/atomic_file.h"
#include "files/file_text.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: vialoom_manpage TEMPLATE VERSION DATE OUTPUT\n");
        return 2;
    }
    std::string page, filled, error;
    if (!readWholeFile(argv[1], 1 << 20, page, error)) {
        std::fprintf(stderr, "vialoom_manpage: %s\n", error.c_str());
        return 2;
    }
    if (!fillManualPage(page, argv[2], argv[3], filled, error)) {
        std::fprintf(stderr, "vialoom_manpage: %s:%s\n", argv[1], error.c_str());
        return 2;
    }
    if (!writeFileAtomically(argv[4], filled, error)) {
        std::fprintf(stderr, "vialoom_manpage: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
