// categorywriter - another program that adds a category: categorywriter NAME.
// Exits 0 when the category was added (or shown again), 1 otherwise.
#include "categoryrecords.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: categorywriter NAME\n");
        return 2;
    }
    const ZuCategoryAddResult r = ZuAddCategory(CString::fromUtf8(argv[1]));
    const bool ok = r.kind == ZuCategoryAddKind::Added || r.kind == ZuCategoryAddKind::ShownAgain;
    std::printf("%d\n", r.index);
    return ok ? 0 : 1;
}
