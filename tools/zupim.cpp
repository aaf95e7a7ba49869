// zupim - the command-line companion of the suite.
#include <cstdio>
#include <cstring>

static void printHelp(FILE* out)
{
    std::fputs("zupim - the command-line companion of the ZuPims calendar and contacts suite\n"
               "\n"
               "usage: zupim COMMAND [ARGUMENTS]\n"
               "\n"
               "commands:\n"
               "  help             this text\n"
               "\n"
               "The data folder is $ZUPIMS_HOME, or $XDG_DATA_HOME/zupims when that is unset.\n",
        out);
}

int main(int argc, char** argv)
{
    if (argc < 2 || !std::strcmp(argv[1], "help") || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        printHelp(stdout);
        return 0;
    }
    std::fprintf(stderr, "zupim: unknown command '%s' (try 'zupim help')\n", argv[1]);
    return 2;
}
