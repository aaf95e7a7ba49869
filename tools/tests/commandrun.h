// commandrun.h - runs one of zupim's commands inside the test and keeps what it printed.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

struct CommandRun {
    int status = -1;
    std::string out, err;
};

inline std::string ZuReadAll(FILE* f)
{
    std::string s;
    std::rewind(f);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        s.append(buffer, n);
    std::fclose(f);
    return s;
}

// `command` is one of the run*Command functions: (arguments, count, out, err) -> exit status.
template <typename Command>
CommandRun ZuRunCommand(Command command, std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    CommandRun run;
    run.status = command(argv.data(), static_cast<int>(argv.size()), out, err);
    run.out = ZuReadAll(out);
    run.err = ZuReadAll(err);
    return run;
}
